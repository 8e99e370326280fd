#include "support/action_stress.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "support/action_samples.h"

namespace zq::testing {

const std::vector<std::string>& ActionStress::TextPool() {
  static const std::vector<std::string> pool = [] {
    std::vector<std::string> p = {
        // integers
        "-2147483648", "2147483647", "0", "-1", "1", "100", "101", "150", "$FFFFFFFF", "0x7FFFFFFF",
        "-0x80000000", "99999999999", "+5", " 12", "12 ", "$", "0x", "--1",
        // numbers
        "1e308", "-1e308", "1e-320", "1e999", "nan", "NaN", "inf", "-inf", "0.5", "1,5", "-0",
        "123456789012345678901234567890", ".5", "5.", "1e", "1e+", "0.000000000000000001",
        // colours
        "255,0,0", "300,0,0", "-1,-1,-1", "2147483647,-2147483648,0", "1,2", ",,", "a,b,c",
        "0,0,0,9", "$FF,$FF,$FF", "\"1\",\"2\",\"3\"",
        // fonts
        "Arial|clRed|12|fsBold|204", "Arial|clRed|2147483647|fsBold|204",
        "Arial|clRed|-2147483648||-1", "TimesNewRoman|$FFFFFFFF|0|fsBoldfsItalic|0",
        "Courier New|clNone|1|fsUnderline fsStrikeOut|2147483647", "|||", "x|y|z|w|v",
        "Arial|clDefault|8|fsItalic|204|extra", "Arial|clBtnFace|-8||0",
        // lists
        "1|2|3", "1||2", "1|2|", "|", "\"1|2\"|3", "1 | 2 | 3", "3|2|1", "1e308|-1e308|0", "a|b|c",
        "'x|y'|z", "Jan|Feb|Mar", "0|2147483647", "-2147483648|2147483647", "2147483647|1", "0|-5",
        // booleans and keywords
        "True", "true", "False", "false", "TRUE", " True", "Rectangle", "Circle", "Triangle",
        "DownTriangle", "Cross", "DiagCross", "Star", "Diamond", "SmallDot", "Solid", "Dash", "Dot",
        "DashDot", "DashDotDot", "Clear", "InsideFrame", "Horizontal", "Vertical", "FDiagonal",
        "BDiagonal", "Left", "Center", "Right", "Top", "Bottom", "TopBottom", "BottomTop",
        "LeftRight", "RightLeft", "FromCenter", "FromTopLeft", "FromBottomLeft", "Stretch", "Tile",
        "TopAxis", "BottomAxis", "BothHorizAxis", "CustomHorizAxis", "LeftAxis", "RightAxis",
        "BothVertAxis", "CustomVertAxis", "Value", "Percent", "Label", "LabelPercent", "LabelValue",
        "Legend", "PercentTotal", "LabelPercentTotal", "XValue", "Plain", "LeftValue", "RightValue",
        "LeftPercent", "RightPercent",
        // odd texts
        "", " ", "\t", "\"", "\"\"", "'", "\x01\x02\x1F", "Ряд 1", "ДИАГРАММА",
        std::string(300, 'W'), std::string(2000, '|'), std::string(500, ','),
        std::string(1000, '9')};
    return p;
  }();
  return pool;
}

ActionStress::ActionStress(const std::vector<ActionRegistration>& registrations, uint32_t seed,
                           std::vector<std::string> rectangles, std::vector<std::string> pictures)
    : rng_(seed), rectangles_(std::move(rectangles)), pictures_(std::move(pictures)) {
  for (const ActionRegistration& r : registrations) {
    if (r.number == 0) continue;
    actions_.push_back(r);
    highestNumber_ = std::max(highestNumber_, r.number);
  }
  if (rectangles_.empty()) rectangles_ = {"R"};
  if (pictures_.empty()) pictures_ = {""};
  // Near misses of the known names: another case, a space inside, and names nobody has.
  auto lower = [](std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  const std::string& first = rectangles_.front();
  oddRectangles_ = {lower(first),
                    rectangles_[1 % rectangles_.size()],
                    "Missing",
                    "",
                    first.substr(0, 1) + " " + first.substr(1),
                    lower(rectangles_[2 % rectangles_.size()])};
  seriesNames_ = {"Sales", "sales", "S a l e s", "Costs", "Ряд", "", std::string(300, 'n')};
}

std::string ActionStress::RectangleName() {
  return Chance(0.8) ? rectangles_[size_t(Pick(int(rectangles_.size())))]
                     : oddRectangles_[size_t(Pick(int(oddRectangles_.size())))];
}

std::string ActionStress::Number() {
  switch (Pick(8)) {
    case 0:
      return std::to_string(Pick(2000) - 1000);
    case 1:
      return std::to_string(std::uniform_real_distribution<double>(-1e6, 1e6)(rng_));
    case 2:
      return "1e308";
    case 3:
      return "-1e308";
    case 4:
      return "1e-300";
    case 5:
      return "0";
    default:
      return std::to_string(Pick(50));
  }
}

// Matching X and Y lists (sometimes not), with labels of one kind or another.
std::vector<std::string> ActionStress::SeriesArguments(const std::string& rectangle) {
  const int n = Chance(0.02) ? 3000 : 1 + Pick(Chance(0.2) ? 300 : 12);
  std::string xs, ys, labels;
  for (int i = 0; i < n; ++i) {
    if (i) xs += '|', ys += '|', labels += '|';
    xs += Chance(0.7) ? std::to_string(i) : Number();
    ys += Number();
    labels += 'L';
    labels += std::to_string(i);
  }
  if (Chance(0.05)) ys += "|1";
  switch (Pick(4)) {
    case 0:
      labels.clear();
      break;
    case 1:
      labels = "Total";
      break;
    default:
      break;
  }
  const std::string color = Chance(0.9)
                                ? std::to_string(Pick(256)) + "," + std::to_string(Pick(256)) +
                                      "," + std::to_string(Pick(256))
                                : FromPool();
  return {rectangle, seriesNames_[size_t(Pick(int(seriesNames_.size())))], xs, ys, labels, color};
}

std::vector<std::string> ActionStress::Arguments(int32_t number, const std::string& rectangle) {
  const std::string series = seriesNames_[size_t(Pick(int(seriesNames_.size())))];
  const std::string picture = pictures_[size_t(Pick(int(pictures_.size())))];
  std::vector<std::string> args;
  if (number == 3 && Chance(0.7)) {
    args = SeriesArguments(rectangle);
  } else {
    args = SampleArguments(number, rectangle, series, picture);
    for (size_t i = 1; i < args.size(); ++i)
      if (Chance(0.35)) args[i] = FromPool();
  }
  // As many texts as the action registered, as a host passes them.
  for (const ActionRegistration& r : actions_)
    if (r.number == number && r.parameterCount > 0) args.resize(size_t(r.parameterCount));
  return args;
}

ActionStep ActionStress::Next() {
  ActionStep step;
  if (actions_.empty() || Chance(0.01))
    step.number = Chance(0.5) ? 0 : highestNumber_ + 1 + Pick(3);
  else
    step.number = actions_[size_t(Pick(int(actions_.size())))].number;
  // Creation and deletion are rarer, so that charts live long enough to collect state.
  if (step.number == 2 && Chance(0.8)) step.number = 3;
  step.args = Arguments(step.number, RectangleName());
  return step;
}

std::string SmallBmpBytes() {
  const int32_t w = 3, h = 2, row = 12;
  std::string d = "BM";
  auto put = [&](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) d += char((v >> (8 * i)) & 0xFF);
  };
  put(54 + row * h, 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(uint32_t(w), 4);
  put(uint32_t(h), 4);
  put(1, 2);
  put(24, 2);
  put(0, 4);
  put(uint32_t(row * h), 4);
  put(2835, 4);
  put(2835, 4);
  put(0, 4);
  put(0, 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) put(uint32_t(0x3070A0 + 0x202020 * x), 3);
    put(0, row - 3 * w);
  }
  return d;
}

std::string FakeJpegBytes() {
  return std::string("\xFF\xD8\xFF\xE0 not really", 15);
}

}  // namespace zq::testing
