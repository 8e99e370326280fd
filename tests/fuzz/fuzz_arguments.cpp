// The argument formats: the first byte picks a parser, the rest is the parameter text. Besides
// the sanitizers' faults, each parser's promises are checked: what it accepts reads back the
// same, colours stay 24-bit, numbers finite.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "actions/arguments.h"
#include "actions/handler_support.h"
#include "actions/keywords.h"
#include "fuzz/fuzz_input.h"

namespace {

using namespace zq::actions;
using zq::fuzz::Check;

template <typename T, size_t N>
void TryKeywords(const keywords::Table<T, N>& table, const std::string& text) {
  bool matched = false;
  keywords::Apply(table, text, [&](T) { matched = true; });
  bool listed = false;
  for (const auto& k : table) listed = listed || k.word == text;
  Check(matched == listed, "a keyword matches exactly when it is in its table");
}

void Parse(uint8_t which, const std::string& text) {
  switch (which % 11) {
    case 0: {
      const int32_t v = ParseIntegerText(text);
      Check(ParseIntegerText(std::to_string(v)) == v, "an integer reads back");
      break;
    }
    case 1:
    case 2: {
      const char separator = which % 11 == 1 ? ',' : '.';
      const double v = ParseNumberText(text, separator);
      Check(std::isfinite(v), "a number is finite");
      break;
    }
    case 3:
      Check(ParseColorText(text) <= 0xFFFFFFu, "a colour text gives 24 bits");
      break;
    case 4: {
      const uint32_t v = ParseFontColorText(text);
      if (auto name = ColorIdentifier(v)) Check(ParseFontColorText(*name) == v, "names read back");
      break;
    }
    case 5:
    case 6: {
      const char delimiter = which % 11 == 5 ? '|' : ',';
      for (const std::string& item : SplitDelimited(text, delimiter))
        Check(item.size() <= text.size(), "an item is part of the text");
      break;
    }
    case 7: {
      // The one-pass reading of a value list is its items read one by one.
      const char separator = which & 0x80 ? ',' : '.';
      const ValueListNumbers numbers = ParseValueListNumbers(text, separator);
      const std::vector<std::string> items = SplitValueList(text);
      Check(numbers.count == items.size(), "a value list counts its items");
      size_t read = 0;
      for (const std::string& item : items) {
        Check(item.find(' ') == std::string::npos, "value items have no blanks");
        if (read > numbers.values.size()) continue;
        try {
          const double v = ParseNumberText(item, separator);
          Check(read < numbers.values.size() && std::memcmp(&v, &numbers.values[read], 8) == 0,
                "a value list reads its items' numbers");
        } catch (const ConversionError&) {
          Check(read == numbers.values.size() && numbers.failure && numbers.failedText == item,
                "a value list stops at the first item that does not read");
        }
        ++read;
      }
      Check(read > numbers.values.size() || !numbers.failure, "a failure belongs to an item");
      break;
    }
    case 8:
      for (const std::string& item : SplitLabelList(text)) Check(!item.empty(), "no empty labels");
      break;
    case 9: {
      zq::TChartFont font;
      ApplyFontText(font, text);
      break;
    }
    default:
      ParseBooleanText(text);
      TryKeywords(keywords::kPointerStyles, text);
      TryKeywords(keywords::kPenStyles, text);
      TryKeywords(keywords::kBrushStyles, text);
      TryKeywords(keywords::kAlignments, text);
      TryKeywords(keywords::kGradientDirections, text);
      TryKeywords(keywords::kBackImageModes, text);
      TryKeywords(keywords::kHorizAxes, text);
      TryKeywords(keywords::kVertAxes, text);
      TryKeywords(keywords::kMarkStyles, text);
      TryKeywords(keywords::kLegendAlignments, text);
      TryKeywords(keywords::kLegendTextStyles, text);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zq::fuzz::FuzzInput input(data, size);
  const uint8_t which = input.Byte();
  const std::string text = input.Rest();
  try {
    Parse(which, text);
  } catch (const ConversionError&) {
    // A text that does not convert: the answer every caller expects.
  } catch (const std::exception&) {
    // Engine setters refuse values out of their range (the font size).
  }
  return 0;
}
