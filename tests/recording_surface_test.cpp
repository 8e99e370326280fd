#include "platform/record/recording_surface.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/cairo/cairo_surface.h"
#include "support/image_compare.h"

namespace {

using namespace zq::platform;

Pen MakePen(Rgb color, int32_t width = 1, PenStyle style = PenStyle::Solid,
            PenMode mode = PenMode::Copy) {
  Pen p;
  p.color = color;
  p.width = width;
  p.style = style;
  p.mode = mode;
  return p;
}

Brush MakeBrush(Rgb color, BrushStyle style = BrushStyle::Solid) {
  Brush b;
  b.color = color;
  b.style = style;
  return b;
}

Image SmallPicture() {
  Image img;
  img.width = 3;
  img.height = 2;
  img.pixels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080, 0xFF000000, 0xFFFFFF00};
  return img;
}

// Draws a bit of everything without asking the surface to measure anything, so that the same
// calls reach every surface.
void DrawScene(Surface& s) {
  Brush white;
  s.FillRect({0, 0, s.Width(), s.Height()}, white);
  s.SetPen(MakePen(0x0000FF));
  s.MoveTo(5, 5);
  s.LineTo(150, 40);
  s.LineTo(20, 90);
  s.SetPen(MakePen(0x000000, 1, PenStyle::DashDot));
  s.SetBackMode(BackMode::Opaque);
  s.SetBackColor(0x00FFFF);
  s.Polyline(std::vector<Point>{{10, 100}, {60, 60}, {110, 100}, {160, 60}});
  s.SetPen(MakePen(0x800000, 3));
  s.SetBrush(MakeBrush(0x00C000));
  s.Rectangle(170, 10, 230, 50);
  s.Ellipse(10, 110, 70, 150);
  s.RoundRect(80, 110, 140, 150, 16, 12);
  s.SetBrush(MakeBrush(0xC00000, BrushStyle::DiagCross));
  s.Pie(150, 110, 200, 160, 200, 135, 175, 110);
  s.SetPen(MakePen(0x000000));
  s.Arc(200, 60, 240, 100, 240, 80, 200, 80);
  s.Polygon(std::vector<Point>{{210, 110}, {235, 150}, {185, 150}});
  s.SetBackMode(BackMode::Transparent);
  s.FillRect({5, 160, 45, 190}, MakeBrush(0x0000FF, BrushStyle::Cross));
  Brush pattern = MakeBrush(0x008080, BrushStyle::Pattern);
  for (int i = 0; i < 8; ++i) pattern.pattern.rows[i] = uint8_t(0x11 << (i % 4));
  s.SetBrush(pattern);
  s.PatternFill({50, 160, 90, 190});
  s.SetPixel(100, 170, 0xFF00FF);
  LogFont f;
  f.height = -13;
  f.weight = 700;
  s.SetFont(f);
  s.SetTextColor(0x0000A0);
  s.SetTextAlign(text_align::kLeft | text_align::kBaseline);
  s.TextOut(100, 185, "Recorded");
  f.escapement = 900;
  f.height = -11;
  f.weight = 400;
  s.SetFont(f);
  s.SetTextAlign(0);
  s.TextOut(235, 190, "Up");
  s.DrawImage(SmallPicture(), 180, 170);
  s.StretchImage(SmallPicture(), {190, 165, 202, 173});
  // A clipped part and a back buffer copied in.
  const std::vector<Point> diamond = {{60, 20}, {90, 40}, {60, 60}, {30, 40}};
  s.ClipPolygon(diamond.data(), int32_t(diamond.size()));
  s.ClipRect({0, 0, 75, 200});
  s.SetPen(MakePen(0x000000, 1, PenStyle::Solid, PenMode::NotXor));
  s.SetBrush(MakeBrush(0x00FF00));
  s.Rectangle(20, 10, 100, 70);
  s.RemoveClip();
  auto buffer = s.CreateCompatible(40, 30, false);
  buffer->FillRect({0, 0, 40, 30}, MakeBrush(0xE0E0E0));
  buffer->SetPen(MakePen(0x0000FF, 2));
  buffer->Line(0, 0, 40, 30);
  s.CopyFrom(200, 0, 40, 30, *buffer, 0, 0);
}

TEST(RecordingSurface, RecordsCallsWithTheStateTheyUse) {
  RecordingSurface r(100, 50);
  r.SetPen(MakePen(0x0000FF, 2));
  LogFont f;
  f.face = "Courier New";
  r.SetFont(f);  // a line does not care
  r.MoveTo(1, 2);
  r.LineTo(30, 40);
  ASSERT_EQ(r.Ops().size(), 2u);
  EXPECT_EQ(r.Ops()[0].kind, OpKind::MoveTo);
  EXPECT_EQ(r.Ops()[0].args, (std::vector<int32_t>{1, 2}));
  const RecordedOp& line = r.Ops()[1];
  EXPECT_EQ(line.kind, OpKind::LineTo);
  EXPECT_EQ(line.args, (std::vector<int32_t>{1, 2, 30, 40}));
  EXPECT_EQ(line.pen, MakePen(0x0000FF, 2));
  EXPECT_EQ(line.font, LogFont());  // unused state keeps its default
  EXPECT_EQ(line.uses, RecordedOp::kPen);

  RecordedOp expected;
  expected.kind = OpKind::LineTo;
  expected.args = {1, 2, 30, 40};
  expected.uses = RecordedOp::kPen;
  expected.pen = MakePen(0x0000FF, 2);
  EXPECT_EQ(line, expected);
}

TEST(RecordingSurface, BackgroundIsRecordedOnlyWhereItShows) {
  RecordingSurface r(100, 50);
  r.SetBackColor(0x123456);
  r.SetPen(MakePen(0));
  r.Line(0, 0, 10, 0);
  EXPECT_FALSE(r.Ops()[1].uses & RecordedOp::kBack);
  r.SetPen(MakePen(0, 1, PenStyle::Dot));
  r.Line(0, 0, 10, 0);
  EXPECT_TRUE(r.Ops()[3].uses & RecordedOp::kBack);
  EXPECT_EQ(r.Ops()[3].backMode, BackMode::Opaque);
  EXPECT_EQ(r.Ops()[3].backColor, Rgb(0x123456));
  r.SetBackMode(BackMode::Transparent);
  r.Line(0, 0, 10, 0);
  EXPECT_EQ(r.Ops()[5].backMode, BackMode::Transparent);
  EXPECT_EQ(r.Ops()[5].backColor, Rgb(0));  // irrelevant when transparent
  r.SetBrush(MakeBrush(0xFF, BrushStyle::Horizontal));
  r.SetPen(MakePen(0));
  r.Rectangle(0, 0, 5, 5);
  EXPECT_TRUE(r.Ops()[6].uses & RecordedOp::kBack);
  r.FillRect({0, 0, 5, 5}, MakeBrush(0xFF));
  EXPECT_EQ(r.Ops()[7].brush, MakeBrush(0xFF));
  EXPECT_FALSE(r.Ops()[7].uses & RecordedOp::kBack);
}

TEST(RecordingSurface, KeepsTheSelectedState) {
  RecordingSurface r(100, 50);
  EXPECT_EQ(r.GetBackMode(), BackMode::Opaque);
  EXPECT_EQ(r.GetBackColor(), Rgb(0xFFFFFF));
  r.SetPen(MakePen(1, 2, PenStyle::Dash));
  r.SetBrush(MakeBrush(3, BrushStyle::Cross));
  LogFont f;
  f.height = -20;
  r.SetFont(f);
  r.SetTextColor(4);
  r.SetBackColor(5);
  r.SetBackMode(BackMode::Transparent);
  r.SetTextAlign(text_align::kCenter);
  r.MoveTo(7, 8);
  EXPECT_EQ(r.GetPen(), MakePen(1, 2, PenStyle::Dash));
  EXPECT_EQ(r.GetBrush(), MakeBrush(3, BrushStyle::Cross));
  EXPECT_EQ(r.GetFont().height, -20);
  EXPECT_EQ(r.GetTextColor(), Rgb(4));
  EXPECT_EQ(r.GetBackColor(), Rgb(5));
  EXPECT_EQ(r.GetBackMode(), BackMode::Transparent);
  EXPECT_EQ(r.GetTextAlign(), text_align::kCenter);
  EXPECT_EQ(r.CurrentPosition(), (Point{7, 8}));
  EXPECT_EQ(r.Width(), 100);
  EXPECT_EQ(r.Height(), 50);
  EXPECT_EQ(r.Ops().size(), 1u);  // state changes are not recorded by default
}

TEST(RecordingSurface, StateChangesCanBeRecordedToo) {
  RecordingSurface r(100, 50);
  r.SetRecordState(true);
  r.SetPen(MakePen(0xFF));
  r.SetTextColor(0x00FF00);
  ASSERT_EQ(r.Ops().size(), 2u);
  EXPECT_EQ(r.Ops()[0].kind, OpKind::SetPen);
  EXPECT_EQ(r.Ops()[0].pen, MakePen(0xFF));
  EXPECT_EQ(r.Ops()[1].kind, OpKind::SetTextColor);
  EXPECT_EQ(r.Ops()[1].args, (std::vector<int32_t>{0x00FF00}));
  auto child = r.CreateCompatible(10, 10, false);
  child->SetBackColor(1);
  EXPECT_EQ(static_cast<RecordingSurface&>(*child).Ops().size(), 1u);
}

TEST(RecordingSurface, MeasuresTextWithAFixedAdvanceModel) {
  RecordingSurface r(100, 50);
  LogFont f;
  f.height = -11;
  r.SetFont(f);
  const FontMetrics m = r.GetFontMetrics();
  EXPECT_EQ(m.ascent, 10);
  EXPECT_EQ(m.descent, 2);
  EXPECT_EQ(m.height, 12);
  EXPECT_EQ(r.TextExtent("abc"), (Size{18, 12}));
  EXPECT_EQ(r.TextExtent("\xD0\x9F\xD1\x80"), (Size{12, 12}));  // two Cyrillic letters
  EXPECT_EQ(r.TextExtent(""), (Size{0, 12}));
  f.height = 16;  // a cell height
  r.SetFont(f);
  EXPECT_EQ(r.GetFontMetrics().ascent, 14);
  EXPECT_TRUE(r.Ops().empty());  // measuring draws nothing
}

TEST(RecordingSurface, DrawsThroughToTheInnerSurface) {
  CairoSurface direct(240, 200), inner(240, 200);
  DrawScene(direct);
  RecordingSurface r(inner);
  DrawScene(r);
  EXPECT_TRUE(zq::testing::ImagesMatch(inner.Snapshot(), direct.Snapshot())) << r.Dump();
  EXPECT_TRUE(zq::testing::ImagesMatch(r.Snapshot(), direct.Snapshot()));
  EXPECT_EQ(r.Width(), 240);
  // Text is measured by the inner surface.
  EXPECT_EQ(r.TextExtent("Recorded"), inner.TextExtent("Recorded"));
  EXPECT_EQ(r.GetFontMetrics().ascent, inner.GetFontMetrics().ascent);
}

TEST(RecordingSurface, TakesOverTheInnerSurfacesState) {
  CairoSurface inner(10, 10);
  inner.SetTextColor(0x123456);
  inner.MoveTo(3, 4);
  RecordingSurface r(inner);
  EXPECT_EQ(r.GetTextColor(), Rgb(0x123456));
  EXPECT_EQ(r.CurrentPosition(), (Point{3, 4}));
}

TEST(RecordingSurface, ReplayGivesTheSamePixelsAsDrawingDirectly) {
  CairoSurface direct(240, 200);
  DrawScene(direct);
  RecordingSurface r(240, 200);
  DrawScene(r);
  CairoSurface replayed(240, 200);
  r.Replay(replayed);
  zq::testing::ImageCompareOptions o;
  o.diffPath = zq::testing::TestOutputPath("recording_replay_diff.png");
  EXPECT_TRUE(zq::testing::ImagesMatch(replayed.Snapshot(), direct.Snapshot(), o)) << r.Dump();
  // Replaying twice onto a recording gives the same recording.
  RecordingSurface again(240, 200);
  r.Replay(again);
  ASSERT_EQ(again.Ops().size(), r.Ops().size());
  for (size_t i = 0; i < r.Ops().size(); ++i) EXPECT_EQ(again.Ops()[i], r.Ops()[i]) << i;
}

TEST(RecordingSurface, BackBufferCopiesCarryWhatWasDrawnOnThem) {
  RecordingSurface r(50, 50);
  auto buffer = r.CreateCompatible(20, 20, true);
  auto* rec = dynamic_cast<RecordingSurface*>(buffer.get());
  ASSERT_NE(rec, nullptr);
  EXPECT_TRUE(rec->Monochrome());
  buffer->FillRect({0, 0, 10, 20}, MakeBrush(0xFFFFFF));
  r.SetTextColor(0x0000FF);
  r.SetBackColor(0x00FF00);
  r.CopyFrom(5, 5, 20, 20, *buffer, 0, 0);
  const RecordedOp& copy = r.Ops().back();
  EXPECT_EQ(copy.kind, OpKind::CopyFrom);
  EXPECT_EQ(copy.args, (std::vector<int32_t>{5, 5, 20, 20, 0, 0}));
  ASSERT_TRUE(copy.source);
  EXPECT_EQ(copy.source->size(), 1u);
  EXPECT_TRUE(copy.sourceMonochrome);

  CairoSurface target(50, 50);
  target.Clear(0xFFFFFF);
  r.Replay(target);
  EXPECT_EQ(target.GetPixel(6, 6), Rgb(0x00FF00));    // white bits: background colour
  EXPECT_EQ(target.GetPixel(20, 20), Rgb(0x0000FF));  // black bits: text colour
  EXPECT_EQ(target.GetPixel(2, 2), Rgb(0xFFFFFF));
}

TEST(RecordingSurface, CopiesFromOtherSurfacesKeepTheirPixels) {
  CairoSurface other(4, 4);
  other.Clear(0x0000FF);
  RecordingSurface r(10, 10);
  r.CopyFrom(1, 1, 4, 4, other, 0, 0);
  ASSERT_TRUE(r.Ops().back().image);
  CairoSurface target(10, 10);
  target.Clear(0xFFFFFF);
  r.Replay(target);
  EXPECT_EQ(target.GetPixel(1, 1), Rgb(0x0000FF));
  EXPECT_EQ(target.GetPixel(5, 5), Rgb(0xFFFFFF));
}

TEST(RecordingSurface, ImagesCompareByTheirPixels) {
  RecordingSurface a(10, 10), b(10, 10);
  a.DrawImage(SmallPicture(), 1, 1);
  b.DrawImage(SmallPicture(), 1, 1);
  EXPECT_EQ(a.Ops(), b.Ops());
  Image changed = SmallPicture();
  changed.pixels[0] = 0xFF000000;
  b.DrawImage(changed, 1, 1);
  a.DrawImage(SmallPicture(), 1, 1);
  EXPECT_FALSE(a.Ops()[1] == b.Ops()[1]);
}

TEST(RecordingSurface, DumpIsReadable) {
  RecordingSurface r(10, 10);
  r.Line(0, 0, 10, 10);
  r.SetBrush(MakeBrush(0x00FF00, BrushStyle::Cross));
  r.Rectangle(1, 2, 3, 4);
  r.TextOut(3, 4, "hi");
  const std::string dump = r.Dump();
  EXPECT_NE(dump.find("#1 LineTo 0,0,10,10 pen(000000 w1 Solid)"), std::string::npos) << dump;
  EXPECT_NE(dump.find("Rectangle 1,2,3,4 pen(000000 w1 Solid) brush(00FF00 Cross) opaque(FFFFFF)"),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("TextOut 3,4 \"hi\" opaque(FFFFFF) font(Arial -11 w400 cs1)"),
            std::string::npos)
      << dump;
  std::ostringstream s;
  s << r.Ops()[0];
  EXPECT_EQ(s.str(), "MoveTo 0,0");
}

TEST(RecordingSurface, SnapshotWithoutInnerIsWhite) {
  RecordingSurface r(3, 2);
  r.Rectangle(0, 0, 3, 2);
  const Image img = r.Snapshot();
  EXPECT_EQ(img.width, 3);
  EXPECT_EQ(img.height, 2);
  for (uint32_t p : img.pixels) EXPECT_EQ(p, 0xFFFFFFFFu);
  EXPECT_EQ(r.Handle(), 0);
}

TEST(RecordingSurface, OpsOfKindAndClear) {
  RecordingSurface r(10, 10);
  r.Line(0, 0, 1, 1);
  r.Line(2, 2, 3, 3);
  r.Ellipse(0, 0, 5, 5);
  EXPECT_EQ(r.OpsOfKind(OpKind::LineTo).size(), 2u);
  EXPECT_EQ(r.OpsOfKind(OpKind::Ellipse).size(), 1u);
  EXPECT_EQ(r.OpsOfKind(OpKind::Pie).size(), 0u);
  r.ClearOps();
  EXPECT_TRUE(r.Ops().empty());
  EXPECT_STREQ(OpKindName(OpKind::CopyFrom), "CopyFrom");
  EXPECT_STREQ(OpKindName(OpKind::SetPen), "SetPen");
}

}  // namespace
