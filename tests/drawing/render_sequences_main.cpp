// Draws the shared drawing sequences with this platform's surface and writes them as BMP files,
// so the pictures of different backends (Cairo, GDI under Wine) can be compared.
#include <cstdio>
#include <string>

#include "drawing/bmp_file.h"
#include "drawing/canvas_sequence.h"
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
    if (!zq::test::WriteBmp24(surface.Snapshot(), dir + "/" + name)) {
      std::fprintf(stderr, "cannot write %s/%s\n", dir.c_str(), name.c_str());
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
  return failures == 0 ? 0 : 1;
}
