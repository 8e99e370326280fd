// A well-formed parameter set for every action, so that tests can run all 44 without spelling
// each one out: parameter 1 is the rectangle name, and the series actions work on `series`.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zq::testing {

constexpr int32_t kActionCount = 44;

// Parameters that every handler accepts (the picture action needs an existing picture file).
inline std::vector<std::string> SampleArguments(int32_t number, const std::string& rect,
                                                const std::string& series = "Sales",
                                                const std::string& picture = "") {
  const std::string& s = series;
  switch (number) {
    case 1:
    case 2:
      return {rect};
    case 3:
      return {rect, s, "1|2|3|4", "5|7|6|8", "Jan|Feb|Mar|Apr", "255,0,0"};
    case 4:
    case 12:
      return {rect, s};
    case 5:
      return {rect, s, "0|1"};
    case 6:
      return {rect, "Title", "Arial|clBlack|12|fsBold|204", "Center"};
    case 7:
      return {rect, "Foot", "Arial|clNavy|9|fsItalic|204", "Right"};
    case 8:
      return {rect, s, "True", "Circle", "True", "False"};
    case 9:
      return {rect, s, "0,200,0", "4", "4"};
    case 10:
      return {rect, s, "1", "0,0,255"};
    case 11:
      return {rect, s, "0,128,0"};
    case 13:
      return {rect, "30"};
    case 14:
      return {rect, s, "Cross"};
    case 15:
      return {rect, s, "True", "0,0,0", "2", "Dash"};
    case 16:
      return {rect, s, "True", "False"};
    case 17:
    case 18:
    case 19:
      return {rect, "220,230,255", "True", "0,0,128", "1", "Solid"};
    case 20:
      return {rect, "8", "8", "8"};
    case 21:
      return {rect, s, "True", "BottomAxis", "LeftAxis", "False"};
    case 22:
      return {rect, s, "True", "255,255,200", "False", "Value"};
    case 23:
      return {rect, s, "Arial|clNavy|9|fsItalic|204"};
    case 24:
      return {rect, s, "True", "0,0,0", "10", "Solid"};
    case 25:
      return {rect, s, "2"};
    case 26:
      return {rect, "True", "255,255,255", "200,220,255", "TopBottom"};
    case 27:
      return {rect, "240,240,240"};
    case 28:
      return {rect, "False", picture, "Stretch"};
    case 29:
      return {rect, "True", "Right"};
    case 30:
      return {rect, "Plain", "20"};
    case 31:
      return {rect, "Arial|clBlack|9||204"};
    case 32:
      return {rect, "128,128,128", "3"};
    case 33:
    case 34:
    case 43:
      return {rect, "True"};
    case 35:
      return {rect, "False"};
    case 36:
      return {rect, "15"};
    case 37:
      return {rect, "20"};
    case 38:
      return {rect, "330"};
    case 39:
    case 40:
    case 41:
      return {rect, "0"};
    case 42:
      return {rect, "100"};
    case 44:
      return {rect, "False", "5"};
    default:
      return {rect};
  }
}

}  // namespace zq::testing
