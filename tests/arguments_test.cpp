#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <random>
#include <string>
#include <utility>

#include "actions/arguments.h"

namespace {

using namespace zq::actions;
using Items = std::vector<std::string>;

TEST(IntegerText, DecimalAndHexadecimalForms) {
  EXPECT_EQ(ParseIntegerText("42"), 42);
  EXPECT_EQ(ParseIntegerText("   -17"), -17);
  EXPECT_EQ(ParseIntegerText("+8"), 8);
  EXPECT_EQ(ParseIntegerText("$1F"), 31);
  EXPECT_EQ(ParseIntegerText("x1f"), 31);
  EXPECT_EQ(ParseIntegerText("X10"), 16);
  EXPECT_EQ(ParseIntegerText("0x10"), 16);
  EXPECT_EQ(ParseIntegerText("0X7fffffff"), 2147483647);
  EXPECT_EQ(ParseIntegerText("-$10"), -16);
  EXPECT_EQ(uint32_t(ParseIntegerText("$FF00000F")), 0xFF00000Fu);
  EXPECT_EQ(ParseIntegerText("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseIntegerText("2147483647"), INT32_MAX);
  EXPECT_EQ(ParseIntegerText("007"), 7);
}

TEST(IntegerText, RejectsEverythingElse) {
  for (const char* bad :
       {"", " ", "-", "+", "$", "0x", "12 ", "1.5", "1,5", "abc", "12a", "2147483648",
        "-2147483649", "$100000000", "99999999999999999999", "\t5", "1e3", "--1", "$-1"})
    EXPECT_THROW(ParseIntegerText(bad), ConversionError) << "'" << bad << "'";
}

TEST(NumberText, FollowsTheRegionalDecimalSeparator) {
  EXPECT_DOUBLE_EQ(ParseNumberText("2,5", ','), 2.5);
  EXPECT_THROW(ParseNumberText("2.5", ','), ConversionError);
  EXPECT_DOUBLE_EQ(ParseNumberText("2.5", '.'), 2.5);
  EXPECT_THROW(ParseNumberText("2,5", '.'), ConversionError);
  EXPECT_DOUBLE_EQ(ParseNumberText("  -1.25E+2 ", '.'), -125.0);
  EXPECT_DOUBLE_EQ(ParseNumberText("+3e-1", '.'), 0.3);
  EXPECT_DOUBLE_EQ(ParseNumberText(".5", '.'), 0.5);
  EXPECT_DOUBLE_EQ(ParseNumberText("5.", '.'), 5.0);
}

TEST(NumberText, EveryDigitCountGivesTheCorrectlyRoundedValue) {
  // Against from_chars of the same number in C notation, bit for bit: short numbers take a
  // quicker way than long ones and must not land elsewhere.
  std::mt19937 rng(77);
  auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
  for (int round = 0; round < 100000; ++round) {
    std::string c;
    if (pick(3) == 0) c += pick(2) ? "-" : "+";
    for (int k = pick(22); k > 0; --k) c += char('0' + (pick(4) == 0 ? 0 : pick(10)));
    if (pick(2)) {
      c += '.';
      for (int k = pick(22); k > 0; --k) c += char('0' + pick(10));
    }
    if (pick(3) == 0)
      c += (pick(2) ? "e" : "E") + std::string(pick(2) ? "-" : "") + std::to_string(pick(40));
    const std::string canonical = c[0] == '+' ? c.substr(1) : c;
    double expected = 0;
    const auto [ptr, ec] =
        std::from_chars(canonical.data(), canonical.data() + canonical.size(), expected);
    const bool valid = ec == std::errc() && ptr == canonical.data() + canonical.size() &&
                       c.find_first_of("0123456789") < c.find_first_of("eE");
    std::string local = c;
    std::replace(local.begin(), local.end(), '.', ',');
    for (const auto& [text, separator] : {std::pair{c, '.'}, std::pair{local, ','}}) {
      if (!valid) {
        EXPECT_THROW(ParseNumberText(text, separator), ConversionError) << text;
        continue;
      }
      const double got = ParseNumberText(text, separator);
      ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << text << " " << got;
    }
  }
}

TEST(NumberText, RejectsMalformedAndOverflowingNumbers) {
  for (const char* bad : {"", "   ", ".", "-", "1,000.5", "1 000", "1e", "1e+", "0x10", "inf",
                          "nan", "1.2.3", "1e999", "--1", "5 5"})
    EXPECT_THROW(ParseNumberText(bad, '.'), ConversionError) << "'" << bad << "'";
}

TEST(ColorText, ComponentsReducedToLowBits) {
  EXPECT_EQ(ParseColorText("255,0,0"), 0x0000FFu);
  EXPECT_EQ(ParseColorText("0,0,255"), 0xFF0000u);
  EXPECT_EQ(ParseColorText("300,0,0"), 44u);
  EXPECT_EQ(ParseColorText(" 1 , 2 , 3 , junk"), 0x030201u);
  EXPECT_EQ(ParseColorText("-1,0,0"), 0xFFu);
  EXPECT_THROW(ParseColorText("255,0"), ConversionError);
  EXPECT_THROW(ParseColorText(""), ConversionError);
  EXPECT_THROW(ParseColorText("255,green,0"), ConversionError);
  EXPECT_THROW(ParseColorText("255,,0"), ConversionError);
}

TEST(FontColorText, IdentifiersWithoutCaseThenIntegers) {
  EXPECT_EQ(ParseFontColorText("clRed"), 0x0000FFu);
  EXPECT_EQ(ParseFontColorText("CLRED"), 0x0000FFu);
  EXPECT_EQ(ParseFontColorText("clbtnface"), 0xFF00000Fu);
  EXPECT_EQ(ParseFontColorText("clMenuBar"), 0xFF00001Eu);
  EXPECT_EQ(ParseFontColorText("clHotLight"), 0xFF00001Au);
  EXPECT_EQ(ParseFontColorText("clNone"), 0x1FFFFFFFu);
  EXPECT_EQ(ParseFontColorText("$00FF8000"), 0x00FF8000u);
  EXPECT_EQ(ParseFontColorText("255"), 255u);
  EXPECT_THROW(ParseFontColorText("red"), ConversionError);
  EXPECT_THROW(ParseFontColorText(""), ConversionError);
  EXPECT_EQ(ColorIdentifier(0xFF0000), "clBlue");
  EXPECT_FALSE(ColorIdentifier(0x123456).has_value());
}

TEST(DelimitedList, ItemsQuotesBlanksAndEmptyItems) {
  EXPECT_EQ(SplitDelimited("", '|'), Items{});
  EXPECT_EQ(SplitDelimited("   ", '|'), Items{});
  EXPECT_EQ(SplitDelimited("a|b|c", '|'), (Items{"a", "b", "c"}));
  EXPECT_EQ(SplitDelimited("  a | b ", '|'), (Items{"a", "b"}));
  EXPECT_EQ(SplitDelimited("a||b", '|'), (Items{"a", "", "b"}));
  EXPECT_EQ(SplitDelimited("1|2|", '|'), (Items{"1", "2", ""}));
  EXPECT_EQ(SplitDelimited("|", '|'), (Items{"", ""}));
  // A blank separates items too.
  EXPECT_EQ(SplitDelimited("a b|c", '|'), (Items{"a", "b", "c"}));
  EXPECT_EQ(SplitDelimited("\"x|y\"|z", '|'), (Items{"x|y", "z"}));
  EXPECT_EQ(SplitDelimited("\"say \"\"hi\"\"\"", '|'), (Items{"say \"hi\""}));
  EXPECT_EQ(SplitDelimited("\"open", '|'), (Items{"open"}));
  EXPECT_EQ(SplitDelimited(std::string_view("a\0b", 3), '|'), (Items{"a"}));
}

TEST(ValueList, BlanksRemovedAndTrailingDelimiterGivesAnEmptyItem) {
  EXPECT_EQ(SplitValueList("1 | 2 |3"), (Items{"1", "2", "3"}));
  EXPECT_EQ(SplitValueList("1 0|2"), (Items{"10", "2"}));
  EXPECT_EQ(SplitValueList("1|2|"), (Items{"1", "2", ""}));
  EXPECT_THROW(ParseNumberText(SplitValueList("1|2|")[2], '.'), ConversionError);
}

TEST(ValueList, NumbersReadInOnePassCountEveryItem) {
  ValueListNumbers n = ParseValueListNumbers(" 1,5 | -2 |\"3\"|4,25e1", ',');
  EXPECT_EQ(n.values, (std::vector<double>{1.5, -2, 3, 42.5}));
  EXPECT_EQ(n.count, 4u);
  EXPECT_FALSE(n.failure);
  // The numbers stop at the first item that does not convert; the items are still counted
  // and the failure is the one that reading that item raises.
  n = ParseValueListNumbers("1|2|x|4||", '.');
  EXPECT_EQ(n.values, (std::vector<double>{1, 2}));
  EXPECT_EQ(n.count, 6u);
  ASSERT_TRUE(n.failure);
  EXPECT_THROW(std::rethrow_exception(n.failure), ConversionError);
  n = ParseValueListNumbers("", '.');
  EXPECT_EQ(n.count, 0u);
  // A number longer than any usual one still has its separator read.
  const std::string longNumber = "1," + std::string(100, '5');
  EXPECT_DOUBLE_EQ(ParseValueListNumbers(longNumber, ',').values.at(0), 1.5555555555555556);
}

TEST(ValueList, OnePassReadsAsItemByItem) {
  // The one-pass reader takes a quicker way through lists of plain numbers: every list, plain
  // or not, reads as its items do one by one (values bit for bit, the count, the failed item).
  auto check = [](const std::string& text, char separator) {
    const ValueListNumbers got = ParseValueListNumbers(text, separator);
    std::vector<double> values;
    std::string failedText;
    bool failed = false;
    const Items items = SplitValueList(text);
    for (const std::string& item : items) {
      if (failed) break;
      try {
        values.push_back(ParseNumberText(item, separator));
      } catch (const ConversionError&) {
        failed = true;
        failedText = item;
      }
    }
    ASSERT_EQ(got.count, items.size()) << text;
    ASSERT_EQ(bool(got.failure), failed) << text;
    ASSERT_EQ(got.failedText, failedText) << text;
    ASSERT_EQ(got.values.size(), values.size()) << text;
    for (size_t i = 0; i < values.size(); ++i)
      ASSERT_EQ(std::memcmp(&got.values[i], &values[i], sizeof(double)), 0) << text;
  };
  for (const char* text : {"|", "||", "1|", "|1", "-|1", "+-1|2", "1.|.5", ".|1", "1e5|2",
                           "12345678901234567890|1", "9007199254740993|1", "1,5|2", "1|2 |3",
                           "1|\"2\"", "1\t2|3", "-0|+0", "0.00000000000000000000001|1"})
    for (char separator : {'.', ','}) check(text, separator);
  std::mt19937 rng(5);
  const std::string alphabet = "0123456789012345678901234567890123456789..,,--+e|||| \t\"";
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (int k = int(rng() % 40); k > 0; --k) text += alphabet[rng() % alphabet.size()];
    check(text, round % 2 ? ',' : '.');
  }
}

TEST(LabelList, KeepsBlanksDropsEmptiesAndHonoursQuotes) {
  EXPECT_EQ(SplitLabelList(""), Items{});
  EXPECT_EQ(SplitLabelList("Jan|Feb"), (Items{"Jan", "Feb"}));
  EXPECT_EQ(SplitLabelList(" North East |South"), (Items{" North East ", "South"}));
  EXPECT_EQ(SplitLabelList("a||b|"), (Items{"a", "b"}));
  EXPECT_EQ(SplitLabelList("a\r\nb\nc"), (Items{"a", "b", "c"}));
  EXPECT_EQ(SplitLabelList("'x|y'|\"p|q\"|z"), (Items{"'x|y'", "\"p|q\"", "z"}));
  EXPECT_EQ(SplitLabelList("it's|fine"), (Items{"it's|fine"}));
}

TEST(BooleanText, OnlyTheFourWords) {
  EXPECT_EQ(ParseBooleanText("True"), true);
  EXPECT_EQ(ParseBooleanText("true"), true);
  EXPECT_EQ(ParseBooleanText("False"), false);
  EXPECT_EQ(ParseBooleanText("false"), false);
  for (const char* other : {"TRUE", " True", "True ", "1", "0", "", "yes", "FALSE"})
    EXPECT_FALSE(ParseBooleanText(other).has_value()) << "'" << other << "'";
}

TEST(FontText, FiveItemsWithBlanksRemoved) {
  FontTextItems f = SplitFontText("Times New Roman|clRed|12|fsBold fsItalic|204");
  EXPECT_EQ(f.face, "TimesNewRoman");
  EXPECT_EQ(ParseFontColorText(f.color), 0x0000FFu);
  EXPECT_EQ(ParseIntegerText(f.size), 12);
  FontStyleWords s = FindFontStyleWords(f.styles);
  EXPECT_TRUE(s.bold);
  EXPECT_TRUE(s.italic);
  EXPECT_FALSE(s.underline);
  EXPECT_FALSE(s.strikeOut);
  EXPECT_EQ(ParseIntegerText(f.charset), 204);
  EXPECT_THROW(SplitFontText(""), ConversionError);
  EXPECT_THROW(SplitFontText("Arial|clRed|12|fsBold"), ConversionError);
  EXPECT_TRUE(FindFontStyleWords("[fsUnderline,fsStrikeOut]").strikeOut);
  EXPECT_FALSE(FindFontStyleWords("fsbold").bold);
}

TEST(Keywords, ExactMatchOnly) {
  enum class Side { Left, Right };
  static constexpr Keyword<Side> table[] = {{"Left", Side::Left}, {"Right", Side::Right}};
  EXPECT_EQ(MatchKeyword<Side>(table, "Right"), Side::Right);
  EXPECT_FALSE(MatchKeyword<Side>(table, "right").has_value());
  EXPECT_FALSE(MatchKeyword<Side>(table, "Left ").has_value());
}

}  // namespace
