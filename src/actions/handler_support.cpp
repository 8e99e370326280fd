#include "actions/handler_support.h"

namespace zq::actions {

charts::TVelImageForm* FindChart(const Args& args) {
  if (args.empty()) return nullptr;
  return charts::ChartRegistry::Instance().Find(args[0]);
}

TLineSeries* FindNamedSeries(charts::TVelImageForm& form, const std::string& seriesName) {
  if (!form.HasSeriesList()) return nullptr;
  int32_t position = form.FindSeriesKey(charts::SeriesKey(form.RectangleName(), seriesName));
  if (position < 0) return nullptr;
  TChart& chart = form.Chart1();
  // Key k names the series at k + 1; a missing series is a failure that ends the action.
  if (position + 1 >= chart.SeriesCount()) throw std::out_of_range("no series at that position");
  return dynamic_cast<TLineSeries*>(&chart.Series(position + 1));
}

void ApplyFontText(TChartFont& font, const std::string& text) {
  FontTextItems items = SplitFontText(text);
  font.SetName(items.face);
  font.SetColor(ParseFontColorText(items.color));
  font.SetSize(ParseIntegerText(items.size));
  FontStyleWords words = FindFontStyleWords(items.styles);
  TFontStyles style = font.Style();
  if (words.bold) style.Include(TFontStyle::fsBold);
  if (words.italic) style.Include(TFontStyle::fsItalic);
  if (words.underline) style.Include(TFontStyle::fsUnderline);
  if (words.strikeOut) style.Include(TFontStyle::fsStrikeOut);
  font.SetStyle(style);
  font.SetCharset(uint8_t(ParseIntegerText(items.charset)));
}

uint32_t ColorOrBlack(const std::string& text) {
  return ParseColorText(text.empty() ? std::string("0,0,0") : text);
}

}  // namespace zq::actions
