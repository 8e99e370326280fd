#include "engine/chart/legend.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zq {

namespace {

// Layout sums stay defined for absurd sizes (a script may set any shadow size).
int32_t Sat(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                     std::numeric_limits<int32_t>::max()));
}

// Halves to the even neighbour.
int32_t RoundEven(double v) {
  return Sat(int64_t(std::nearbyint(v)));
}

// Halves away from zero.
int32_t RoundAway(double v) {
  return Sat(int64_t(std::round(v)));
}

// lsAuto before the first ResolveStyle answers as it would resolve now.
TLegendStyle AutoStyle(const TChartSeriesList& list) {
  return list.CountActive() < 2 ? TLegendStyle::lsValues : TLegendStyle::lsSeries;
}

}  // namespace

TChartSeries* FirstActiveSeries(const TChartSeriesList& list) {
  for (TChartSeries* s : list) {
    if (s->Active()) return s;
  }
  return nullptr;
}

TChartSeries* ActiveSeriesInLegend(const TChartSeriesList& list, int32_t n) {
  if (n < 0) return nullptr;
  for (TChartSeries* s : list) {
    if (s->Active() && s->ShowInLegend() && n-- == 0) return s;
  }
  return nullptr;
}

int32_t CountActiveSeriesInLegend(const TChartSeriesList& list) {
  return int32_t(std::count_if(list.begin(), list.end(), [](const TChartSeries* s) {
    return s->Active() && s->ShowInLegend();
  }));
}

// ---- TCustomChartLegend ----------------------------------------------------------------------

TCustomChartLegend::TCustomChartLegend(TLegendOwner& owner, TCustomZidPanel* panel)
    : TChartFontObject(panel),
      owner_(owner),
      brush_(std::make_unique<TChartBrush>([this] { Changed(); })),
      dividingLines_(std::make_unique<TChartHiddenPen>([this] { Changed(); })),
      frame_(std::make_unique<TChartPen>([this] { Changed(); })) {
  if (panel == nullptr) Font().SetOnChange([this] { Changed(); });
}

TCustomChartLegend::~TCustomChartLegend() = default;

void TCustomChartLegend::SetColorWidth(int32_t value) {
  if (value < 0 || value > 100) throw LegendException(kMsgLegendColorWidth);
  SetProperty(colorWidth_, value);
}

void TCustomChartLegend::SetFirstValue(int32_t value) {
  if (value < 0) throw LegendException(kMsgLegendFirstValue);
  SetProperty(firstValue_, value);
}

void TCustomChartLegend::SetTopPos(int32_t value) {
  if (value < 0 || value > 100) throw LegendException(kMsgLegendTopPos);
  SetProperty(topPos_, value);
}

void TCustomChartLegend::SetLegendStyle(TLegendStyle value) {
  if (legendStyle_ == value) return;
  legendStyle_ = value;
  ResolveStyle();
  Changed();
}

void TCustomChartLegend::ResolveStyle() {
  resolvedStyle_ =
      legendStyle_ == TLegendStyle::lsAuto ? AutoStyle(owner_.SeriesList()) : legendStyle_;
}

int32_t TCustomChartLegend::TotalItems() const {
  const TChartSeriesList& list = owner_.SeriesList();
  TLegendStyle style = resolvedStyle_;
  if (style == TLegendStyle::lsAuto) style = AutoStyle(list);
  int64_t n = 0;
  if (style == TLegendStyle::lsValues) {
    const TChartSeries* s = FirstActiveSeries(list);
    if (s == nullptr || !s->ShowInLegend()) return 0;
    n = s->CountLegendItems();
  } else {
    n = CountActiveSeriesInLegend(list);
  }
  return Sat(std::max<int64_t>(0, n - firstValue_));
}

std::string TCustomChartLegend::ItemText(int32_t index) const {
  const TChartSeriesList& list = owner_.SeriesList();
  TLegendStyle style = resolvedStyle_;
  if (style == TLegendStyle::lsAuto) style = AutoStyle(list);
  std::string text;
  switch (style) {
    case TLegendStyle::lsAuto:
    case TLegendStyle::lsSeries:
      if (TChartSeries* s = ActiveSeriesInLegend(list, index)) text = SeriesLegendTitle(*s, index);
      break;
    case TLegendStyle::lsValues:
      // Items may skip points (a pie's slices gathered into its other slice): the text is that
      // of the point whose colour the item shows.
      if (TChartSeries* s = FirstActiveSeries(list))
        text = ValueText(*s, s->LegendToValueIndex(index));
      break;
    case TLegendStyle::lsLastValues:
      // Counts every series, active or not.
      if (TChartSeries* s = list.At(index)) text = ValueText(*s, s->PointCount() - 1);
      break;
  }
  owner_.DoGetLegendText(style, index, text);
  return text;
}

std::string TCustomChartLegend::ValueText(TChartSeries& series, int32_t valueIndex) const {
  if (valueIndex < 0 || valueIndex >= series.PointCount()) return {};
  std::string text = series.LegendText(valueIndex, textStyle_);
  std::replace(text.begin(), text.end(), kLineSeparator, ' ');
  return text;
}

int32_t TCustomChartLegend::WidestItem(int32_t count) const {
  if (count == -1) count = TotalItems();
  TZidCanvas3D& canvas = owner_.Canvas();
  int32_t widest = 0;
  for (int32_t i = 0; i < count; ++i) {
    const int64_t index = int64_t(firstValue_) + i;
    if (index > std::numeric_limits<int32_t>::max()) break;
    widest = std::max(widest, canvas.TextWidthOf(ItemText(int32_t(index))));
  }
  return widest;
}

int32_t TCustomChartLegend::MaxLegendValues(int32_t start, int32_t itemExtent) const {
  const Rect& r = owner_.ChartRect();
  if (start >= r.bottom || itemExtent <= 0) return 0;
  const int64_t fits = (int64_t(r.bottom) - 2 * int64_t(frame_->Width()) - start) / itemExtent;
  return Sat(std::min<int64_t>(TotalItems(), fits));
}

void TCustomChartLegend::PaintLegend() {
  TZidCanvas3D& canvas = owner_.Canvas();
  ResolveStyle();
  owner_.SetLegendColor(color_);
  {
    // A copy: adopting the canvas' pixels per inch must not repaint the chart mid-paint.
    TChartFont font = Font();
    font.SetPixelsPerInch(canvas.Font().PixelsPerInch());
    canvas.SetFont(font);
  }
  const int32_t h = canvas.TextLineHeight();
  lineHeight_ = h;
  const int64_t fw = frame_->Width();
  const bool framed = frame_->Visible();
  const int64_t frameGap = framed ? fw + 1 : 0;
  const int64_t shadow = shadowSize_;
  const Rect r = owner_.ChartRect();
  const Rect bd = owner_.ChartBounds();

  // The widest of all items sizes the columns of a top or bottom legend only; a left or right
  // legend measures the items it shows (below), which for a long value legend is a few of many.
  const bool horizontal =
      alignment_ == TLegendAlignment::laTop || alignment_ == TLegendAlignment::laBottom;
  int32_t w = horizontal ? WidestItem(-1) : 0;
  const int64_t itemWidth = int64_t(w) + 4;
  colorBoxWidth_ = RoundEven(double(itemWidth) * colorWidth_ / 100.0);
  const int32_t total = TotalItems();

  auto columnsAndRows = [&] {
    numCols_ = 0;
    numRows_ = 0;
    if (r.right > 8) {
      const int64_t cols =
          (int64_t(owner_.ChartWidth()) - 2 * fw - 8) / (itemWidth + colorBoxWidth_ + 8);
      numCols_ = Sat(std::max<int64_t>(0, std::min<int64_t>(total, cols)));
    }
    if (numCols_ > 0) {
      numRows_ = total / numCols_ + (total % numCols_ != 0 ? 1 : 0);
      numRows_ = std::min(numRows_, maxNumRows_);
    }
  };

  int64_t top = 0, bottom = 0;
  switch (alignment_) {
    case TLegendAlignment::laTop:
      top = r.top + frameGap;
      columnsAndRows();
      bottom = top + int64_t(numRows_) * h + 2;
      break;
    case TLegendAlignment::laBottom:
      bottom = r.bottom - shadow - frameGap;
      columnsAndRows();
      top = bottom - int64_t(numRows_) * h - 2;
      break;
    case TLegendAlignment::laLeft:
    case TLegendAlignment::laRight:
      top = int64_t(bd.top) + RoundEven(double(topPos_) * (int64_t(bd.bottom) - bd.top) / 100.0);
      numCols_ = 1;
      numRows_ = MaxLegendValues(Sat(top), h);
      bottom = top + int64_t(numRows_) * h + 2;
      break;
  }

  int64_t left = 0, right = 0, textX = 0, colorBoxX = 0, capacity = 0;
  switch (alignment_) {
    case TLegendAlignment::laLeft:
      w = WidestItem(numRows_);
      left = r.left + frameGap;
      colorBoxWidth_ = RoundEven((int64_t(w) + 10) * colorWidth_ / 100.0);
      colorBoxX = left + 4;
      textX = left + colorBoxWidth_ + 8;
      right = left + colorBoxWidth_ + w + 10;
      capacity = numRows_;
      break;
    case TLegendAlignment::laRight:
      w = WidestItem(numRows_);
      right = r.right - frameGap - shadow;
      textX = right - w - 2;
      colorBoxWidth_ = RoundEven((int64_t(w) + 10) * colorWidth_ / 100.0);
      colorBoxX = textX - colorBoxWidth_ - 4;
      left = textX - colorBoxWidth_ - 8;
      capacity = numRows_;
      break;
    case TLegendAlignment::laTop:
    case TLegendAlignment::laBottom: {
      const int64_t legendWidth = std::min<int64_t>(
          owner_.ChartWidth(), 2 * shadow + (int64_t(colorBoxWidth_) + w + 8) * numCols_ + 8);
      const int64_t shift =
          RoundEven(double(topPos_) * (int64_t(bd.Width()) - legendWidth) / 100.0);
      left = owner_.ChartXCenter() - legendWidth / 2 + shift;
      right = owner_.ChartXCenter() + legendWidth / 2 + shift;
      colorBoxX = left + 4;
      textX = left + colorBoxWidth_ + 8;
      capacity = int64_t(numCols_) * numRows_;
      break;
    }
  }

  Rect legend{Sat(left), Sat(top), Sat(right), Sat(bottom)};
  owner_.DoGetLegendRect(legend);
  rectLegend_ = legend;
  // Too small for one line: nothing is drawn and the chart keeps its room.
  if (capacity < 1) return;

  DrawFrameAndShadow(legend);

  platform::Pen boxPen;
  boxPen.color = ColorToRGB(color_ == clBlack ? clWhite : clBlack);

  const int32_t count = Sat(std::min<int64_t>(total, capacity));
  const bool vertical = IsVertical();
  for (int32_t i = 0; i < count; ++i) {
    const int32_t index = Sat(int64_t(firstValue_) + i);
    const int32_t p = inverted_ ? count - 1 - i : i;
    int64_t x = textX, y = 0;
    if (vertical) {
      y = int64_t(legend.top) + 1 + int64_t(p) * h;
    } else {
      const int32_t row = p / numCols_, column = p % numCols_;
      x = textX + int64_t(column) * (int64_t(w) + 8 + colorBoxWidth_);
      y = int64_t(legend.top) + 1 + int64_t(row) * h;
    }
    int32_t ix = Sat(x), iy = Sat(y), xColor = Sat(colorBoxX);
    owner_.DoGetLegendPos(index, ix, iy, xColor);

    canvas.SetBrushStyle(TBrushStyle::bsClear);
    canvas.ChangeBackMode(platform::BackMode::Transparent);
    const std::string text = ItemText(index);
    if (!text.empty()) {
      canvas.OutputText(ix, iy, text);
      // Each box starts from the same pen: series symbols and dividing lines change it.
      canvas.SetPen(boxPen);
      const int32_t boxRight = Sat(int64_t(ix) - 4);
      DrawColorBox(index, {Sat(int64_t(boxRight) - colorBoxWidth_), Sat(int64_t(iy) + 2), boxRight,
                           Sat(int64_t(iy) + h - 2)});
    }
    if (p > 0 && dividingLines_->Visible()) {
      canvas.SelectChartPen(*dividingLines_);
      canvas.ChangeBackMode(platform::BackMode::Transparent);
      if (vertical) {
        canvas.HorizontalLine(legend.left, legend.right, iy);
      } else {
        canvas.VerticalLine(Sat(int64_t(ix) - 8 - colorBoxWidth_), legend.top, legend.bottom);
      }
    }
  }

  ShrinkChartRect(legend);
}

void TCustomChartLegend::DrawFrameAndShadow(const Rect& legend) const {
  TZidCanvas3D& canvas = owner_.Canvas();
  const int64_t shadow = shadowSize_;
  canvas.SelectChartPen(*frame_);
  Rect box = legend;
  int64_t e = shadow - 1;
  if (frame_->Visible()) {
    if (frame_->Color() == clDefault) canvas.SetPenColor(clBlack);
    const int32_t fw = frame_->Width();
    box = {Sat(int64_t(box.left) - fw), Sat(int64_t(box.top) - fw), Sat(int64_t(box.right) + fw),
           Sat(int64_t(box.bottom) + fw)};
    e = shadow + fw + (fw - 1) / 2;
  }
  if (shadow > 0) {
    platform::Brush fill;
    fill.color = ColorToRGB(shadowColor_);
    canvas.SetBrush(fill);
    canvas.FillRectangle({Sat(legend.left + shadow), Sat(legend.top + shadow),
                          Sat(legend.right + e), Sat(legend.bottom + e)});
  }
  platform::Brush fill;
  if (brush_->Style() != TBrushStyle::bsSolid) {
    fill.color = ColorToRGB(brush_->Color() == clDefault ? clBlack : brush_->Color());
    fill.style = ToSurfaceBrushStyle(brush_->Style());
    canvas.ChangeBackMode(platform::BackMode::Opaque);
    canvas.ChangeBackColor(color_ == clDefault ? clWhite : color_);
  } else if (color_ == clDefault) {
    // No colour of its own: the chart shows through.
    fill.style = platform::BrushStyle::Clear;
  } else {
    fill.color = ColorToRGB(color_);
  }
  if (brush_->HasPattern()) {
    fill.style = platform::BrushStyle::Pattern;
    fill.pattern = PatternFromImage(brush_->Image());
  }
  canvas.SetBrush(fill);
  canvas.DrawRectR(box);
}

void TCustomChartLegend::DrawColorBox(int32_t index, const Rect& rect) const {
  const TChartSeriesList& list = owner_.SeriesList();
  if (resolvedStyle_ == TLegendStyle::lsValues) {
    if (TChartSeries* s = FirstActiveSeries(list)) {
      s->DrawLegendItem(s->LegendToValueIndex(index), rect);
    } else {
      TZidCanvas3D& canvas = owner_.Canvas();
      canvas.SetBrushStyle(TBrushStyle::bsSolid);
      canvas.SetBrushColor(clWhite);
      canvas.DrawRectR(rect);
    }
  } else if (TChartSeries* s = ActiveSeriesInLegend(list, index)) {
    s->DrawLegendItem(-1, rect);
  }
}

void TCustomChartLegend::ShrinkChartRect(const Rect& legend) const {
  Rect r = owner_.ChartRect();
  if (resizeChart_) {
    switch (alignment_) {
      case TLegendAlignment::laLeft:
        r.left = legend.right;
        break;
      case TLegendAlignment::laRight:
        r.right = legend.left;
        break;
      case TLegendAlignment::laTop:
        r.top = Sat(int64_t(legend.bottom) + shadowSize_);
        break;
      case TLegendAlignment::laBottom:
        r.bottom = legend.top;
        break;
    }
  }
  // The gap comes whether or not the legend took room.
  const int32_t horizGap =
      horizMargin_ != 0 ? horizMargin_ : RoundAway(int64_t(owner_.ChartWidth()) * 3 / 100.0);
  const int32_t vertGap =
      vertMargin_ != 0 ? vertMargin_ : RoundAway(int64_t(owner_.ChartHeight()) * 4 / 100.0);
  switch (alignment_) {
    case TLegendAlignment::laLeft:
      r.left = Sat(int64_t(r.left) + horizGap);
      break;
    case TLegendAlignment::laRight:
      r.right = Sat(int64_t(r.right) - horizGap);
      break;
    case TLegendAlignment::laTop:
      r.top = Sat(int64_t(r.top) + vertGap);
      break;
    case TLegendAlignment::laBottom:
      r.bottom = Sat(int64_t(r.bottom) - vertGap);
      break;
  }
  owner_.SetChartRect(r);
  owner_.RecalcWidthHeight();
}

int32_t TCustomChartLegend::ItemAt(int32_t x, int32_t y) const {
  const Rect& l = rectLegend_;
  if (x < l.left || x >= l.right || y < l.top || y >= l.bottom) return -1;
  // The first row whose band holds y.
  auto rowAt = [&](int64_t rowHeight) -> int32_t {
    for (int32_t r = 0; r < numRows_; ++r) {
      const int64_t from = int64_t(l.top) + int64_t(r) * rowHeight + 1;
      if (from <= y && y <= from + rowHeight) return r;
    }
    return -1;
  };
  if (IsVertical()) {
    if (numRows_ <= 0) return -1;
    return rowAt((int64_t(l.bottom) - l.top) / numRows_);
  }
  if (numCols_ <= 0) return -1;
  const int64_t columnWidth = (int64_t(l.right) - l.left) / numCols_;
  int32_t result = -1;
  for (int32_t c = 0; c < numCols_; ++c) {
    const int64_t from = int64_t(l.left) + int64_t(c) * columnWidth + 1;
    if (from <= x && x <= from + columnWidth) {
      const int32_t row = rowAt(lineHeight_);
      if (row >= 0) result = Sat(int64_t(c) + int64_t(row) * numCols_);
    }
  }
  return result;
}

void TCustomChartLegend::Assign(const TChartFontObject& source) {
  TChartFontObject::Assign(source);
  const auto* legend = dynamic_cast<const TCustomChartLegend*>(&source);
  if (legend == nullptr) return;
  visible_ = legend->visible_;
  legendStyle_ = legend->legendStyle_;
  firstValue_ = legend->firstValue_;
  alignment_ = legend->alignment_;
  textStyle_ = legend->textStyle_;
  colorWidth_ = legend->colorWidth_;
  horizMargin_ = legend->horizMargin_;
  vertMargin_ = legend->vertMargin_;
  resizeChart_ = legend->resizeChart_;
  inverted_ = legend->inverted_;
  topPos_ = legend->topPos_;
  color_ = legend->color_;
  frame_->Assign(*legend->frame_);
  maxNumRows_ = legend->maxNumRows_;
  brush_->Assign(*legend->brush_);
  ResolveStyle();
  Changed();
}

}  // namespace zq
