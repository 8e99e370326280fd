#include "drawing/no_text_surface.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "drawing/reference_charts.h"
#include "platform/record/recording_surface.h"

namespace zq::test {
namespace {

using platform::OpKind;
using platform::RecordedOp;
using platform::RecordingSurface;

// A recording as it would be without its text, block copies' sources included.
std::vector<RecordedOp> WithoutText(const std::vector<RecordedOp>& ops) {
  std::vector<RecordedOp> out;
  for (const RecordedOp& op : ops) {
    if (op.kind == OpKind::TextOut) continue;
    out.push_back(op);
    if (op.source)
      out.back().source = std::make_shared<const std::vector<RecordedOp>>(WithoutText(*op.source));
  }
  return out;
}

size_t TextCount(const std::vector<RecordedOp>& ops) {
  size_t n = 0;
  for (const RecordedOp& op : ops) {
    if (op.kind == OpKind::TextOut) ++n;
    if (op.source) n += TextCount(*op.source);
  }
  return n;
}

TEST(NoTextSurface, DrawsAndMeasuresEverythingButText) {
  auto owned = std::make_unique<RecordingSurface>(100, 50);
  RecordingSurface& inner = *owned;
  NoTextSurface surface(std::move(owned));
  RecordingSurface measure(100, 50);
  platform::LogFont font;
  font.height = -20;
  surface.SetFont(font);
  measure.SetFont(font);
  surface.SetTextAlign(platform::text_align::kCenter);
  surface.Rectangle(1, 2, 30, 40);
  surface.TextOut(5, 5, "Hello");
  surface.LineTo(50, 20);

  EXPECT_EQ(surface.TextExtent("Hello"), measure.TextExtent("Hello"));
  EXPECT_EQ(surface.GetFontMetrics().ascent, measure.GetFontMetrics().ascent);
  EXPECT_EQ(surface.GetFontMetrics().height, measure.GetFontMetrics().height);
  EXPECT_EQ(surface.GetFont(), font);
  EXPECT_EQ(surface.GetTextAlign(), platform::text_align::kCenter);
  EXPECT_EQ(surface.Width(), 100);
  ASSERT_EQ(inner.Ops().size(), 2u) << inner.Dump();
  EXPECT_EQ(inner.Ops()[0].kind, OpKind::Rectangle);
  EXPECT_EQ(inner.Ops()[1].kind, OpKind::LineTo);
}

TEST(NoTextSurface, BackBuffersLeaveTextOutAndCopyTheirOwnPixels) {
  auto owned = std::make_unique<RecordingSurface>(100, 50);
  RecordingSurface& inner = *owned;
  NoTextSurface surface(std::move(owned));
  std::unique_ptr<platform::Surface> buffer = surface.CreateCompatible(40, 30, false);
  ASSERT_NE(dynamic_cast<NoTextSurface*>(buffer.get()), nullptr);
  buffer->Rectangle(0, 0, 10, 10);
  buffer->TextOut(2, 2, "x");
  surface.CopyFrom(5, 6, 40, 30, *buffer, 0, 0);

  ASSERT_EQ(inner.Ops().size(), 1u);
  const RecordedOp& copy = inner.Ops()[0];
  EXPECT_EQ(copy.kind, OpKind::CopyFrom);
  // The recording underneath was the source, not a decorator it cannot see into.
  ASSERT_NE(copy.source, nullptr);
  ASSERT_EQ(copy.source->size(), 1u);
  EXPECT_EQ((*copy.source)[0].kind, OpKind::Rectangle);
}

// Each reference chart draws the same calls with and without text, but for the text: the
// layout is the same, so masking the text hides nothing else.
TEST(NoTextSurface, ReferenceChartsLoseOnlyTheirText) {
  for (const ReferenceChart& chart : ReferenceCharts()) {
    // Each chart's window surface forwards to one that stays for the comparison.
    std::vector<std::unique_ptr<RecordingSurface>> withText, withoutText;
    DrawReferenceChart(chart, [&](int32_t width, int32_t height) {
      withText.push_back(std::make_unique<RecordingSurface>(width, height));
      return std::make_unique<RecordingSurface>(static_cast<platform::Surface&>(*withText.back()));
    });
    DrawReferenceChart(chart, [&](int32_t width, int32_t height) {
      withoutText.push_back(std::make_unique<RecordingSurface>(width, height));
      return std::make_unique<NoTextSurface>(
          std::make_unique<RecordingSurface>(static_cast<platform::Surface&>(*withoutText.back())));
    });
    ASSERT_EQ(withText.size(), withoutText.size()) << chart.name;
    size_t texts = 0;
    for (size_t i = 0; i < withText.size(); ++i) {
      texts += TextCount(withText[i]->Ops());
      EXPECT_EQ(TextCount(withoutText[i]->Ops()), 0u) << chart.name;
      EXPECT_TRUE(WithoutText(withText[i]->Ops()) == withoutText[i]->Ops())
          << chart.name << " window " << i;
    }
    EXPECT_GT(texts, 0u) << chart.name;
  }
}

}  // namespace
}  // namespace zq::test
