// Title, wall and background actions (6, 7, 17-20, 26-28): results through the plug-in's
// exports, properties through the actions layer linked into the tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "support/action_hosts.h"

namespace {

using zq::TChart;
using zq::testing::ExportedPlugin;
using zq::testing::InProcessActions;

enum Action : int32_t {
  kSetTitleLine = 6,
  kSetFootLine = 7,
  kChartBackWall = 17,
  kChartBottomWall = 18,
  kChartLeftWall = 19,
  kChartWallSize = 20,
  kGradientFone = 26,
  kColorFone = 27,
  kChartImageInside = 28,
};

constexpr zq::TColor kRed = 0x0000FF;
constexpr zq::TColor kGreen = 0x00FF00;
constexpr zq::TColor kBlue = 0xFF0000;

// A 24-bit bottom-up BMP of width x height in one colour (0xRRGGBB).
std::string WriteBmp(const std::string& name, int32_t width, int32_t height, uint32_t rgb) {
  const int32_t row = (width * 3 + 3) / 4 * 4;
  const uint32_t imageSize = uint32_t(row * height);
  std::string data;
  auto put16 = [&](uint32_t v) {
    data += char(v & 0xFF);
    data += char((v >> 8) & 0xFF);
  };
  auto put32 = [&](uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  data += "BM";
  put32(54 + imageSize);
  put32(0);
  put32(54);
  put32(40);
  put32(uint32_t(width));
  put32(uint32_t(height));
  put16(1);
  put16(24);
  put32(0);
  put32(imageSize);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      data += char(rgb & 0xFF);
      data += char((rgb >> 8) & 0xFF);
      data += char((rgb >> 16) & 0xFF);
    }
    data.append(size_t(row - width * 3), '\0');
  }
  const std::string path = zq::testing::TestOutputPath(name);
  std::ofstream(path, std::ios::binary) << data;
  return path;
}

class PanelActions : public ::testing::Test {
 protected:
  void SetUp() override { act.CreateChart("Chart1"); }
  TChart& Chart() { return act.Chart("Chart1"); }

  InProcessActions act;
};

// ---- title and foot --------------------------------------------------------------------------

TEST_F(PanelActions, TitleTakesTextFontAndAlignment) {
  EXPECT_FALSE(act.Run(kSetTitleLine, {"Chart1", "Sales 2024",
                                       "Times New Roman|clRed|12|fsBold fsItalic|204", "Left"}));
  const zq::TChartTitle& t = Chart().Title();
  EXPECT_EQ(t.Text(), std::vector<std::string>{"Sales 2024"});
  EXPECT_EQ(t.Font().Name(), "TimesNewRoman");
  EXPECT_EQ(t.Font().Color(), kRed);
  EXPECT_EQ(t.Font().Size(), 12);
  EXPECT_EQ(t.Font().Style(), (zq::TFontStyles{zq::TFontStyle::fsBold, zq::TFontStyle::fsItalic}));
  EXPECT_EQ(t.Font().Charset(), 204);
  EXPECT_EQ(t.Alignment(), zq::TAlignment::taLeftJustify);

  // Styles are only ever added; the text line is replaced, not added to.
  act.Run(kSetTitleLine, {"Chart1", "", "Arial|$00FF0000|10|fsUnderline|1", "Right"});
  EXPECT_EQ(t.Text(), std::vector<std::string>{""});
  EXPECT_EQ(t.Font().Name(), "Arial");
  EXPECT_EQ(t.Font().Color(), kBlue);
  EXPECT_EQ(t.Font().Size(), 10);
  EXPECT_EQ(t.Font().Style(), (zq::TFontStyles{zq::TFontStyle::fsBold, zq::TFontStyle::fsItalic,
                                               zq::TFontStyle::fsUnderline}));
  EXPECT_EQ(t.Font().Charset(), 1);
  EXPECT_EQ(t.Alignment(), zq::TAlignment::taRightJustify);
}

TEST_F(PanelActions, TitleWithoutFontChangesOnlyTheText) {
  const zq::TChartFont font = Chart().Title().Font();
  const zq::TAlignment alignment = Chart().Title().Alignment();
  // No font, and a font text of four items: both fail before the font is touched.
  for (const char* fontText : {"", "Arial|clRed|12|fsBold"}) {
    EXPECT_FALSE(act.Run(kSetTitleLine, {"Chart1", "New title", fontText, "Left"}));
    EXPECT_EQ(Chart().Title().Text(), std::vector<std::string>{"New title"});
    EXPECT_EQ(Chart().Title().Font(), font);
    EXPECT_EQ(Chart().Title().Alignment(), alignment);
  }
}

TEST_F(PanelActions, FootFontAppliesItemByItemUntilOneFails) {
  act.Run(kSetFootLine, {"Chart1", "Foot", "Courier New|clRed|12|fsBold |204", "Center"});
  const zq::TChartTitle& f = Chart().Foot();
  EXPECT_EQ(f.Text(), std::vector<std::string>{"Foot"});
  EXPECT_EQ(f.Font().Name(), "CourierNew");
  EXPECT_EQ(f.Font().Color(), kRed);
  EXPECT_EQ(f.Font().Size(), 12);
  EXPECT_EQ(f.Font().Style(), zq::TFontStyles{zq::TFontStyle::fsBold});
  EXPECT_EQ(f.Font().Charset(), 204);
  EXPECT_EQ(f.Alignment(), zq::TAlignment::taCenter);
  // The title is another object.
  EXPECT_EQ(Chart().Title().Text(), std::vector<std::string>{""});

  // The name is applied, the colour is no colour: nothing after it.
  act.Run(kSetFootLine, {"Chart1", "Foot 2", "Arial|reddish|20|fsItalic|0", "Left"});
  EXPECT_EQ(f.Text(), std::vector<std::string>{"Foot 2"});
  EXPECT_EQ(f.Font().Name(), "Arial");
  EXPECT_EQ(f.Font().Color(), kRed);
  EXPECT_EQ(f.Font().Size(), 12);
  EXPECT_EQ(f.Alignment(), zq::TAlignment::taCenter);
  // Colour identifiers ignore letter case; alignment words do not.
  act.Run(kSetFootLine, {"Chart1", "Foot 3", "Arial|CLGREEN|x|fsItalic|0", "Left"});
  EXPECT_EQ(f.Font().Color(), 0x008000u);
  EXPECT_EQ(f.Font().Size(), 12);
  act.Run(kSetFootLine, {"Chart1", "Foot 4", "Arial|clGreen|9|fsItalic|0", "left"});
  EXPECT_EQ(f.Font().Size(), 9);
  EXPECT_EQ(f.Alignment(), zq::TAlignment::taCenter);
}

TEST_F(PanelActions, RectangleNamesIgnoreOnlyAsciiLetterCase) {
  act.CreateChart("Диаграмма");
  act.Run(kSetTitleLine, {"chart1", "found", "", ""});
  act.Run(kSetTitleLine, {"ДИАГРАММА", "found", "", ""});
  EXPECT_EQ(Chart().Title().Text(), std::vector<std::string>{"found"});
  EXPECT_EQ(act.Chart("Диаграмма").Title().Text(), std::vector<std::string>{""});
}

// ---- walls -----------------------------------------------------------------------------------

TEST_F(PanelActions, WallTakesColourBorderWidthAndStyle) {
  EXPECT_TRUE(act.Run(kChartBottomWall, {"Chart1", "255,0,0", "True", "0,255,0", "3", "DashDot"}));
  const zq::TChartWall& w = Chart().BottomWall();
  EXPECT_EQ(w.Color(), kRed);
  EXPECT_TRUE(w.Pen().Visible());
  EXPECT_EQ(w.Pen().Color(), kGreen);
  EXPECT_EQ(w.Pen().Width(), 3);
  EXPECT_EQ(w.Pen().Style(), zq::TPenStyle::psDashDot);
  // The other walls are untouched.
  EXPECT_NE(Chart().BackWall().Pen().Width(), 3);
  EXPECT_NE(Chart().LeftWall().Pen().Style(), zq::TPenStyle::psDashDot);
}

TEST_F(PanelActions, WallWithEmptyPartsKeepsThem) {
  zq::TChartWall& w = Chart().BackWall();
  const zq::TColor color = w.Color();
  const zq::TColor penColor = w.Pen().Color();
  EXPECT_TRUE(act.Run(kChartBackWall, {"Chart1", "", "", "", "2", "Dash"}));
  EXPECT_EQ(w.Color(), color);
  EXPECT_EQ(w.Pen().Color(), penColor);
  EXPECT_EQ(w.Pen().Width(), 2);
  EXPECT_EQ(w.Pen().Style(), zq::TPenStyle::psDash);
  // Without a width the action fails before the style.
  EXPECT_FALSE(act.Run(kChartBackWall, {"Chart1", "0,0,255", "", "", "", "Dot"}));
  EXPECT_EQ(w.Color(), kBlue);
  EXPECT_EQ(w.Pen().Style(), zq::TPenStyle::psDash);
  EXPECT_FALSE(act.Run(kChartBackWall, {"Chart1", "", "", "", "thick", "Dot"}));
  EXPECT_EQ(w.Pen().Style(), zq::TPenStyle::psDash);
  // Widths of 0 or less are read but not applied.
  EXPECT_TRUE(act.Run(kChartBackWall, {"Chart1", "", "", "", "0", "Solid"}));
  EXPECT_TRUE(act.Run(kChartBackWall, {"Chart1", "", "", "", "-4", "Solid"}));
  EXPECT_EQ(w.Pen().Width(), 2);
  EXPECT_EQ(w.Pen().Style(), zq::TPenStyle::psSolid);
}

TEST_F(PanelActions, WallBorderIsOnlyEverShown) {
  zq::TChartWall& w = Chart().LeftWall();
  w.Pen().SetVisible(false);
  for (const char* word : {"False", "false", "TRUE", " True", "1", ""}) {
    EXPECT_TRUE(act.Run(kChartLeftWall, {"Chart1", "", word, "", "1", ""}));
    EXPECT_FALSE(w.Pen().Visible()) << word;
  }
  act.Run(kChartLeftWall, {"Chart1", "", "true", "", "1", ""});
  EXPECT_TRUE(w.Pen().Visible());
  act.Run(kChartLeftWall, {"Chart1", "", "False", "", "1", ""});
  EXPECT_TRUE(w.Pen().Visible());
}

TEST_F(PanelActions, WallColoursTakeLowBitsAndFailWhereTheyStand) {
  zq::TChartWall& w = Chart().BackWall();
  w.Pen().SetVisible(false);
  EXPECT_TRUE(act.Run(kChartBackWall, {"Chart1", "300,0,0", "", "0,257,0", "1", ""}));
  EXPECT_EQ(w.Color(), 44u);
  EXPECT_EQ(w.Pen().Color(), 0x000100u);
  // A two-part colour ends the action at once: the border stays hidden.
  EXPECT_FALSE(act.Run(kChartBackWall, {"Chart1", "255,0", "True", "0,0,255", "5", "Dot"}));
  EXPECT_EQ(w.Color(), 44u);
  EXPECT_FALSE(w.Pen().Visible());
  // The border colour fails after the flag was applied.
  EXPECT_FALSE(act.Run(kChartBackWall, {"Chart1", "1,2,3", "True", "0,0", "5", "Dot"}));
  EXPECT_EQ(w.Color(), 0x030201u);
  EXPECT_TRUE(w.Pen().Visible());
  EXPECT_EQ(w.Pen().Width(), 1);
}

TEST_F(PanelActions, WallSizesInOrderUntilOneFails) {
  TChart& c = Chart();
  EXPECT_TRUE(act.Run(kChartWallSize, {"Chart1", "4", "-3", "7"}));
  EXPECT_EQ(c.BackWall().Size(), 4);
  EXPECT_EQ(c.LeftWall().Size(), -3);
  EXPECT_EQ(c.BottomWall().Size(), 7);
  EXPECT_FALSE(act.Run(kChartWallSize, {"Chart1", "10", "x", "5"}));
  EXPECT_EQ(c.BackWall().Size(), 10);
  EXPECT_EQ(c.LeftWall().Size(), -3);
  EXPECT_EQ(c.BottomWall().Size(), 7);
  EXPECT_FALSE(act.Run(kChartWallSize, {"Chart1", "1", "2", ""}));
  EXPECT_EQ(c.LeftWall().Size(), 2);
  EXPECT_EQ(c.BottomWall().Size(), 7);
}

TEST_F(PanelActions, EveryPenStyleNameOnEveryWall) {
  using P = zq::TPenStyle;
  const std::vector<std::pair<std::string, P>> styles = {
      {"Dash", P::psDash},       {"Dot", P::psDot},
      {"DashDot", P::psDashDot}, {"DashDotDot", P::psDashDotDot},
      {"Clear", P::psClear},     {"InsideFrame", P::psInsideFrame},
      {"Solid", P::psSolid}};
  const std::vector<std::pair<int32_t, zq::TChartWall*>> walls = {
      {kChartBackWall, &Chart().BackWall()},
      {kChartBottomWall, &Chart().BottomWall()},
      {kChartLeftWall, &Chart().LeftWall()}};
  for (const auto& [number, wall] : walls) {
    for (const auto& [word, style] : styles) {
      act.Run(number, {"Chart1", "", "", "", "1", word});
      EXPECT_EQ(wall->Pen().Style(), style) << number << " " << word;
    }
    act.Run(number, {"Chart1", "", "", "", "1", "dash"});
    EXPECT_EQ(wall->Pen().Style(), P::psSolid) << number;
  }
}

TEST_F(PanelActions, EveryAlignmentDirectionAndModeWord) {
  using A = zq::TAlignment;
  for (const auto& [word, value] : std::vector<std::pair<std::string, A>>{
           {"Left", A::taLeftJustify}, {"Right", A::taRightJustify}, {"Center", A::taCenter}}) {
    act.Run(kSetFootLine, {"Chart1", "", "Arial|clBlack|8||1", word});
    EXPECT_EQ(Chart().Foot().Alignment(), value) << word;
  }
  using G = zq::TGradientDirection;
  for (const auto& [word, value] :
       std::vector<std::pair<std::string, G>>{{"BottomTop", G::gdBottomTop},
                                              {"LeftRight", G::gdLeftRight},
                                              {"RightLeft", G::gdRightLeft},
                                              {"FromCenter", G::gdFromCenter},
                                              {"FromTopLeft", G::gdFromTopLeft},
                                              {"FromBottomLeft", G::gdFromBottomLeft},
                                              {"TopBottom", G::gdTopBottom}}) {
    act.Run(kGradientFone, {"Chart1", "", "", "", word});
    EXPECT_EQ(Chart().Gradient().Direction(), value) << word;
  }
  using M = zq::TZidBackImageMode;
  const std::string bmp = WriteBmp("actions_panel_modes.bmp", 1, 1, 0);
  for (const auto& [word, value] : std::vector<std::pair<std::string, M>>{
           {"Tile", M::pbmTile}, {"Center", M::pbmCenter}, {"Stretch", M::pbmStretch}}) {
    act.Run(kChartImageInside, {"Chart1", "", bmp, word});
    EXPECT_EQ(Chart().BackImageMode(), value) << word;
  }
}

// ---- background ------------------------------------------------------------------------------

TEST_F(PanelActions, GradientEmptyColoursAreBlack) {
  const zq::TChartGradient& g = Chart().Gradient();
  EXPECT_FALSE(act.Run(kGradientFone, {"Chart1", "True", "", "", "FromCenter"}));
  EXPECT_TRUE(g.Visible());
  EXPECT_EQ(g.StartColor(), zq::clBlack);
  EXPECT_EQ(g.EndColor(), zq::clBlack);
  EXPECT_EQ(g.Direction(), zq::TGradientDirection::gdFromCenter);
  act.Run(kGradientFone, {"Chart1", "TRUE", "255,0,0", "0,0,255", "fromTopLeft"});
  EXPECT_TRUE(g.Visible());
  EXPECT_EQ(g.StartColor(), kRed);
  EXPECT_EQ(g.EndColor(), kBlue);
  EXPECT_EQ(g.Direction(), zq::TGradientDirection::gdFromCenter);
  act.Run(kGradientFone, {"Chart1", "false", "0,255,0", "0,0", "BottomTop"});
  EXPECT_FALSE(g.Visible());
  EXPECT_EQ(g.StartColor(), kGreen);
  EXPECT_EQ(g.EndColor(), kBlue);
  EXPECT_EQ(g.Direction(), zq::TGradientDirection::gdFromCenter);
  act.Run(kGradientFone, {"Chart1", "", "", "", "FromBottomLeft"});
  EXPECT_FALSE(g.Visible());
  EXPECT_EQ(g.Direction(), zq::TGradientDirection::gdFromBottomLeft);
}

TEST_F(PanelActions, BackgroundColourEmptyIsBlack) {
  EXPECT_FALSE(act.Run(kColorFone, {"Chart1", "0,128,0"}));
  EXPECT_EQ(Chart().Color(), 0x008000u);
  act.Run(kColorFone, {"Chart1", "255,0"});
  EXPECT_EQ(Chart().Color(), 0x008000u);
  act.Run(kColorFone, {"Chart1", ""});
  EXPECT_EQ(Chart().Color(), zq::clBlack);
}

TEST_F(PanelActions, ImageLoadsOrKeepsThePreviousPicture) {
  TChart& c = Chart();
  const std::string bmp = WriteBmp("actions_panel_back.bmp", 5, 3, 0x00FF00);
  EXPECT_FALSE(act.Run(kChartImageInside, {"Chart1", "True", bmp, "Tile"}));
  EXPECT_TRUE(c.BackImageInside());
  ASSERT_EQ(c.BackImage().Width(), 5);
  EXPECT_EQ(c.BackImage().Height(), 3);
  EXPECT_EQ(c.BackImage().GetImage().At(0, 0), 0xFF00FF00u);
  EXPECT_EQ(c.BackImageMode(), zq::TZidBackImageMode::pbmTile);

  // Only the inside flag for a picture that does not load.
  const std::string corrupt = zq::testing::TestOutputPath("actions_panel_corrupt.jpg");
  std::ofstream(corrupt, std::ios::binary) << "not a jpeg";
  for (const std::string& path :
       {std::string(), std::string("picture.png"), std::string("missing.bmp"), corrupt,
        zq::testing::TestOutputPath("")}) {
    act.Run(kChartImageInside, {"Chart1", "False", path, "Center"});
    EXPECT_FALSE(c.BackImageInside()) << path;
    act.Run(kChartImageInside, {"Chart1", "true", path, "Center"});
    EXPECT_TRUE(c.BackImageInside()) << path;
    EXPECT_EQ(c.BackImage().Width(), 5) << path;
    EXPECT_EQ(c.BackImageMode(), zq::TZidBackImageMode::pbmTile) << path;
  }

  // Extensions compare without letter case; mode words with it.
  const std::string upper = WriteBmp("actions_panel_back2.BMP", 2, 2, 0x0000FF);
  act.Run(kChartImageInside, {"Chart1", "1", upper, "stretch"});
  EXPECT_TRUE(c.BackImageInside());
  EXPECT_EQ(c.BackImage().Width(), 2);
  EXPECT_EQ(c.BackImageMode(), zq::TZidBackImageMode::pbmTile);
  act.Run(kChartImageInside, {"Chart1", "", upper, "Stretch"});
  EXPECT_EQ(c.BackImageMode(), zq::TZidBackImageMode::pbmStretch);
}

// ---- through the exports ---------------------------------------------------------------------

TEST(PanelActionsExported, ResultsWithAndWithoutAChart) {
  ExportedPlugin plugin;
  const std::vector<std::pair<int32_t, std::vector<std::string>>> calls = {
      {kSetTitleLine, {"Chart1", "T", "Arial|clRed|12|fsBold|204", "Left"}},
      {kSetFootLine, {"Chart1", "F", "Arial|clRed|12|fsBold|204", "Left"}},
      {kChartBackWall, {"Chart1", "", "", "", "2", "Dash"}},
      {kChartBottomWall, {"Chart1", "", "", "", "2", "Dash"}},
      {kChartLeftWall, {"Chart1", "", "", "", "2", "Dash"}},
      {kChartWallSize, {"Chart1", "1", "2", "3"}},
      {kGradientFone, {"Chart1", "False", "", "", "FromCenter"}},
      {kColorFone, {"Chart1", "255,255,255"}},
      {kChartImageInside, {"Chart1", "False", "", ""}},
  };
  auto wall = [](int32_t n) { return n >= kChartBackWall && n <= kChartWallSize; };
  // No chart: the wall actions still report true.
  for (const auto& [number, args] : calls) EXPECT_EQ(plugin.Exec(number, args), wall(number));
  plugin.CreateChart("Chart1");
  for (const auto& [number, args] : calls) EXPECT_EQ(plugin.Exec(number, args), wall(number));
  EXPECT_FALSE(plugin.Exec(kChartBackWall, {"Chart1", "", "", "", "", "Dash"}));
  EXPECT_FALSE(plugin.Exec(kChartBottomWall, {"Chart1", "255,0", "", "", "2", "Dash"}));
  EXPECT_FALSE(plugin.Exec(kChartLeftWall, {"Chart1", "", "", "", "2.5", "Dash"}));
  EXPECT_FALSE(plugin.Exec(kChartWallSize, {"Chart1", "10", "x", "5"}));
  EXPECT_FALSE(plugin.Exec(kChartWallSize, {"Chart1", "10", "2"}));
}

TEST(PanelActionsExported, BackgroundColourAndGradientShow) {
  ExportedPlugin plugin;
  plugin.CreateChart("Chart1");
  plugin.Exec(kColorFone, {"Chart1", "0,128,0"});
  auto green = plugin.Picture("Chart1", "actions_panel_green.png");
  ASSERT_TRUE(green.has_value());
  EXPECT_EQ(green->At(1, 1), 0xFF008000u);
  EXPECT_EQ(green->At(green->width - 2, green->height - 2), 0xFF008000u);

  plugin.Exec(kGradientFone, {"Chart1", "True", "", "", "FromCenter"});
  auto black = plugin.Picture("Chart1", "actions_panel_black_gradient.png");
  ASSERT_TRUE(black.has_value());
  EXPECT_EQ(black->At(1, 1), 0xFF000000u);
  EXPECT_EQ(black->At(black->width - 2, black->height - 2), 0xFF000000u);
}

TEST(PanelActionsExported, TitleShows) {
  ExportedPlugin plugin;
  plugin.CreateChart("Chart1");
  auto before = plugin.Picture("Chart1", "actions_panel_no_title.png");
  plugin.Exec(kSetTitleLine,
              {"Chart1", "Продажи за год", "Times New Roman|clRed|14|fsBold|204", "Center"});
  auto after = plugin.Picture("Chart1", "actions_panel_title.png");
  ASSERT_TRUE(before && after);
  int red = 0;
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < after->width; ++x) red += after->At(x, y) == 0xFFFF0000u ? 1 : 0;
  EXPECT_GT(red, 50);
}

}  // namespace
