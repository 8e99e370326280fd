// TCustomChart / TChart: the complete chart control. It adds the walls, the titles and the
// legend to the axis panel, lays them out in the painting pass, keeps the axis scales that a
// zoom or a pan replaced, and turns mouse input into clicks, zooming, panning and scrolling.
// The registry of series kinds lets callers create series by class name.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/chart/axis_panel.h"
#include "engine/chart/legend.h"
#include "engine/chart/walls_titles.h"
#include "platform/window_system.h"

namespace zq {

class TCustomChart;

// Pixels a zoom drag must exceed both ways before it zooms or undoes the zoom.
inline constexpr int32_t kMinZoomDrag = 16;
// Share of a vertical axis' range that one wheel notch scrolls.
inline constexpr double kWheelScrollFraction = 0.03;

using TChartAllowScrollEvent =
    std::function<void(TChartAxis& sender, double& aMin, double& aMax, bool& allowScroll)>;
using TChartClickAxis =
    std::function<void(TCustomChart& sender, TChartAxis& axis, platform::MouseButton button,
                       platform::ShiftState shift, int32_t x, int32_t y)>;
using TChartClick = std::function<void(TCustomChart& sender, platform::MouseButton button,
                                       platform::ShiftState shift, int32_t x, int32_t y)>;
using TChartClickSeries = std::function<void(TCustomChart& sender, TChartSeries& series,
                                             int32_t valueIndex, platform::MouseButton button,
                                             platform::ShiftState shift, int32_t x, int32_t y)>;
using TOnGetLegendPos = std::function<void(TCustomChart& sender, int32_t index, int32_t& x,
                                           int32_t& y, int32_t& xColor)>;
using TOnGetLegendRect = std::function<void(TCustomChart& sender, Rect& rect)>;
using TOnGetLegendText = std::function<void(TCustomAxisPanel& sender, TLegendStyle legendStyle,
                                            int32_t index, std::string& legendText)>;

// The limits of one axis before a zoom or pan changed them.
struct TAxisSavedScales {
  bool automatic = true;
  bool automaticMinimum = true;
  bool automaticMaximum = true;
  double minimum = 0;
  double maximum = 0;
};

// The part of the chart a click found.
enum class TChartClickedPart { cpNone, cpSeries, cpAxis, cpTitle, cpFoot, cpChartRect, cpLegend };

class TCustomChart : public TCustomAxisPanel, public TLegendOwner {
 public:
  TCustomChart();
  ~TCustomChart() override;

  // ---- furniture ---------------------------------------------------------------------------
  bool BackImageInside() const { return backImageInside_; }
  void SetBackImageInside(bool value) { SetProperty(backImageInside_, value); }
  TChartWall& BackWall() { return *backWall_; }
  const TChartWall& BackWall() const { return *backWall_; }
  void SetBackWall(const TCustomChartWall& value) { backWall_->Assign(value); }
  TChartWall& BottomWall() { return *bottomWall_; }
  const TChartWall& BottomWall() const { return *bottomWall_; }
  void SetBottomWall(const TCustomChartWall& value) { bottomWall_->Assign(value); }
  TChartWall& LeftWall() { return *leftWall_; }
  const TChartWall& LeftWall() const { return *leftWall_; }
  void SetLeftWall(const TCustomChartWall& value) { leftWall_->Assign(value); }
  TChartTitle& Title() { return *title_; }
  const TChartTitle& Title() const { return *title_; }
  void SetTitle(const TChartTitle& value) { title_->Assign(value); }
  TChartTitle& Foot() { return *foot_; }
  const TChartTitle& Foot() const { return *foot_; }
  void SetFoot(const TChartTitle& value) { foot_->Assign(value); }
  TChartLegend& Legend() { return *legend_; }
  const TChartLegend& Legend() const { return *legend_; }
  void SetLegend(const TChartLegend& value) { legend_->Assign(value); }
  // The back wall's outline.
  TChartPen& Frame() { return backWall_->Pen(); }
  void SetFrame(const TChartPen& value) { backWall_->SetPen(value); }
  // The back wall's colour; setting it (outside loading) also fills the back wall.
  TColor BackColor() const override { return backWall_->Color(); }
  void SetBackColor(TColor value);

  // ---- events ------------------------------------------------------------------------------
  TChartAllowScrollEvent OnAllowScroll;
  TChartClickAxis OnClickAxis;
  TChartClick OnClickBackground;
  TChartClick OnClickLegend;
  TChartClickSeries OnClickSeries;
  TOnGetLegendPos OnGetLegendPos;
  TOnGetLegendRect OnGetLegendRect;
  TOnGetLegendText OnGetLegendText;

  // ---- queries -----------------------------------------------------------------------------
  TChartSeries* FirstActiveSeries() const { return zq::FirstActiveSeries(SeriesList()); }
  // The legend's text for an item, through OnGetLegendText.
  std::string LegendItemText(int32_t index) const { return legend_->ItemText(index); }
  std::string LegendValueText(TChartSeries& series, int32_t valueIndex) override {
    return legend_->ValueText(series, valueIndex);
  }
  bool ColorIsUnused(TColor color, bool checkBackground) const override;
  // The frame and the back wall's fill go with the axes.
  void SetCircledView(bool circled) override;
  int32_t WallSize(const TCustomChartAxis& axis) const override;
  bool TitleHitTest(int32_t x, int32_t y) const { return title_->Clicked(x, y); }
  // The part under (x, y), in the order a click looks for it; series and axis hits tell
  // which series (and point) or axis.
  TChartClickedPart PartAt(int32_t x, int32_t y, TChartSeries** series = nullptr,
                           int32_t* valueIndex = nullptr, TChartAxis** axis = nullptr);

  // ---- axis scales -------------------------------------------------------------------------
  void SaveAxisLimits();
  void RestoreAxisLimits();
  // Whether the saved scales have been put back (nothing to undo).
  bool AxisLimitsRestored() const { return restored_; }
  // Zooms the four standard axes to the zoom record's rectangle (animated when asked).
  virtual void ZoomToRect();
  // Series that may feed `series` (none here).
  virtual void FillSeriesSourceItems(TChartSeries& /*series*/,
                                     const std::function<void(const std::string&)>& /*add*/) {}
  // The value lists of the series feeding the list's series.
  virtual void FillValueSourceItems(TChartValueList& list,
                                    const std::function<void(const std::string&)>& add);

  // ---- mouse (the chart window calls these) -------------------------------------------------
  void MouseDown(platform::MouseButton button, platform::ShiftState shift, int32_t x, int32_t y);
  void MouseMove(platform::ShiftState shift, int32_t x, int32_t y);
  void MouseUp(platform::MouseButton button, platform::ShiftState shift, int32_t x, int32_t y);
  // delta > 0: wheel up, < 0: wheel down (the Windows sign).
  void MouseWheel(int32_t delta, platform::ShiftState shift, int32_t x, int32_t y);
  void MouseLeave();

  void Assign(const TCustomZidPanel& source) override;

  // ---- TLegendOwner and TChartHost, served by the panel -------------------------------------
  TChartSeriesList& SeriesList() override { return TCustomAxisPanel::SeriesList(); }
  const TChartSeriesList& SeriesList() const { return TCustomAxisPanel::SeriesList(); }
  TZidCanvas3D& Canvas() override { return TCustomAxisPanel::Canvas(); }
  const TZidCanvas3D& Canvas() const { return TCustomAxisPanel::Canvas(); }
  const Rect& ChartRect() const override { return TCustomAxisPanel::ChartRect(); }
  void SetChartRect(const Rect& value) override { TCustomAxisPanel::SetChartRect(value); }
  const Rect& ChartBounds() const override { return TCustomAxisPanel::ChartBounds(); }
  int32_t ChartWidth() const override { return TCustomAxisPanel::ChartWidth(); }
  int32_t ChartHeight() const override { return TCustomAxisPanel::ChartHeight(); }
  int32_t ChartXCenter() const override { return TCustomAxisPanel::ChartXCenter(); }
  void RecalcWidthHeight() override { TCustomAxisPanel::RecalcWidthHeight(); }
  void SetLegendColor(TColor value) override { TCustomAxisPanel::SetLegendColor(value); }
  void RequestRepaint() override { TCustomAxisPanel::RequestRepaint(); }
  void DoGetLegendText(TLegendStyle style, int32_t index, std::string& text) override;
  void DoGetLegendRect(Rect& rect) override;
  void DoGetLegendPos(int32_t index, int32_t& x, int32_t& y, int32_t& xColor) override;

 protected:
  void DrawBackImage(const Rect& rect) override;
  void PaintTitlesAndLegend() override;
  void ReserveAxisRoom() override;
  void ApplySeriesMargins() override;
  void PaintWalls() override;
  void RestoreAxisScales() override;

 private:
  // Canvas pen and brush for a wall.
  void PrepareWallCanvas(const TCustomChartWall& wall);
  // Panning or zooming may begin; true when one did.
  bool CheckZoomPanning(platform::MouseButton button, int32_t x, int32_t y);
  // Fires a click event with cancel mouse set first; true when the handler stopped the click.
  template <typename Fire>
  bool FireStoppable(bool assigned, Fire&& fire);
  void PanAxes(bool horizontal, int32_t from, int32_t to);
  void UpdateSeriesCursor(int32_t x, int32_t y);

  bool backImageInside_ = false;
  std::unique_ptr<TChartWall> backWall_;
  std::unique_ptr<TChartWall> bottomWall_;
  std::unique_ptr<TChartTitle> foot_;
  std::unique_ptr<TChartWall> leftWall_;
  std::unique_ptr<TChartLegend> legend_;
  std::unique_ptr<TChartTitle> title_;
  bool restored_ = true;
  // Top, bottom, left, right.
  TAxisSavedScales savedScales_[4];
};

class TChart : public TCustomChart {
 public:
  using TCustomChart::TCustomChart;
};

// ---- registry of series kinds ----------------------------------------------------------------

// One kind of series or function the chart can create by class name.
struct TSeriesKind {
  std::string seriesClass;    // empty for a function alone
  std::string functionClass;  // empty for a plain series kind
  std::function<std::unique_ptr<TChartSeries>()> createSeries;
  std::function<std::unique_ptr<TZidFunction>()> createFunction;
  std::string description;  // up to 20 characters
  std::string galleryPage;  // up to 20 characters
  int32_t numGallerySeries = 1;
};

// Registers a kind; a pair of series and function classes already listed is left alone.
void RegisterSeriesKind(TSeriesKind kind);
// Every registered kind, in registration order (the chart's own entries first).
const std::vector<TSeriesKind>& SeriesKinds();
// The kind of a series class without function, or null.
const TSeriesKind* FindSeriesKind(const std::string& seriesClass);
// A new series of a registered class (with its function, if the kind has one), or null.
std::unique_ptr<TChartSeries> CreateSeriesByClass(const std::string& seriesClass);

}  // namespace zq
