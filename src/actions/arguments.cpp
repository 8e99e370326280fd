#include "actions/arguments.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/locale.h"

namespace zq::actions {

namespace {

bool IsBlankOrControl(char c) {
  return c >= 1 && c <= 32;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

[[noreturn]] void Fail(std::string_view what, std::string_view text) {
  throw ConversionError(std::string("'") + std::string(text) + "' is not " + std::string(what));
}

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? char(c - 32) : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

struct ColorName {
  std::string_view name;
  uint32_t value;
};

constexpr uint32_t kSystem = 0xFF000000u;
constexpr std::array<ColorName, 52> kColorNames = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", kSystem + 0},
    {"clBackground", kSystem + 1},
    {"clActiveCaption", kSystem + 2},
    {"clInactiveCaption", kSystem + 3},
    {"clMenu", kSystem + 4},
    {"clWindow", kSystem + 5},
    {"clWindowFrame", kSystem + 6},
    {"clMenuText", kSystem + 7},
    {"clWindowText", kSystem + 8},
    {"clCaptionText", kSystem + 9},
    {"clActiveBorder", kSystem + 10},
    {"clInactiveBorder", kSystem + 11},
    {"clAppWorkSpace", kSystem + 12},
    {"clHighlight", kSystem + 13},
    {"clHighlightText", kSystem + 14},
    {"clBtnFace", kSystem + 15},
    {"clBtnShadow", kSystem + 16},
    {"clGrayText", kSystem + 17},
    {"clBtnText", kSystem + 18},
    {"clInactiveCaptionText", kSystem + 19},
    {"clBtnHighlight", kSystem + 20},
    {"cl3DDkShadow", kSystem + 21},
    {"cl3DLight", kSystem + 22},
    {"clInfoText", kSystem + 23},
    {"clInfoBk", kSystem + 24},
    {"clHotLight", kSystem + 26},
    {"clGradientActiveCaption", kSystem + 27},
    {"clGradientInactiveCaption", kSystem + 28},
    {"clMenuHighlight", kSystem + 29},
    {"clMenuBar", kSystem + 30},
}};

// Whole numbers below 2^53 times or over a power of ten up to 10^22 are exact doubles, and one
// correctly rounded multiplication or division gives the correctly rounded value, as from_chars
// would (where doubles are computed in double precision).
constexpr bool kDoublePrecision = FLT_EVAL_METHOD == 0;
constexpr double kPowers[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Most texts of a long list: digits, perhaps a separator and more digits, 19 digits at
// most in all (so that every one of them is gathered, without counting significant ones). Reads
// such a number from p up to the first other character (`stop`); false where the general reader
// must decide.
bool ReadPlainNumber(const char* p, const char* end, char decimalSeparator, double& value,
                     const char*& stop) {
  if constexpr (!kDoublePrecision) return false;
  const char* const first = p;
  uint64_t whole = 0;
  for (; p < end && unsigned(*p - '0') <= 9; ++p) whole = whole * 10 + unsigned(*p - '0');
  size_t digits = size_t(p - first), fraction = 0;
  if (p < end && *p == decimalSeparator) {
    const char* const firstDecimal = ++p;
    for (; p < end && unsigned(*p - '0') <= 9; ++p) whole = whole * 10 + unsigned(*p - '0');
    fraction = size_t(p - firstDecimal);
    digits += fraction;
  }
  stop = p;
  if (digits == 0 || digits > 19 || whole > (uint64_t(1) << 53) || fraction > 22) return false;
  value = fraction == 0 ? double(whole) : double(whole) / kPowers[fraction];
  return true;
}

}  // namespace

int32_t ParseIntegerText(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= text.size()) Fail("an integer", text);
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    int digit = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) Fail("an integer", text);
    magnitude = magnitude * (hex ? 16 : 10) + uint64_t(digit);
    if (magnitude > 0xFFFFFFFFull) Fail("a 32-bit integer", text);
  }
  if (hex) {
    uint32_t bits = uint32_t(magnitude);
    return int32_t(negative ? 0u - bits : bits);
  }
  if (negative) {
    if (magnitude > 2147483648ull) Fail("a 32-bit integer", text);
    return int32_t(-int64_t(magnitude));
  }
  if (magnitude > 2147483647ull) Fail("a 32-bit integer", text);
  return int32_t(magnitude);
}

double ParseNumberText(std::string_view text, char decimalSeparator) {
  double value = 0;
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  const char* const c = text.data();
  size_t i = begin;
  bool negative = false;
  if (i < end && (c[i] == '+' || c[i] == '-')) {
    negative = c[i] == '-';
    // from_chars reads the same notation without a plus sign.
    if (!negative) ++begin;
    ++i;
  }
  if (const char* stop;
      ReadPlainNumber(c + i, c + end, decimalSeparator, value, stop) && stop == c + end)
    return negative ? -value : value;
  // The digits are checked and, up to 19 significant ones, gathered on the way (in locals
  // only: the characters read could otherwise alias them).
  uint64_t mantissa = 0;
  int significant = 0;
  int64_t exponent = 0;
  size_t digits = 0, separator = std::string_view::npos;
  for (; i < end && c[i] >= '0' && c[i] <= '9'; ++i, ++digits) {
    const unsigned d = unsigned(c[i] - '0');
    if (significant < 19) {
      mantissa = mantissa * 10 + d;
      significant += mantissa != 0;
    } else {
      ++exponent;
    }
  }
  if (i < end && c[i] == decimalSeparator) {
    separator = i;
    for (++i; i < end && c[i] >= '0' && c[i] <= '9'; ++i, ++digits) {
      const unsigned d = unsigned(c[i] - '0');
      if (significant < 19) {
        mantissa = mantissa * 10 + d;
        significant += mantissa != 0;
        --exponent;
      }
    }
  }
  if (digits == 0) Fail("a number", text);
  if (i < end && (c[i] == 'e' || c[i] == 'E')) {
    ++i;
    bool down = false;
    if (i < end && (c[i] == '+' || c[i] == '-')) down = c[i++] == '-';
    size_t exponentDigits = 0;
    int64_t written = 0;
    for (; i < end && c[i] >= '0' && c[i] <= '9'; ++i, ++exponentDigits)
      written = std::min<int64_t>(written * 10 + (c[i] - '0'), 1000000);
    if (exponentDigits == 0) Fail("a number", text);
    exponent += down ? -written : written;
  }
  if (i != end) Fail("a number", text);
  if (kDoublePrecision && mantissa <= (uint64_t(1) << 53) && exponent >= -22 && exponent <= 22) {
    double value = double(mantissa);
    value = exponent < 0 ? value / kPowers[-exponent] : value * kPowers[exponent];
    return negative ? -value : value;
  }
  std::string_view number = text.substr(begin, end - begin);
  char buffer[64];
  std::string longer;
  if (separator != std::string_view::npos && decimalSeparator != '.') {
    char* copy = buffer;
    if (number.size() > sizeof buffer) {
      longer.assign(number);
      copy = longer.data();
    } else {
      number.copy(buffer, number.size());
    }
    copy[separator - begin] = '.';
    number = std::string_view(copy, number.size());
  }
  value = 0;
  auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || ptr != number.data() + number.size() || !std::isfinite(value))
    Fail("a number in range", text);
  return value;
}

char LoadedDecimalSeparator() {
  static const char separator = platform::SystemLocale().decimalSeparator;
  return separator;
}

uint32_t ParseColorText(std::string_view text) {
  std::vector<std::string> items = SplitDelimited(text, ',');
  if (items.size() < 3) Fail("a colour (red,green,blue)", text);
  uint32_t r = uint32_t(ParseIntegerText(items[0])) & 0xFF;
  uint32_t g = uint32_t(ParseIntegerText(items[1])) & 0xFF;
  uint32_t b = uint32_t(ParseIntegerText(items[2])) & 0xFF;
  return r | (g << 8) | (b << 16);
}

uint32_t ParseFontColorText(std::string_view text) {
  for (const ColorName& c : kColorNames)
    if (EqualsIgnoringAsciiCase(c.name, text)) return c.value;
  return uint32_t(ParseIntegerText(text));
}

std::optional<std::string_view> ColorIdentifier(uint32_t color) {
  for (const ColorName& c : kColorNames)
    if (c.value == color) return c.name;
  return std::nullopt;
}

DelimitedItems::DelimitedItems(std::string_view text, char delimiter)
    : text_(text), delimiter_(delimiter) {
  SkipBlanks();
}

void DelimitedItems::SkipBlanks() {
  // A local index: the characters read could otherwise be the member written (char aliasing).
  size_t p = p_;
  while (IsBlankOrControl(At(p))) ++p;
  p_ = p;
}

bool DelimitedItems::Next(std::string_view& item) {
  if (trailingEmpty_) {
    trailingEmpty_ = false;
    item = {};
    return true;
  }
  // A zero byte ends the text, as it does for the host's zero-terminated texts.
  if (At(p_) == '\0') return false;
  if (At(p_) == '"') {
    quoted_.clear();
    size_t start = ++p_;
    while (At(p_) != '\0') {
      if (At(p_) == '"') {
        quoted_.append(text_.substr(start, p_ - start));
        if (At(p_ + 1) == '"') {
          quoted_ += '"';
          p_ += 2;
          start = p_;
          continue;
        }
        start = ++p_;
        break;
      }
      ++p_;
    }
    if (start < p_) quoted_.append(text_.substr(start, p_ - start));
    item = quoted_;
  } else {
    // Up to a blank, a control character, a zero byte or the delimiter.
    const char* const data = text_.data();
    const char delimiter = delimiter_;
    const size_t start = p_, size = text_.size();
    size_t p = start;
    while (p<size&& static_cast<unsigned char>(data[p])> 32 && data[p] != delimiter) ++p;
    p_ = p;
    item = text_.substr(start, p - start);
  }
  SkipBlanks();
  if (At(p_) == delimiter_) {
    if (At(p_ + 1) == '\0') trailingEmpty_ = true;
    ++p_;
    SkipBlanks();
  }
  return true;
}

std::vector<std::string> SplitDelimited(std::string_view text, char delimiter) {
  std::vector<std::string> items;
  DelimitedItems reader(text, delimiter);
  for (std::string_view item; reader.Next(item);) items.emplace_back(item);
  return items;
}

std::string RemoveBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != ' ') out += c;
  return out;
}

std::vector<std::string> SplitValueList(std::string_view text) {
  return SplitDelimited(RemoveBlanks(text), '|');
}

namespace {

// What one pass over a value list finds: its delimiters, and whether it holds nothing but
// number characters and delimiters (no quote, blank, control character or zero byte).
struct PlainList {
  size_t delimiters = 0;
  bool plain = true;
};

PlainList ScanPlainList(std::string_view text) {
  // Eight bytes at a time, each test exact in every byte: the low seven bits plus 0x5F carry
  // into the top bit exactly from 33 up, and plus 0x7F from 1 up.
  constexpr uint64_t kOnes = 0x0101010101010101ull, kLow = kOnes * 0x7F, kHigh = kOnes * 0x80;
  auto zeros = [&](uint64_t x) { return ~(((x & kLow) + kLow) | x) & kHigh; };
  PlainList list;
  uint64_t refused = 0;
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    refused |= ~(((word & kLow) + kOnes * 0x5F) | word) & kHigh;
    refused |= zeros(word ^ (kOnes * '"'));
    list.delimiters += size_t(std::popcount(zeros(word ^ (kOnes * '|'))));
  }
  for (; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    refused |= c <= 32 || c == '"';
    list.delimiters += c == '|';
  }
  list.plain = refused == 0;
  return list;
}

void ReadListItem(ValueListNumbers& numbers, std::string_view item, char decimalSeparator) {
  try {
    numbers.values.push_back(ParseNumberText(item, decimalSeparator));
  } catch (const ConversionError&) {
    numbers.failure = std::current_exception();
    numbers.failedText = item;
  }
}

}  // namespace

ValueListNumbers ParseValueListNumbers(std::string_view text, char decimalSeparator) {
  std::string withoutBlanks;
  if (text.find(' ') != std::string_view::npos) {
    withoutBlanks = RemoveBlanks(text);
    text = withoutBlanks;
  }
  ValueListNumbers numbers;
  const PlainList plain = ScanPlainList(text);
  numbers.values.reserve(plain.delimiters + 1);
  if (plain.plain && !text.empty()) {
    // Its items are exactly the texts between the delimiters; a number that the quick reader
    // takes ends at one, anything else is read (or refused) as the text between them.
    const char *p = text.data(), *const end = p + text.size();
    while (p != nullptr) {
      const char* q = p;
      const bool negative = q < end && *q == '-';
      if (q < end && (*q == '-' || *q == '+')) ++q;
      double value = 0;
      const char* stop = nullptr;
      const char* next = nullptr;
      if (!numbers.failure && ReadPlainNumber(q, end, decimalSeparator, value, stop) &&
          (stop == end || *stop == '|')) {
        numbers.values.push_back(negative ? -value : value);
        next = stop;
      } else {
        next = static_cast<const char*>(std::memchr(p, '|', size_t(end - p)));
        const std::string_view item(p, size_t((next != nullptr ? next : end) - p));
        if (!numbers.failure) ReadListItem(numbers, item, decimalSeparator);
      }
      ++numbers.count;
      p = next == end || next == nullptr ? nullptr : next + 1;
    }
    return numbers;
  }
  DelimitedItems items(text, '|');
  for (std::string_view item; items.Next(item); ++numbers.count)
    if (!numbers.failure) ReadListItem(numbers, item, decimalSeparator);
  return numbers;
}

std::vector<std::string> SplitLabelList(std::string_view text) {
  std::vector<std::string> items;
  std::string current;
  char quote = '\0';
  auto flush = [&] {
    if (!current.empty()) items.push_back(std::move(current));
    current.clear();
  };
  for (char c : text) {
    if (c == '\0') break;
    if (quote != '\0') {
      if (c == quote) quote = '\0';
      current += c;
    } else if (c == '\'' || c == '"') {
      quote = c;
      current += c;
    } else if (c == '|' || c == '\r' || c == '\n') {
      flush();
    } else {
      current += c;
    }
  }
  flush();
  return items;
}

std::optional<bool> ParseBooleanText(std::string_view text) {
  if (text == "True" || text == "true") return true;
  if (text == "False" || text == "false") return false;
  return std::nullopt;
}

FontTextItems SplitFontText(std::string_view text) {
  std::vector<std::string> items = SplitDelimited(RemoveBlanks(text), '|');
  if (items.size() < 5) Fail("a font (face|colour|size|styles|charset)", text);
  return {items[0], items[1], items[2], items[3], items[4]};
}

FontStyleWords FindFontStyleWords(std::string_view styles) {
  FontStyleWords words;
  words.bold = styles.find("fsBold") != std::string_view::npos;
  words.italic = styles.find("fsItalic") != std::string_view::npos;
  words.underline = styles.find("fsUnderline") != std::string_view::npos;
  words.strikeOut = styles.find("fsStrikeOut") != std::string_view::npos;
  return words;
}

}  // namespace zq::actions
