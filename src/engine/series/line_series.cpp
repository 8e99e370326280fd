#include "engine/series/line_series.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <typeinfo>

#include "engine/axes/axis.h"
#include "engine/drawing/canvas3d.h"
#include "engine/drawing/errors.h"
#include "engine/drawing/pixel_math.h"
#include "engine/series/column_run.h"

namespace zq {

namespace {

using pixels::Sat;
using platform::Point;
using platform::Rect;

bool OffLimits(int32_t x, int32_t y) {
  return x < -kMaxPointPixel || x > kMaxPointPixel || y < -kMaxPointPixel || y > kMaxPointPixel;
}

// Even-odd rule, edges included.
bool InsidePolygon(const Point* pts, int n, double x, double y) {
  for (int i = 0; i < n; ++i) {
    if (pixels::SegmentDistance(pts[i], pts[(i + 1) % n], x, y) < 0.5) return true;
  }
  bool inside = false;
  for (int i = 0, j = n - 1; i < n; j = i++) {
    const double xi = pts[i].x, yi = pts[i].y, xj = pts[j].x, yj = pts[j].y;
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
  }
  return inside;
}

bool g_drawEverySegment = false;

// Two doubles at a time (SSE2 on both targets; the compiler's generic vectors elsewhere).
using V2d = double __attribute__((vector_size(16)));

V2d Load2(const double* p) {
  V2d v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

using V2l = int64_t __attribute__((vector_size(16)));

V2d Abs2(V2d v) {
  return V2d(V2l(v) & INT64_MAX);
}

V2d Splat2(double v) {
  return V2d{v, v};
}

// The points of a plain line's (or ribbon's) pixel column, four at a time, while all four
// keep the stored colour, have X values certainly in the column and heights that the vertical
// axis' estimate settles within the point limits: the same heights as point by point, with no
// branch per point. Returns the first point not taken; the point-by-point loop goes on from
// there.
struct TColumnBlocks {
  const double* xs;
  const double* ys;
  const TColor* colors;
  double xMultiplier, yMultiplier;
  // The estimate's terms (TAxisPixelMap::Terms).
  double minimum, scale, base, step;

  // Whether the four points from i keep the stored colour, have X values certainly in the
  // column and pass the block's other tests (`ok`: all ones where they do).
  bool KeepsColumn(int32_t i, TColor storedColor, V2d xm, V2d lo, V2d hi, V2l ok) const {
    const TColor* c = colors + i;
    if (((c[0] ^ storedColor) | (c[1] ^ storedColor) | (c[2] ^ storedColor) |
         (c[3] ^ storedColor)) != 0)
      return false;
    const V2d x0 = Load2(xs + i) * xm, x1 = Load2(xs + i + 2) * xm;
    ok &= (x0 >= lo) & (x0 <= hi) & (x1 >= lo) & (x1 <= hi);
    return ok[0] & ok[1];
  }

  // A line's column takes the lowest, highest and last heights; a ribbon's every height.
  template <typename Column>
  int32_t Gather(int32_t i, int32_t lastGathered, TColor storedColor, double columnLow,
                 double columnHigh, Column& column) const {
    // Adding and taking away 1.5 * 2^52 rounds to the nearest integer (ties to even: a value
    // that near half-way is refused anyway, as by the estimate).
    const V2d round = Splat2(6755399441055744.0), limit = Splat2(kMaxPointPixel);
    const V2d xm = Splat2(xMultiplier), ym = Splat2(yMultiplier), lo = Splat2(columnLow),
              hi = Splat2(columnHigh), from = Splat2(minimum), by = Splat2(scale),
              at = Splat2(base), step2 = Splat2(step), far = Splat2(TAxisPixelMap::kReach),
              half = Splat2(0.4999);
    V2d low = limit + 1, high = -limit - 1;
    double last = 0;
    const int32_t start = i;
    for (; i + 3 <= lastGathered; i += 4) {
      const V2d e0 = (Load2(ys + i) * ym - from) * by, e1 = (Load2(ys + i + 2) * ym - from) * by;
      const V2d r0 = (e0 + round) - round, r1 = (e1 + round) - round;
      const V2d p0 = at + step2 * r0, p1 = at + step2 * r1;
      const V2l ok = (Abs2(e0) < far) & (Abs2(e1) < far) & (Abs2(e0 - r0) < half) &
                     (Abs2(e1 - r1) < half) & (Abs2(p0) <= limit) & (Abs2(p1) <= limit);
      if (!KeepsColumn(i, storedColor, xm, lo, hi, ok)) break;
      if constexpr (std::is_same_v<Column, TColumnFaces>) {
        column.Add(int32_t(p0[0]));
        column.Add(int32_t(p0[1]));
        column.Add(int32_t(p1[0]));
        column.Add(int32_t(p1[1]));
        continue;
      }
      low = low < p0 ? low : p0;
      low = low < p1 ? low : p1;
      high = high > p0 ? high : p0;
      high = high > p1 ? high : p1;
      last = p1[1];
    }
    if constexpr (std::is_same_v<Column, TColumnRun>) {
      if (i > start) {
        column.Add(int32_t(std::min(low[0], low[1])));
        column.Add(int32_t(std::max(high[0], high[1])));
        column.Add(int32_t(last));
      }
    }
    return i;
  }

  // A line's column needs only its lowest, highest and last heights. Between two values whose
  // estimates lie in range, a linear axis maps every value in order (each step of the mapping
  // keeps the order of its input, and so does the multiplier, reversing it when negative): the
  // run of blocks keeps only the lowest and highest raw Y values, and the heights of those two
  // and of the last are mapped once, at its end; the heights between lie within the limits
  // when theirs do. Returns the first point not taken, having added the three heights; returns
  // `i` itself when an extreme is out of range or beyond the point limits, where the checked
  // blocks above find the exact point at which the column ends.
  int32_t GatherExtremes(int32_t i, int32_t lastGathered, TColor storedColor, double columnLow,
                         double columnHigh, const TAxisPixelMap& yPixel, TColumnRun& column) const {
    const V2d xm = Splat2(xMultiplier), lo = Splat2(columnLow), hi = Splat2(columnHigh);
    V2d low = Splat2(HUGE_VAL), high = -low;
    const int32_t start = i;
    for (; i + 3 <= lastGathered; i += 4) {
      const V2d y0 = Load2(ys + i), y1 = Load2(ys + i + 2);
      // No NaN: it has no place in the order.
      if (!KeepsColumn(i, storedColor, xm, lo, hi, (y0 == y0) & (y1 == y1))) break;
      low = low < y0 ? low : y0;
      low = low < y1 ? low : y1;
      high = high > y0 ? high : y0;
      high = high > y1 ? high : y1;
    }
    if (i == start) return i;
    // The extremes' heights, in whichever order the multiplier and the axis leave them.
    const double a = std::min(low[0], low[1]) * yMultiplier,
                 b = std::max(high[0], high[1]) * yMultiplier;
    const auto mapped = [&](double v, int32_t& pixel) {
      if (!yPixel.InReach(v)) return false;
      pixel = yPixel(v);
      return pixel >= -kMaxPointPixel && pixel <= kMaxPointPixel;
    };
    int32_t pa = 0, pb = 0;
    if (!mapped(a, pa) || !mapped(b, pb)) return start;
    column.Add(std::min(pa, pb));
    column.Add(std::max(pa, pb));
    column.Add(yPixel(ys[i - 1] * yMultiplier));
    return i;
  }
};

}  // namespace

void SetDrawEverySegment(bool value) {
  g_drawEverySegment = value;
}

bool DrawEverySegment() {
  return g_drawEverySegment;
}

// ---- TSeriesPointer ----------------------------------------------------------------------

TSeriesPointer::TSeriesPointer(TCustomSeries* owner)
    : owner_(owner), brush_([this] { Changed(); }), pen_([this] { Changed(); }) {}

void TSeriesPointer::Changed() const {
  if (owner_) owner_->RequestRepaint();
}

void TSeriesPointer::CheckSize(int32_t value) const {
  if (value < 1) throw ChartException(kMsgPointerSize);
}

void TSeriesPointer::SetDark3D(bool value) {
  if (dark3D_ == value) return;
  dark3D_ = value;
  Changed();
}

void TSeriesPointer::SetDraw3D(bool value) {
  if (draw3D_ == value) return;
  draw3D_ = value;
  Changed();
}

void TSeriesPointer::SetHorizSize(int32_t value) {
  CheckSize(value);
  if (!allowChangeSize_ || horizSize_ == value) return;
  horizSize_ = value;
  Changed();
}

void TSeriesPointer::SetVertSize(int32_t value) {
  CheckSize(value);
  if (!allowChangeSize_ || vertSize_ == value) return;
  vertSize_ = value;
  Changed();
}

void TSeriesPointer::SetInflateMargins(bool value) {
  if (inflateMargins_ == value) return;
  inflateMargins_ = value;
  Changed();
}

void TSeriesPointer::SetStyle(TSeriesPointerStyle value) {
  if (style_ == value) return;
  style_ = value;
  Changed();
}

void TSeriesPointer::SetVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  Changed();
}

void TSeriesPointer::Assign(const TSeriesPointer& source) {
  if (&source == this) return;
  dark3D_ = source.dark3D_;
  draw3D_ = source.draw3D_;
  horizSize_ = source.horizSize_;
  inflateMargins_ = source.inflateMargins_;
  style_ = source.style_;
  vertSize_ = source.vertSize_;
  visible_ = source.visible_;
  brush_.Assign(source.brush_);
  pen_.Assign(source.pen_);
  Changed();
}

void TSeriesPointer::PrepareCanvas(TZidCanvas3D& canvas, TColor color) const {
  canvas.SelectChartPen(pen_);
  if (pen_.Visible() && pen_.Color() == clDefault) canvas.SetPenColor(color);
  canvas.SetBrushColor(brush_.Color() == clDefault ? color : brush_.Color());
  canvas.SetBrushStyle(brush_.Style());
}

void TSeriesPointer::DrawShape(TZidCanvas3D& canvas, bool is3D, int32_t px, int32_t py, int32_t h,
                               int32_t v, TColor color, TSeriesPointerStyle style, int32_t z0,
                               int32_t z1, int32_t zMiddle) const {
  const int32_t left = Sat(int64_t(px) - h), right = Sat(int64_t(px) + h);
  const int32_t top = Sat(int64_t(py) - v), bottom = Sat(int64_t(py) + v);
  // The far edges of the 2D shapes lie one pixel further (Windows leaves the last one out).
  const int32_t right1 = Sat(int64_t(right) + 1), bottom1 = Sat(int64_t(bottom) + 1);
  const int32_t left1 = Sat(int64_t(left) - 1);
  auto cross = [&] {
    canvas.SetPenColor(color);
    if (is3D) {
      canvas.VerticalLineAtZ(px, top, bottom1, z0);
      canvas.HorizontalLineAtZ(left, right1, py, z0);
    } else {
      canvas.VerticalLine(px, top, bottom1);
      canvas.HorizontalLine(left, right1, py);
    }
  };
  auto diagCross = [&] {
    canvas.SetPenColor(color);
    if (is3D) {
      canvas.DrawLineAtZ(left, top, right1, bottom1, z0);
      canvas.DrawLineAtZ(right, top, left1, bottom1, z0);
    } else {
      canvas.DrawSegment(left, top, right1, bottom1);
      canvas.DrawSegment(right, top, left1, bottom1);
    }
  };
  // Triangles: apex at apexY, base at baseY.
  auto triangle = [&](int32_t apexY, int32_t baseY) {
    if (is3D && draw3D_) {
      canvas.DrawPyramid(true, left, apexY, right, baseY, z0, z1, dark3D_);
    } else if (is3D) {
      canvas.DrawTriangleAtZ({px, apexY}, {left, baseY}, {right, baseY}, z0);
    } else {
      const Point pts[3] = {{left, baseY}, {right, baseY}, {px, apexY}};
      canvas.DrawPolygon(pts, 2);
    }
  };
  switch (style) {
    case TSeriesPointerStyle::psRectangle:
      if (is3D && draw3D_) {
        canvas.DrawBox(left, right, top, bottom, z0, z1, dark3D_);
      } else if (is3D) {
        canvas.DrawRectAtZ({left, top, right, bottom}, z0);
      } else {
        canvas.DrawRect(left, top, right1, bottom1);
      }
      break;
    case TSeriesPointerStyle::psCircle:
      if (is3D) {
        canvas.DrawEllipseAtZ(left, top, right, bottom, z0);
      } else {
        canvas.DrawEllipse(left, top, right, bottom);
      }
      break;
    case TSeriesPointerStyle::psTriangle:
      triangle(top, bottom);
      break;
    case TSeriesPointerStyle::psDownTriangle:
      triangle(bottom, top);
      break;
    case TSeriesPointerStyle::psCross:
      cross();
      break;
    case TSeriesPointerStyle::psDiagCross:
      diagCross();
      break;
    case TSeriesPointerStyle::psStar:
      cross();
      diagCross();
      break;
    case TSeriesPointerStyle::psDiamond: {
      const Point pts[4] = {{left, py}, {px, top}, {right, py}, {px, bottom}};
      if (is3D) {
        canvas.DrawQuadAtZ(pts, z0);
      } else {
        canvas.DrawPolygon(pts, 3);
      }
      break;
    }
    case TSeriesPointerStyle::psSmallDot:
      if (is3D) {
        canvas.PutPixelAtZ(px, py, zMiddle, color);
      } else {
        canvas.PutPixel(px, py, color);
      }
      break;
  }
}

// ---- TCustomSeries: properties -----------------------------------------------------------

TCustomSeries::TCustomSeries()
    : areaLinesPen_([this] { RequestRepaint(); }),
      linePen_([this] { RequestRepaint(); }),
      pointer_(this) {
  SetDrawBetweenPoints(true);
}

TCustomSeries::~TCustomSeries() = default;

void TCustomSeries::SetAreaBrush(TBrushStyle value) {
  if (areaBrush_ == value) return;
  areaBrush_ = value;
  RequestRepaint();
}

void TCustomSeries::SetAreaColor(TColor value) {
  if (areaColor_ == value) return;
  areaColor_ = value;
  RequestRepaint();
}

void TCustomSeries::SetDark3D(bool value) {
  if (dark3D_ == value) return;
  dark3D_ = value;
  RequestRepaint();
}

void TCustomSeries::SetDrawArea(bool value) {
  if (drawArea_ == value) return;
  drawArea_ = value;
  RequestRepaint();
}

void TCustomSeries::SetDrawLine(bool value) {
  if (drawLine_ == value) return;
  drawLine_ = value;
  RequestRepaint();
}

void TCustomSeries::SetInvertedStairs(bool value) {
  if (invertedStairs_ == value) return;
  invertedStairs_ = value;
  RequestRepaint();
}

void TCustomSeries::SetLineBrush(TBrushStyle value) {
  if (lineBrush_ == value) return;
  lineBrush_ = value;
  RequestRepaint();
}

void TCustomSeries::SetLineHeight(int32_t value) {
  if (lineHeight_ == value) return;
  lineHeight_ = value;
  RequestRepaint();
}

void TCustomSeries::SetStairs(bool value) {
  if (stairs_ == value) return;
  stairs_ = value;
  RequestRepaint();
}

void TCustomSeries::Assign(const TChartSeries& source) {
  const auto* s = dynamic_cast<const TCustomSeries*>(&source);
  if (!s || s == this) return;
  areaBrush_ = s->areaBrush_;
  areaColor_ = s->areaColor_;
  areaLinesPen_.Assign(s->areaLinesPen_);
  clickableLine_ = s->clickableLine_;
  dark3D_ = s->dark3D_;
  drawArea_ = s->drawArea_;
  drawLine_ = s->drawLine_;
  invertedStairs_ = s->invertedStairs_;
  lineBrush_ = s->lineBrush_;
  lineHeight_ = s->lineHeight_;
  linePen_.Assign(s->linePen_);
  pointer_.Assign(s->pointer_);
  stairs_ = s->stairs_;
  RequestRepaint();
}

TColor TCustomSeries::AreaBrushColor(TColor color) const {
  return ColorEachPoint() || areaColor_ == clDefault ? color : areaColor_;
}

TSeriesPointerStyle TCustomSeries::PointerStyleOf(int32_t valueIndex) {
  return OnGetPointerStyle ? OnGetPointerStyle(*this, valueIndex) : pointer_.Style();
}

bool TCustomSeries::Is3D() const {
  return ParentChart() && ParentChart()->View3D();
}

// ---- TCustomSeries: drawing --------------------------------------------------------------

int32_t TCustomSeries::GetOriginPos(int32_t /*valueIndex*/) const {
  const TCustomChartAxis* axis = GetVertAxis();
  return axis ? axis->IEndPos() : 0;
}

int32_t TCustomSeries::EnteringY(int32_t index, int32_t edgeX) const {
  if (stairs_) return PointYPixel(index - 1);
  const double x0 = XValue(index - 1), x1 = XValue(index);
  if (x0 == x1) return PointYPixel(index - 1);
  const TCustomChartAxis* axis = GetHorizAxis();
  const double at = axis ? axis->PixelToValue(edgeX) : x0;
  const double y0 = YValue(index - 1), y1 = YValue(index);
  return CalcYPosValue(y0 + (at - x0) * (y1 - y0) / (x1 - x0));
}

TCustomSeries::ColumnDrawing TCustomSeries::DrawingByColumns() const {
  const TChartHost* chart = ParentChart();
  // Only the plain line series: another kind may place its points otherwise.
  if (g_drawEverySegment || !chart || typeid(*this) != typeid(TLineSeries) || !drawLine_ ||
      drawArea_ || stairs_ || pointer_.Visible() || !GetHorizAxis() || !GetVertAxis() ||
      !DrawValuesForward()) {
    return ColumnDrawing::kNone;
  }
  if (chart->View3D()) {
    const bool paints = !linePen_.Visible() || linePen_.Mode() == TPenMode::pmCopy;
    return lineHeight_ <= 0 && lineBrush_ != TBrushStyle::bsClear && paints ? ColumnDrawing::kRibbon
                                                                            : ColumnDrawing::kNone;
  }
  return linePen_.Visible() && !linePen_.SmallDots() && linePen_.Width() == 1 &&
                 linePen_.Style() == TPenStyle::psSolid && linePen_.Mode() == TPenMode::pmCopy
             ? ColumnDrawing::kLine
             : ColumnDrawing::kNone;
}

void TCustomSeries::DrawAllValues() {
  const int32_t first = FirstValueIndex();
  const int32_t last = std::min(LastValueIndex(), PointCount() - 1);
  const ColumnDrawing drawing =
      first >= 0 && last - first > 2 ? DrawingByColumns() : ColumnDrawing::kNone;
  if (drawing == ColumnDrawing::kLine) {
    TColumnRun column;
    DrawValuesByColumns(first, last, column);
  } else if (drawing == ColumnDrawing::kRibbon) {
    TColumnFaces column;
    DrawValuesByColumns(first, last, column);
  } else {
    TChartSeries::DrawAllValues();
  }
}

void TCustomSeries::DrawGathered(const TColumnRun& column, int32_t x, TColor color,
                                 int32_t firstIndex, int32_t lastIndex) {
  // The points' heights once more, as the gathering loop found them.
  auto leaves = [&](int32_t height) {
    const std::vector<double>& ys = YValues().RawValues();
    const double multiplier = YValues().Multiplier();
    const TAxisPixelMap yPixel = GetVertAxis()->PixelMap();
    int32_t previous = column.First();
    for (int32_t i = firstIndex + 1; i <= lastIndex; ++i) {
      const int32_t y = yPixel(ys[size_t(i)] * multiplier);
      if (previous == height && y != height) return true;
      previous = y;
    }
    return false;
  };
  int32_t from = 0, to = 0;
  if (!column.Span(from, to, leaves)) return;
  oldX_ = x;
  oldY_ = from;
  DrawLine2D(x, to, color);
}

void TCustomSeries::DrawGathered(TColumnFaces& column, int32_t x, TColor color, int32_t firstIndex,
                                 int32_t /*lastIndex*/) {
  // The first face sets the canvas up; the others, upright in one column, are never darkened
  // and need the same brush and pen (a ribbon of no line height and no stairs).
  bool first = true;
  TZidCanvas3D& canvas = ParentChart()->Canvas();
  ribbonFaces_.clear();
  column.ForEachKept([&](size_t k, int32_t from, int32_t to) {
    oldX_ = x;
    oldY_ = from;
    if (first) {
      DrawRibbon(firstIndex + int32_t(k), x, to, color);
      first = false;
    } else {
      ribbonFaces_.push_back({from, to});
    }
  });
  canvas.DrawUprightPlanes(x, ribbonFaces_, EndZ(), StartZ());
}

template <typename Column>
void TCustomSeries::DrawValuesByColumns(int32_t first, int32_t last, Column& column) {
  const std::vector<double>& xs = XValues().RawValues();
  const std::vector<double>& ys = YValues().RawValues();
  const std::vector<TColor>& colors = Colors();
  const double xMultiplier = XValues().Multiplier(), yMultiplier = YValues().Multiplier();
  const TAxisPixelMap xPixel = GetHorizAxis()->PixelMap();
  const TAxisPixelMap yPixel = GetVertAxis()->PixelMap();
  TColumnBlocks blocks{xs.data(), ys.data(), colors.data(), xMultiplier, yMultiplier, 0, 0, 0, 0};
  int64_t base = 0, step = 0;
  const bool blocksOn = yPixel.Terms(blocks.minimum, blocks.scale, base, step);
  blocks.base = double(base);
  blocks.step = double(step);
  // The points of the open column: its first point came through DrawValue, the others are
  // gathered here. They share the first one's stored colour, which stands for one colour
  // unless each point takes the palette's.
  bool open = false;
  int32_t columnX = 0, firstInColumn = -1, lastInColumn = -1;
  TColor columnColor = clNone, storedColor = clNone;
  // X values that certainly fall in the column.
  double columnLow = 0, columnHigh = -1;
  auto openAfter = [&](int32_t index) {
    open = haveOld_ && oldIndex_ == index && oldColor_ != clNone && size_t(index) < colors.size();
    if (!open) return;
    storedColor = colors[size_t(index)];
    open = !(storedColor == clDefault && ColorEachPoint());
    if (!open) return;
    column.Start(oldY_);
    columnX = oldX_;
    columnColor = oldColor_;
    firstInColumn = lastInColumn = index;
    if (!xPixel.SamePixelRange(xs[size_t(index)] * xMultiplier, columnLow, columnHigh) ||
        xPixel(columnLow) != columnX) {
      columnLow = 0;
      columnHigh = -1;
    }
  };
  auto close = [&] {
    DrawGathered(column, columnX, columnColor, firstInColumn, lastInColumn);
    // The state DrawValue leaves after the column's last point.
    oldX_ = columnX;
    oldY_ = column.Last();
    oldIndex_ = lastInColumn;
    oldColor_ = pendingColor_ = columnColor;
    pointerPending_ = true;
    haveOld_ = true;
    bottomPos_ = oldBottomPos_ = GetOriginPos(lastInColumn);
    open = false;
  };
  DrawValue(first);
  openAfter(first);
  // The last point goes through DrawValue, which finishes the line; so does a point without a
  // stored colour.
  const int32_t lastGathered = std::min(last - 1, int32_t(colors.size()) - 1);
  for (int32_t i = first + 1; i <= last;) {
    if (open) {
      // The hot loop: a million points come through here, not through DrawValue. It works on
      // a local column, which the compiler can keep in registers.
      Column local = std::move(column);
      // Blocks of four points where they can be taken; a block they leave goes point by
      // point, and then blocks again.
      const bool inBlocks = blocksOn && columnLow <= columnHigh;
      for (bool more = true; more;) {
        int32_t stop = lastGathered;
        if (inBlocks) {
          const int32_t from = i;
          if constexpr (std::is_same_v<Column, TColumnRun>) {
            i = blocks.GatherExtremes(i, lastGathered, storedColor, columnLow, columnHigh, yPixel,
                                      local);
          }
          if (i == from)
            i = blocks.Gather(i, lastGathered, storedColor, columnLow, columnHigh, local);
          stop = std::min(lastGathered, i + 3);
        }
        for (; i <= stop; ++i) {
          more = colors[size_t(i)] == storedColor;
          if (!more) break;
          const double x = xs[size_t(i)] * xMultiplier;
          more = (x >= columnLow && x <= columnHigh) || xPixel(x) == columnX;
          if (!more) break;
          const double yValue = ys[size_t(i)] * yMultiplier;
          int64_t y = 0;
          if (!yPixel.Estimate(yValue, y)) y = yPixel(yValue);
          more = y >= -kMaxPointPixel && y <= kMaxPointPixel;
          if (!more) break;
          local.Add(int32_t(y));
        }
        more = more && inBlocks && i <= lastGathered;
      }
      column = std::move(local);
      lastInColumn = i - 1;
      close();
      if (i > last) break;
    }
    DrawValue(i);
    openAfter(i);
    ++i;
  }
}

void TCustomSeries::DrawValue(int32_t index) {
  TChartHost* chart = ParentChart();
  if (!chart) return;
  const TColor color = PointColor(index);
  const int32_t x = PointXPixel(index), y = PointYPixel(index);
  const bool first = index == FirstValueIndex();
  const bool last = index == LastValueIndex();
  // Nothing of an earlier paint carries over.
  if (first) {
    haveOld_ = false;
    pointerPending_ = false;
  }
  if (OffLimits(x, y)) {
    // The line resumes at the next point inside; a pointer still owed is drawn at the end.
    if (last) FlushPendingPointer();
    oldColor_ = color;
    return;
  }
  TZidCanvas3D& canvas = chart->Canvas();
  canvas.SetPenColor(clBlack);
  canvas.SetBrushColor(color);
  // No segment comes from a null point (nor from nothing, after a skipped first point).
  if (oldColor_ == clNone || !haveOld_) {
    FlushPendingPointer();
    oldX_ = x;
    oldY_ = y;
  }
  bottomPos_ = GetOriginPos(index);
  if (first) {
    if (dark3D_) {
      const int32_t depth = SeriesDepth();
      darkSlopeRatio_ = depth == 0 ? 1.0 : std::fabs(double(SeriesHeight()) / double(depth));
    }
    if (index > 0) {
      if (drawArea_) {
        oldX_ = PointXPixel(index - 1);
        oldY_ = PointYPixel(index - 1);
        oldBottomPos_ = GetOriginPos(index - 1);
      } else {
        const TCustomChartAxis* horiz = GetHorizAxis();
        const Rect& r = chart->ChartRect();
        oldX_ = horiz && horiz->Inverted() ? r.right : r.left;
        oldY_ = EnteringY(index, oldX_);
      }
      if (!IsNullPoint(index - 1)) DrawSegment(index, x, y, color, false);
    }
    if (last && pointer_.Visible() && color != clNone) DrawPointer(x, y, color, index);
  } else {
    DrawSegment(index, x, y, color, true);
  }
  oldX_ = x;
  oldY_ = y;
  oldBottomPos_ = bottomPos_;
  oldIndex_ = index;
  oldColor_ = color;
  pendingColor_ = color;
  pointerPending_ = !last;
  haveOld_ = true;
}

void TCustomSeries::FlushPendingPointer() {
  if (pointerPending_ && pointer_.Visible() && pendingColor_ != clNone) {
    DrawPointer(oldX_, oldY_, pendingColor_, oldIndex_);
  }
  pointerPending_ = false;
}

void TCustomSeries::DrawSegment(int32_t index, int32_t x, int32_t y, TColor color,
                                bool withPointers) {
  TZidCanvas3D& canvas = ParentChart()->Canvas();
  if ((x != oldX_ || y != oldY_) && color != clNone) {
    const bool is3D = Is3D();
    if (is3D && (drawArea_ || (drawLine_ && lineBrush_ != TBrushStyle::bsClear))) {
      DrawRibbon(index, x, y, color);
    }
    if (drawArea_) {
      canvas.SetBrushColor(AreaBrushColor(color));
      canvas.SelectChartPen(areaLinesPen_);
      if (areaLinesPen_.Color() == clDefault || !areaLinesPen_.Visible()) {
        canvas.SetPenColor(color);
      }
      DrawAreaSegment(index, x, y, color);
    } else if (!is3D && drawLine_) {
      DrawLine2D(x, y, color);
    }
  }
  if (withPointers && pointer_.Visible()) {
    // The previous point's pointer goes over the segments that touch it.
    FlushPendingPointer();
    if (index == LastValueIndex() && color != clNone) DrawPointer(x, y, color, index);
  }
}

void TCustomSeries::DrawRibbon(int32_t index, int32_t x, int32_t y, TColor color) {
  TZidCanvas3D& canvas = ParentChart()->Canvas();
  const TColor fill = AreaBrushColor(color);
  const TColor dark = DarkenColor(fill, TZidCanvas3D::kDarkColorQuantity);
  canvas.SetBrushColor(fill);
  canvas.SelectChartPen(linePen_);
  canvas.SetBrushStyle(lineBrush_);
  const int32_t front = StartZ(), back = EndZ();
  if (stairs_) {
    if (!invertedStairs_) {
      canvas.DrawHorizontalPlane(oldX_, x, oldY_, front, back);
      if (dark3D_) canvas.SetBrushColor(dark);
      canvas.DrawVerticalPlane(x, y, oldY_, front, back);
    } else {
      if (dark3D_) canvas.SetBrushColor(dark);
      canvas.DrawVerticalPlane(oldX_, oldY_, y, front, back);
      canvas.SetBrushColor(fill);
      canvas.DrawHorizontalPlane(x, oldX_, y, front, back);
    }
    canvas.SetBrushColor(fill);
    return;
  }
  const bool solidLine = lineHeight_ > 0 && !drawArea_;
  if (solidLine) {
    const int32_t lower = Sat(int64_t(y) + lineHeight_);
    const Point face[4] = {
        {x, y}, {oldX_, oldY_}, {oldX_, Sat(int64_t(oldY_) + lineHeight_)}, {x, lower}};
    canvas.DrawQuadAtZ0Z1(face, front, front);
    if (index == LastValueIndex()) canvas.DrawVerticalPlane(x, y, lower, front, back);
  }
  int32_t topY = y, topOldY = oldY_;
  bool darkened = false;
  if (dark3D_ && !canvas.DrawsFlatItemsInDepth() && x != oldX_ && darkSlopeRatio_ != 0 &&
      (double(oldY_) - y) / (double(x) - oldX_) > darkSlopeRatio_) {
    // A steep rise shows the underside of the ribbon.
    canvas.SetBrushColor(dark);
    darkened = true;
    if (solidLine) {
      topY = Sat(int64_t(topY) + lineHeight_);
      topOldY = Sat(int64_t(topOldY) + lineHeight_);
    }
  }
  canvas.DrawPlaneAtZRange({x, topY}, {oldX_, topOldY}, back, front);
  if (darkened) canvas.SetBrushColor(fill);
}

void TCustomSeries::DrawAreaSegment(int32_t index, int32_t x, int32_t y, TColor color) {
  TZidCanvas3D& canvas = ParentChart()->Canvas();
  SetBrushColours(canvas, AreaBrushColor(color), areaBrush_, SeriesColor());
  const int32_t front = StartZ();
  if (Is3D() && index == LastValueIndex()) {
    canvas.DrawVerticalPlane(x, y, bottomPos_, front, EndZ());
  }
  if (stairs_) {
    canvas.DrawRectAtZ({oldX_, invertedStairs_ ? y : oldY_, x + 1, bottomPos_}, front);
  } else {
    const Point quad[4] = {{oldX_, oldBottomPos_}, {oldX_, oldY_}, {x, y}, {x, bottomPos_}};
    canvas.DrawQuadAtZ(quad, front);
  }
}

void TCustomSeries::DrawLine2D(int32_t x, int32_t y, TColor color) {
  TZidCanvas3D& canvas = ParentChart()->Canvas();
  canvas.SelectChartPen(linePen_);
  canvas.SetBrushStyle(TBrushStyle::bsClear);
  canvas.SetPenColor(color);
  if (stairs_) {
    if (invertedStairs_) {
      canvas.VerticalLine(oldX_, oldY_, y);
    } else {
      canvas.HorizontalLine(oldX_, x, oldY_);
    }
    canvas.LineToPoint(x, y);
  } else {
    canvas.DrawSegment(oldX_, oldY_, x, y);
  }
}

void TCustomSeries::DrawPointer(int32_t x, int32_t y, TColor color, int32_t valueIndex) {
  TChartHost* chart = ParentChart();
  if (!chart) return;
  TZidCanvas3D& canvas = chart->Canvas();
  pointer_.PrepareCanvas(canvas, color);
  pointer_.DrawShape(canvas, chart->View3D(), x, y, pointer_.HorizSize(), pointer_.VertSize(),
                     color, PointerStyleOf(valueIndex), StartZ(), EndZ(), MiddleZ());
}

void TCustomSeries::DrawMark(int32_t index, const std::string& text,
                             TSeriesMarkPosition& position) {
  Marks().SetZPosition(StartZ());
  const int32_t lift = Marks().ArrowLength();
  position.ArrowTo.y = Sat(int64_t(position.ArrowTo.y) - lift);
  position.LeftTop.y = Sat(int64_t(position.LeftTop.y) - lift);
  TChartSeries::DrawMark(index, text, position);
}

// ---- TCustomSeries: margins --------------------------------------------------------------

void TCustomSeries::HorizMargins(int32_t& left, int32_t& right) {
  left = right = 0;
  if (pointer_.Visible() && pointer_.InflateMargins())
    left = right = Sat(int64_t(pointer_.HorizSize()) + 1);
  if (stairs_ && drawLine_) {
    left = std::max(left, linePen_.Width());
    right = std::max(right, linePen_.Width());
  }
}

void TCustomSeries::VertMargins(int32_t& top, int32_t& bottom) {
  top = bottom = 0;
  if (pointer_.Visible() && pointer_.InflateMargins())
    top = bottom = Sat(int64_t(pointer_.VertSize()) + 1);
  if (stairs_ && drawLine_) {
    top = std::max(top, linePen_.Width());
    bottom = std::max(bottom, Sat(int64_t(linePen_.Width()) + 1));
  }
  if (lineHeight_ > 0 && !drawArea_) bottom = std::max(bottom, lineHeight_);
}

// ---- TCustomSeries: legend ---------------------------------------------------------------

void TCustomSeries::PrepareLegendCanvas(int32_t /*valueIndex*/, TColor& /*backColor*/,
                                        TBrushStyle& brushStyle) {
  brushStyle = drawArea_ ? areaBrush_ : lineBrush_;
}

void TCustomSeries::DrawLegendShape(int32_t valueIndex, const Rect& rect) {
  TChartHost* chart = ParentChart();
  if (!chart) return;
  TZidCanvas3D& canvas = chart->Canvas();
  const TColor color = valueIndex == -1 ? SeriesColor() : PointColor(valueIndex);
  const bool is3D = Is3D();
  const int32_t midY = int32_t((int64_t(rect.top) + rect.bottom) / 2);
  auto line = [&] {
    canvas.SelectChartPen(linePen_);
    // Flat lines take the point colour; a ribbon keeps its pen's own.
    if (!is3D) canvas.SetPenColor(color);
    canvas.HorizontalLine(rect.left, rect.right, midY);
  };
  if (pointer_.Visible()) {
    if (drawLine_ && (!is3D || drawArea_ || lineBrush_ != TBrushStyle::bsClear)) line();
    const platform::Size size = RectSize(rect);
    const bool penShown = linePen_.Visible();
    const int64_t maxH = penShown ? size.cx / 3 : size.cx / 2 + 1;
    const int64_t maxV = penShown ? size.cy / 3 : size.cy / 2 + 1;
    const int32_t h = int32_t(std::min<int64_t>(pointer_.HorizSize(), maxH));
    const int32_t v = int32_t(std::min<int64_t>(pointer_.VertSize(), maxV));
    const Point c = RectCenter(rect);
    const TSeriesPointerStyle style =
        valueIndex >= 0 ? PointerStyleOf(valueIndex) : pointer_.Style();
    pointer_.PrepareCanvas(canvas, color);
    pointer_.DrawShape(canvas, false, c.x, c.y, h, v, color, style, 0, 0, 0);
    return;
  }
  if (!drawLine_ || drawArea_) {
    if (drawArea_) {
      const TColor legend = chart->LegendColor();
      SetBrushColours(canvas, AreaBrushColor(color), areaBrush_,
                      legend == clDefault ? chart->Color() : legend);
      canvas.SelectChartPen(areaLinesPen_);
      if (areaLinesPen_.Visible() && areaLinesPen_.Color() == clDefault) canvas.SetPenColor(color);
    }
    TChartSeries::DrawLegendShape(valueIndex, rect);
    return;
  }
  if (is3D) {
    canvas.SelectChartPen(linePen_);
    canvas.DrawRectR(rect);
  } else {
    line();
  }
}

// ---- TCustomSeries: mouse ----------------------------------------------------------------

bool TCustomSeries::ClickedPointer(int32_t /*valueIndex*/, int32_t px, int32_t py, int32_t x,
                                   int32_t y) {
  return std::abs(int64_t(x) - px) < pointer_.HorizSize() &&
         std::abs(int64_t(y) - py) < pointer_.VertSize();
}

bool TCustomSeries::ClickedSegment(Point from, Point to, int32_t x, int32_t y) const {
  // Within half the pen width (at least half a pixel) of the line as drawn.
  const double reach = std::max(1, linePen_.Width()) / 2.0 + 0.5;
  if (stairs_) {
    const Point corner = invertedStairs_ ? Point{from.x, to.y} : Point{to.x, from.y};
    return pixels::SegmentDistance(from, corner, x, y) <= reach ||
           pixels::SegmentDistance(corner, to, x, y) <= reach;
  }
  if (Is3D()) {
    const int32_t d = SeriesDepth(), h = SeriesHeight();
    const Point band[4] = {from,
                           to,
                           {Sat(int64_t(to.x) + d), Sat(int64_t(to.y) - h)},
                           {Sat(int64_t(from.x) + d), Sat(int64_t(from.y) - h)}};
    if (InsidePolygon(band, 4, x, y)) return true;
  }
  return pixels::SegmentDistance(from, to, x, y) <= reach;
}

int32_t TCustomSeries::Clicked(int32_t x, int32_t y) {
  TChartHost* chart = ParentChart();
  const int32_t first = FirstValueIndex();
  if (!chart || first < 0) return -1;
  if (chart->View3D()) chart->Canvas().UnprojectPoint(x, y, StartZ());
  const int32_t last = std::min(LastValueIndex(), PointCount() - 1);
  Point previous{};
  for (int32_t i = first; i <= last; ++i) {
    const Point p{PointXPixel(i), PointYPixel(i)};
    const bool isNull = IsNullPoint(i);
    if (!isNull) {
      if (pointer_.Visible() && ClickedPointer(i, p.x, p.y, x, y)) {
        if (OnClickPointer) OnClickPointer(*this, i, x, y);
        return i;
      }
      if (p.x == x && p.y == y) return i;
    }
    if (i > first && !isNull && !IsNullPoint(i - 1)) {
      if (clickableLine_ && ClickedSegment(previous, p, x, y)) return i - 1;
      if (drawArea_) {
        const Point area[4] = {
            {previous.x, GetOriginPos(i - 1)}, previous, p, {p.x, GetOriginPos(i)}};
        if (InsidePolygon(area, 4, x, y)) return i - 1;
      }
    }
    previous = p;
  }
  return -1;
}

// ---- series kinds ------------------------------------------------------------------------

TLineSeries::TLineSeries() {
  SetDrawLine(true);
  Pointer().SetVisible(false);
  SetAllowSinglePoint(false);
}

void TLineSeries::Assign(const TChartSeries& source) {
  TCustomSeries::Assign(source);
  SetDrawLine(true);
  SetDrawArea(false);
  if (typeid(source) != typeid(*this)) Pointer().SetVisible(false);
}

TPointSeries::TPointSeries() {
  Marks().SetArrowLength(0);
  SetClickableLine(false);
  SetAllowSinglePoint(true);
}

void TPointSeries::Assign(const TChartSeries& source) {
  TCustomSeries::Assign(source);
  Pointer().SetVisible(true);
  SetDrawLine(false);
  SetDrawArea(false);
  SetClickableLine(false);
}

void TPointSeries::SetColorEachPoint(bool value) {
  TCustomSeries::SetColorEachPoint(value);
  if (value) Pointer().Brush().SetColor(clDefault);
}

TAreaSeries::TAreaSeries() {
  SetDrawLine(true);
  SetDrawArea(true);
  Pointer().SetVisible(false);
  SetAllowSinglePoint(false);
}

void TAreaSeries::Assign(const TChartSeries& source) {
  TCustomSeries::Assign(source);
  if (const auto* area = dynamic_cast<const TAreaSeries*>(&source)) {
    StoreMultiArea(area->multiArea_);
  }
  SetDrawArea(true);
  SetDrawLine(true);
  if (typeid(source) != typeid(*this)) Pointer().SetVisible(false);
}

void TAreaSeries::StoreMultiArea(TMultiArea value) {
  if (multiArea_ == value) return;
  multiArea_ = value;
  RequestRepaint();
}

void TAreaSeries::SetMultiArea(TMultiArea value) {
  StoreMultiArea(value);
  if (!ParentChart()) return;
  for (TChartSeries* s : ParentChart()->SeriesList()) {
    if (s != this && typeid(*s) == typeid(*this))
      static_cast<TAreaSeries*>(s)->StoreMultiArea(value);
  }
}

void TAreaSeries::AssignZOrder() {
  TChartHost* chart = ParentChart();
  if (multiArea_ == TMultiArea::maNone || ZOrder() != -1 || !chart || !chart->View3D()) {
    TCustomSeries::AssignZOrder();
    return;
  }
  // The first stacked area opens a depth slot; the others lie in it.
  bool first = true;
  for (TChartSeries* s : chart->SeriesList()) {
    if (s == this) break;
    if (s->Active() && typeid(*s) == typeid(*this)) {
      first = false;
      break;
    }
  }
  if (first || chart->MaxZOrder() < 0) {
    TCustomSeries::AssignZOrder();
  } else {
    SetComputedZOrder(chart->MaxZOrder());
  }
}

double TAreaSeries::StackedValue(int32_t index, bool base) const {
  const double origin = PointOrigin(index, false);
  const double value = base ? origin : YValue(index) + origin;
  if (multiArea_ != TMultiArea::maStacked100) return value;
  const double total = PointOrigin(index, true);
  return total == 0 ? 0 : value * 100.0 / total;
}

int32_t TAreaSeries::PointYPixel(int32_t index) const {
  if (multiArea_ == TMultiArea::maNone) return TCustomSeries::PointYPixel(index);
  return CalcYPosValue(StackedValue(index, false));
}

int32_t TAreaSeries::GetOriginPos(int32_t valueIndex) const {
  if (multiArea_ == TMultiArea::maNone) return TCustomSeries::GetOriginPos(valueIndex);
  const int32_t pixel = CalcYPosValue(StackedValue(valueIndex, true));
  if (multiArea_ == TMultiArea::maStacked) {
    return std::min(pixel, TCustomSeries::GetOriginPos(valueIndex));
  }
  return pixel;
}

double TAreaSeries::MaxYValue() const {
  switch (multiArea_) {
    case TMultiArea::maStacked100:
      return 100;
    case TMultiArea::maStacked: {
      const int32_t count = PointCount();
      if (count == 0) return TCustomSeries::MaxYValue();
      double highest = StackedValue(0, false);
      for (int32_t i = 1; i < count; ++i) highest = std::max(highest, StackedValue(i, false));
      return highest;
    }
    case TMultiArea::maNone:
      break;
  }
  return TCustomSeries::MaxYValue();
}

double TAreaSeries::MinYValue() const {
  if (multiArea_ == TMultiArea::maStacked100) return 0;
  return TCustomSeries::MinYValue();
}

}  // namespace zq
