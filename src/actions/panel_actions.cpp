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
  lines[0] = TextAt(args, 1);
  title.SetText(lines);
  ApplyFontAt(title.Font(), args, 2);
  keywords::ApplyAt(keywords::kAlignments, args, 3, [&](TAlignment v) { title.SetAlignment(v); });
  return false;
}

// A wall's colour and border. True when every step ran, and when there is no chart.
bool StyleWall(const Args& args, TChartWall& (TCustomChart::*part)()) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) return true;
  TChartWall& wall = (form->Chart1().*part)();
  if (!args.at(1).empty()) wall.SetColor(ColorAt(args, 1));
  // Only showing the border is asked for here; no word hides it.
  BooleanAt(args, 2, [&](bool v) {
    if (v) wall.Pen().SetVisible(true);
  });
  if (!args.at(3).empty()) wall.Pen().SetColor(ColorAt(args, 3));
  // An unreadable width ends the action before the style.
  SetPositive(args, 4, "width", [&](int32_t v) { wall.Pen().SetWidth(v); });
  keywords::ApplyAt(keywords::kPenStyles, args, 5, [&](TPenStyle v) { wall.Pen().SetStyle(v); });
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
  chart.BackWall().SetSize(IntegerAt(args, 1));
  chart.LeftWall().SetSize(IntegerAt(args, 2));
  chart.BottomWall().SetSize(IntegerAt(args, 3));
  return true;
}

bool GradientFone(const Args& args, HostServices&) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) return false;
  TChartGradient& gradient = form->Chart1().Gradient();
  BooleanAt(args, 1, [&](bool v) { gradient.SetVisible(v); });
  // An empty colour is black, not the colour the gradient had.
  gradient.SetStartColor(ColorOrBlackAt(args, 2));
  gradient.SetEndColor(ColorOrBlackAt(args, 3));
  keywords::ApplyAt(keywords::kGradientDirections, args, 4,
                    [&](TGradientDirection v) { gradient.SetDirection(v); });
  return false;
}

bool ColorFone(const Args& args, HostServices&) {
  if (charts::TVelImageForm* form = FindChart(args))
    form->Chart1().SetColor(ColorOrBlackAt(args, 1));
  return false;
}

bool ChartImageInside(const Args& args, HostServices&) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) return false;
  TChart& chart = form->Chart1();
  BooleanAt(args, 1, [&](bool v) { chart.SetBackImageInside(v); });
  // A picture that does not load keeps the old one and ends the action before the mode.
  const std::string& path = TextAt(args, 2);
  try {
    chart.BackImage().LoadFromFile(path);
  } catch (const std::exception& e) {
    StopReason(ParameterPrefix() + "picture cannot be read: " +
               (path.empty() ? std::string("no file named") : std::string(e.what())));
    throw;
  }
  keywords::ApplyAt(keywords::kBackImageModes, args, 3,
                    [&](TZidBackImageMode v) { chart.SetBackImageMode(v); });
  return false;
}

}  // namespace zq::actions
