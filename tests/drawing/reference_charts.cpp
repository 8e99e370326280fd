#include "drawing/reference_charts.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "engine/chart/chart.h"
#include "engine/data/format.h"
#include "engine/series/bar_series.h"
#include "engine/series/line_series.h"
#include "engine/series/pie_series.h"
#include "platform/locale.h"
#include "support/chart_window_fixture.h"

namespace zq::test {

namespace {

// A chart as a chart window makes it, 483 x 293.
struct PictureChart {
  explicit PictureChart(const ChartSurfaceFactory& makeSurface) : makeSurface_(makeSurface) {
    zq::testing::ApplyChartWindowSettings(chart);
    chart.SetSize(483, 293);
    chart.LeftAxis().LabelsFont().SetSize(8);
    // Not the system's: labels, and so the layout, must not depend on where the chart is drawn.
    chart.SetLocale(platform::LocaleByName("en-US"));
  }

  TLineSeries& AddLine(const std::string& title, TColor color, const std::vector<double>& ys,
                       bool pointers = true) {
    TLineSeries& s = chart.AddSeries<TLineSeries>();
    s.SetTitle(title);
    s.SetSeriesColor(color);
    for (size_t i = 0; i < ys.size(); ++i) s.AddPointXY(double(i + 1), ys[i]);
    s.Pointer().SetVisible(pointers);
    return s;
  }

  // Three series of ten points each.
  void AddThreeLines() {
    AddLine("Sales", clRed, {12, 18, 15, 22, 30, 26, 28, 35, 31, 38});
    AddLine("Costs", clGreen, {8, 10, 14, 12, 15, 19, 17, 21, 24, 22});
    AddLine("Profit", clBlue, {4, 8, 1, 10, 15, 7, 11, 14, 7, 16});
  }

  platform::Image Render() {
    if (!surface || surface->Width() != chart.Width() || surface->Height() != chart.Height()) {
      surface = makeSurface_(chart.Width(), chart.Height());
    }
    chart.Paint(*surface, chart.ClientRect());
    return surface->Snapshot();
  }

  TChart chart;
  std::unique_ptr<platform::Surface> surface;

 private:
  const ChartSurfaceFactory& makeSurface_;
};

// Pictures side by side in a grid, row by row.
platform::Image Compose(const std::vector<platform::Image>& parts, int32_t columns) {
  platform::Image out;
  if (parts.empty()) return out;
  const int32_t w = parts[0].width, h = parts[0].height;
  const int32_t rows = (int32_t(parts.size()) + columns - 1) / columns;
  out.width = w * columns;
  out.height = h * rows;
  out.pixels.assign(size_t(out.width) * size_t(out.height), 0xFFFFFFFFu);
  for (size_t i = 0; i < parts.size(); ++i) {
    const int32_t ox = int32_t(i) % columns * w, oy = int32_t(i) / columns * h;
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        out.pixels[size_t(oy + y) * size_t(out.width) + size_t(ox + x)] = parts[i].At(x, y);
      }
    }
  }
  return out;
}

platform::Image Window3D(const ChartSurfaceFactory& make) {
  PictureChart p(make);
  p.AddThreeLines();
  return p.Render();
}

platform::Image Window2D(const ChartSurfaceFactory& make) {
  PictureChart p(make);
  p.AddThreeLines();
  p.chart.SetView3D(false);
  return p.Render();
}

platform::Image WindowOrthogonal(const ChartSurfaceFactory& make) {
  PictureChart p(make);
  p.AddThreeLines();
  p.chart.View3DOptions().SetOrthogonal(true);
  return p.Render();
}

platform::Image Stairs(const ChartSurfaceFactory& make) {
  PictureChart p(make);
  p.AddLine("Stairs", clRed, {3, 7, 5, 9, 8, 12}, false).SetStairs(true);
  TLineSeries& inverted = p.AddLine("Inverted", clBlue, {1, 4, 2, 6, 3, 7}, false);
  inverted.SetStairs(true);
  inverted.SetInvertedStairs(true);
  PictureChart flat(make);
  flat.chart.SetView3D(false);
  flat.AddLine("Stairs", clRed, {3, 7, 5, 9, 8, 12}, false).SetStairs(true);
  TLineSeries& flatInverted = flat.AddLine("Inverted", clBlue, {1, 4, 2, 6, 3, 7}, false);
  flatInverted.SetStairs(true);
  flatInverted.SetInvertedStairs(true);
  return Compose({p.Render(), flat.Render()}, 1);
}

platform::Image PointerStyles(const ChartSurfaceFactory& make) {
  std::vector<platform::Image> parts;
  for (bool view3D : {false, true}) {
    PictureChart p(make);
    p.chart.SetView3D(view3D);
    p.chart.View3DOptions().SetOrthogonal(true);
    p.chart.SetApplyZOrder(false);
    const char* names[] = {"Rectangle", "Circle", "Triangle", "DownTriangle", "Cross",
                           "DiagCross", "Star",   "Diamond",  "SmallDot"};
    const TColor colors[] = {clRed,  clGreen,   clYellow, clBlue, clBlack,
                             clGray, clFuchsia, clTeal,   clNavy};
    for (int i = 0; i < 9; ++i) {
      TPointSeries& s = p.chart.AddSeries<TPointSeries>();
      s.SetTitle(names[i]);
      s.SetSeriesColor(colors[i]);
      s.Pointer().SetStyle(TSeriesPointerStyle(i));
      s.Pointer().SetHorizSize(5);
      s.Pointer().SetVertSize(5);
      for (int x = 0; x < 5; ++x) s.AddPointXY(x, 9 - i);
    }
    parts.push_back(p.Render());
  }
  return Compose(parts, 1);
}

platform::Image Legends(const ChartSurfaceFactory& make) {
  std::vector<platform::Image> parts;
  for (TLegendAlignment side : {TLegendAlignment::laLeft, TLegendAlignment::laRight,
                                TLegendAlignment::laTop, TLegendAlignment::laBottom}) {
    PictureChart p(make);
    p.AddThreeLines();
    p.chart.SetView3D(false);
    p.chart.Legend().SetAlignment(side);
    parts.push_back(p.Render());
  }
  return Compose(parts, 2);
}

platform::Image Titles(const ChartSurfaceFactory& make) {
  PictureChart p(make);
  p.AddThreeLines();
  p.chart.SetView3D(false);
  TChartTitle& title = p.chart.Title();
  title.SetText({"Quarterly figures", "all regions"});
  title.SetColor(clYellow);
  title.Brush().SetStyle(TBrushStyle::bsSolid);
  title.Frame().SetVisible(true);
  title.Frame().SetColor(clRed);
  title.Frame().SetWidth(2);
  TChartTitle& foot = p.chart.Foot();
  foot.SetText({"Source: the books"});
  foot.SetAlignment(TAlignment::taRightJustify);
  foot.Frame().SetVisible(true);
  foot.Frame().SetColor(clBlue);
  foot.Brush().SetStyle(TBrushStyle::bsBDiagonal);
  foot.Brush().SetColor(clSilver);
  PictureChart left(make);
  left.AddThreeLines();
  left.chart.SetView3D(false);
  left.chart.Title().SetText({"Left, full width"});
  left.chart.Title().SetAlignment(TAlignment::taLeftJustify);
  left.chart.Title().SetAdjustFrame(false);
  left.chart.Title().SetColor(clAqua);
  left.chart.Title().Brush().SetStyle(TBrushStyle::bsSolid);
  left.chart.Title().Frame().SetVisible(true);
  left.chart.Title().Frame().SetColor(clBlack);
  return Compose({p.Render(), left.Render()}, 1);
}

platform::Image ThickWalls(const ChartSurfaceFactory& make) {
  std::vector<platform::Image> parts;
  for (bool orthogonal : {true, false}) {
    PictureChart p(make);
    p.AddThreeLines();
    p.chart.View3DOptions().SetOrthogonal(orthogonal);
    p.chart.LeftWall().SetSize(8);
    p.chart.BottomWall().SetSize(8);
    p.chart.BottomWall().SetColor(clSilver);
    p.chart.BackWall().SetSize(6);
    p.chart.SetBackColor(0xE0E0E0);
    parts.push_back(p.Render());
  }
  return Compose(parts, 1);
}

platform::Image LogAxis(const ChartSurfaceFactory& make) {
  PictureChart p(make);
  p.chart.SetView3D(false);
  TLineSeries& s = p.AddLine("Growth", clRed, {});
  for (int i = 0; i <= 10; ++i) s.AddPointXY(i, std::pow(10.0, i / 2.0));
  p.chart.LeftAxis().SetLogarithmic(true);
  p.chart.Legend().SetVisible(false);
  return p.Render();
}

platform::Image DateTimeAxis(const ChartSurfaceFactory& make) {
  PictureChart p(make);
  p.chart.SetView3D(false);
  TLineSeries& s = p.chart.AddSeries<TLineSeries>();
  s.SetTitle("Visitors");
  s.SetSeriesColor(clNavy);
  s.Pointer().SetVisible(true);
  s.XValues().SetDateTime(true);
  const double start = EncodeDate(2024, 1, 1);
  const double ys[] = {120, 135, 128, 160, 171, 166, 190, 185, 201, 210, 198, 230};
  for (int i = 0; i < 12; ++i) s.AddPointXY(start + 7 * i, ys[i]);
  p.chart.Legend().SetVisible(false);
  return p.Render();
}

platform::Image Marks(const ChartSurfaceFactory& make) {
  std::vector<platform::Image> parts;
  for (int style = 0; style < 9; ++style) {
    PictureChart p(make);
    p.chart.SetSize(322, 196);
    p.chart.SetView3D(style % 2 == 1);
    p.chart.Legend().SetVisible(false);
    TLineSeries& s = p.chart.AddSeries<TLineSeries>();
    s.SetSeriesColor(clRed);
    const char* labels[] = {"Mon", "Tue", "Wed", "Thu"};
    const double ys[] = {20, 35, 25, 40};
    for (int i = 0; i < 4; ++i) s.AddPointXY(i + 1, ys[i], labels[i]);
    s.Marks().SetVisible(true);
    s.Marks().SetStyle(TSeriesMarksStyle(style));
    s.Marks().SetArrowLength(6 + 3 * style);
    // Room above the highest point for its mark.
    p.chart.LeftAxis().SetAutomaticMaximum(false);
    p.chart.LeftAxis().SetMaximum(60);
    std::string title = "Marks style ";
    title += std::to_string(style);
    p.chart.Title().SetText({title});
    parts.push_back(p.Render());
  }
  return Compose(parts, 3);
}

platform::Image Area(const ChartSurfaceFactory& make) {
  std::vector<platform::Image> parts;
  for (bool view3D : {true, false}) {
    PictureChart p(make);
    p.chart.SetView3D(view3D);
    TAreaSeries& a = p.chart.AddSeries<TAreaSeries>();
    a.SetTitle("Area");
    a.SetSeriesColor(clTeal);
    const double ys[] = {5, 9, 7, 12, 10, 15, 13, 17};
    for (int i = 0; i < 8; ++i) a.AddPointXY(i, ys[i]);
    TAreaSeries& b = p.chart.AddSeries<TAreaSeries>();
    b.SetTitle("Hatched");
    b.SetSeriesColor(clOlive);
    b.SetAreaBrush(TBrushStyle::bsCross);
    const double zs[] = {2, 4, 3, 6, 4, 7, 5, 8};
    for (int i = 0; i < 8; ++i) b.AddPointXY(i, zs[i]);
    parts.push_back(p.Render());
  }
  return Compose(parts, 1);
}

platform::Image ZoomPan(const ChartSurfaceFactory& make) {
  PictureChart zoomed(make);
  zoomed.AddThreeLines();
  zoomed.chart.SetView3D(false);
  zoomed.Render();
  // Drag over the middle of the plot.
  zoomed.chart.MouseDown(platform::MouseButton::Left, {}, 150, 60);
  zoomed.chart.MouseMove({}, 330, 200);
  zoomed.chart.MouseUp(platform::MouseButton::Left, {}, 330, 200);
  if (!zoomed.chart.Zoomed()) throw std::runtime_error("dragging over the plot did not zoom");

  PictureChart panned(make);
  panned.AddThreeLines();
  panned.chart.SetView3D(false);
  panned.Render();
  // Right-drag 80 pixels left and 40 down.
  panned.chart.MouseDown(platform::MouseButton::Right, {}, 300, 100);
  panned.chart.MouseMove({}, 260, 120);
  panned.chart.MouseMove({}, 220, 140);
  panned.chart.MouseUp(platform::MouseButton::Right, {}, 220, 140);
  return Compose({zoomed.Render(), panned.Render()}, 1);
}

// One bar in each of the seven styles, in rotated 3D, orthogonal 3D and 2D.
platform::Image BarStyles(const ChartSurfaceFactory& make) {
  std::vector<platform::Image> parts;
  for (int view = 0; view < 3; ++view) {
    PictureChart p(make);
    p.chart.SetView3D(view < 2);
    p.chart.View3DOptions().SetOrthogonal(view == 1);
    p.chart.Legend().SetVisible(false);
    TBarSeries& s = p.chart.AddSeries<TBarSeries>();
    s.SetTitle("Styles");
    s.Marks().SetStyle(TSeriesMarksStyle::smsValue);
    s.OnGetBarStyle = [](TCustomBarSeries&, int32_t index, TBarStyle& style) {
      style = TBarStyle(index);
    };
    const char* labels[] = {"Rectangle", "Pyramid", "Inverted", "Cylinder",
                            "Ellipse",   "Arrow",   "Gradient"};
    const double ys[] = {14, 22, 18, 25, 16, 21, 24};
    const TColor colors[] = {clRed, clGreen, clBlue, clTeal, clFuchsia, clOlive, clNavy};
    for (int i = 0; i < 7; ++i) s.AddPointXY(i, ys[i], labels[i], colors[i]);
    parts.push_back(p.Render());
  }
  return Compose(parts, 1);
}

TBarSeries& AddBars(PictureChart& p, const char* title, TColor color,
                    const std::vector<double>& ys) {
  TBarSeries& s = p.chart.AddSeries<TBarSeries>();
  s.SetTitle(title);
  s.SetSeriesColor(color);
  for (size_t i = 0; i < ys.size(); ++i) s.AddPointXY(double(i + 1), ys[i]);
  return s;
}

// Side by side in 3D, stacked in 2D, stacked to 100 % in orthogonal 3D, and horizontal bars
// about an origin, with a hatched bar brush.
platform::Image BarGroups(const ChartSurfaceFactory& make) {
  PictureChart side(make);
  AddBars(side, "North", clRed, {12, 18, 15, 22});
  AddBars(side, "South", clGreen, {8, 14, 19, 11});
  PictureChart stacked(make);
  stacked.chart.SetView3D(false);
  // Marks on the top of each stack only: the bars of the next series would cover the others.
  AddBars(stacked, "North", clRed, {12, 18, 15, 22}).Marks().SetVisible(false);
  AddBars(stacked, "South", clGreen, {8, 14, 19, 11}).Marks().SetVisible(false);
  AddBars(stacked, "East", clBlue, {5, 9, 7, 12}).SetMultiBar(TMultiBar::mbStacked);
  PictureChart percent(make);
  percent.chart.View3DOptions().SetOrthogonal(true);
  AddBars(percent, "North", clRed, {12, 18, 15, 22});
  AddBars(percent, "South", clGreen, {8, 14, 19, 11}).SetMultiBar(TMultiBar::mbStacked100);
  PictureChart horizontal(make);
  horizontal.chart.SetView3D(false);
  for (int k = 0; k < 2; ++k) {
    THorizBarSeries& h = horizontal.chart.AddSeries<THorizBarSeries>();
    h.SetTitle(k == 0 ? "Gain" : "Loss");
    h.SetSeriesColor(k == 0 ? clTeal : clMaroon);
    h.SetYOrigin(5);
    if (k == 1) {
      h.BarBrush().SetStyle(TBrushStyle::bsDiagCross);
      h.Marks().SetVisible(false);
    }
    const double xs[] = {9, 3, 12, 7};
    for (int i = 0; i < 4; ++i) h.AddPointXY(k == 0 ? xs[i] : 10 - xs[i], i + 1);
  }
  return Compose({side.Render(), stacked.Render(), percent.Render(), horizontal.Render()}, 2);
}

// A round flat pie with patterns, an exploded slice and an other slice, and a 3D pie whose
// biggest slice stands out.
platform::Image Pies(const ChartSurfaceFactory& make) {
  std::vector<platform::Image> parts;
  for (bool view3D : {false, true}) {
    PictureChart p(make);
    p.chart.SetView3D(view3D);
    TPieSeries& pie = p.chart.AddSeries<TPieSeries>();
    pie.SetTitle("Shares");
    const char* labels[] = {"Rent", "Food", "Travel", "Books", "Tea", "Misc"};
    const double ys[] = {40, 25, 18, 10, 2, 1.5};
    for (int i = 0; i < 6; ++i) pie.AddPointXY(i, ys[i], labels[i]);
    if (view3D) {
      pie.SetExplodeBiggest(15);
      pie.SetRotationAngle(30);
    } else {
      pie.SetExplodedSlice(1, 20);
      pie.OtherSlice().SetStyle(TPieOtherStyle::poBelowPercent);
      pie.OtherSlice().SetValue(5);
      pie.SetUsePatterns(true);
      pie.SetCircled(true);
    }
    parts.push_back(p.Render());
  }
  return Compose(parts, 2);
}

}  // namespace

const std::vector<ReferenceChart>& ReferenceCharts() {
  static const std::vector<ReferenceChart> charts = {
      {"window_3d", 483, 293, Window3D},
      {"window_2d", 483, 293, Window2D},
      {"window_orthogonal", 483, 293, WindowOrthogonal},
      {"stairs", 483, 586, Stairs},
      {"pointer_styles", 483, 586, PointerStyles},
      {"legends", 966, 586, Legends},
      {"titles", 483, 586, Titles},
      {"thick_walls", 483, 586, ThickWalls},
      {"log_axis", 483, 293, LogAxis},
      {"datetime_axis", 483, 293, DateTimeAxis},
      {"marks", 966, 588, Marks},
      {"area", 483, 586, Area},
      {"zoom_pan", 483, 586, ZoomPan},
      {"bar_styles", 483, 879, BarStyles},
      {"bar_groups", 966, 586, BarGroups},
      {"pies", 966, 293, Pies},
  };
  return charts;
}

const ReferenceChart* FindReferenceChart(std::string_view name) {
  for (const ReferenceChart& chart : ReferenceCharts())
    if (chart.name == name) return &chart;
  return nullptr;
}

platform::Image DrawReferenceChart(const ReferenceChart& chart,
                                   const ChartSurfaceFactory& makeSurface) {
  if (makeSurface) return chart.draw(makeSurface);
  return chart.draw(
      [](int32_t width, int32_t height) { return platform::CreateMemorySurface(width, height); });
}

}  // namespace zq::test
