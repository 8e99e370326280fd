#include "engine/series/pie_series.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <typeinfo>

#include "engine/drawing/canvas3d.h"
#include "engine/drawing/pixel_math.h"

namespace zq {

namespace {

using pixels::RoundToInt;
using pixels::Sat;
using platform::Point;
using platform::Rect;

constexpr double kTurn = 2 * std::numbers::pi;

// The angle brought into 0 .. 2 pi.
double Normalized(double angle) {
  angle = std::fmod(angle, kTurn);
  return angle < 0 ? angle + kTurn : angle;
}

// How far apart two directions are, 0 .. pi.
double AngularDistance(double a, double b) {
  const double d = Normalized(a - b);
  return std::min(d, kTurn - d);
}

// Even-odd rule.
bool InsidePolygon(const std::vector<Point>& pts, double x, double y) {
  bool inside = false;
  for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
    const double xi = pts[i].x, yi = pts[i].y, xj = pts[j].x, yj = pts[j].y;
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
  }
  return inside;
}

}  // namespace

// ---- TCircledSeries ------------------------------------------------------------------------

TCircledSeries::TCircledSeries() {
  XValues().SetName(kAngleValuesName);
  // The points of a circle keep the order they came in.
  XValues().SetOrder(TChartListOrder::loNone);
  SetCalcVisiblePoints(false);
}

TCircledSeries::~TCircledSeries() {
  // Leaving the chart on destruction gives it its axes back, unless the chart goes as well.
  TChartHost* chart = ParentChart();
  if (chart && Active() && !chart->IsDestroying()) chart->SetCircledView(false);
}

void TCircledSeries::SetCircled(bool value) {
  ApplyToClass<TCircledSeries>([value](TCircledSeries& s) { s.SetProperty(s.circled_, value); });
}

void TCircledSeries::SetCustomXRadius(int32_t value) {
  ApplyToClass<TCircledSeries>(
      [value](TCircledSeries& s) { s.SetProperty(s.customXRadius_, value); });
}

void TCircledSeries::SetCustomYRadius(int32_t value) {
  ApplyToClass<TCircledSeries>(
      [value](TCircledSeries& s) { s.SetProperty(s.customYRadius_, value); });
}

void TCircledSeries::SetRotationAngle(int32_t value) {
  if (value < 0) throw PieException(FormatMessage(kMsgRotationAngle, kRotationDescription));
  SetProperty(rotationAngle_, value % 360);
}

void TCircledSeries::SetCircleBackColor(TColor value) {
  SetProperty(circleBackColor_, value);
}

double TCircledSeries::RotationRadians() const {
  return rotationAngle_ * std::numbers::pi / 180.0;
}

TColor TCircledSeries::CircleBackground() const {
  if (circleBackColor_ != clDefault) return circleBackColor_;
  const TChartHost* chart = ParentChart();
  if (!chart) return clWhite;
  return chart->BackColor() != clDefault ? chart->BackColor() : chart->Color();
}

void TCircledSeries::SetActive(bool value) {
  if (value == Active()) return;
  TChartSeries::SetActive(value);
  if (ParentChart()) ParentChart()->SetCircledView(value);
}

void TCircledSeries::SetParentChart(TChartHost* chart) {
  if (chart == ParentChart()) return;
  if (ParentChart() && Active()) ParentChart()->SetCircledView(false);
  TChartSeries::SetParentChart(chart);
  if (chart && Active()) chart->SetCircledView(true);
}

Rect TCircledSeries::CircleRect() const {
  return {Sat(int64_t(xCenter_) - xRadius_), Sat(int64_t(yCenter_) - yRadius_),
          Sat(int64_t(xCenter_) + xRadius_), Sat(int64_t(yCenter_) + yRadius_)};
}

void TCircledSeries::CalcCircle() {
  TChartHost* chart = ParentChart();
  if (!chart) return;
  const Rect chartRect = chart->ChartRect();
  int64_t left = chartRect.left, top = chartRect.top;
  int64_t width = int64_t(chartRect.right) - left, height = int64_t(chartRect.bottom) - top;
  width = std::max<int64_t>(4, width - width % 2);
  height = std::max<int64_t>(4, height - height % 2);
  if (Marks().Visible()) {
    // Room for the marks around the circle.
    TZidCanvas3D& canvas = chart->Canvas();
    canvas.SetFont(Marks().Font());
    int64_t length = Marks().ArrowLength();
    if (Marks().Frame().Visible()) length += 2 * int64_t(Marks().Frame().Width());
    const int64_t dy = canvas.TextLineHeight() + length;
    const int64_t dx = int64_t(canvas.TextWidthOf("W")) + MaxMarkTextWidth(canvas) + length;
    left += dx;
    top += dy;
    width -= 2 * dx;
    height -= 2 * dy;
  }
  if (circled_) {
    // Screen pixels are square: a round circle takes the smaller side both ways.
    const int64_t side = std::min(width, height);
    left += (width - side) / 2;
    top += (height - side) / 2;
    width = height = side;
  }
  xCenter_ = Sat(left + width / 2);
  yCenter_ = Sat(top + height / 2);
  xRadius_ = customXRadius_ != 0 ? customXRadius_ : Sat(width / 2);
  yRadius_ = customYRadius_ != 0 ? customYRadius_ : Sat(height / 2);
}

void TCircledSeries::DoBeforeDrawValues() {
  TChartSeries::DoBeforeDrawValues();
  CalcCircle();
}

// ---- TPieOtherSlice ------------------------------------------------------------------------

void TPieOtherSlice::SetStyle(TPieOtherStyle value) {
  if (style_ == value) return;
  style_ = value;
  Changed();
}

void TPieOtherSlice::SetText(const std::string& value) {
  if (text_ == value) return;
  text_ = value;
  Changed();
}

void TPieOtherSlice::SetValue(double value) {
  if (value_ == value) return;
  value_ = value;
  Changed();
}

void TPieOtherSlice::Assign(const TPieOtherSlice& source) {
  if (&source == this) return;
  style_ = source.style_;
  text_ = source.text_;
  value_ = source.value_;
  Changed();
}

// ---- TPieSeries: properties ----------------------------------------------------------------

TPieSeries::TPieSeries()
    : otherSlice_([this] { RequestRepaint(); }), piePen_([this] { RequestRepaint(); }) {
  XValues().SetName("");
  YValues().SetName(kPieValuesName);
  SetColorEachPoint(true);
  Marks().SetVisible(true);
  Marks().SetArrowLength(8);
}

TPieSeries::~TPieSeries() = default;

void TPieSeries::SetDark3D(bool value) {
  SetProperty(dark3D_, value);
}

void TPieSeries::SetExplodeBiggest(int32_t value) {
  SetProperty(explodeBiggest_, value);
}

void TPieSeries::SetUsePatterns(bool value) {
  SetProperty(usePatterns_, value);
}

int32_t TPieSeries::ExplodedSlice(int32_t index) const {
  return index >= 0 && size_t(index) < explode_.size() ? explode_[size_t(index)] : 0;
}

void TPieSeries::SetExplodedSlice(int32_t index, int32_t percent) {
  if (index < 0 || ExplodedSlice(index) == percent) return;
  if (explode_.size() <= size_t(index)) explode_.resize(size_t(index) + 1, 0);
  explode_[size_t(index)] = percent;
  RequestRepaint();
}

int32_t TPieSeries::OtherSliceIndex() const {
  for (int32_t i = PointCount() - 1; i >= 0; --i) {
    if (XValues().ValueAt(i) == kOtherSliceX) return i;
  }
  return -1;
}

// ---- TPieSeries: slices --------------------------------------------------------------------

void TPieSeries::DoBeforeDrawChart() {
  TCircledSeries::DoBeforeDrawChart();
  SetRepaintSuspended(true);
  try {
    PrepareSlices();
  } catch (...) {
    SetRepaintSuspended(false);
    throw;
  }
  SetRepaintSuspended(false);
}

void TPieSeries::PrepareSlices() {
  if (PieValues().Order() != TChartListOrder::loNone) PieValues().SortByOrder();
  for (int32_t i = PointCount() - 1; i >= 0; --i) {
    if (XValues().ValueAt(i) == kOtherSliceX) DeletePoint(i);
  }
  for (int32_t i = 0; i < PointCount(); ++i) {
    if (XValues().ValueAt(i) != i) XValues().SetValueAt(i, i);
  }
  double total = PieValues().SumAbs();
  if (otherSlice_.Style() == TPieOtherStyle::poNone || !(total > 0)) return;
  double sum = 0;
  for (int32_t i = 0; i < PointCount(); ++i) {
    const double value = PieValues().ValueAt(i);
    const double measure = otherSlice_.Style() == TPieOtherStyle::poBelowPercent
                               ? std::fabs(value) * 100 / total
                               : value;
    if (measure < otherSlice_.Value()) {
      XValues().SetValueAt(i, kOtherMemberX);
      sum += value;
    }
  }
  if (sum != 0) AddPointXY(kOtherSliceX, sum, otherSlice_.Text(), clDefault);
}

int32_t TPieSeries::BiggestSlice() const {
  int32_t biggest = -1;
  for (int32_t i = 0; i < PointCount(); ++i) {
    if (IsOtherMember(i)) continue;
    if (biggest < 0 || PieValues().ValueAt(i) > PieValues().ValueAt(biggest)) biggest = i;
  }
  return biggest;
}

int32_t TPieSeries::ExplodePercent(int32_t index) const {
  if (index == biggest_ && explodeBiggest_ != 0) return explodeBiggest_;
  return ExplodedSlice(index);
}

Point TPieSeries::SliceOffset(int32_t index) const {
  const int32_t percent = ExplodePercent(index);
  if (percent == 0 || size_t(index) >= angles_.size()) return {0, 0};
  const double a = angles_[size_t(index)].middle + RotationRadians();
  // Up (in 3D: towards the back) is positive, as the angles turn.
  return {RoundToInt(std::cos(a) * XRadius() * percent / 100.0),
          RoundToInt(std::sin(a) * YRadius() * percent / 100.0)};
}

void TPieSeries::CalcAngles() {
  const int32_t n = PointCount();
  angles_.assign(size_t(n), {});
  double total = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (!IsOtherMember(i)) total += std::fabs(PieValues().ValueAt(i));
  }
  double running = 0, start = 0;
  for (int32_t i = 0; i < n; ++i) {
    TPieAngle& a = angles_[size_t(i)];
    if (IsOtherMember(i)) {
      a = {start, start, start};
      continue;
    }
    running += std::fabs(PieValues().ValueAt(i));
    const double end = total == 0 ? kTurn : std::min(running * kTurn / total, start + kTurn);
    a = {start, (start + end) / 2, end};
    start = end;
  }
  // The exploded slices stand out within the chart rectangle: the circle gives up half the
  // largest offset.
  biggest_ = explodeBiggest_ != 0 ? BiggestSlice() : -1;
  int32_t most = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (!IsOtherMember(i)) most = std::max(most, ExplodePercent(i));
  }
  if (most > 0) {
    SetRadii(Sat(XRadius() - int64_t(RoundToInt(XRadius() * most / 200.0))),
             Sat(YRadius() - int64_t(RoundToInt(YRadius() * most / 200.0))));
  }
}

void TPieSeries::DoBeforeDrawValues() {
  TCircledSeries::DoBeforeDrawValues();
  CalcAngles();
}

bool TPieSeries::CircleBigEnough() const {
  return XRadius() * 2 >= 5 && YRadius() * 2 >= 5;
}

TBrushStyle TPieSeries::SlicePattern(int32_t index) {
  static constexpr TBrushStyle kHatches[6] = {TBrushStyle::bsHorizontal, TBrushStyle::bsVertical,
                                              TBrushStyle::bsFDiagonal,  TBrushStyle::bsBDiagonal,
                                              TBrushStyle::bsCross,      TBrushStyle::bsDiagCross};
  return kHatches[((index % 6) + 6) % 6];
}

void TPieSeries::PrepareSliceCanvas(int32_t index) {
  TZidCanvas3D& canvas = ParentChart()->Canvas();
  canvas.SelectChartPen(piePen_);
  const TBrushStyle style = usePatterns_ ? SlicePattern(index) : TBrushStyle::bsSolid;
  SetBrushColours(canvas, PointColor(index), style, CircleBackground());
}

void TPieSeries::PrepareLegendCanvas(int32_t valueIndex, TColor& /*backColor*/,
                                     TBrushStyle& brushStyle) {
  if (usePatterns_ && valueIndex >= 0) brushStyle = SlicePattern(valueIndex);
}

Point TPieSeries::RimPoint(double angle, Point offset, int32_t grow) const {
  const double xr = double(XRadius()) + grow, yr = double(YRadius()) + grow;
  return {Sat(int64_t(CircleXCenter()) + offset.x + RoundToInt(std::cos(angle) * xr)),
          Sat(int64_t(CircleYCenter()) - offset.y - RoundToInt(std::sin(angle) * yr))};
}

void TPieSeries::DrawAllValues() {
  TChartHost* chart = ParentChart();
  if (!chart) return;
  if (!chart->View3D()) {
    TCircledSeries::DrawAllValues();
    return;
  }
  // Back to front: the slice whose middle lies furthest from the viewer first. The viewer
  // faces the point of the rim that projects lowest on the screen.
  const TZidCanvas3D& canvas = chart->Canvas();
  const int32_t zCentre = int32_t((int64_t(StartZ()) + EndZ()) / 2);
  double front = 1.5 * std::numbers::pi;
  int32_t lowest = INT32_MIN;
  for (int k = 0; k < 72; ++k) {
    const double a = k * kTurn / 72;
    const Point p = canvas.ProjectXY(
        Sat(CircleXCenter() + int64_t(RoundToInt(std::cos(a) * XRadius()))), CircleYCenter(),
        Sat(zCentre + int64_t(RoundToInt(std::sin(a) * YRadius()))));
    if (p.y > lowest) {
      lowest = p.y;
      front = a;
    }
  }
  const double rotation = RotationRadians();
  std::vector<int32_t> order;
  for (int32_t i = 0; i < PointCount(); ++i) {
    if (!IsOtherMember(i)) order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
    return AngularDistance(angles_[size_t(a)].middle + rotation, front) >
           AngularDistance(angles_[size_t(b)].middle + rotation, front);
  });
  for (int32_t i : order) DrawValue(i);
}

void TPieSeries::DrawValue(int32_t index) {
  TChartHost* chart = ParentChart();
  if (!chart || size_t(index) >= angles_.size() || IsOtherMember(index) || !CircleBigEnough())
    return;
  TZidCanvas3D& canvas = chart->Canvas();
  PrepareSliceCanvas(index);
  const TPieAngle& a = angles_[size_t(index)];
  const double rotation = RotationRadians();
  const Point offset = SliceOffset(index);
  if (chart->View3D()) {
    bool anyExploded = false;
    for (int32_t i = 0; i < PointCount() && !anyExploded; ++i) {
      anyExploded = !IsOtherMember(i) && ExplodePercent(i) != 0;
    }
    canvas.DrawPie3D(Sat(int64_t(CircleXCenter()) + offset.x), CircleYCenter(), XRadius(),
                     YRadius(), Sat(int64_t(StartZ()) + offset.y), Sat(int64_t(EndZ()) + offset.y),
                     a.start + rotation, a.end + rotation, dark3D_, anyExploded);
    return;
  }
  const Point from = RimPoint(a.start + rotation, offset, 0);
  const Point to = RimPoint(a.end + rotation, offset, 0);
  // Points that meet would make a whole ellipse of a sliver.
  if (from == to && CountLegendItems() > 1 && a.end - a.start <= 1) return;
  const int64_t cx = int64_t(CircleXCenter()) + offset.x, cy = int64_t(CircleYCenter()) - offset.y;
  canvas.DrawPieSlice(Sat(cx - XRadius()), Sat(cy - YRadius()), Sat(cx + XRadius()),
                      Sat(cy + YRadius()), from.x, from.y, to.x, to.y);
}

// ---- TPieSeries: marks, legend, mouse ------------------------------------------------------

void TPieSeries::DrawMark(int32_t index, const std::string& text, TSeriesMarkPosition& position) {
  TChartHost* chart = ParentChart();
  if (!chart || size_t(index) >= angles_.size() || IsOtherMember(index) || !CircleBigEnough())
    return;
  const double a = angles_[size_t(index)].middle + RotationRadians();
  const Point offset = SliceOffset(index);
  const int32_t length = Marks().ArrowLength();
  TZidCanvas3D& canvas = chart->Canvas();
  const bool is3D = chart->View3D();
  Point from, to;
  if (is3D) {
    // On the top of the cake, projected now; the mark is then drawn flat.
    const int64_t top = int64_t(CircleYCenter()) - (int64_t(EndZ()) - StartZ()) / 2;
    const int64_t z = (int64_t(StartZ()) + EndZ()) / 2 + offset.y;
    auto rim = [&](int32_t grow) {
      return canvas.ProjectXY(
          Sat(CircleXCenter() + int64_t(offset.x) + RoundToInt(std::cos(a) * (XRadius() + grow))),
          Sat(top), Sat(z + RoundToInt(std::sin(a) * (YRadius() + grow))));
    };
    from = rim(0);
    to = rim(length);
  } else {
    from = RimPoint(a, offset, 0);
    to = RimPoint(a, offset, length);
  }
  position.ArrowFrom = from;
  position.ArrowTo = to;
  // The box lies beside the arrow's end, on the side away from the circle.
  const bool rightSide = to.x >= from.x, upper = to.y <= from.y;
  position.LeftTop = {rightSide ? to.x : Sat(int64_t(to.x) - position.Width),
                      upper ? Sat(int64_t(to.y) - position.Height + 1) : to.y};
  Marks().SetZPosition(StartZ());
  if (is3D) canvas.SuspendDepth();
  TCircledSeries::DrawMark(index, text, position);
  if (is3D) canvas.ResumeDepth();
}

int32_t TPieSeries::CountLegendItems() const {
  int32_t n = 0;
  for (int32_t i = 0; i < PointCount(); ++i) n += IsOtherMember(i) ? 0 : 1;
  return n;
}

int32_t TPieSeries::LegendToValueIndex(int32_t legendIndex) const {
  int32_t n = 0;
  for (int32_t i = 0; i < PointCount(); ++i) {
    if (IsOtherMember(i)) continue;
    if (n == legendIndex) return i;
    ++n;
  }
  return legendIndex;
}

int32_t TPieSeries::Clicked(int32_t x, int32_t y) {
  TChartHost* chart = ParentChart();
  if (!chart || !CircleBigEnough() || angles_.size() != size_t(PointCount())) return -1;
  const double rotation = RotationRadians();
  const bool is3D = chart->View3D();
  const TZidCanvas3D& canvas = chart->Canvas();
  const int64_t top = int64_t(CircleYCenter()) - (int64_t(EndZ()) - StartZ()) / 2;
  const int64_t zCentre = (int64_t(StartZ()) + EndZ()) / 2;
  for (int32_t i = 0; i < PointCount(); ++i) {
    if (IsOtherMember(i)) continue;
    const TPieAngle& a = angles_[size_t(i)];
    const Point offset = SliceOffset(i);
    // The slice's outline (its top in 3D) as a polygon on the screen.
    std::vector<Point> outline;
    const int steps = std::max(2, int(std::ceil((a.end - a.start) / kTurn * 64)));
    for (int k = -1; k <= steps; ++k) {
      double dx = 0, dy = 0;
      if (k >= 0) {
        const double angle = a.start + rotation + (a.end - a.start) * k / steps;
        dx = std::cos(angle) * XRadius();
        dy = std::sin(angle) * YRadius();
      }
      if (is3D) {
        outline.push_back(
            canvas.ProjectXY(Sat(CircleXCenter() + int64_t(offset.x) + RoundToInt(dx)), Sat(top),
                             Sat(zCentre + offset.y + RoundToInt(dy))));
      } else {
        outline.push_back({Sat(CircleXCenter() + int64_t(offset.x) + RoundToInt(dx)),
                           Sat(CircleYCenter() - int64_t(offset.y) - RoundToInt(dy))});
      }
    }
    if (InsidePolygon(outline, x, y)) return i;
  }
  return -1;
}

}  // namespace zq
