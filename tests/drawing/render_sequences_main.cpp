// Draws the shared drawing sequences and the reference charts with this platform's surface and
// writes them as BMP files, so the pictures of different backends (Cairo, GDI under Wine) can be
// compared. Each chart also comes without text (chart_<name>_notext.bmp), to mask the text.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "common/picture_file.h"
#include "drawing/canvas_sequence.h"
#include "drawing/no_text_surface.h"
#include "drawing/reference_charts.h"
#include "platform/surface.h"
#include "wine/draw_sequence.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zq_render_sequences OUTPUT_DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  int failures = 0;
  auto save = [&](zq::platform::Surface& surface, const std::string& name) {
    std::string error;
    if (!zq::host::WritePicture(surface.Snapshot(), dir + "/" + name, error)) {
      std::fprintf(stderr, "cannot write %s/%s: %s\n", dir.c_str(), name.c_str(), error.c_str());
      ++failures;
    }
  };
  {
    auto surface =
        zq::platform::CreateMemorySurface(zq::test::kSequenceWidth, zq::test::kSequenceHeight);
    zq::test::DrawSequence(*surface);
    save(*surface, "surface.bmp");
  }
  for (bool withText : {true, false}) {
    auto surface = zq::platform::CreateMemorySurface(zq::test::kCanvasSequenceWidth,
                                                     zq::test::kCanvasSequenceHeight);
    zq::test::DrawCanvasSequence(*surface, withText);
    save(*surface, withText ? "canvas.bmp" : "canvas_notext.bmp");
  }
  auto withoutText = [](int32_t width, int32_t height) -> std::unique_ptr<zq::platform::Surface> {
    return std::make_unique<zq::test::NoTextSurface>(
        zq::platform::CreateMemorySurface(width, height));
  };
  for (const zq::test::ReferenceChart& chart : zq::test::ReferenceCharts()) {
    const std::string name = "chart_" + std::string(chart.name);
    try {
      for (bool withText : {true, false}) {
        const zq::platform::Image picture = withText
                                                ? zq::test::DrawReferenceChart(chart)
                                                : zq::test::DrawReferenceChart(chart, withoutText);
        const std::string path = dir + "/" + name + (withText ? ".bmp" : "_notext.bmp");
        std::string error;
        if (!zq::host::WritePicture(picture, path, error)) {
          std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
          ++failures;
        }
      }
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s: %s\n", name.c_str(), e.what());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
