#include "engine/chart/chart.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/series/bar_series.h"
#include "engine/series/fast_line_series.h"
#include "engine/series/functions.h"
#include "engine/series/line_series.h"
#include "engine/series/pie_series.h"

namespace zq {

namespace {

// Light yellow, the left wall's own colour.
constexpr TColor kLeftWallColor = 0x80FFFF;

int32_t ClampToInt(int64_t value) {
  return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

bool PointInRect(const Rect& r, int32_t x, int32_t y) {
  return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

// Switches auto repaint off for a scope: a zoom or an undo sets many limits but asks for one
// repaint at its end.
class RepaintBatch {
 public:
  explicit RepaintBatch(TCustomZidPanel& panel) : panel_(panel), was_(panel.AutoRepaint()) {
    panel_.SetAutoRepaint(false);
  }
  ~RepaintBatch() { panel_.SetAutoRepaint(was_); }
  RepaintBatch(const RepaintBatch&) = delete;
  RepaintBatch& operator=(const RepaintBatch&) = delete;

 private:
  TCustomZidPanel& panel_;
  bool was_;
};

// Minimum and maximum without the order checks of the setters tripping over the old values.
void SetLimits(TCustomChartAxis& axis, double minimum, double maximum) {
  if (minimum > axis.Maximum()) {
    axis.SetMaximum(maximum);
    axis.SetMinimum(minimum);
  } else {
    axis.SetMinimum(minimum);
    axis.SetMaximum(maximum);
  }
}

}  // namespace

// ---- life ----------------------------------------------------------------------------------

TCustomChart::TCustomChart()
    : backWall_(std::make_unique<TChartWall>(this, clDefault)),
      bottomWall_(std::make_unique<TChartWall>(this, clWhite)),
      foot_(std::make_unique<TChartTitle>(this)),
      leftWall_(std::make_unique<TChartWall>(this, kLeftWallColor)),
      legend_(std::make_unique<TChartLegend>(*this, this)),
      title_(std::make_unique<TChartTitle>(this)) {
  const bool was = AutoRepaint();
  SetAutoRepaint(false);
  // The back wall is transparent until it gets a colour.
  backWall_->Brush().SetStyle(TBrushStyle::bsClear);
  SetCancelMouse(false);
  SetAutoRepaint(was);
}

TCustomChart::~TCustomChart() {
  // The series go while the walls, titles and legend still exist.
  FreeAllSeries();
}

void TCustomChart::SetBackColor(TColor value) {
  backWall_->SetColor(value);
  if (!IsLoading()) backWall_->Brush().SetStyle(TBrushStyle::bsSolid);
}

void TCustomChart::Assign(const TCustomZidPanel& source) {
  if (&source == this) return;
  if (const auto* s = dynamic_cast<const TCustomChart*>(&source)) {
    backImageInside_ = s->backImageInside_;
    backWall_->Assign(*s->backWall_);
    bottomWall_->Assign(*s->bottomWall_);
    leftWall_->Assign(*s->leftWall_);
    legend_->Assign(*s->legend_);
    foot_->Assign(*s->foot_);
    title_->Assign(*s->title_);
  }
  TCustomAxisPanel::Assign(source);
}

// ---- queries -------------------------------------------------------------------------------

void TCustomChart::SetCircledView(bool circled) {
  TCustomAxisPanel::SetCircledView(circled);
  Frame().SetVisible(!circled);
  backWall_->Brush().SetStyle(circled ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
}

bool TCustomChart::ColorIsUnused(TColor color, bool checkBackground) const {
  for (const TChartSeries* s : SeriesList()) {
    if (s->SeriesColor() == color) return false;
  }
  if (checkBackground && (color == Color() || color == BackColor())) return false;
  return true;
}

int32_t TCustomChart::WallSize(const TCustomChartAxis& axis) const {
  if (!View3D() || !View3DWalls()) return 0;
  if (&axis == &LeftAxis()) return leftWall_->Size();
  if (&axis == &BottomAxis()) return bottomWall_->Size();
  return 0;
}

void TCustomChart::DoGetLegendText(TLegendStyle style, int32_t index, std::string& text) {
  if (OnGetLegendText) OnGetLegendText(*this, style, index, text);
}

void TCustomChart::DoGetLegendRect(Rect& rect) {
  if (OnGetLegendRect) OnGetLegendRect(*this, rect);
}

void TCustomChart::DoGetLegendPos(int32_t index, int32_t& x, int32_t& y, int32_t& xColor) {
  if (OnGetLegendPos) OnGetLegendPos(*this, index, x, y, xColor);
}

void TCustomChart::FillValueSourceItems(TChartValueList& list,
                                        const std::function<void(const std::string&)>& add) {
  for (TChartSeries* s : SeriesList()) {
    bool owns = false;
    for (int32_t i = 0; i < s->ValueListCount(); ++i) owns = owns || &s->ValueList(i) == &list;
    if (!owns) continue;
    if (auto* source = dynamic_cast<TChartSeries*>(s->DataSource())) {
      for (int32_t i = 0; i < source->ValueListCount(); ++i) add(source->ValueList(i).Name());
    }
    return;
  }
}

// ---- painting pass -------------------------------------------------------------------------

void TCustomChart::DrawBackImage(const Rect& rect) {
  if (!backImageInside_) DrawBackPicture(rect, 0);
}

void TCustomChart::PaintTitlesAndLegend() {
  // The legend sets its colour when it is drawn this pass.
  SetLegendColor(clDefault);
  TZidCanvas3D& c = Canvas();
  c.SuspendDepth();
  const auto titles = [this] {
    if (title_->Visible()) title_->Draw(true);
    if (foot_->Visible()) foot_->Draw(false);
  };
  if (!legend_->Visible() || CountActiveSeries() == 0) {
    titles();
  } else if (legend_->IsVertical()) {
    legend_->PaintLegend();
    titles();
  } else {
    titles();
    legend_->PaintLegend();
  }
  c.ResumeDepth();
}

void TCustomChart::ReserveAxisRoom() {
  ComputeAxesRanges();
  CalcSize3D();
  Rect r = ChartRect();
  if (View3D() && View3DOptions().Orthogonal()) {
    const int64_t wall = View3DWalls() ? backWall_->Size() : 0;
    r.right = ClampToInt(int64_t(r.right) - Width3D() - wall);
    r.top = ClampToInt(int64_t(r.top) + wall + Height3D());
  }
  // Label widths depend on the increment, which depends on the axis length: take the length
  // from this rectangle before the axes shrink it.
  SetChartRect(r);
  RecalcWidthHeight();
  ComputeAxesPositions();
  r = ChartRect();
  ReserveAxesSpace(r);
  SetChartRect(r);
  RecalcWidthHeight();
  ComputeAxesPositions();
}

void TCustomChart::ApplySeriesMargins() {
  AdjustAxesForSeriesMargins();
}

void TCustomChart::PrepareWallCanvas(const TCustomChartWall& wall) {
  TZidCanvas3D& c = Canvas();
  c.SelectChartPen(wall.Pen());
  const TChartBrush& brush = wall.Brush();
  if (brush.HasPattern()) {
    platform::Brush b;
    b.color = ColorToRGB(wall.Color() == clDefault ? brush.Color() : wall.Color());
    b.style = platform::BrushStyle::Pattern;
    b.pattern = PatternFromImage(brush.Image());
    c.SetBrush(b);
    c.ChangeBackMode(platform::BackMode::Opaque);
    c.ChangeBackColor(ColorToRGB(brush.Color()));
    return;
  }
  if (wall.Color() == clDefault && brush.Style() == TBrushStyle::bsSolid) {
    c.SetBrushStyle(TBrushStyle::bsClear);
    return;
  }
  SetBrushColours(wall.Color(), brush.Style(), brush.Color());
}

void TCustomChart::PaintWalls() {
  TZidCanvas3D& c = Canvas();
  const Rect& r = ChartRect();
  const int32_t depth = Width3D();
  const bool walls3D = View3D() && View3DWalls();
  const int32_t lw = walls3D ? leftWall_->Size() : 0;
  const int32_t bw = walls3D ? bottomWall_->Size() : 0;

  if (!View3D()) {
    PrepareWallCanvas(*backWall_);
    c.DrawRect(r.left, r.top, ClampToInt(int64_t(r.right) + 1), ClampToInt(int64_t(r.bottom) + 1));
  } else if (walls3D) {
    PrepareWallCanvas(*backWall_);
    int32_t size = backWall_->Size();
    if (depth < 0) size = -size;
    if (size < 1) {
      c.DrawRectAtZ(
          {ClampToInt(int64_t(r.left) + 1), ClampToInt(int64_t(r.top) - 1), r.right, r.bottom},
          depth);
    } else {
      c.DrawBox(ClampToInt(int64_t(r.left) - lw), r.right, r.top,
                ClampToInt(int64_t(r.bottom) + bw), depth, ClampToInt(int64_t(depth) + size),
                backWall_->IsDark());
    }
  }

  if (!BackImage().Empty() && backImageInside_) {
    Rect inside = r;
    if (backWall_->Pen().Visible()) {
      ++inside.top;
      --inside.bottom;
    }
    DrawBackPicture(inside, depth);
  }

  if (!walls3D) return;
  const int32_t bottom = ClampToInt(int64_t(r.bottom) + bw);

  PrepareWallCanvas(*leftWall_);
  const int32_t leftSize = leftWall_->Size();
  if (leftSize < 1) {
    c.DrawVerticalPlane(r.left, r.top, bottom, 0, ClampToInt(int64_t(depth) + 1));
  } else {
    c.DrawBox(ClampToInt(int64_t(r.left) - leftSize), r.left, r.top, bottom, 0, depth,
              leftWall_->IsDark());
  }

  PrepareWallCanvas(*bottomWall_);
  const int32_t bottomSize = bottomWall_->Size();
  if (bottomSize < 1) {
    c.DrawHorizontalPlane(r.left, r.right, r.bottom, 0, depth);
  } else {
    c.DrawBox(r.left, r.right, r.bottom, ClampToInt(int64_t(r.bottom) + bottomSize), 0, depth,
              bottomWall_->IsDark());
  }
}

// ---- axis scales ---------------------------------------------------------------------------

void TCustomChart::SaveAxisLimits() {
  const TCustomChartAxis* axes[4] = {&TopAxis(), &BottomAxis(), &LeftAxis(), &RightAxis()};
  for (int i = 0; i < 4; ++i) {
    TAxisSavedScales& s = savedScales_[i];
    s.automatic = axes[i]->Automatic();
    s.automaticMinimum = axes[i]->AutomaticMinimum();
    s.automaticMaximum = axes[i]->AutomaticMaximum();
    s.minimum = axes[i]->Minimum();
    s.maximum = axes[i]->Maximum();
  }
  restored_ = false;
}

void TCustomChart::RestoreAxisLimits() {
  TCustomChartAxis* axes[4] = {&TopAxis(), &BottomAxis(), &LeftAxis(), &RightAxis()};
  for (int i = 0; i < 4; ++i) {
    const TAxisSavedScales& s = savedScales_[i];
    TCustomChartAxis& axis = *axes[i];
    axis.SetAutomatic(s.automatic);
    axis.SetAutomaticMinimum(s.automaticMinimum);
    axis.SetAutomaticMaximum(s.automaticMaximum);
    if (!s.automatic) SetLimits(axis, s.minimum, s.maximum);
  }
}

void TCustomChart::RestoreAxisScales() {
  if (restored_) return;
  RepaintBatch batch(*this);
  RestoreAxisLimits();
  restored_ = true;
}

void TCustomChart::ZoomToRect() {
  TZoomPanningRecord& z = Zoom();
  z.Normalise();
  if (restored_) SaveAxisLimits();
  TCustomChartAxis* axes[4] = {&TopAxis(), &BottomAxis(), &LeftAxis(), &RightAxis()};
  double targetMin[4], targetMax[4], minimum[4], maximum[4];
  for (int i = 0; i < 4; ++i) {
    TCustomChartAxis& axis = *axes[i];
    double a, b;
    if (axis.Horizontal()) {
      a = axis.PixelToValue(z.X0);
      b = axis.PixelToValue(z.X1);
    } else {
      a = axis.PixelToValue(z.Y1);
      b = axis.PixelToValue(z.Y0);
    }
    targetMin[i] = std::min(a, b);
    targetMax[i] = std::max(a, b);
    // The animation starts from what is on the screen.
    minimum[i] = axis.IMinimum();
    maximum[i] = axis.IMaximum();
  }
  if (AnimatedZoom()) {
    for (int32_t step = 1; step < AnimatedZoomSteps(); ++step) {
      {
        RepaintBatch batch(*this);
        for (int i = 0; i < 4; ++i) {
          maximum[i] -= (maximum[i] - targetMax[i]) / 3;
          minimum[i] += (targetMin[i] - minimum[i]) / 3;
          axes[i]->SetMinMax(minimum[i], maximum[i]);
        }
      }
      Canvas().MarkDirty();
      RefreshWindow();
    }
  }
  {
    RepaintBatch batch(*this);
    for (int i = 0; i < 4; ++i) axes[i]->SetMinMax(targetMin[i], targetMax[i]);
  }
  SetZoomed(true);
  if (OnZoom) OnZoom();
  RequestRepaint();
}

// ---- mouse ---------------------------------------------------------------------------------

TChartClickedPart TCustomChart::PartAt(int32_t x, int32_t y, TChartSeries** series,
                                       int32_t* valueIndex, TChartAxis** axis) {
  const TChartSeriesList& list = SeriesList();
  for (int32_t i = list.Count() - 1; i >= 0; --i) {
    TChartSeries& s = list[i];
    if (!s.Active()) continue;
    const int32_t index = s.Clicked(x, y);
    if (index != -1) {
      if (series) *series = &s;
      if (valueIndex) *valueIndex = index;
      return TChartClickedPart::cpSeries;
    }
  }
  for (TCustomChartAxis* a : AxesList()) {
    if (a->HitTest(x, y)) {
      if (axis) *axis = static_cast<TChartAxis*>(a);
      return TChartClickedPart::cpAxis;
    }
  }
  if (title_->Clicked(x, y)) return TChartClickedPart::cpTitle;
  if (foot_->Clicked(x, y)) return TChartClickedPart::cpFoot;
  if (CountActiveSeries() > 0 && PointInRect(ChartRect(), x, y)) {
    return TChartClickedPart::cpChartRect;
  }
  // The legend is drawn only with active series; its rectangle is that of its last drawing.
  if (legend_->Visible() && CountActiveSeries() > 0 && PointInRect(legend_->RectLegend(), x, y)) {
    return TChartClickedPart::cpLegend;
  }
  return TChartClickedPart::cpNone;
}

template <typename Fire>
bool TCustomChart::FireStoppable(bool assigned, Fire&& fire) {
  if (!assigned) return false;
  SetCancelMouse(true);
  fire();
  return CancelMouse();
}

bool TCustomChart::CheckZoomPanning(platform::MouseButton button, int32_t x, int32_t y) {
  if (AllowZoom() && button == platform::MouseButton::Left) {
    SetCursor(crDefault);
    Zoom().Activate(x, y);
    DrawZoomRectangle();
    return true;
  }
  if (AllowPanning() != TPanningMode::pmNone && button == platform::MouseButton::Right) {
    Panning().Activate(x, y);
    return true;
  }
  return false;
}

void TCustomChart::MouseDown(platform::MouseButton button, platform::ShiftState shift, int32_t x,
                             int32_t y) {
  if (Zoom().Active || Panning().Active || CancelMouse()) return;
  TChartSeries* series = nullptr;
  int32_t valueIndex = -1;
  TChartAxis* axis = nullptr;
  const TChartClickedPart part = PartAt(x, y, &series, &valueIndex, &axis);
  bool stopped = false;
  bool dragging = false;
  bool backgroundFired = false;
  switch (part) {
    case TChartClickedPart::cpLegend:
      stopped =
          FireStoppable(bool(OnClickLegend), [&] { OnClickLegend(*this, button, shift, x, y); });
      break;
    case TChartClickedPart::cpAxis:
      stopped =
          FireStoppable(bool(OnClickAxis), [&] { OnClickAxis(*this, *axis, button, shift, x, y); });
      if (!stopped) dragging = CheckZoomPanning(button, x, y);
      break;
    case TChartClickedPart::cpSeries:
      stopped = FireStoppable(bool(series->OnClick),
                              [&] { series->ClickAt(false, button, shift, x, y); });
      if (!stopped) {
        stopped = FireStoppable(bool(OnClickSeries), [&] {
          OnClickSeries(*this, *series, valueIndex, button, shift, x, y);
        });
      }
      if (!stopped) dragging = CheckZoomPanning(button, x, y);
      break;
    case TChartClickedPart::cpChartRect:
      stopped = FireStoppable(bool(OnClickBackground),
                              [&] { OnClickBackground(*this, button, shift, x, y); });
      backgroundFired = bool(OnClickBackground);
      if (!stopped) dragging = CheckZoomPanning(button, x, y);
      break;
    case TChartClickedPart::cpTitle:
    case TChartClickedPart::cpFoot:
    case TChartClickedPart::cpNone:
      break;
  }
  // A click on the background itself has had its event already.
  if (!stopped && !dragging && !backgroundFired) {
    FireStoppable(bool(OnClickBackground), [&] { OnClickBackground(*this, button, shift, x, y); });
  }
  SetCancelMouse(false);
}

void TCustomChart::PanAxes(bool horizontal, int32_t from, int32_t to) {
  for (TCustomChartAxis* a : AxesList()) {
    if (a->IsDepthAxis() || a->Horizontal() != horizontal) continue;
    const double delta = a->PixelToValue(from) - a->PixelToValue(to);
    double aMin = a->IMinimum() + delta;
    double aMax = a->IMaximum() + delta;
    bool allow = true;
    if (OnAllowScroll) OnAllowScroll(static_cast<TChartAxis&>(*a), aMin, aMax, allow);
    if (allow) a->SetMinMax(aMin, aMax);
  }
}

void TCustomChart::UpdateSeriesCursor(int32_t x, int32_t y) {
  const TChartSeries* under = nullptr;
  for (TChartSeries* s : SeriesList()) {
    if (s->Active() && s->Cursor() != crDefault && s->Clicked(x, y) != -1) {
      under = s;
      break;
    }
  }
  cursorSeries_ = under;
  SetCursor(under ? under->Cursor() : SavedCursor());
}

void TCustomChart::MouseMove(platform::ShiftState shift, int32_t x, int32_t y) {
  if (IsDesigning()) return;
  TZoomPanningRecord& zoom = Zoom();
  TZoomPanningRecord& pan = Panning();
  if (zoom.Active) {
    DrawZoomRectangle();
    zoom.X1 = x;
    zoom.Y1 = y;
    DrawZoomRectangle();
  } else if (pan.Active) {
    if (!PointInRect(ChartRect(), x, y)) {
      pan.Active = false;
    } else if (x != pan.X1 || y != pan.Y1) {
      if (restored_) SaveAxisLimits();
      const TPanningMode mode = AllowPanning();
      {
        RepaintBatch batch(*this);
        if ((mode == TPanningMode::pmHorizontal || mode == TPanningMode::pmBoth) && x != pan.X1) {
          PanAxes(true, pan.X1, x);
        }
        if ((mode == TPanningMode::pmVertical || mode == TPanningMode::pmBoth) && y != pan.Y1) {
          PanAxes(false, pan.Y1, y);
        }
      }
      pan.X1 = x;
      pan.Y1 = y;
      if (OnScroll) OnScroll();
      RequestRepaint();
    }
  } else {
    UpdateSeriesCursor(x, y);
  }
  // A series may leave the chart from its handler.
  const std::vector<TChartSeries*> series(SeriesList().begin(), SeriesList().end());
  for (TChartSeries* s : series) {
    if (SeriesList().Contains(*s)) s->MouseMove(shift, x, y);
  }
}

void TCustomChart::MouseUp(platform::MouseButton button, platform::ShiftState shift, int32_t x,
                           int32_t y) {
  const std::vector<TChartSeries*> series(SeriesList().begin(), SeriesList().end());
  for (TChartSeries* s : series) {
    if (SeriesList().Contains(*s)) s->MouseUp(button, shift, x, y);
  }
  TZoomPanningRecord& zoom = Zoom();
  if (zoom.Active && button == platform::MouseButton::Left) {
    DrawZoomRectangle();
    Canvas().SetPenMode(TPenMode::pmCopy);
    zoom.X1 = x;
    zoom.Y1 = y;
    zoom.Active = false;
    if (std::abs(int64_t(zoom.X1) - zoom.X0) > kMinZoomDrag &&
        std::abs(int64_t(zoom.Y1) - zoom.Y0) > kMinZoomDrag) {
      if (zoom.X0 < zoom.X1 && zoom.Y0 < zoom.Y1) {
        ZoomToRect();
      } else {
        UndoZoom();
      }
    } else {
      RequestRepaint();
    }
  }
  Panning().Active = false;
}

void TCustomChart::MouseWheel(int32_t delta, platform::ShiftState /*shift*/, int32_t /*x*/,
                              int32_t /*y*/) {
  if (delta == 0) return;
  {
    RepaintBatch batch(*this);
    // Scroll from the data's present range, even when nothing has been painted since the
    // data changed (or at all).
    ComputeAxesRanges();
    for (TCustomChartAxis* a : AxesList()) {
      if (!a->Vertical()) continue;
      const double amount = (a->Maximum() - a->Minimum()) * kWheelScrollFraction;
      a->ScrollBy(delta < 0 ? amount : -amount, false);
    }
  }
  RequestRepaint();
}

void TCustomChart::MouseLeave() {
  cursorSeries_ = nullptr;
  SetCursor(SavedCursor());
  Panning().Active = false;
}

// ---- registry of series kinds ----------------------------------------------------------------

namespace {

std::vector<TSeriesKind>& Registry() {
  static std::vector<TSeriesKind> kinds = [] {
    std::vector<TSeriesKind> list;
    // The chart's own functions.
    const auto function = [&](const char* name, auto make) {
      TSeriesKind kind;
      kind.functionClass = std::string("T") + name + "ZidFunction";
      kind.createFunction = make;
      kind.description = name;
      kind.galleryPage = "Functions";
      kind.numGallerySeries = 2;
      list.push_back(std::move(kind));
    };
    function("Add", [] { return std::make_unique<TAddZidFunction>(); });
    function("Subtract", [] { return std::make_unique<TSubtractZidFunction>(); });
    function("Multiply", [] { return std::make_unique<TMultiplyZidFunction>(); });
    function("Divide", [] { return std::make_unique<TDivideZidFunction>(); });
    function("High", [] { return std::make_unique<THighZidFunction>(); });
    function("Low", [] { return std::make_unique<TLowZidFunction>(); });
    function("Average", [] { return std::make_unique<TAverageZidFunction>(); });
    // The series kinds, in the gallery's order.
    const auto standard = [&](const char* cls, const char* description, int32_t gallerySeries,
                              auto make) {
      TSeriesKind kind;
      kind.seriesClass = cls;
      kind.createSeries = make;
      kind.description = description;
      kind.galleryPage = "Standard";
      kind.numGallerySeries = gallerySeries;
      list.push_back(std::move(kind));
    };
    standard("TLineSeries", "Line", 2, [] { return std::make_unique<TLineSeries>(); });
    standard("TBarSeries", "Bar", 2, [] { return std::make_unique<TBarSeries>(); });
    standard("THorizBarSeries", "Horiz. Bar", 2,
             [] { return std::make_unique<THorizBarSeries>(); });
    standard("TAreaSeries", "Area", 2, [] { return std::make_unique<TAreaSeries>(); });
    standard("TPointSeries", "Point", 2, [] { return std::make_unique<TPointSeries>(); });
    standard("TPieSeries", "Pie", 1, [] { return std::make_unique<TPieSeries>(); });
    standard("TFastLineSeries", "Fast Line", 2, [] { return std::make_unique<TFastLineSeries>(); });
    return list;
  }();
  return kinds;
}

}  // namespace

void RegisterSeriesKind(TSeriesKind kind) {
  constexpr size_t kMaxText = 20;
  if (kind.description.size() > kMaxText) kind.description.resize(kMaxText);
  if (kind.galleryPage.size() > kMaxText) kind.galleryPage.resize(kMaxText);
  std::vector<TSeriesKind>& kinds = Registry();
  for (const TSeriesKind& k : kinds) {
    if (k.seriesClass == kind.seriesClass && k.functionClass == kind.functionClass) return;
  }
  kinds.push_back(std::move(kind));
}

const std::vector<TSeriesKind>& SeriesKinds() {
  return Registry();
}

const TSeriesKind* FindSeriesKind(const std::string& seriesClass) {
  for (const TSeriesKind& k : Registry()) {
    if (k.seriesClass == seriesClass && k.functionClass.empty()) return &k;
  }
  return nullptr;
}

std::unique_ptr<TChartSeries> CreateSeriesByClass(const std::string& seriesClass) {
  const TSeriesKind* kind = FindSeriesKind(seriesClass);
  if (!kind || !kind->createSeries) return nullptr;
  return kind->createSeries();
}

}  // namespace zq
