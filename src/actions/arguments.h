// The text formats of action arguments. Every action reads its parameters through these and
// nothing else parses them.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zq::actions {

// A parameter text that does not convert. It ends the action that was reading it.
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Integer text: optional leading blanks, optional sign, decimal digits or a hexadecimal prefix
// ("$", "x", "X", "0x", "0X") with hexadecimal digits, nothing after. Decimal values must fit
// 32 bits; hexadecimal ones may use all 32 bits (so "$FF000000" is a system colour).
int32_t ParseIntegerText(std::string_view text);

// Number text in the regional notation: blanks around, optional sign, digits with the decimal
// separator, optional exponent. No thousands separators.
double ParseNumberText(std::string_view text, char decimalSeparator);

// The decimal separator of the regional settings in force when the plug-in was loaded.
char LoadedDecimalSeparator();

// Colour text "R,G,B": each component an integer text reduced to its low 8 bits; items after
// the third are ignored. Answers the 0x00BBGGRR value.
uint32_t ParseColorText(std::string_view text);

// Font colour text: one of the colour identifiers ("clRed", "clBtnFace", ... compared without
// ASCII letter case) or an integer text.
uint32_t ParseFontColorText(std::string_view text);
// The identifier of a colour value, if it has one (the dialogs write it).
std::optional<std::string_view> ColorIdentifier(uint32_t color);

// Cuts a text into items at `delimiter`: blanks and control characters around items are
// skipped and also separate items, a double-quoted item may hold anything (a doubled quote is
// one quote), two delimiters in a row give an empty item, a trailing delimiter adds one.
std::vector<std::string> SplitDelimited(std::string_view text, char delimiter);

// The items of SplitDelimited one at a time, without a string per item: long lists are read
// at the speed of the memory. An item stays valid until the next call.
class DelimitedItems {
 public:
  DelimitedItems(std::string_view text, char delimiter);
  // False after the last item.
  bool Next(std::string_view& item);

 private:
  char At(size_t i) const { return i < text_.size() ? text_[i] : '\0'; }
  void SkipBlanks();

  std::string_view text_;
  char delimiter_;
  size_t p_ = 0;
  bool trailingEmpty_ = false;
  std::string quoted_;  // a quoted item with its doubled quotes undone
};

// The X and Y lists of a series: every blank removed, then cut at "|".
std::vector<std::string> SplitValueList(std::string_view text);

// A value list converted in one pass: the numbers before the first item that does not
// convert, how many items the list has, and that item's failure and text.
struct ValueListNumbers {
  std::vector<double> values;
  size_t count = 0;
  std::exception_ptr failure;
  std::string failedText;
};
ValueListNumbers ParseValueListNumbers(std::string_view text, char decimalSeparator);

// The label list: cut at "|" and line breaks, blanks kept, empty items dropped; a part in
// single or double quotes may hold "|" and keeps its quotes.
std::vector<std::string> SplitLabelList(std::string_view text);

// Removes every blank (code 32).
std::string RemoveBlanks(std::string_view text);

// "True"/"true" and "False"/"false"; anything else leaves the property alone.
std::optional<bool> ParseBooleanText(std::string_view text);

// A font text: face, font colour text, size, styles, character set, joined by "|". Blanks are
// removed first; all five items must be there before any is used.
struct FontTextItems {
  std::string face;
  std::string color;
  std::string size;
  std::string styles;
  std::string charset;
};
FontTextItems SplitFontText(std::string_view text);

// The style words found anywhere in a font text's style item.
struct FontStyleWords {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};
FontStyleWords FindFontStyleWords(std::string_view styles);

// Keyword parameters: compared exactly, letter case included.
template <typename T>
struct Keyword {
  std::string_view word;
  T value;
};

template <typename T>
std::optional<T> MatchKeyword(std::span<const Keyword<T>> table, std::string_view text) {
  for (const Keyword<T>& k : table)
    if (k.word == text) return k.value;
  return std::nullopt;
}

}  // namespace zq::actions
