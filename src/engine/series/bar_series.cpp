#include "engine/series/bar_series.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <typeinfo>

#include "engine/axes/axis.h"
#include "engine/drawing/canvas3d.h"
#include "engine/drawing/pixel_math.h"

namespace zq {

namespace {

using pixels::RoundToInt;
using pixels::Sat;
using platform::Point;
using platform::Rect;

// The sides of a bar as a normalised rectangle.
Rect BoundsOf(const TBarExtent& bar, bool vertical) {
  const int32_t a0 = std::min(bar.start, bar.end), a1 = std::max(bar.start, bar.end);
  const int32_t v0 = std::min(bar.tip, bar.origin), v1 = std::max(bar.tip, bar.origin);
  return vertical ? Rect{a0, v0, a1, v1} : Rect{v0, a0, v1, a1};
}

}  // namespace

// ---- properties ----------------------------------------------------------------------------

TCustomBarSeries::TCustomBarSeries(bool vertical)
    : vertical_(vertical),
      barBrush_([this] { RequestRepaint(); }),
      barPen_([this] { RequestRepaint(); }) {
  TChartValueList& bars = MandatoryValueList();
  bars.SetName(kBarValuesName);
  bars.SetOrder(TChartListOrder::loNone);
  Marks().SetVisible(true);
  Marks().SetArrowLength(20);
}

TCustomBarSeries::~TCustomBarSeries() = default;

void TCustomBarSeries::SetAutoBarSize(bool value) {
  SetProperty(autoBarSize_, value);
}

void TCustomBarSeries::SetAutoMarkPosition(bool value) {
  SetProperty(autoMarkPosition_, value);
}

void TCustomBarSeries::SetBarStyle(TBarStyle value) {
  SetProperty(barStyle_, value);
}

void TCustomBarSeries::SetBarWidthPercent(int32_t value) {
  if (value < 1 || value > 100) throw BarException(kMsgBarWidthPercent);
  SetProperty(barWidthPercent_, value);
}

void TCustomBarSeries::SetDark3D(bool value) {
  SetProperty(dark3D_, value);
}

void TCustomBarSeries::SetOffsetPercent(int32_t value) {
  if (value < -100 || value > 100) throw BarException(kMsgBarOffsetPercent);
  SetProperty(offsetPercent_, value);
}

void TCustomBarSeries::SetUseYOrigin(bool value) {
  SetProperty(useYOrigin_, value);
}

void TCustomBarSeries::SetYOrigin(double value) {
  SetProperty(yOrigin_, value);
}

// Side by side or stacked is a matter of the whole group, so every series of the class follows.
void TCustomBarSeries::SetMultiBar(TMultiBar value) {
  ApplyToClass<TCustomBarSeries>(
      [value](TCustomBarSeries& s) { s.SetProperty(s.multiBar_, value); });
}

void TCustomBarSeries::SetSideMargins(bool value) {
  ApplyToClass<TCustomBarSeries>(
      [value](TCustomBarSeries& s) { s.SetProperty(s.sideMargins_, value); });
}

void TCustomBarSeries::Assign(const TChartSeries& source) {
  const auto* s = dynamic_cast<const TCustomBarSeries*>(&source);
  if (!s || s == this) return;
  autoBarSize_ = s->autoBarSize_;
  autoMarkPosition_ = s->autoMarkPosition_;
  barBrush_.Assign(s->barBrush_);
  barPen_.Assign(s->barPen_);
  barStyle_ = s->barStyle_;
  barWidthPercent_ = s->barWidthPercent_;
  dark3D_ = s->dark3D_;
  multiBar_ = s->multiBar_;
  offsetPercent_ = s->offsetPercent_;
  sideMargins_ = s->sideMargins_;
  useYOrigin_ = s->useYOrigin_;
  yOrigin_ = s->yOrigin_;
  RequestRepaint();
}

TBarStyle TCustomBarSeries::BarStyleOf(int32_t index) {
  TBarStyle style = barStyle_;
  if (OnGetBarStyle) OnGetBarStyle(*this, index, style);
  return style;
}

// ---- values --------------------------------------------------------------------------------

TCustomBarSeries::SameClass TCustomBarSeries::CountSameClass() const {
  SameClass same;
  if (!ParentChart()) return same;
  for (TChartSeries* s : ParentChart()->SeriesList()) {
    if (!s->Active() || typeid(*s) != typeid(*this)) continue;
    ++same.count;
    if (s == this) same.order = same.count;
    same.mostPoints = std::max(same.mostPoints, s->PointCount());
  }
  return same;
}

double TCustomBarSeries::TipValue(int32_t index) const {
  const double value = MandatoryValueList().ValueAt(index);
  if (!Stacked()) return value;
  const double stacked = value + PointOrigin(index, false);
  if (multiBar_ == TMultiBar::mbStacked) return stacked;
  const double total = PointOrigin(index, true);
  return total == 0 ? 0 : stacked * 100.0 / total;
}

double TCustomBarSeries::OriginOf(int32_t index) const {
  if (!Stacked()) {
    return useYOrigin_ ? yOrigin_ : -std::numeric_limits<double>::infinity();
  }
  const double origin = PointOrigin(index, false);
  if (multiBar_ == TMultiBar::mbStacked) return origin;
  const double total = PointOrigin(index, true);
  return total == 0 ? 0 : origin * 100.0 / total;
}

double TCustomBarSeries::HighestValue() const {
  double highest = 0;
  if (multiBar_ == TMultiBar::mbStacked100) {
    highest = 100;
  } else if (multiBar_ == TMultiBar::mbStacked && PointCount() > 0) {
    highest = TipValue(0);
    for (int32_t i = 1; i < PointCount(); ++i) highest = std::max(highest, TipValue(i));
  } else {
    highest = MandatoryValueList().Highest();
  }
  if (useYOrigin_ && multiBar_ != TMultiBar::mbStacked100) highest = std::max(highest, yOrigin_);
  return highest;
}

double TCustomBarSeries::LowestValue() const {
  if (multiBar_ == TMultiBar::mbStacked100) return 0;
  double lowest = 0;
  if (multiBar_ == TMultiBar::mbStacked && PointCount() > 0) {
    lowest = std::min(TipValue(0), OriginOf(0));
    for (int32_t i = 1; i < PointCount(); ++i)
      lowest = std::min({lowest, TipValue(i), OriginOf(i)});
  } else {
    lowest = MandatoryValueList().Lowest();
  }
  if (useYOrigin_) lowest = std::min(lowest, yOrigin_);
  return lowest;
}

double TCustomBarSeries::MaxXValue() const {
  return vertical_ ? TChartSeries::MaxXValue() : HighestValue();
}

double TCustomBarSeries::MinXValue() const {
  return vertical_ ? TChartSeries::MinXValue() : LowestValue();
}

double TCustomBarSeries::MaxYValue() const {
  return vertical_ ? HighestValue() : TChartSeries::MaxYValue();
}

double TCustomBarSeries::MinYValue() const {
  return vertical_ ? LowestValue() : TChartSeries::MinYValue();
}

// ---- geometry ------------------------------------------------------------------------------

void TCustomBarSeries::CalcBarSize() {
  const SameClass same = CountSameClass();
  const bool side = multiBar_ == TMultiBar::mbSide && same.count > 0;
  sideCount_ = side ? same.count : 1;
  sideOrder_ = side ? std::max(1, same.order) : 1;
  if (CustomBarSize() != 0) {
    barSize_ = CustomBarSize();
    return;
  }
  barSize_ = 0;
  int64_t n = side ? same.mostPoints : PointCount();
  if (ParentChart() && ParentChart()->MaxPointsPerPage() > 0) n = ParentChart()->MaxPointsPerPage();
  const TCustomChartAxis* axis = PositionAxis();
  if (n <= 0 || !axis) return;
  int64_t slot = 0;
  if (autoBarSize_) {
    const double span = axis->Maximum() + 2 - axis->Minimum();
    if (span > 0) slot = RoundToInt(axis->IAxisSize() / span);
  } else {
    slot = axis->IAxisSize() / (sideMargins_ ? n + 1 : n);
  }
  int64_t size = RoundToInt(barWidthPercent_ * 0.01 * double(slot)) / sideCount_;
  if (size % 2 != 0) ++size;
  barSize_ = Sat(size);
}

TBarExtent TCustomBarSeries::BarExtent(int32_t index) const {
  TBarExtent bar;
  const int64_t size = barSize_;
  const int64_t at = vertical_ ? PointXPixel(index) : PointYPixel(index);
  int64_t start = multiBar_ == TMultiBar::mbSide
                      ? at + RoundToInt((sideOrder_ - sideCount_ * 0.5 - 1) * double(size))
                      : at - size / 2;
  start += RoundToInt(offsetPercent_ * double(size) * 0.01);
  bar.start = Sat(start);
  bar.end = Sat(start + size);
  bar.tip = ValuePixel(TipValue(index));
  if (Stacked() || useYOrigin_) {
    bar.origin = ValuePixel(OriginOf(index));
  } else if (const TCustomChartAxis* axis = ValueAxis()) {
    // Without an origin the bars stand on the low end of the value axis.
    bar.origin = vertical_ ? axis->IEndPos() : axis->IStartPos();
  }
  return bar;
}

Rect TCustomBarSeries::BarBounds(int32_t index) const {
  return BoundsOf(BarExtent(index), vertical_);
}

// ---- z order and drawing order ---------------------------------------------------------------

void TCustomBarSeries::AssignZOrder() {
  TChartHost* chart = ParentChart();
  if (multiBar_ == TMultiBar::mbNone || ZOrder() != -1 || !chart || !chart->View3D()) {
    TChartSeries::AssignZOrder();
    return;
  }
  // Bars that stand side by side or on each other share one depth slot.
  for (TChartSeries* s : chart->SeriesList()) {
    if (s == this) break;
    if (s->Active() && typeid(*s) == typeid(*this)) {
      SetComputedZOrder(s->EffectiveZOrder());
      return;
    }
  }
  TChartSeries::AssignZOrder();
}

bool TCustomBarSeries::DrawValuesForward() const {
  const TCustomChartAxis* axis = PositionAxis();
  return !(axis && axis->Inverted());
}

bool TCustomBarSeries::DrawSeriesForward(int32_t /*index*/) const {
  const TCustomChartAxis* axis = ValueAxis();
  return !(Stacked() && axis && axis->Inverted());
}

// ---- drawing -------------------------------------------------------------------------------

void TCustomBarSeries::DoBeforeDrawValues() {
  TChartSeries::DoBeforeDrawValues();
  CalcBarSize();
  haveLastMark_ = false;
}

void TCustomBarSeries::PrepareBarCanvas(TColor color) {
  TChartHost* chart = ParentChart();
  TZidCanvas3D& canvas = chart->Canvas();
  canvas.SelectChartPen(barPen_);
  const TColor back = barBrush_.Color() == clDefault ? chart->Color() : barBrush_.Color();
  if (barBrush_.HasPattern()) {
    platform::Brush b;
    b.color = ColorToRGB(color);
    b.style = platform::BrushStyle::Pattern;
    b.pattern = PatternFromImage(barBrush_.Image());
    canvas.SetBrush(b);
    canvas.ChangeBackMode(platform::BackMode::Opaque);
    canvas.ChangeBackColor(ColorToRGB(back));
    return;
  }
  SetBrushColours(canvas, color, barBrush_.Style(), back);
}

void TCustomBarSeries::DrawValue(int32_t index) {
  TChartHost* chart = ParentChart();
  if (!chart || IsNullPoint(index)) return;
  const TColor color = PointColor(index);
  PrepareBarCanvas(color);
  const TBarExtent bar = BarExtent(index);
  const TBarStyle style = BarStyleOf(index);
  if (chart->View3D()) {
    DrawBar3D(bar, style, color);
  } else {
    DrawBar2D(bar, style, color);
  }
}

// A white-to-colour gradient inside a face, clear of its outline.
void TCustomBarSeries::DrawGradientFace(Rect face, TColor color) {
  TZidCanvas3D& canvas = ParentChart()->Canvas();
  const int32_t inset = barPen_.Visible() ? std::max(0, barPen_.Width()) : 0;
  face = {Sat(int64_t(face.left) + inset), Sat(int64_t(face.top) + inset),
          Sat(int64_t(face.right) + 1 - inset), Sat(int64_t(face.bottom) + 1 - inset)};
  if (face.right <= face.left || face.bottom <= face.top) return;
  // The colour lies at the bar's tip, white at its base.
  const TGradientDirection direction =
      vertical_ ? TGradientDirection::gdTopBottom : TGradientDirection::gdRightLeft;
  canvas.FillGradient(face, clWhite, color, direction);
}

void TCustomBarSeries::DrawBar3D(const TBarExtent& bar, TBarStyle style, TColor color) {
  TZidCanvas3D& canvas = ParentChart()->Canvas();
  const Rect r = BoundsOf(bar, vertical_);
  const int32_t z0 = StartZ(), z1 = EndZ();
  const int32_t mid = int32_t((int64_t(bar.start) + bar.end) / 2);
  switch (style) {
    case TBarStyle::bsRectangle:
      canvas.DrawBox(r, z0, z1, dark3D_);
      break;
    case TBarStyle::bsPyramid:
    case TBarStyle::bsInvPyramid: {
      // The apex lies at the tip, or at the base for the inverted pyramid.
      const bool inverted = style == TBarStyle::bsInvPyramid;
      const int32_t apex = inverted ? bar.origin : bar.tip, base = inverted ? bar.tip : bar.origin;
      if (vertical_) {
        canvas.DrawPyramid(true, r.left, apex, r.right, base, z0, z1, dark3D_);
      } else {
        canvas.DrawPyramid(false, base, r.top, apex, r.bottom, z0, z1, dark3D_);
      }
      break;
    }
    case TBarStyle::bsCilinder:
      canvas.DrawCylinder(vertical_, r.left, r.top, r.right, r.bottom, z0, z1, dark3D_);
      break;
    case TBarStyle::bsEllipse:
      canvas.DrawEllipseAtZ(r.left, r.top, r.right, r.bottom, MiddleZ());
      break;
    case TBarStyle::bsArrow: {
      const int32_t size = std::abs(bar.end - bar.start);
      const Point from = vertical_ ? Point{mid, bar.origin} : Point{bar.origin, mid};
      const Point to = vertical_ ? Point{mid, bar.tip} : Point{bar.tip, mid};
      canvas.DrawArrow(true, from, to, size, size, MiddleZ());
      break;
    }
    case TBarStyle::bsRectGradient:
      canvas.DrawBox(r, z0, z1, dark3D_);
      if (canvas.IsOrthogonal()) {
        const Point a = canvas.ProjectXY(r.left, r.top, z0);
        const Point b = canvas.ProjectXY(r.right, r.bottom, z0);
        DrawGradientFace({a.x, a.y, b.x, b.y}, color);
      }
      break;
  }
}

void TCustomBarSeries::DrawBar2D(const TBarExtent& bar, TBarStyle style, TColor color) {
  TZidCanvas3D& canvas = ParentChart()->Canvas();
  const Rect r = BoundsOf(bar, vertical_);
  const int32_t mid = int32_t((int64_t(bar.start) + bar.end) / 2);
  // Windows leaves the far edges out: the shapes reach one pixel further to cover them.
  const int32_t right1 = Sat(int64_t(r.right) + 1), bottom1 = Sat(int64_t(r.bottom) + 1);
  auto outline = [&] {
    canvas.SetBrushStyle(TBrushStyle::bsClear);
    canvas.DrawRect(r.left, r.top, right1, bottom1);
  };
  switch (style) {
    case TBarStyle::bsRectangle:
    case TBarStyle::bsCilinder: {
      const bool solid = canvas.Brush().style == platform::BrushStyle::Solid;
      const int32_t width = r.right - r.left, height = r.bottom - r.top;
      if (solid && (width == 0 || height == 0)) {
        // Nothing to fill: the bar is a line.
        canvas.SetPenStyle(TPenStyle::psSolid);
        canvas.SetPenWidth(1);
        canvas.SetPenColor(canvas.Brush().color);
        canvas.DrawSegment(r.left, r.top, width == 0 ? r.left : right1,
                           width == 0 ? bottom1 : r.top);
      } else if (barPen_.Visible() && (width < barPen_.Width() || height < barPen_.Width())) {
        // The pen would swallow the fill: the bar keeps its colour as an outline.
        canvas.SetPenColor(canvas.Brush().color);
        outline();
      } else {
        canvas.DrawRect(r.left, r.top, right1, bottom1);
      }
      break;
    }
    case TBarStyle::bsPyramid:
    case TBarStyle::bsInvPyramid: {
      const bool inverted = style == TBarStyle::bsInvPyramid;
      const int32_t apex = inverted ? bar.origin : bar.tip, base = inverted ? bar.tip : bar.origin;
      const int32_t lo = std::min(bar.start, bar.end), hi = std::max(bar.start, bar.end);
      const Point pts[3] = {vertical_ ? Point{lo, base} : Point{base, lo},
                            vertical_ ? Point{hi, base} : Point{base, hi},
                            vertical_ ? Point{mid, apex} : Point{apex, mid}};
      canvas.DrawPolygon(pts, 2);
      break;
    }
    case TBarStyle::bsEllipse:
      canvas.DrawEllipse(r.left, r.top, right1, bottom1);
      break;
    case TBarStyle::bsArrow: {
      const int32_t size = std::abs(bar.end - bar.start);
      const Point from = vertical_ ? Point{mid, bar.origin} : Point{bar.origin, mid};
      const Point to = vertical_ ? Point{mid, bar.tip} : Point{bar.tip, mid};
      canvas.DrawArrow(true, from, to, size, size, 0);
      break;
    }
    case TBarStyle::bsRectGradient:
      DrawGradientFace(r, color);
      canvas.SelectChartPen(barPen_);
      outline();
      break;
  }
}

void TCustomBarSeries::PrepareLegendCanvas(int32_t /*valueIndex*/, TColor& /*backColor*/,
                                           TBrushStyle& brushStyle) {
  brushStyle = barBrush_.Style();
}

// ---- marks ---------------------------------------------------------------------------------

void TCustomBarSeries::DrawMark(int32_t index, const std::string& text,
                                TSeriesMarkPosition& position) {
  Marks().SetZPosition(StartZ());
  const TBarExtent bar = BarExtent(index);
  const int32_t mid = int32_t((int64_t(bar.start) + bar.end) / 2);
  const int64_t length = Marks().ArrowLength();
  const int64_t w = position.Width, h = position.Height;
  // Bars pointing down (or left) carry their mark beyond their tip on that side.
  const bool down = vertical_ ? bar.tip > bar.origin : bar.tip < bar.origin;
  if (vertical_) {
    position.ArrowFrom = {mid, bar.tip};
    const int64_t end = down ? bar.tip + length : bar.tip - length;
    position.ArrowTo = {mid, Sat(end)};
    position.LeftTop = {Sat(mid - w / 2), Sat(down ? end + 1 : end - h + 1)};
  } else {
    position.ArrowFrom = {bar.tip, mid};
    const int64_t end = down ? bar.tip - length : bar.tip + length;
    position.ArrowTo = {Sat(end), mid};
    position.LeftTop = {Sat(down ? end - w : end), Sat(mid - h / 2)};
  }
  Rect box = position.Bounds();
  if (autoMarkPosition_ && haveLastMark_ && box.left < lastMark_.right &&
      lastMark_.left < box.right && box.top < lastMark_.bottom && lastMark_.top < box.bottom) {
    // Overlapping the previous mark: move further out along the bar, the arrow with it.
    int64_t shift = 0;
    if (vertical_) {
      shift = down ? int64_t(lastMark_.bottom) - box.top : int64_t(lastMark_.top) - box.bottom;
      position.LeftTop.y = Sat(position.LeftTop.y + shift);
      position.ArrowTo.y = Sat(position.ArrowTo.y + shift);
    } else {
      shift = down ? int64_t(lastMark_.left) - box.right : int64_t(lastMark_.right) - box.left;
      position.LeftTop.x = Sat(position.LeftTop.x + shift);
      position.ArrowTo.x = Sat(position.ArrowTo.x + shift);
    }
    box = position.Bounds();
  }
  lastMark_ = box;
  haveLastMark_ = true;
  TChartSeries::DrawMark(index, text, position);
}

// ---- margins -------------------------------------------------------------------------------

void TCustomBarSeries::PositionMargins(int32_t& low, int32_t& high) {
  CalcBarSize();
  const int64_t room = int64_t(sideCount_) * barSize_;
  low = high = Sat(sideMargins_ ? room : room / 2);
}

void TCustomBarSeries::ValueMargins(int32_t& low, int32_t& high) {
  low = high = 0;
  TChartHost* chart = ParentChart();
  if (!chart || !Marks().Visible()) return;
  TZidCanvas3D& canvas = chart->Canvas();
  canvas.SetFont(Marks().Font());
  // A mark stands beyond the tip: as high as its font over vertical bars, as wide as the
  // widest mark beside horizontal ones.
  int64_t room = vertical_ ? int64_t(canvas.TextLineHeight())
                           : int64_t(MaxMarkTextWidth(canvas)) + canvas.TextWidthOf("W");
  room += int64_t(Marks().ArrowLength()) + 1;
  if (Marks().Frame().Visible()) room += 2 * int64_t(Marks().Frame().Width());
  bool up = false, down = false;
  for (int32_t i = 0; i < PointCount(); ++i) {
    if (IsNullPoint(i)) continue;
    if (TipValue(i) < OriginOf(i)) {
      down = true;
    } else {
      up = true;
    }
  }
  const TCustomChartAxis* axis = ValueAxis();
  const bool inverted = axis && axis->Inverted();
  // Higher values lie at the lower pixels of a vertical axis, the higher ones of a horizontal.
  const bool higherAtLow = vertical_ != inverted;
  if (up) (higherAtLow ? low : high) = Sat(room);
  if (down) (higherAtLow ? high : low) = Sat(room);
}

void TCustomBarSeries::HorizMargins(int32_t& left, int32_t& right) {
  if (vertical_) {
    PositionMargins(left, right);
  } else {
    ValueMargins(left, right);
  }
}

void TCustomBarSeries::VertMargins(int32_t& top, int32_t& bottom) {
  if (vertical_) {
    ValueMargins(top, bottom);
  } else {
    PositionMargins(top, bottom);
  }
}

// ---- mouse ---------------------------------------------------------------------------------

int32_t TCustomBarSeries::Clicked(int32_t x, int32_t y) {
  TChartHost* chart = ParentChart();
  const int32_t first = FirstValueIndex();
  if (!chart || first < 0) return -1;
  if (chart->View3D()) chart->Canvas().UnprojectPoint(x, y, StartZ());
  const int32_t last = std::min(LastValueIndex(), PointCount() - 1);
  for (int32_t i = first; i <= last; ++i) {
    if (IsNullPoint(i)) continue;
    const Rect r = BarBounds(i);
    if (x >= r.left && x <= r.right && y >= r.top && y <= r.bottom) return i;
  }
  return -1;
}

// ---- series kinds --------------------------------------------------------------------------

TBarSeries::TBarSeries() : TCustomBarSeries(true) {}

void TBarSeries::SetCustomBarWidth(int32_t value) {
  SetProperty(customBarWidth_, value);
}

void TBarSeries::Assign(const TChartSeries& source) {
  TCustomBarSeries::Assign(source);
  if (const auto* s = dynamic_cast<const TBarSeries*>(&source)) {
    customBarWidth_ = s->customBarWidth_;
  }
}

THorizBarSeries::THorizBarSeries() : TCustomBarSeries(false) {}

void THorizBarSeries::SetCustomBarHeight(int32_t value) {
  SetProperty(customBarHeight_, value);
}

void THorizBarSeries::Assign(const TChartSeries& source) {
  TCustomBarSeries::Assign(source);
  if (const auto* s = dynamic_cast<const THorizBarSeries*>(&source)) {
    customBarHeight_ = s->customBarHeight_;
  }
}

}  // namespace zq
