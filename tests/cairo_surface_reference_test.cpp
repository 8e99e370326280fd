// The Cairo surface against pictures GDI drew from the same drawing scripts (under Wine, with
// the Liberation fonts standing in for Arial; see tests/data/gdi_reference/README.md).
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/cairo/cairo_surface.h"
#include "platform/cairo/image_output.h"
#include "platform/record/recording_surface.h"
#include "support/gdi_script.h"
#include "support/image_compare.h"

namespace {

using namespace zq::platform;
using zq::testing::DrawingScript;

struct Reference {
  const char* name;
  // Pixels that may differ: GDI under Wine itself draws a few stray ones in the long ellipse
  // scripts, and a few arc ends in even-sized boxes are still chosen differently.
  double tolerance;
};

const Reference kReferences[] = {
    {"lines", 0},  {"wide", 0},    {"shapes", 0}, {"shapes2", 0}, {"misc", 0},  {"misc3", 0},
    {"notxor", 0}, {"px", 0},      {"pies", 0},   {"arcs", 0},    {"arcs2", 0}, {"arcs3", 1e-4},
    {"ell", 2e-4}, {"ell0", 2e-4}, {"rr", 2e-4},  {"img", 0},     {"text", 0},  {"text2", 0},
    {"text3", 0},  {"mono", 0},    {"dither", 0}, {"deco", 0},
};

void PrintTo(const Reference& r, std::ostream* out) {
  *out << r.name;
}

std::string DataPath(const std::string& file) {
  return std::string(ZQ_TEST_DATA) + "/gdi_reference/" + file;
}

class GdiReference : public ::testing::TestWithParam<Reference> {
 protected:
  Image Draw(const DrawingScript& script, Surface& s) {
    s.FillRect({0, 0, s.Width(), s.Height()}, Brush());
    zq::testing::PlayDrawingScript(script, s);
    return s.Snapshot();
  }
};

TEST_P(GdiReference, CairoDrawsWhatGdiDrew) {
  const Reference ref = GetParam();
  const DrawingScript script =
      zq::testing::LoadDrawingScript(DataPath(std::string(ref.name) + ".txt"));
  const std::optional<Image> expected = LoadPng(DataPath(std::string(ref.name) + ".png"));
  ASSERT_TRUE(expected) << ref.name;
  CairoSurface s(script.size.cx, script.size.cy);
  const Image actual = Draw(script, s);
  zq::testing::ImageCompareOptions o;
  o.maxDifferingFraction = ref.tolerance;
  o.diffPath = zq::testing::TestOutputPath(std::string("gdi_reference_") + ref.name + ".diff.png");
  EXPECT_TRUE(zq::testing::ImagesMatch(actual, *expected, o)) << ref.name;
}

TEST_P(GdiReference, RecordedAndReplayedDrawsTheSame) {
  const Reference ref = GetParam();
  const DrawingScript script =
      zq::testing::LoadDrawingScript(DataPath(std::string(ref.name) + ".txt"));
  CairoSurface direct(script.size.cx, script.size.cy);
  const Image expected = Draw(script, direct);
  RecordingSurface recording(script.size.cx, script.size.cy);
  Draw(script, recording);
  CairoSurface replayed(script.size.cx, script.size.cy);
  recording.Replay(replayed);
  EXPECT_TRUE(zq::testing::ImagesMatch(replayed.Snapshot(), expected)) << ref.name;
}

INSTANTIATE_TEST_SUITE_P(Scripts, GdiReference, ::testing::ValuesIn(kReferences),
                         [](const ::testing::TestParamInfo<Reference>& info) {
                           return std::string(info.param.name);
                         });

TEST(DrawingScript, BadFilesAndLinesAreErrors) {
  EXPECT_THROW(zq::testing::LoadDrawingScript("/nonexistent-zq-dir/x.txt"), std::runtime_error);
  const std::string path = zq::testing::TestOutputPath("bad_script.txt");
  { std::ofstream(path) << "size 10 10\nrect 1 2 x 4\n"; }
  EXPECT_THROW(zq::testing::LoadDrawingScript(path), std::runtime_error);
  { std::ofstream(path) << "size 10 10\nwobble 1\n"; }
  const DrawingScript script = zq::testing::LoadDrawingScript(path);
  CairoSurface s(10, 10);
  EXPECT_THROW(zq::testing::PlayDrawingScript(script, s), std::runtime_error);
}

}  // namespace
