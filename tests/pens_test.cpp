#include "engine/drawing/pens.h"

#include <gtest/gtest.h>

namespace zq {
namespace {

TEST(ChartPen, PresetsStartWithTheirOwnDefaults) {
  TChartPen plain;
  EXPECT_EQ(plain.Color(), clBlack);
  EXPECT_EQ(plain.Width(), 1);
  EXPECT_EQ(plain.Style(), TPenStyle::psSolid);
  EXPECT_EQ(plain.Mode(), TPenMode::pmCopy);
  EXPECT_TRUE(plain.Visible());
  EXPECT_FALSE(plain.SmallDots());

  EXPECT_FALSE(TChartHiddenPen().Visible());
  TDottedGrayPen dotted;
  EXPECT_EQ(dotted.Color(), TColor(8421504));
  EXPECT_EQ(dotted.Style(), TPenStyle::psDot);
  EXPECT_EQ(TDarkGrayPen().Color(), TColor(8421504));
  EXPECT_EQ(TDarkGrayPen().Style(), TPenStyle::psSolid);
  EXPECT_EQ(TChartArrowPen().Color(), TColor(16777215));
  EXPECT_EQ(TChartAxisPen().Width(), 2);
  EXPECT_TRUE(TChartAxisPen().Visible());
}

TEST(ChartPen, SettersNotifyOnlyWhenTheValueChanges) {
  int calls = 0;
  TChartPen pen([&] { ++calls; });
  pen.SetVisible(true);
  pen.SetSmallDots(false);
  pen.SetColor(clBlack);
  pen.SetWidth(1);
  pen.SetStyle(TPenStyle::psSolid);
  pen.SetMode(TPenMode::pmCopy);
  EXPECT_EQ(calls, 0);
  pen.SetVisible(false);
  pen.SetSmallDots(true);
  pen.SetColor(clRed);
  pen.SetWidth(3);
  pen.SetStyle(TPenStyle::psDash);
  pen.SetMode(TPenMode::pmNotXor);
  EXPECT_EQ(calls, 6);
  EXPECT_FALSE(pen.Visible());
  EXPECT_TRUE(pen.SmallDots());
}

TEST(ChartPen, AssignCopiesEverythingAndNotifiesOnce) {
  int calls = 0;
  TChartAxisPen target([&] { ++calls; });
  TChartHiddenPen source;
  source.SetSmallDots(true);
  source.SetColor(clBlue);
  source.SetStyle(TPenStyle::psDashDotDot);
  source.SetMode(TPenMode::pmNotXor);
  target.Assign(source);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(target.Visible());
  EXPECT_TRUE(target.SmallDots());
  EXPECT_EQ(target.Color(), clBlue);
  EXPECT_EQ(target.Width(), 1);
  EXPECT_EQ(target.Style(), TPenStyle::psDashDotDot);
  EXPECT_EQ(target.Mode(), TPenMode::pmNotXor);
  target.Assign(source);
  EXPECT_EQ(calls, 1) << "assigning equal values is no change";
}

TEST(ChartPen, SurfacePenResolvesColoursAndStyles) {
  TChartPen pen;
  pen.SetColor(clBtnShadow);
  pen.SetStyle(TPenStyle::psInsideFrame);
  pen.SetWidth(4);
  platform::Pen p = pen.ToSurfacePen();
  EXPECT_EQ(p.color, ColorToRGB(clBtnShadow));
  EXPECT_EQ(p.style, platform::PenStyle::InsideFrame);
  EXPECT_EQ(p.width, 4);
  EXPECT_EQ(ToSurfacePenStyle(TPenStyle::psClear), platform::PenStyle::Clear);
  EXPECT_EQ(ToSurfaceBrushStyle(TBrushStyle::bsDiagCross), platform::BrushStyle::DiagCross);
  EXPECT_EQ(ToSurfaceBrushStyle(TBrushStyle::bsClear), platform::BrushStyle::Clear);
}

TEST(ChartBrush, DefaultsNotificationsAndPattern) {
  int calls = 0;
  TChartBrush brush([&] { ++calls; });
  EXPECT_EQ(brush.Color(), clDefault);
  EXPECT_EQ(brush.Style(), TBrushStyle::bsSolid);
  EXPECT_FALSE(brush.HasPattern());
  brush.SetColor(clDefault);
  brush.SetStyle(TBrushStyle::bsSolid);
  brush.ClearImage();
  EXPECT_EQ(calls, 0);

  platform::Image image;
  image.width = 2;
  image.height = 2;
  image.pixels = {0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000};
  brush.SetImage(image);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(brush.HasPattern());
  brush.SetImage(image);
  EXPECT_EQ(calls, 1);

  platform::BrushPattern pattern = PatternFromImage(brush.Image());
  EXPECT_EQ(pattern.rows[0], 0xAA);  // dark, light, dark, light, ...
  EXPECT_EQ(pattern.rows[1], 0x55);
  EXPECT_EQ(pattern.rows[7], 0x55);

  TChartBrush copy;
  copy.Assign(brush);
  EXPECT_TRUE(copy.HasPattern());
  brush.ClearImage();
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(brush.HasPattern());
}

TEST(ChartBrush, DefaultHatchCyclesThroughSixStyles) {
  EXPECT_EQ(DefaultHatchStyle(0), TBrushStyle::bsSolid);
  EXPECT_EQ(DefaultHatchStyle(5), TBrushStyle::bsCross);
  EXPECT_EQ(DefaultHatchStyle(6), TBrushStyle::bsSolid);
  EXPECT_EQ(DefaultHatchStyle(-1), TBrushStyle::bsCross);
}

TEST(ChartFont, DefaultIsArialEightBlack) {
  TChartFont font;
  EXPECT_EQ(font.Name(), "Arial");
  EXPECT_EQ(font.Size(), 8);
  EXPECT_EQ(font.Height(), -11);
  EXPECT_EQ(font.Color(), clBlack);
  EXPECT_TRUE(font.Style().Empty());
  EXPECT_EQ(font.Charset(), 1);
  EXPECT_EQ(font.PixelsPerInch(), 96);
  EXPECT_TRUE(font.IsDefault());

  platform::LogFont lf = font.ToLogFont();
  EXPECT_EQ(lf.face, "Arial");
  EXPECT_EQ(lf.height, -11);
  EXPECT_EQ(lf.weight, 400);
}

TEST(ChartFont, SizeAndHeightFollowEachOther) {
  TChartFont font;
  font.SetSize(10);
  EXPECT_EQ(font.Height(), -13);  // 10 * 96 / 72 = 13.33
  EXPECT_EQ(font.Size(), 10);
  font.SetSize(12);
  EXPECT_EQ(font.Height(), -16);
  font.SetHeight(-20);
  EXPECT_EQ(font.Size(), 15);
  font.SetPixelsPerInch(120);
  EXPECT_EQ(font.Height(), -20) << "the height is what a font stores";
  EXPECT_EQ(font.Size(), 12);
}

TEST(ChartFont, EachDifferenceMakesAFontNotDefault) {
  TChartFont font;
  font.SetName("Times New Roman");
  EXPECT_FALSE(font.IsDefault());
  font.SetName("Arial");
  font.SetSize(9);
  EXPECT_FALSE(font.IsDefault());
  font.SetSize(8);
  font.SetColor(clRed);
  EXPECT_FALSE(font.IsDefault());
  EXPECT_TRUE(font.IsDefault(clRed));
  font.SetColor(clBlack);
  font.SetStyle({TFontStyle::fsBold});
  EXPECT_FALSE(font.IsDefault());
  EXPECT_EQ(font.ToLogFont().weight, 700);
  font.SetStyle({});
  font.SetCharset(204);
  EXPECT_FALSE(font.IsDefault());
}

TEST(ChartFont, CopiesAreValuesAndAssignmentNotifies) {
  int calls = 0;
  TChartFont owned([&] { ++calls; });
  TChartFont other;
  other.SetName("Courier New");
  other.SetStyle({TFontStyle::fsItalic, TFontStyle::fsUnderline});

  TChartFont copy(owned);
  copy.SetSize(20);
  EXPECT_EQ(calls, 0) << "a copy does not carry the owner's notification";

  owned = other;
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(owned.Name(), "Courier New");
  EXPECT_TRUE(owned.Style().Contains(TFontStyle::fsUnderline));
  EXPECT_FALSE(owned.Style().Contains(TFontStyle::fsBold));
  owned.Assign(other);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(owned == other);
  owned.SetSize(8);
  owned.SetSize(8);
  EXPECT_EQ(calls, 1) << "8 points is already the size";
}

TEST(ChartFont, ExtremeSizesStayDefined) {
  TChartFont font;
  font.SetSize(2147483647);
  EXPECT_EQ(font.Height(), 1) << "MulDiv overflow answers -1, as Windows does";
  font.SetSize(-2147483647 - 1);
  font.SetHeight(-2147483647 - 1);
  EXPECT_GT(font.Size(), 0);
  font.SetPixelsPerInch(0);
  EXPECT_EQ(font.Size(), 1);
}

TEST(MulDiv, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(8, 96, 72), 11);
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv(5, 1, 4), 1);
  EXPECT_EQ(MulDiv(3, -1, 2), -2);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(2147483647, 2, 1), -1);
}

}  // namespace
}  // namespace zq
