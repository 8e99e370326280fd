// Title and foot, walls, background colour, gradient and picture.
#include "actions/handlers.h"
#include "actions/keywords.h"

namespace zq::actions {

namespace {

// Text, font and alignment of the title or the foot.
bool SetTitleOrFoot(const Args& args, TChartTitle& (TCustomChart::*part)()) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) return false;
  TChartTitle& title = (form->Chart1().*part)();
  // The window's layout gives the title one line: it is replaced, never added to.
  std::vector<std::string> lines = title.Text();
  if (lines.empty()) lines.emplace_back();
  lines[0] = args.at(1);
  title.SetText(lines);
  ApplyFontText(title.Font(), args.at(2));
  keywords::Apply(keywords::kAlignments, args.at(3), [&](TAlignment v) { title.SetAlignment(v); });
  return false;
}

// A wall's colour and border. True when every step ran, and when there is no chart.
bool StyleWall(const Args& args, TChartWall& (TCustomChart::*part)()) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) return true;
  TChartWall& wall = (form->Chart1().*part)();
  if (!args.at(1).empty()) wall.SetColor(ParseColorText(args[1]));
  // Only showing the border is asked for here; no word hides it.
  if (ParseBooleanText(args.at(2)) == true) wall.Pen().SetVisible(true);
  if (!args.at(3).empty()) wall.Pen().SetColor(ParseColorText(args[3]));
  // An unreadable width ends the action before the style.
  const int32_t width = ParseIntegerText(args.at(4));
  if (width > 0) wall.Pen().SetWidth(width);
  keywords::Apply(keywords::kPenStyles, args.at(5), [&](TPenStyle v) { wall.Pen().SetStyle(v); });
  return true;
}

}  // namespace

bool SetTitleLine(const Args& args, HostServices&) {
  return SetTitleOrFoot(args, &TChart::Title);
}

bool SetFootLine(const Args& args, HostServices&) {
  return SetTitleOrFoot(args, &TChart::Foot);
}

bool ChartBackWall(const Args& args, HostServices&) {
  return StyleWall(args, &TChart::BackWall);
}

bool ChartBottomWall(const Args& args, HostServices&) {
  return StyleWall(args, &TChart::BottomWall);
}

bool ChartLeftWall(const Args& args, HostServices&) {
  return StyleWall(args, &TChart::LeftWall);
}

bool ChartWallSize(const Args& args, HostServices&) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) return true;
  TChart& chart = form->Chart1();
  // Any size is stored as given, negative ones included.
  chart.BackWall().SetSize(ParseIntegerText(args.at(1)));
  chart.LeftWall().SetSize(ParseIntegerText(args.at(2)));
  chart.BottomWall().SetSize(ParseIntegerText(args.at(3)));
  return true;
}

bool GradientFone(const Args& args, HostServices&) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) return false;
  TChartGradient& gradient = form->Chart1().Gradient();
  ApplyBoolean(args.at(1), [&](bool v) { gradient.SetVisible(v); });
  // An empty colour is black, not the colour the gradient had.
  gradient.SetStartColor(ColorOrBlack(args.at(2)));
  gradient.SetEndColor(ColorOrBlack(args.at(3)));
  keywords::Apply(keywords::kGradientDirections, args.at(4),
                  [&](TGradientDirection v) { gradient.SetDirection(v); });
  return false;
}

bool ColorFone(const Args& args, HostServices&) {
  if (charts::TVelImageForm* form = FindChart(args))
    form->Chart1().SetColor(ColorOrBlack(args.at(1)));
  return false;
}

bool ChartImageInside(const Args& args, HostServices&) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) return false;
  TChart& chart = form->Chart1();
  ApplyBoolean(args.at(1), [&](bool v) { chart.SetBackImageInside(v); });
  // A picture that does not load keeps the old one and ends the action before the mode.
  chart.BackImage().LoadFromFile(args.at(2));
  keywords::Apply(keywords::kBackImageModes, args.at(3),
                  [&](TZidBackImageMode v) { chart.SetBackImageMode(v); });
  return false;
}

}  // namespace zq::actions
