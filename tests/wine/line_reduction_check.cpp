// Draws every line-reduction case through GDI twice, with every segment and the usual way, and
// reports each case whose pictures differ in any pixel (both pictures are then written as BMP
// files into the folder given).
#include <cstdio>
#include <exception>
#include <string>

#include "common/picture_file.h"
#include "drawing/line_reduction_cases.h"
#include "platform/surface.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zq_line_reduction_check OUTPUT_DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  int passed = 0, failed = 0;
  for (const zq::test::LineReductionCase& c : zq::test::LineReductionCases()) {
    try {
      auto every = zq::platform::CreateMemorySurface(c.width, c.height);
      auto quick = zq::platform::CreateMemorySurface(c.width, c.height);
      zq::test::DrawLineReductionCase(c, true, *every);
      zq::test::DrawLineReductionCase(c, false, *quick);
      const zq::platform::Image a = every->Snapshot(), b = quick->Snapshot();
      const int64_t differing = zq::test::DifferingPixels(a, b);
      std::printf("%s: %lld differing pixels\n", c.name.c_str(), static_cast<long long>(differing));
      if (differing == 0) {
        ++passed;
        continue;
      }
      ++failed;
      std::string error;
      zq::host::WritePicture(a, dir + "/" + c.name + "_every.bmp", error);
      zq::host::WritePicture(b, dir + "/" + c.name + "_quick.bmp", error);
    } catch (const std::exception& e) {
      std::printf("%s: %s\n", c.name.c_str(), e.what());
      ++failed;
    }
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
