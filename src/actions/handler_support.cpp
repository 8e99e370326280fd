#include "actions/handler_support.h"

namespace zq::actions {

namespace {

constexpr size_t kQuotedLength = 40;

// Ends the action with a reason about the parameter being read.
[[noreturn]] void Refuse(const std::string& what) {
  std::string reason = ParameterPrefix() + what;
  StopReason(reason);
  throw ConversionError(reason);
}

// "not an integer text" when `subject` is empty, else "the font size is not an integer text".
std::string Is(const std::string& subject, const std::string& what) {
  return subject.empty() ? what : subject + " is " + what;
}

// Decimal digits that overflow 32 bits are an integer out of range, not a malformed one.
bool DecimalDigitsOnly(std::string_view text) {
  size_t i = text.find_first_not_of(' ');
  if (i == std::string_view::npos) return false;
  if (text[i] == '+' || text[i] == '-') ++i;
  return i < text.size() && text.find_first_not_of("0123456789", i) == std::string_view::npos;
}

int32_t Integer(std::string_view text, const std::string& subject) {
  try {
    return ParseIntegerText(text);
  } catch (const ConversionError&) {
    if (DecimalDigitsOnly(text))
      Refuse("a value out of range: " + (subject.empty() ? "" : subject + " ") + Quote(text) +
             " does not fit 32 bits");
    Refuse(Is(subject, "not an integer text: ") + Quote(text));
  }
}

}  // namespace

std::string Quote(std::string_view text) {
  size_t cut = text.size();
  if (cut > kQuotedLength) {
    cut = kQuotedLength;
    // Never inside a UTF-8 character.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  }
  // Appends: mingw's -Wrestrict misreads the same as a chain of concatenations.
  std::string quoted(1, '"');
  quoted.append(text.substr(0, cut));
  if (cut < text.size()) quoted.append("...");
  quoted.push_back('"');
  return quoted;
}

const std::string& TextAt(const Args& args, size_t i) {
  ReadingParameter(i);
  return args.at(i);
}

int32_t IntegerItem(std::string_view text, const std::string& subject) {
  return Integer(text, subject);
}

int32_t IntegerAt(const Args& args, size_t i) {
  return Integer(TextAt(args, i), "");
}

uint32_t ColorAt(const Args& args, size_t i) {
  const std::string& text = TextAt(args, i);
  try {
    return ParseColorText(text);
  } catch (const ConversionError&) {
    Refuse("not a colour text (red,green,blue): " + Quote(text));
  }
}

uint32_t ColorOrBlackAt(const Args& args, size_t i) {
  if (TextAt(args, i).empty()) return ParseColorText("0,0,0");
  return ColorAt(args, i);
}

double ValueItem(std::string_view text, const char* list, size_t item) {
  const char separator = LoadedDecimalSeparator();
  try {
    return ParseNumberText(text, separator);
  } catch (const ConversionError&) {
    Refuse(std::string(list) + " value " + std::to_string(item + 1) +
           " is not a number text (decimal separator \"" + std::string(1, separator) +
           "\"): " + Quote(text));
  }
}

void ApplyFontAt(TChartFont& font, const Args& args, size_t i) {
  ApplyFontText(font, TextAt(args, i));
}

void ApplyFontText(TChartFont& font, const std::string& text) {
  FontTextItems items;
  try {
    items = SplitFontText(text);
  } catch (const ConversionError&) {
    Refuse("not a font text (face|colour|size|styles|charset): " + Quote(text));
  }
  font.SetName(items.face);
  uint32_t color = 0;
  try {
    color = ParseFontColorText(items.color);
  } catch (const ConversionError&) {
    Refuse("the font colour is not a colour name or integer text: " + Quote(items.color));
  }
  font.SetColor(color);
  font.SetSize(Integer(items.size, "the font size"));
  FontStyleWords words = FindFontStyleWords(items.styles);
  TFontStyles style = font.Style();
  if (words.bold) style.Include(TFontStyle::fsBold);
  if (words.italic) style.Include(TFontStyle::fsItalic);
  if (words.underline) style.Include(TFontStyle::fsUnderline);
  if (words.strikeOut) style.Include(TFontStyle::fsStrikeOut);
  font.SetStyle(style);
  font.SetCharset(uint8_t(Integer(items.charset, "the character set")));
}

charts::TVelImageForm* FindChart(const Args& args) {
  if (args.empty()) return nullptr;
  ReadingParameter(0);
  charts::TVelImageForm* form = charts::ChartRegistry::Instance().Find(args[0]);
  if (form == nullptr) StopReason("no chart over the rectangle " + Quote(args[0]));
  return form;
}

void NoSeries(const charts::TVelImageForm& form, const std::string& seriesName) {
  ReadingParameter(1);
  StopReason("no series " + Quote(seriesName) + " in the chart over " +
             Quote(form.RectangleName()));
}

TLineSeries* FindNamedSeries(charts::TVelImageForm& form, const std::string& seriesName) {
  ReadingParameter(1);
  const int32_t position =
      form.HasSeriesList() ? form.FindSeriesKey(charts::SeriesKey(form.RectangleName(), seriesName))
                           : -1;
  if (position < 0) {
    NoSeries(form, seriesName);
    return nullptr;
  }
  TChart& chart = form.Chart1();
  // Key k names the series at k + 1; a missing series is a failure that ends the action.
  if (position + 1 >= chart.SeriesCount()) throw std::out_of_range("no series at that position");
  return dynamic_cast<TLineSeries*>(&chart.Series(position + 1));
}

}  // namespace zq::actions
