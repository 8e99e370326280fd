#include "engine/drawing/panel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/cairo/image_output.h"
#include "platform/surface.h"

namespace zq {
namespace {

namespace fs = std::filesystem;
using platform::Image;
using platform::Rgb;

// A chart whose content is the panel background and a frame around the chart rectangle,
// unless a test gives other content.
class TestPanel : public TCustomZidPanelExtended {
 public:
  int contentCalls = 0;
  int restoreCalls = 0;
  Rect lastBounds;
  std::function<void(TestPanel&, const Rect&)> content;

 protected:
  void DrawChartContent(const Rect& bounds) override {
    ++contentCalls;
    lastBounds = bounds;
    if (content) {
      content(*this, bounds);
      return;
    }
    PaintPanelBackground(bounds);
    Canvas().SetPenColor(clRed);
    Canvas().SetBrushStyle(TBrushStyle::bsClear);
    Canvas().DrawRectR(ChartRect());
  }
  void RestoreAxisScales() override { ++restoreCalls; }
};

// A panel whose window counts invalidations.
struct Fixture {
  TestPanel panel;
  int invalidations = 0;
  int refreshes = 0;
  Fixture() {
    panel.SetWindowLink({[this] { ++invalidations; }, [this] { ++refreshes; }});
  }
};

Rgb PixelOf(const Image& image, int32_t x, int32_t y) {
  const uint32_t p = image.At(x, y);
  return platform::MakeRgb(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
}

Rgb PixelOf(platform::Surface& surface, int32_t x, int32_t y) {
  return PixelOf(surface.Snapshot(), x, y);
}

// A picture whose every pixel tells where it is: red = x, green = y, blue 0x80.
Image CoordinatePicture(int32_t width, int32_t height) {
  Image image;
  image.width = width;
  image.height = height;
  image.pixels.resize(size_t(width) * size_t(height));
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      image.pixels[size_t(y) * size_t(width) + size_t(x)] =
          0xFF000000u | (uint32_t(x & 0xFF) << 16) | (uint32_t(y & 0xFF) << 8) | 0x80u;
    }
  }
  return image;
}

Rgb CoordinateColor(int32_t x, int32_t y) {
  return platform::MakeRgb(uint8_t(x), uint8_t(y), 0x80);
}

// ---- geometry of the painting pass --------------------------------------------------------

TEST(PanelDefaults, NewPanelHasTheDocumentedValues) {
  TestPanel p;
  EXPECT_EQ(p.Width(), 400);
  EXPECT_EQ(p.Height(), 250);
  EXPECT_EQ(p.Chart3DPercent(), 15);
  EXPECT_TRUE(p.ApplyZOrder());
  EXPECT_EQ(p.MarginLeft(), 3);
  EXPECT_EQ(p.MarginTop(), 4);
  EXPECT_EQ(p.MarginRight(), 3);
  EXPECT_EQ(p.MarginBottom(), 4);
  EXPECT_EQ(p.PrintMargins(), (Rect{15, 15, 15, 15}));
  EXPECT_TRUE(p.PrintProportional());
  EXPECT_EQ(p.PrintResolution(), 0);
  EXPECT_FALSE(p.Printing());
  EXPECT_TRUE(p.View3D());
  EXPECT_EQ(p.View3DOptions().Elevation(), 345);
  EXPECT_TRUE(p.AutoRepaint());
  EXPECT_TRUE(p.UseBackBuffer());
  EXPECT_FALSE(p.Monochrome());
  EXPECT_FALSE(p.CancelMouse());
  EXPECT_FALSE(p.Zoom().Active);
  EXPECT_FALSE(p.Panning().Active);
  EXPECT_EQ(p.Color(), clBtnFace);
  EXPECT_EQ(p.BevelOuter(), TPanelBevel::bvRaised);
  EXPECT_EQ(p.BevelInner(), TPanelBevel::bvNone);
  EXPECT_EQ(p.BevelWidth(), 1);
  EXPECT_EQ(p.BorderWidth(), 0);
  EXPECT_FALSE(p.IsDesigning());
  EXPECT_FALSE(p.IsLoading());

  EXPECT_EQ(p.AnimatedZoomSteps(), 8);
  EXPECT_FALSE(p.AnimatedZoom());
  EXPECT_TRUE(p.AllowZoom());
  EXPECT_EQ(p.AllowPanning(), TPanningMode::pmBoth);
  EXPECT_TRUE(p.BackImage().Empty());
  EXPECT_EQ(p.BackImageMode(), TZidBackImageMode::pbmStretch);
  EXPECT_FALSE(p.Zoomed());
  EXPECT_EQ(p.Gradient().Direction(), TGradientDirection::gdTopBottom);
  EXPECT_EQ(p.Gradient().EndColor(), TColor(65535));
  EXPECT_EQ(p.Gradient().StartColor(), TColor(16777215));
  EXPECT_FALSE(p.Gradient().Visible());
  EXPECT_EQ(p.Gradient().Owner(), &p);
}

TEST(PanelChartRect, MarginsArePercentagesRoundedHalfAwayFromZero) {
  TestPanel p;
  p.SetSize(483, 293);
  for (int i = 0; i < 4; ++i) p.SetMargin(i, 3);
  auto surface = platform::CreateMemorySurface(483, 293);
  p.Paint(*surface, p.ClientRect());
  ASSERT_EQ(p.contentCalls, 1);
  EXPECT_EQ(p.ChartBounds(), (Rect{0, 0, 483, 293}));
  // 3 % of 483 = 14.49, of 293 = 8.79.
  EXPECT_EQ(p.ChartRect(), (Rect{14, 9, 469, 284}));
  EXPECT_EQ(p.ChartWidth(), 455);
  EXPECT_EQ(p.ChartHeight(), 275);
  EXPECT_EQ(p.ChartXCenter(), 241);
  EXPECT_EQ(p.ChartYCenter(), 146);

  // The border comes on top of the margins.
  p.SetBorderWidth(2);
  p.DrawToSurface(*surface, p.ClientRect());
  EXPECT_EQ(p.ChartRect(), (Rect{16, 11, 467, 282}));

  // Halves go away from zero, also for negative margins: 5 % of 50 = 2.5.
  p.SetBorderWidth(0);
  p.SetSize(50, 50);
  p.SetMarginLeft(5);
  p.SetMarginTop(-5);
  p.SetMarginRight(-5);
  p.SetMarginBottom(5);
  auto small = platform::CreateMemorySurface(50, 50);
  p.DrawToSurface(*small, p.ClientRect());
  // The top edge, above the bounds, is raised to them.
  EXPECT_EQ(p.ChartRect(), (Rect{3, 0, 53, 47}));
}

TEST(PanelChartRect, UnbufferedPassUsesTheGivenRectangle) {
  TestPanel p;
  p.SetUseBackBuffer(false);
  for (int i = 0; i < 4; ++i) p.SetMargin(i, 10);
  auto surface = platform::CreateMemorySurface(300, 300);
  p.DrawToSurface(*surface, Rect{100, 50, 300, 250});
  EXPECT_EQ(p.lastBounds, (Rect{100, 50, 300, 250}));
  EXPECT_EQ(p.ChartRect(), (Rect{120, 70, 280, 230}));
  EXPECT_EQ(p.ChartXCenter(), 200);
  EXPECT_EQ(p.ChartYCenter(), 150);
}

TEST(PanelChartRect, CollapsedRectangleIsWidened) {
  TestPanel p;
  p.SetSize(100, 80);
  p.SetUseBackBuffer(false);
  auto surface = platform::CreateMemorySurface(100, 80);
  // Right meets left: the panel width is added.
  p.SetMarginLeft(50);
  p.SetMarginRight(50);
  p.SetMarginTop(50);
  p.SetMarginBottom(50);
  p.DrawToSurface(*surface, p.ClientRect());
  EXPECT_EQ(p.ChartRect(), (Rect{50, 40, 150, 120}));
  // Right crosses left: one pixel wide.
  p.SetMarginLeft(60);
  p.SetMarginRight(60);
  p.SetMarginTop(60);
  p.SetMarginBottom(60);
  p.DrawToSurface(*surface, p.ClientRect());
  EXPECT_EQ(p.ChartRect(), (Rect{60, 48, 61, 49}));
  EXPECT_EQ(p.ChartWidth(), 1);
  EXPECT_EQ(p.ChartHeight(), 1);
}

TEST(PanelChartRect, RecalcCentresTruncateTowardZero) {
  TestPanel p;
  p.SetUseBackBuffer(false);
  p.content = [](TestPanel& panel, const Rect&) {
    panel.SetChartRect({-7, -5, 0, 0});
    panel.RecalcWidthHeight();
  };
  auto surface = platform::CreateMemorySurface(10, 10);
  p.DrawToSurface(*surface, Rect{-20, -20, 20, 20});
  EXPECT_EQ(p.ChartRect(), (Rect{-7, -5, 0, 0}));
  // -3.5 and -2.5, both toward zero.
  EXPECT_EQ(p.ChartXCenter(), -3);
  EXPECT_EQ(p.ChartYCenter(), -2);
  // Edges outside the bounds are raised to them.
  p.content = [](TestPanel& panel, const Rect&) {
    panel.SetChartRect({-30, -25, 5, 5});
    panel.RecalcWidthHeight();
  };
  p.DrawToSurface(*surface, Rect{-20, -20, 20, 20});
  EXPECT_EQ(p.ChartRect(), (Rect{-20, -20, 5, 5}));
}

TEST(PanelMargins, IndexedAccessCoversTheFourMarginsOnly) {
  Fixture f;
  f.panel.SetMargin(2, 9);
  EXPECT_EQ(f.panel.MarginRight(), 9);
  EXPECT_EQ(f.panel.Margin(2), 9);
  EXPECT_EQ(f.invalidations, 1);
  f.panel.SetMargin(4, 1);
  f.panel.SetMargin(-1, 1);
  EXPECT_EQ(f.panel.Margin(4), 0);
  EXPECT_EQ(f.panel.Margin(-1), 0);
  EXPECT_EQ(f.invalidations, 1);
}

// ---- Chart3DPercent -------------------------------------------------------------------------

TEST(PanelChart3DPercent, OutOfRangeIsRejectedWithTheMessageAndKeepsTheValue) {
  Fixture f;
  for (int32_t bad : {0, 101, -1, INT32_MIN, INT32_MAX}) {
    try {
      f.panel.SetChart3DPercent(bad);
      FAIL() << bad << " was accepted";
    } catch (const ChartException& e) {
      EXPECT_STREQ(e.what(), "3D effect percent must be between 1 and 100");
    }
    EXPECT_EQ(f.panel.Chart3DPercent(), 15);
  }
  EXPECT_EQ(f.invalidations, 0);
  f.panel.SetChart3DPercent(1);
  EXPECT_EQ(f.panel.Chart3DPercent(), 1);
  f.panel.SetChart3DPercent(100);
  EXPECT_EQ(f.panel.Chart3DPercent(), 100);
  EXPECT_EQ(f.invalidations, 2);
  f.panel.SetChart3DPercent(100);
  EXPECT_EQ(f.invalidations, 2);
}

// ---- repainting ---------------------------------------------------------------------------

TEST(PanelRepaint, SettersInvalidateOnlyOnChangeAndNotWithoutAutoRepaint) {
  Fixture f;
  TestPanel& p = f.panel;
  p.SetView3D(false);
  p.SetColor(clWhite);
  p.SetBevelWidth(0);
  p.SetBackImageMode(TZidBackImageMode::pbmTile);
  p.SetAllowPanning(TPanningMode::pmNone);
  p.Gradient().SetVisible(true);
  p.View3DOptions().SetRotation(10);
  EXPECT_EQ(f.invalidations, 7);
  p.SetView3D(false);
  p.SetColor(clWhite);
  p.Gradient().SetVisible(true);
  p.View3DOptions().SetRotation(10);
  EXPECT_EQ(f.invalidations, 7);

  p.SetAutoRepaint(false);
  p.SetView3D(true);
  p.Gradient().SetStartColor(clRed);
  EXPECT_EQ(f.invalidations, 7);
  EXPECT_TRUE(p.View3D());
  p.SetAutoRepaint(true);
  p.RequestRepaint();
  EXPECT_EQ(f.invalidations, 8);
}

TEST(PanelRepaint, BackImageChangesRepaint) {
  Fixture f;
  f.panel.BackImage().SetImage(CoordinatePicture(4, 4));
  EXPECT_EQ(f.invalidations, 1);
  f.panel.BackImage().Clear();
  EXPECT_EQ(f.invalidations, 2);
  TPicture other;
  other.SetImage(CoordinatePicture(2, 3));
  f.panel.SetBackImage(other);
  EXPECT_EQ(f.invalidations, 3);
  EXPECT_EQ(f.panel.BackImage().Width(), 2);
}

TEST(PanelRepaint, CleanBackBufferIsCopiedWithoutDrawingAgain) {
  Fixture f;
  TestPanel& p = f.panel;
  p.SetSize(120, 90);
  auto first = platform::CreateMemorySurface(120, 90);
  p.Paint(*first, p.ClientRect());
  EXPECT_EQ(p.contentCalls, 1);
  const Image painted = first->Snapshot();

  auto second = platform::CreateMemorySurface(120, 90);
  p.Paint(*second, p.ClientRect());
  EXPECT_EQ(p.contentCalls, 1);
  const Image copied = second->Snapshot();
  EXPECT_EQ(copied.pixels, painted.pixels);

  // A change makes the buffer dirty: the next paint draws again.
  p.SetColor(clAqua);
  p.Paint(*second, p.ClientRect());
  EXPECT_EQ(p.contentCalls, 2);
  EXPECT_EQ(PixelOf(*second, 5, 5), ColorToRGB(clAqua));

  // A new size never reuses the old buffer.
  p.SetSize(100, 80);
  p.Paint(*second, p.ClientRect());
  EXPECT_EQ(p.contentCalls, 3);

  // Neither does a window that grew without telling the panel.
  auto larger = platform::CreateMemorySurface(130, 95);
  p.Paint(*larger, Rect{0, 0, 130, 95});
  EXPECT_EQ(p.contentCalls, 4);
  EXPECT_EQ(p.Width(), 130);
  EXPECT_EQ(p.Height(), 95);
  EXPECT_EQ(p.ChartBounds(), (Rect{0, 0, 130, 95}));

  // Unbuffered, every paint draws.
  p.SetUseBackBuffer(false);
  p.Paint(*larger, p.ClientRect());
  p.Paint(*larger, p.ClientRect());
  EXPECT_EQ(p.contentCalls, 6);

  // Nothing at all while printing.
  p.SetPrinting(true);
  p.Paint(*larger, p.ClientRect());
  EXPECT_EQ(p.contentCalls, 6);
}

TEST(PanelRepaint, RefreshGoesToTheWindow) {
  Fixture f;
  f.panel.RefreshWindow();
  EXPECT_EQ(f.refreshes, 1);
  TestPanel unlinked;
  unlinked.RefreshWindow();  // no window: nothing happens
  unlinked.RequestRepaint();
}

// ---- background -----------------------------------------------------------------------------

Image PaintGradient(TGradientDirection direction, int32_t width = 483, int32_t height = 293) {
  TestPanel p;
  p.SetSize(width, height);
  p.SetBevelWidth(0);
  p.Gradient().SetVisible(true);
  p.Gradient().SetStartColor(clRed);
  p.Gradient().SetEndColor(clBlue);
  p.Gradient().SetDirection(direction);
  p.content = [](TestPanel& panel, const Rect& bounds) { panel.PaintPanelBackground(bounds); };
  auto surface = platform::CreateMemorySurface(width, height);
  p.Paint(*surface, p.ClientRect());
  return surface->Snapshot();
}

TEST(PanelBackground, TopBottomAndBottomTopPaintTheSamePicture) {
  const Image topBottom = PaintGradient(TGradientDirection::gdTopBottom);
  const Image bottomTop = PaintGradient(TGradientDirection::gdBottomTop);
  EXPECT_EQ(topBottom.pixels, bottomTop.pixels);
  // StartColor at the bottom, EndColor at the top.
  EXPECT_EQ(PixelOf(topBottom, 100, 292), ColorToRGB(clRed));
  const Rgb top = PixelOf(topBottom, 100, 0);
  EXPECT_GE(platform::BlueOf(top), 250);
  EXPECT_LE(platform::RedOf(top), 5);

  const Image leftRight = PaintGradient(TGradientDirection::gdLeftRight);
  const Image rightLeft = PaintGradient(TGradientDirection::gdRightLeft);
  EXPECT_EQ(leftRight.pixels, rightLeft.pixels);
  EXPECT_EQ(PixelOf(leftRight, 482, 100), ColorToRGB(clRed));
}

TEST(PanelBackground, WithoutGradientThePanelColourFillsAndNotWhilePrinting) {
  TestPanel p;
  p.SetColor(clLime);
  auto surface = platform::CreateMemorySurface(40, 30);
  p.Canvas().SetSurface(surface.get());
  p.FillBackground({0, 0, 40, 30});
  EXPECT_EQ(PixelOf(*surface, 0, 0), ColorToRGB(clLime));
  EXPECT_EQ(PixelOf(*surface, 39, 29), ColorToRGB(clLime));

  auto blank = platform::CreateMemorySurface(40, 30);
  p.Canvas().SetSurface(blank.get());
  p.SetPrinting(true);
  p.FillBackground({0, 0, 40, 30});
  EXPECT_EQ(PixelOf(*blank, 5, 5), 0xFFFFFFu);
}

TEST(PanelBackground, BevelsUseTheFrameworkColoursAndNestInsideEachOther) {
  TestPanel p;
  p.SetColor(clSilver);
  p.SetBevelOuter(TPanelBevel::bvRaised);
  p.SetBorderWidth(2);
  p.SetBevelInner(TPanelBevel::bvLowered);
  auto surface = platform::CreateMemorySurface(40, 30);
  p.Canvas().SetSurface(surface.get());
  p.DrawPanelBevel({0, 0, 40, 30});
  const Image img = surface->Snapshot();
  const Rgb highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
  // Outer raised: light at top-left, dark at bottom-right.
  EXPECT_EQ(PixelOf(img, 0, 0), highlight);
  EXPECT_EQ(PixelOf(img, 20, 0), highlight);
  EXPECT_EQ(PixelOf(img, 39, 29), shadow);
  EXPECT_EQ(PixelOf(img, 39, 15), shadow);
  // Border of 2 in the panel colour.
  EXPECT_EQ(PixelOf(img, 1, 15), ColorToRGB(clSilver));
  EXPECT_EQ(PixelOf(img, 2, 15), ColorToRGB(clSilver));
  // Inner lowered: dark at top-left, light at bottom-right.
  EXPECT_EQ(PixelOf(img, 3, 15), shadow);
  EXPECT_EQ(PixelOf(img, 36, 15), highlight);
  // Inside everything: untouched.
  EXPECT_EQ(PixelOf(img, 4, 15), 0xFFFFFFu);

  // Nothing while printing.
  auto blank = platform::CreateMemorySurface(40, 30);
  p.Canvas().SetSurface(blank.get());
  p.SetPrinting(true);
  p.DrawPanelBevel({0, 0, 40, 30});
  EXPECT_EQ(PixelOf(*blank, 0, 0), 0xFFFFFFu);
}

// ---- background picture -----------------------------------------------------------------------

struct PictureFixture {
  TestPanel panel;
  std::unique_ptr<platform::Surface> surface = platform::CreateMemorySurface(60, 50);
  PictureFixture() {
    panel.SetColor(clLime);
    panel.Canvas().SetSurface(surface.get());
  }
};

TEST(PanelBackPicture, TileWithAnEmptyPictureDrawsNothing) {
  PictureFixture f;
  f.panel.SetBackImageMode(TZidBackImageMode::pbmTile);
  Image empty;
  f.panel.BackImage().SetImage(empty);
  const Image before = f.surface->Snapshot();
  f.panel.DrawBackPicture({5, 5, 50, 40}, 0);
  f.panel.DrawBackImage({5, 5, 50, 40});
  EXPECT_EQ(f.surface->Snapshot().pixels, before.pixels);
}

TEST(PanelBackPicture, TileCoversTheRectangleOnlyFromItsCorner) {
  PictureFixture f;
  f.panel.SetBackImageMode(TZidBackImageMode::pbmTile);
  f.panel.BackImage().SetImage(CoordinatePicture(7, 6));
  f.panel.DrawBackPicture({10, 5, 40, 30}, 0);
  const Image img = f.surface->Snapshot();
  EXPECT_EQ(PixelOf(img, 10, 5), CoordinateColor(0, 0));
  EXPECT_EQ(PixelOf(img, 17, 11), CoordinateColor(0, 0));  // second tile in both directions
  EXPECT_EQ(PixelOf(img, 39, 29), CoordinateColor((39 - 10) % 7, (29 - 5) % 6));
  // Clipped to the rectangle.
  EXPECT_EQ(PixelOf(img, 40, 10), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(img, 20, 30), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(img, 9, 10), 0xFFFFFFu);
  // The clip is gone afterwards.
  f.panel.Canvas().SetBrushColor(clBlack);
  f.panel.Canvas().SetBrushStyle(TBrushStyle::bsSolid);
  f.panel.Canvas().FillRectangle({0, 0, 60, 50});
  EXPECT_EQ(PixelOf(*f.surface, 59, 49), 0u);
}

TEST(PanelBackPicture, CentreOfALargerPictureStartsAtNegativeOffsetsAndIsClipped) {
  PictureFixture f;
  f.panel.SetBackImageMode(TZidBackImageMode::pbmCenter);
  f.panel.BackImage().SetImage(CoordinatePicture(40, 40));
  // 21 x 20 rectangle: x offset (21 - 40) / 2 = -9 (toward zero), y offset -10.
  f.panel.DrawBackPicture({10, 10, 31, 30}, 0);
  const Image img = f.surface->Snapshot();
  EXPECT_EQ(PixelOf(img, 10, 10), CoordinateColor(9, 10));
  EXPECT_EQ(PixelOf(img, 30, 29), CoordinateColor(29, 29));
  EXPECT_EQ(PixelOf(img, 9, 10), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(img, 31, 10), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(img, 10, 9), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(img, 10, 30), 0xFFFFFFu);
}

TEST(PanelBackPicture, CentreOfASmallerPictureFillsTheBackgroundAround) {
  PictureFixture f;
  f.panel.SetBackImageMode(TZidBackImageMode::pbmCenter);
  f.panel.BackImage().SetImage(CoordinatePicture(10, 10));
  f.panel.DrawBackPicture({0, 0, 31, 30}, 0);
  const Image img = f.surface->Snapshot();
  EXPECT_EQ(PixelOf(img, 0, 0), ColorToRGB(clLime));
  EXPECT_EQ(PixelOf(img, 10, 10), CoordinateColor(0, 0));  // (31 - 10) / 2 = 10
  EXPECT_EQ(PixelOf(img, 19, 19), CoordinateColor(9, 9));
  EXPECT_EQ(PixelOf(img, 30, 29), ColorToRGB(clLime));
  EXPECT_EQ(PixelOf(img, 31, 29), 0xFFFFFFu);
}

TEST(PanelBackPicture, StretchFillsTheRectangle) {
  PictureFixture f;
  f.panel.BackImage().SetImage(CoordinatePicture(2, 2));
  f.panel.DrawBackPicture({10, 10, 30, 30}, 0);
  const Image img = f.surface->Snapshot();
  EXPECT_EQ(PixelOf(img, 10, 10), CoordinateColor(0, 0));
  EXPECT_EQ(PixelOf(img, 29, 29), CoordinateColor(1, 1));
  EXPECT_EQ(PixelOf(img, 9, 9), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(img, 30, 30), 0xFFFFFFu);
}

TEST(PanelBackPicture, NothingAtDepthBehindARotatedWall) {
  TestPanel p;
  p.SetUseBackBuffer(false);  // what is not drawn stays white
  p.View3DOptions().SetOrthogonal(false);
  p.BackImage().SetImage(CoordinatePicture(8, 8));
  p.content = [](TestPanel& panel, const Rect&) {
    panel.SetWidth3D(20);
    panel.Canvas().SetProjectionCentre(20, panel.ChartBounds(), panel.ChartRect());
    panel.DrawBackPicture(panel.ChartRect(), 20);
  };
  auto surface = platform::CreateMemorySurface(100, 80);
  p.SetSize(100, 80);
  const Image before = surface->Snapshot();
  p.Paint(*surface, p.ClientRect());
  EXPECT_EQ(surface->Snapshot().pixels, before.pixels);
}

TEST(PanelBackPicture, StretchAtDepthFollowsTheOrthogonalProjection) {
  TestPanel p;
  p.SetSize(100, 80);
  p.SetUseBackBuffer(false);
  p.BackImage().SetImage(CoordinatePicture(2, 2));
  p.content = [](TestPanel& panel, const Rect&) {
    panel.SetChartRect({20, 30, 60, 70});
    panel.SetWidth3D(10);
    panel.Canvas().SetProjectionCentre(10, panel.ChartBounds(), panel.ChartRect());
    panel.DrawBackPicture(panel.ChartRect(), 10);
  };
  auto surface = platform::CreateMemorySurface(100, 80);
  p.Paint(*surface, p.ClientRect());
  const Image img = surface->Snapshot();
  // 10 pixels of depth: 10 right and 10 up.
  EXPECT_EQ(PixelOf(img, 30, 20), CoordinateColor(0, 0));
  EXPECT_EQ(PixelOf(img, 69, 59), CoordinateColor(1, 1));
  EXPECT_EQ(PixelOf(img, 29, 20), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(img, 70, 59), 0xFFFFFFu);
}

// ---- zoom rectangle -------------------------------------------------------------------------

TEST(PanelZoomRectangle, DrawingItTwiceErasesIt) {
  for (TColor color : {clBtnFace, clWhite, clNavy}) {
    TestPanel p;
    p.SetSize(120, 90);
    p.SetColor(color);
    p.Gradient().SetVisible(true);  // something other than one flat colour underneath
    auto surface = platform::CreateMemorySurface(120, 90);
    p.Paint(*surface, p.ClientRect());
    const Image before = surface->Snapshot();

    p.Zoom().Activate(70, 60);
    p.Zoom().X1 = 20;
    p.Zoom().Y1 = 15;
    p.DrawZoomRectangle();
    const Image drawn = surface->Snapshot();
    EXPECT_NE(drawn.pixels, before.pixels) << color;
    // Only the outline changes; in not-xor with white (or white turned black) it shows.
    EXPECT_NE(PixelOf(drawn, 20, 30), PixelOf(before, 20, 30)) << color;
    EXPECT_EQ(PixelOf(drawn, 40, 30), PixelOf(before, 40, 30)) << color;

    p.DrawZoomRectangle();
    EXPECT_EQ(surface->Snapshot().pixels, before.pixels) << color;
    EXPECT_EQ(p.Canvas().Pen().mode, platform::PenMode::Copy);
  }
}

TEST(PanelZoomRecord, ActivateAndNormalise) {
  TZoomPanningRecord r;
  r.Activate(30, 40);
  EXPECT_TRUE(r.Active);
  EXPECT_EQ(r.X0, 30);
  EXPECT_EQ(r.X1, 30);
  EXPECT_EQ(r.Y0, 40);
  EXPECT_EQ(r.Y1, 40);
  r.X1 = 10;
  r.Y1 = 50;
  r.Normalise();
  EXPECT_EQ(r.X0, 10);
  EXPECT_EQ(r.X1, 30);
  EXPECT_EQ(r.Y0, 40);
  EXPECT_EQ(r.Y1, 50);
}

TEST(PanelZoom, UndoZoomRestoresFiresAndRepaints) {
  Fixture f;
  int undos = 0;
  f.panel.OnUndoZoom = [&] { ++undos; };
  f.panel.SetZoomed(true);
  f.panel.UndoZoom();
  EXPECT_EQ(f.panel.restoreCalls, 1);
  EXPECT_EQ(undos, 1);
  EXPECT_EQ(f.invalidations, 1);
  EXPECT_FALSE(f.panel.Zoomed());
  f.panel.OnUndoZoom = nullptr;
  f.panel.UndoZoom();  // an unset event is not called
  EXPECT_EQ(f.panel.restoreCalls, 2);
}

// ---- canvas helpers -----------------------------------------------------------------------

TEST(PanelBrush, HatchInTheBackgroundColourTurnsBlackOrWhite) {
  TestPanel p;
  auto surface = platform::CreateMemorySurface(10, 10);
  p.Canvas().SetSurface(surface.get());
  TZidCanvas3D& c = p.Canvas();

  p.SetBrushColours(clRed, TBrushStyle::bsCross, clRed);
  EXPECT_EQ(c.Brush().color, ColorToRGB(clBlack));
  EXPECT_EQ(c.Brush().style, platform::BrushStyle::Cross);
  EXPECT_EQ(c.CurrentBackMode(), platform::BackMode::Opaque);
  EXPECT_EQ(ColorToRGB(c.CurrentBackColor()), ColorToRGB(clRed));

  p.SetBrushColours(clBlack, TBrushStyle::bsHorizontal, clBlack);
  EXPECT_EQ(c.Brush().color, ColorToRGB(clWhite));

  p.SetBrushColours(clBlue, TBrushStyle::bsVertical, clRed);
  EXPECT_EQ(c.Brush().color, ColorToRGB(clBlue));

  // A solid brush keeps its colour and draws on a transparent background.
  p.SetBrushColours(clRed, TBrushStyle::bsSolid, clRed);
  EXPECT_EQ(c.Brush().color, ColorToRGB(clRed));
  EXPECT_EQ(c.Brush().style, platform::BrushStyle::Solid);
  EXPECT_EQ(c.CurrentBackMode(), platform::BackMode::Transparent);
}

TEST(PanelText, WidestLineWidthMeasuresEachLine) {
  TestPanel p;
  auto surface = platform::CreateMemorySurface(10, 10);
  p.Canvas().SetSurface(surface.get());
  TZidCanvas3D& c = p.Canvas();
  const int32_t wide = c.TextWidthOf("Wide line");
  const int32_t narrow = c.TextWidthOf("i");
  ASSERT_GT(wide, narrow);
  int32_t lines = -1;
  EXPECT_EQ(p.WidestLineWidth("Wide line", lines), wide);
  EXPECT_EQ(lines, 1);
  EXPECT_EQ(p.WidestLineWidth("", lines), 0);
  EXPECT_EQ(lines, 1);
  EXPECT_EQ(p.WidestLineWidth("i\rWide line\ri", lines), wide);
  EXPECT_EQ(lines, 3);
  EXPECT_EQ(p.WidestLineWidth("i\rWide line\r", lines), wide);
  EXPECT_EQ(lines, 2);
  EXPECT_EQ(p.WidestLineWidth("\r\r", lines), 0);
  EXPECT_EQ(lines, 2);
}

TEST(PanelCanvas, FontMonochromeBufferAndClipping) {
  Fixture f;
  TestPanel& p = f.panel;
  TChartFont font;
  font.SetName("Courier New");
  font.SetPixelsPerInch(72);
  p.SetCanvasFont(font);
  EXPECT_EQ(font.PixelsPerInch(), p.Canvas().Font().PixelsPerInch());
  EXPECT_EQ(p.Canvas().Font().Name(), "Courier New");

  p.SetMonochrome(true);
  EXPECT_TRUE(p.Monochrome());
  EXPECT_TRUE(p.Canvas().IsMonochrome());
  EXPECT_GE(f.invalidations, 1);
  p.SetUseBackBuffer(false);
  EXPECT_FALSE(p.Canvas().UsesBuffer());

  EXPECT_TRUE(p.ClippingAllowed());
  p.SetPrinting(true);
  EXPECT_TRUE(p.ClippingAllowed());
}

// ---- owned parts --------------------------------------------------------------------------

TEST(PanelGradient, AssignCopiesTheFourValuesAndRepaintsOnce) {
  Fixture f;
  TChartGradient source;
  source.SetDirection(TGradientDirection::gdFromCenter);
  source.SetStartColor(clRed);
  source.SetEndColor(clGreen);
  source.SetVisible(true);
  f.panel.SetGradient(source);
  EXPECT_EQ(f.invalidations, 1);
  EXPECT_EQ(f.panel.Gradient().Direction(), TGradientDirection::gdFromCenter);
  EXPECT_EQ(f.panel.Gradient().StartColor(), clRed);
  EXPECT_EQ(f.panel.Gradient().EndColor(), clGreen);
  EXPECT_TRUE(f.panel.Gradient().Visible());
  EXPECT_EQ(f.panel.Gradient().Owner(), &f.panel);
  f.panel.SetGradient(source);
  EXPECT_EQ(f.invalidations, 1);
}

TEST(PanelFontObject, FontChangesRepaintTheOwnerAndDefaultsAreNotStored) {
  Fixture f;
  TChartFontObject object(&f.panel);
  EXPECT_FALSE(object.IsFontStored());
  EXPECT_EQ(object.Font().Name(), "Arial");
  EXPECT_EQ(object.Font().Size(), 8);
  object.Font().SetColor(clRed);
  EXPECT_EQ(f.invalidations, 1);
  EXPECT_TRUE(object.IsFontStored());
  object.Repaint();
  EXPECT_EQ(f.invalidations, 2);

  TChartFontObject other(nullptr);
  other.Font().SetSize(12);
  object.Assign(other);
  EXPECT_EQ(object.Font().Size(), 12);
  EXPECT_EQ(object.Font().Color(), clBlack);
  EXPECT_EQ(f.invalidations, 3);
  other.Repaint();  // no owner: nothing
}

TEST(PanelAssign, CopiesTheDocumentedProperties) {
  TestPanel source;
  source.SetUseBackBuffer(false);
  source.SetPrintProportional(false);
  source.SetPrintResolution(-50);
  source.SetMarginLeft(1);
  source.SetMarginTop(2);
  source.SetMarginRight(5);
  source.SetMarginBottom(6);
  source.SetMonochrome(true);
  source.SetView3D(false);
  source.View3DOptions().SetElevation(300);
  source.SetChart3DPercent(40);
  source.SetColor(clTeal);
  source.BackImage().SetImage(CoordinatePicture(3, 3));
  source.SetBackImageMode(TZidBackImageMode::pbmCenter);
  source.Gradient().SetVisible(true);
  source.SetAllowPanning(TPanningMode::pmVertical);
  source.SetAllowZoom(false);
  source.SetAnimatedZoom(true);
  source.SetAnimatedZoomSteps(3);
  source.SetBevelWidth(4);  // not copied

  Fixture f;
  TestPanel& p = f.panel;
  p.Assign(source);
  EXPECT_FALSE(p.UseBackBuffer());
  EXPECT_FALSE(p.PrintProportional());
  EXPECT_EQ(p.PrintResolution(), -50);
  EXPECT_EQ(p.MarginLeft(), 1);
  EXPECT_EQ(p.MarginTop(), 2);
  EXPECT_EQ(p.MarginRight(), 5);
  EXPECT_EQ(p.MarginBottom(), 6);
  EXPECT_TRUE(p.Monochrome());
  EXPECT_FALSE(p.View3D());
  EXPECT_EQ(p.View3DOptions().Elevation(), 300);
  EXPECT_EQ(p.Chart3DPercent(), 40);
  EXPECT_EQ(p.Color(), clTeal);
  EXPECT_EQ(p.BackImage().Width(), 3);
  EXPECT_EQ(p.BackImageMode(), TZidBackImageMode::pbmCenter);
  EXPECT_TRUE(p.Gradient().Visible());
  EXPECT_EQ(p.AllowPanning(), TPanningMode::pmVertical);
  EXPECT_FALSE(p.AllowZoom());
  EXPECT_TRUE(p.AnimatedZoom());
  EXPECT_EQ(p.AnimatedZoomSteps(), 3);
  EXPECT_EQ(p.BevelWidth(), 1);
  EXPECT_GE(f.invalidations, 1);
}

// ---- hit tests and text helpers --------------------------------------------------------------

TEST(HitTest, NearSegment) {
  const Point a{10, 10}, b{30, 20};
  EXPECT_TRUE(NearSegment({10, 10}, a, b));
  EXPECT_TRUE(NearSegment({20, 15}, a, b));
  EXPECT_TRUE(NearSegment({29, 19}, a, b));
  // A pixel or more off the line.
  EXPECT_FALSE(NearSegment({20, 16}, a, b));
  EXPECT_FALSE(NearSegment({20, 13}, a, b));
  // On the line but beyond an end.
  EXPECT_FALSE(NearSegment({32, 21}, a, b));
  EXPECT_FALSE(NearSegment({4, 7}, a, b));
  // ... unless within the tolerance.
  EXPECT_TRUE(NearSegment({32, 21}, a, b, 2));
  EXPECT_TRUE(NearSegment({6, 8}, a, b, 4));
  EXPECT_FALSE(NearSegment({32, 21}, a, b, 1));
  // Direction does not matter.
  EXPECT_TRUE(NearSegment({20, 15}, b, a));
  EXPECT_FALSE(NearSegment({32, 21}, b, a));
  // Vertical and horizontal segments.
  EXPECT_TRUE(NearSegment({5, 50}, {5, 0}, {5, 100}));
  EXPECT_FALSE(NearSegment({6, 50}, {5, 0}, {5, 100}));
  EXPECT_FALSE(NearSegment({5, 101}, {5, 0}, {5, 100}));
  EXPECT_TRUE(NearSegment({100, 7}, {0, 7}, {100, 7}));
  // A point segment has no direction: never near.
  EXPECT_FALSE(NearSegment({5, 5}, {5, 5}, {5, 5}, 3));
  // Far-off coordinates do not overflow.
  EXPECT_TRUE(NearSegment({0, 0}, {-2000000000, -2000000000}, {2000000000, 2000000000}));
}

TEST(HitTest, InsidePolygonUsesTheEvenOddRule) {
  const std::vector<Point> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_TRUE(InsidePolygon({5, 5}, square));
  EXPECT_TRUE(InsidePolygon({0, 0}, square));  // top and left edges are inside
  EXPECT_FALSE(InsidePolygon({10, 5}, square));
  EXPECT_FALSE(InsidePolygon({5, 10}, square));
  EXPECT_FALSE(InsidePolygon({-1, 5}, square));
  // A pentagram: its centre is crossed twice, so even-odd leaves it outside.
  const std::vector<Point> star{{50, 0}, {79, 90}, {2, 34}, {98, 34}, {21, 90}};
  EXPECT_FALSE(InsidePolygon({50, 50}, star));
  EXPECT_TRUE(InsidePolygon({50, 15}, star));
  EXPECT_FALSE(InsidePolygon({5, 5}, star));
  // No points.
  EXPECT_FALSE(InsidePolygon({0, 0}, square.data(), -1));
  EXPECT_FALSE(InsidePolygon({0, 0}, std::vector<Point>{}));
}

TEST(HitTest, Triangles) {
  // Apex (20, 0), base from (10, 20) to (30, 20).
  EXPECT_TRUE(InsideTriangle({20, 10}, 10, 30, 20, 0));
  EXPECT_FALSE(InsideTriangle({11, 5}, 10, 30, 20, 0));
  EXPECT_FALSE(InsideTriangle({20, 21}, 10, 30, 20, 0));
  // Apex (40, 20), base from (0, 10) to (0, 30).
  EXPECT_TRUE(InsideSideTriangle({10, 20}, 10, 30, 40, 0));
  EXPECT_FALSE(InsideSideTriangle({35, 12}, 10, 30, 40, 0));
  EXPECT_FALSE(InsideSideTriangle({-1, 20}, 10, 30, 40, 0));
}

TEST(HitTest, InsideEllipse) {
  const Rect box{0, 0, 20, 10};  // centre (10, 5), half-axes 10 and 5
  EXPECT_TRUE(InsideEllipse({10, 5}, box));
  EXPECT_TRUE(InsideEllipse({0, 5}, box));
  EXPECT_TRUE(InsideEllipse({10, 0}, box));
  EXPECT_FALSE(InsideEllipse({1, 1}, box));
  EXPECT_FALSE(InsideEllipse({21, 5}, box));
  // A zero half-axis (also a 1-pixel extent, halved to 0) holds nothing, not even the centre.
  EXPECT_FALSE(InsideEllipse({10, 5}, Rect{10, 0, 10, 10}));
  EXPECT_FALSE(InsideEllipse({5, 5}, Rect{0, 5, 10, 6}));
  EXPECT_FALSE(InsideEllipse({0, 0}, Rect{}));
}

TEST(TextHelpers, CountAndBreakLines) {
  EXPECT_EQ(CountTextLines(""), 0);
  EXPECT_EQ(CountTextLines("a"), 1);
  EXPECT_EQ(CountTextLines("a\r"), 1);
  EXPECT_EQ(CountTextLines("a\rb"), 2);
  EXPECT_EQ(CountTextLines("\r"), 1);
  EXPECT_EQ(CountTextLines("\r\r"), 2);
  EXPECT_EQ(CountTextLines("a\nb"), 1);  // only carriage returns separate
  EXPECT_EQ(BreakIntoLines("one|two||three", '|'), "one\rtwo\r\rthree");
  EXPECT_EQ(BreakIntoLines("", '|'), "");
  EXPECT_EQ(CountTextLines(BreakIntoLines("x;y;z", ';')), 3);
}

// ---- pictures to look at ------------------------------------------------------------------

// A 60 x 40 picture with a dark frame, a diagonal and an arrow pointing to its top-right
// corner, so that position, scale and orientation show.
Image LandmarkPicture() {
  Image image;
  image.width = 60;
  image.height = 40;
  image.pixels.assign(size_t(60 * 40), 0xFFFFE0A0u);
  auto put = [&](int32_t x, int32_t y, uint32_t p) {
    if (x >= 0 && x < 60 && y >= 0 && y < 40) image.pixels[size_t(y * 60 + x)] = p;
  };
  for (int32_t x = 0; x < 60; ++x) {
    put(x, 0, 0xFF203080u);
    put(x, 39, 0xFF203080u);
  }
  for (int32_t y = 0; y < 40; ++y) {
    put(0, y, 0xFF203080u);
    put(59, y, 0xFF203080u);
  }
  for (int32_t x = 5; x < 55; ++x) put(x, 35 - (x - 5) * 30 / 50, 0xFFC02020u);
  for (int32_t i = 0; i < 8; ++i) {
    put(54 - i, 5, 0xFFC02020u);
    put(54, 5 + i, 0xFFC02020u);
  }
  return image;
}

class PanelPictures : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(ZQ_TEST_OUTPUT) / "panel";
    fs::create_directories(dir_);
  }
  void Save(TestPanel& panel, const std::string& name) {
    auto surface = platform::CreateMemorySurface(panel.Width(), panel.Height());
    panel.Paint(*surface, panel.ClientRect());
    ASSERT_TRUE(platform::SavePng(surface->Snapshot(), (dir_ / (name + ".png")).string()));
  }
  fs::path dir_;
};

TEST_F(PanelPictures, GradientDirections) {
  const std::pair<TGradientDirection, const char*> directions[] = {
      {TGradientDirection::gdTopBottom, "top_bottom"},
      {TGradientDirection::gdBottomTop, "bottom_top"},
      {TGradientDirection::gdLeftRight, "left_right"},
      {TGradientDirection::gdRightLeft, "right_left"},
      {TGradientDirection::gdFromCenter, "from_center"},
      {TGradientDirection::gdFromTopLeft, "from_top_left"},
      {TGradientDirection::gdFromBottomLeft, "from_bottom_left"}};
  for (const auto& [direction, name] : directions) {
    TestPanel p;
    p.SetSize(483, 293);
    p.Gradient().SetVisible(true);
    p.Gradient().SetStartColor(clRed);
    p.Gradient().SetEndColor(clYellow);
    p.Gradient().SetDirection(direction);
    Save(p, std::string("gradient_") + name);
  }
}

TEST_F(PanelPictures, PictureModes) {
  const std::pair<TZidBackImageMode, const char*> modes[] = {
      {TZidBackImageMode::pbmStretch, "stretch"},
      {TZidBackImageMode::pbmTile, "tile"},
      {TZidBackImageMode::pbmCenter, "center"}};
  for (const auto& [mode, name] : modes) {
    TestPanel p;
    p.SetSize(483, 293);
    p.SetBevelInner(TPanelBevel::bvLowered);
    p.SetBorderWidth(3);
    p.BackImage().SetImage(LandmarkPicture());
    p.SetBackImageMode(mode);
    Save(p, std::string("picture_") + name);
  }
}

// The picture inside the back wall of an orthogonal 3D chart, as the chart draws it.
TEST_F(PanelPictures, PictureModesAtDepth) {
  const std::pair<TZidBackImageMode, const char*> modes[] = {
      {TZidBackImageMode::pbmStretch, "stretch"},
      {TZidBackImageMode::pbmTile, "tile"},
      {TZidBackImageMode::pbmCenter, "center"}};
  for (const auto& [mode, name] : modes) {
    TestPanel p;
    p.SetSize(483, 293);
    p.SetColor(clWhite);
    p.BackImage().SetImage(LandmarkPicture());
    p.SetBackImageMode(mode);
    p.content = [](TestPanel& panel, const Rect& bounds) {
      panel.FillBackground(bounds);
      panel.DrawPanelBevel(bounds);
      const int32_t depth = 60;
      Rect r = panel.ChartRect();
      r.right -= depth;
      r.top += depth;
      panel.SetChartRect(r);
      panel.RecalcWidthHeight();
      panel.SetWidth3D(depth);
      TZidCanvas3D& c = panel.Canvas();
      c.SetProjectionCentre(depth, bounds, r);
      panel.DrawBackPicture(r, depth);
      // Wall outlines: back wall, left wall, floor; then the front rectangle.
      c.SetPenColor(clBlack);
      c.SetBrushStyle(TBrushStyle::bsClear);
      c.DrawRectAtZ(r, depth);
      c.DepthLine(r.left, r.top, 0, depth);
      c.DepthLine(r.left, r.bottom, 0, depth);
      c.DepthLine(r.right, r.bottom, 0, depth);
      c.SetPenColor(clGray);
      c.DrawRectAtZ(r, 0);
    };
    Save(p, std::string("picture_depth_") + name);
  }
}

}  // namespace
}  // namespace zq
