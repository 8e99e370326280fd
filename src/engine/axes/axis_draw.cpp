#include "engine/axes/axis_draw.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/axes/axis.h"
#include "engine/axes/chart_host.h"
#include "engine/drawing/canvas3d.h"
#include "engine/drawing/color.h"
#include "engine/drawing/pens.h"
#include "engine/series/marks.h"

namespace zq {

namespace {

namespace ta = platform::text_align;

// Minor marks of absurd counts only repeat pixels; whatever the positions, the loops stop
// after this many steps.
constexpr int64_t kMaxMinorSteps = int64_t(1) << 20;

enum class Side { Bottom, Top, Left, Right, Depth };

Side SideOf(const TCustomChartAxis& axis) {
  if (axis.IsDepthAxis()) return Side::Depth;
  if (axis.Horizontal()) return axis.OtherSide() ? Side::Top : Side::Bottom;
  return axis.OtherSide() ? Side::Right : Side::Left;
}

int32_t Clamp32(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

int64_t RoundEven(double v) {
  if (!(std::fabs(v) < 9e18)) return v > 0 ? INT64_MAX / 4 : -(INT64_MAX / 4);
  return int64_t(std::nearbyint(v));
}

// Texts on the top and right axes (and their lines) lie on the back of a 3D chart.
int32_t SideDepth(Side side, TChartHost& chart) {
  return side == Side::Top || side == Side::Right ? chart.Width3D() : 0;
}

// Texts of the axis are drawn without a background box. On paper (white) white text turns
// black.
void SelectTextFont(TZidCanvas3D& canvas, const TChartFont& font, TColor brushColor,
                    bool printing) {
  TChartFont f(font);
  if (printing && f.Color() == clWhite) f.SetColor(clBlack);
  canvas.SetFont(f);
  canvas.SetBrushColor(brushColor);
  canvas.SetBrushStyle(TBrushStyle::bsClear);
  canvas.ChangeBackMode(platform::BackMode::Transparent);
}

class AxisPainter {
 public:
  AxisPainter(TCustomChartAxis& axis, TChartHost& chart, bool printing)
      : axis_(axis),
        chart_(chart),
        canvas_(chart.Canvas()),
        side_(SideOf(axis)),
        printing_(printing),
        rect_(chart.ChartRect()),
        depth_(chart.Width3D()) {}

  void Draw() {
    axis_.RecomputeDateTime();
    canvas_.SetFont(axis_.LabelsFont());
    posAxis_ = axis_.AxisLinePosition();
    if (!axis_.Title().Caption().empty()) DrawTitle();
    DrawLabels();
    DrawTicksAndGrids();
  }

 private:
  bool Horizontal() const { return side_ == Side::Bottom || side_ == Side::Top; }

  void DrawTitle() {
    const TChartAxisTitle& title = axis_.Title();
    SelectTextFont(canvas_, title.Font(), chart_.Color(), printing_);
    const int32_t posTitle = axis_.PosTitle();
    if (side_ == Side::Depth) {
      canvas_.SetTextAlignment(ta::kLeft | ta::kTop);
      canvas_.DrawTextAtZ(posTitle, rect_.bottom, title.Caption(), depth_ / 2);
    } else if (Horizontal()) {
      DrawAxisTextBlock(axis_, chart_, axis_.ICenterPos(), posTitle, title.Angle(),
                        title.Caption());
    } else {
      DrawAxisTextBlock(axis_, chart_, posTitle, axis_.ICenterPos(), title.Angle(),
                        title.Caption());
    }
  }

  void AddTick(std::vector<int32_t>& list, int32_t position) {
    if (list.size() < size_t(kMaxAxisTicks)) list.push_back(position);
  }

  void DrawLabels() {
    const std::vector<TAxisLabel> labels = axis_.ComputeLabels();
    const bool onLabelsOnly = axis_.TickOnLabelsOnly();
    const bool drawLabels = axis_.Labels();
    const int32_t posLabels = axis_.PosLabels();
    if (drawLabels) SelectTextFont(canvas_, axis_.LabelsFont(), chart_.Color(), printing_);
    for (const TAxisLabel& label : labels) {
      // The grid follows every labelled value, even when neither its label nor its tick is
      // drawn.
      AddTick(grid_, label.position);
      if (!onLabelsOnly) AddTick(ticks_, label.position);
      if (!drawLabels) continue;
      if (onLabelsOnly) AddTick(ticks_, label.position);
      if (side_ == Side::Depth) {
        canvas_.SetTextAlignment(ta::kLeft | ta::kTop);
        canvas_.DrawTextAtZ(posLabels, rect_.bottom, label.text, label.position);
      } else if (Horizontal()) {
        DrawAxisTextBlock(axis_, chart_, label.position, posLabels, axis_.LabelsAngle(),
                          label.text);
      } else {
        DrawAxisTextBlock(axis_, chart_, posLabels, label.position, axis_.LabelsAngle(),
                          label.text);
      }
    }
  }

  // ---- lines ---------------------------------------------------------------------------------

  void DrawAxisLine() {
    const int32_t leftWall = chart_.AxisWallSize(chart_.LeftAxis());
    const int32_t bottomWall = chart_.AxisWallSize(chart_.BottomAxis());
    const int32_t start = axis_.IStartPos(), end = axis_.IEndPos();
    switch (side_) {
      case Side::Bottom:
        canvas_.HorizontalLineAtZ(Clamp32(int64_t(start) - leftWall), end,
                                  Clamp32(int64_t(posAxis_) + bottomWall), 0);
        break;
      case Side::Top:
        canvas_.HorizontalLineAtZ(start, end, posAxis_, depth_);
        break;
      case Side::Left:
        canvas_.VerticalLineAtZ(Clamp32(int64_t(posAxis_) - leftWall), start,
                                Clamp32(int64_t(end) + bottomWall), 0);
        break;
      case Side::Right:
        canvas_.VerticalLineAtZ(posAxis_, start, end, depth_);
        break;
      case Side::Depth:
        canvas_.DepthLine(rect_.right, Clamp32(int64_t(rect_.bottom) + bottomWall), 0, depth_);
        break;
    }
  }

  // A tick at p, `offset` pixels outwards from the axis line (past the wall), `length` long.
  void DrawTick(int32_t p, int64_t offset, int64_t length) {
    const int64_t w = wall_;
    const int64_t a = posAxis_;
    switch (side_) {
      case Side::Bottom:
        canvas_.VerticalLineAtZ(p, Clamp32(a + w + offset), Clamp32(a + w + offset + length), 0);
        break;
      case Side::Top:
        canvas_.VerticalLineAtZ(p, Clamp32(a - offset), Clamp32(a - offset - length), depth_);
        break;
      case Side::Left:
        canvas_.HorizontalLineAtZ(Clamp32(a - w - offset), Clamp32(a - w - offset - length), p, 0);
        break;
      case Side::Right:
        canvas_.HorizontalLineAtZ(Clamp32(a + offset), Clamp32(a + offset + length), p, depth_);
        break;
      case Side::Depth:
        canvas_.HorizontalLineAtZ(Clamp32(a + offset), Clamp32(a + offset + length), rect_.bottom,
                                  p);
        break;
    }
  }

  void DrawGridLine(int32_t p) {
    const bool view3D = chart_.View3D();
    switch (side_) {
      case Side::Depth:
        canvas_.VerticalLineAtZ(rect_.left, rect_.top, rect_.bottom, p);
        canvas_.HorizontalLineAtZ(rect_.left, rect_.right, rect_.bottom, p);
        break;
      case Side::Bottom:
        // Along the floor, then up the back wall.
        if (view3D) canvas_.DepthLine(p, posAxis_, 0, depth_);
        [[fallthrough]];
      case Side::Top:
        canvas_.VerticalLineAtZ(p, rect_.top, rect_.bottom, view3D ? depth_ : 0);
        break;
      case Side::Left:
        // Along the left wall, then across the back wall.
        if (view3D) canvas_.DepthLine(posAxis_, p, 0, depth_);
        [[fallthrough]];
      case Side::Right:
        canvas_.HorizontalLineAtZ(rect_.left, rect_.right, p, view3D ? depth_ : 0);
        break;
    }
  }

  // Dotted grid pens must not paint their gaps over the walls.
  void BeginGrid(const TChartPen& pen) {
    canvas_.SetBrushStyle(TBrushStyle::bsClear);
    canvas_.ChangeBackMode(platform::BackMode::Transparent);
    canvas_.SelectChartPen(pen);
    if (pen.Color() == clDefault) canvas_.SetPenColor(clGray);
  }

  void EndGrid() { canvas_.ChangeBackMode(platform::BackMode::Opaque); }

  void DrawGrid() {
    BeginGrid(axis_.Grid());
    if (axis_.GridCentered()) {
      for (size_t i = 1; i < grid_.size(); ++i) {
        DrawGridLine(Clamp32(RoundEven((double(grid_[i]) + grid_[i - 1]) * 0.5)));
      }
    } else {
      for (int32_t p : grid_) DrawGridLine(p);
    }
    EndGrid();
  }

  // Minor marks between the major ticks and beyond the first and last one, strictly inside
  // the axis.
  std::vector<int32_t> MinorPositions() {
    std::vector<int32_t> out;
    const int32_t k = axis_.MinorTickCount();
    if (k <= 0 || ticks_.empty()) return out;
    const int64_t low = std::min(axis_.IStartPos(), axis_.IEndPos());
    const int64_t high = std::max(axis_.IStartPos(), axis_.IEndPos());
    auto inside = [&](int64_t p) { return p > low && p < high; };
    int64_t steps = 0;
    bool havePrevious = false;
    int64_t previous = 0;
    // False once the step budget is spent.
    auto add = [&](int64_t p) {
      // With more marks than pixels a mark repeats its predecessor; drawing it again would
      // cancel out with a not-xor pen.
      if (!(havePrevious && p == previous) && inside(p)) out.push_back(int32_t(p));
      havePrevious = true;
      previous = p;
      return ++steps < kMaxMinorSteps;
    };
    // Marks at base + sign * offset(i), i = 1 .. k, the offsets growing with i. When there are
    // fewer distinct offsets than marks they are contiguous and each is visited once. Marks
    // beyond an end tick only move away from the axis: the first one outside ends them.
    auto run = [&](int64_t base, int64_t sign, auto offset, bool beyond) {
      havePrevious = false;
      auto visit = [&](int64_t d) {
        const int64_t p = base + sign * d;
        if (beyond && !inside(p)) return false;
        return add(p);
      };
      const int64_t first = offset(1), last = offset(k);
      if ((last > first ? last - first : first - last) < k) {
        const int64_t dir = last >= first ? 1 : -1;
        for (int64_t d = first; visit(d) && d != last; d += dir) {
        }
      } else {
        for (int32_t i = 1; i <= k && visit(offset(i)); ++i) {
        }
      }
    };
    const double parts = double(k) + 1.0;
    const size_t n = ticks_.size();
    if (!axis_.Logarithmic() && n > 1) {
      const double gap = double(ticks_[1]) - ticks_[0];
      auto offset = [&](int32_t i) { return RoundEven(gap / parts * i); };
      run(ticks_[0], -1, offset, true);
      run(ticks_[n - 1], 1, offset, true);
    }
    for (size_t i = 1; i < n && steps < kMaxMinorSteps; ++i) {
      const int64_t a = ticks_[i - 1], b = ticks_[i];
      if ((a <= low && b <= low) || (a >= high && b >= high)) continue;
      if (axis_.Logarithmic()) {
        havePrevious = false;
        double v = axis_.PixelToValue(ticks_[i - 1]);
        const double step = (double(axis_.LogarithmicBase()) * v - v) / parts;
        for (int32_t j = 1; j <= k; ++j) {
          v += step;
          if (v > axis_.IMaximum() || !add(axis_.ValueToPixel(v))) break;
        }
      } else {
        const double gap = double(b - a);
        run(
            b, -1, [&](int32_t j) { return RoundEven(double(j) * gap / parts); }, false);
      }
    }
    return out;
  }

  void DrawTicksAndGrids() {
    wall_ = chart_.AxisWallSize(axis_);
    if (axis_.Axis().Visible()) {
      canvas_.SelectChartPen(axis_.Axis());
      DrawAxisLine();
    }
    if (axis_.Ticks().Visible()) {
      canvas_.SelectChartPen(axis_.Ticks());
      for (int32_t p : ticks_) DrawTick(p, 1, axis_.TickLength());
    }
    if (axis_.Grid().Visible()) DrawGrid();
    // Inner ticks of length 0 would draw nothing at all.
    if (axis_.TicksInner().Visible() && axis_.TickInnerLength() != 0) {
      canvas_.SelectChartPen(axis_.TicksInner());
      for (int32_t p : ticks_) DrawTick(p, -1, -int64_t(axis_.TickInnerLength()));
    }
    const bool minorTicks = axis_.MinorTicks().Visible();
    const bool minorGrid = axis_.MinorGrid().Visible();
    if (ticks_.empty() || !(minorTicks || minorGrid)) return;
    const std::vector<int32_t> minor = MinorPositions();
    if (minor.empty()) return;
    if (minorTicks) {
      canvas_.SelectChartPen(axis_.MinorTicks());
      for (int32_t p : minor) DrawTick(p, 1, axis_.MinorTickLength());
    }
    if (minorGrid) {
      BeginGrid(axis_.MinorGrid());
      for (int32_t p : minor) DrawGridLine(p);
      EndGrid();
    }
  }

  TCustomChartAxis& axis_;
  TChartHost& chart_;
  TZidCanvas3D& canvas_;
  const Side side_;
  const bool printing_;
  const platform::Rect rect_;
  const int32_t depth_;
  int32_t posAxis_ = 0;
  int32_t wall_ = 0;
  std::vector<int32_t> ticks_;
  std::vector<int32_t> grid_;
};

}  // namespace

void DrawAxisTextBlock(TCustomChartAxis& axis, TChartHost& chart, int32_t x, int32_t y,
                       int32_t angle, std::string_view text) {
  TZidCanvas3D& canvas = chart.Canvas();
  const Side side = SideOf(axis);
  const int32_t depth = SideDepth(side, chart);
  const int64_t fontHeight = canvas.TextLineHeight();
  const int64_t h = fontHeight / 2;
  const std::vector<std::string_view> lines = textlines::Split(text);
  const int64_t n = int64_t(lines.size());
  // Upside-down and downward text stacks its lines the other way.
  const int64_t L = angle == 180 || angle == 270 ? -fontHeight : fontHeight;
  const int64_t T = n * L;
  const int64_t G = RoundEven(double(L) * 0.5 * double(n + 1));
  int64_t px = x, py = y;

  uint32_t align = ta::kLeft | ta::kTop;
  switch (angle) {
    case 0:
      switch (side) {
        case Side::Bottom:
          align = ta::kCenter | ta::kTop;
          py -= L;
          break;
        case Side::Top:
          align = ta::kCenter | ta::kBottom;
          py -= T;
          break;
        case Side::Left:
          align = ta::kRight | ta::kTop;
          py -= h + G;
          break;
        case Side::Right:
          align = ta::kLeft | ta::kTop;
          py -= h + G;
          break;
        case Side::Depth:
          break;
      }
      break;
    case 90:
      switch (side) {
        case Side::Bottom:
          align = ta::kRight | ta::kTop;
          px -= h + G;
          break;
        case Side::Top:
          align = ta::kLeft | ta::kTop;
          px -= h + G;
          break;
        case Side::Left:
          align = ta::kCenter | ta::kBottom;
          px -= T;
          break;
        case Side::Right:
          align = ta::kCenter | ta::kTop;
          px -= L;
          break;
        case Side::Depth:
          break;
      }
      break;
    case 180:
      switch (side) {
        case Side::Bottom:
          align = ta::kCenter | ta::kBottom;
          py -= T;
          break;
        case Side::Top:
          align = ta::kCenter | ta::kTop;
          py -= L;
          break;
        case Side::Left:
          align = ta::kLeft | ta::kTop;
          py += h;
          py -= G;
          break;
        case Side::Right:
          align = ta::kRight | ta::kTop;
          py += h;
          py -= G;
          break;
        case Side::Depth:
          break;
      }
      break;
    case 270:
      switch (side) {
        case Side::Bottom:
          align = ta::kLeft | ta::kTop;
          px += h;
          px -= G;
          break;
        case Side::Top:
          align = ta::kRight | ta::kTop;
          px += h;
          px -= G;
          break;
        case Side::Left:
          align = ta::kCenter | ta::kTop;
          px -= L;
          break;
        case Side::Right:
          align = ta::kCenter | ta::kBottom;
          px -= T;
          break;
        case Side::Depth:
          break;
      }
      break;
    default:
      break;
  }
  canvas.SetTextAlignment(align);
  for (std::string_view line : lines) {
    switch (angle) {
      case 0:
        py += L;
        canvas.DrawTextAtZ(Clamp32(px), Clamp32(py), line, depth);
        break;
      case 90:
      case 270:
        px += L;
        canvas.DrawRotatedTextAtZ(Clamp32(px), Clamp32(py), depth, line, angle);
        break;
      case 180:
        py += L;
        canvas.DrawRotatedTextAtZ(Clamp32(px), Clamp32(py), depth, line, angle);
        break;
      default:
        canvas.DrawRotatedTextAtZ(Clamp32(px), Clamp32(py), depth, line, angle);
        break;
    }
  }
  canvas.SetTextAlignment(ta::kLeft | ta::kTop);
}

void DrawAxis(TCustomChartAxis& axis, TChartHost& chart, bool printing) {
  AxisPainter(axis, chart, printing).Draw();
}

}  // namespace zq
