// TCustomAxisPanel: the chart panel that has series and axes. It owns the series list and the
// five axes, hands out z orders and depths, and runs the drawing pipeline of one paint. The
// layout steps that need walls, titles and the legend are left to the chart class.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/axes/axis.h"
#include "engine/axes/chart_host.h"
#include "engine/drawing/panel.h"
#include "engine/series/series.h"
#include "platform/locale.h"

namespace zq {

class TCustomAxisPanel;

inline constexpr const char* kMsgMaxPointsPerPage = "MaxPointsPerPage must be >= 0";

using TChartPanelEvent = std::function<void(TCustomAxisPanel& sender)>;

class TCustomAxisPanel : public TCustomZidPanelExtended, public TChartHost {
 public:
  TCustomAxisPanel();
  ~TCustomAxisPanel() override;

  // ---- series ------------------------------------------------------------------------------
  TChartSeriesList& SeriesList() override { return seriesList_; }
  const TChartSeriesList& SeriesList() const { return seriesList_; }
  int32_t SeriesCount() const { return seriesList_.Count(); }
  TChartSeries& Series(int32_t index) const { return seriesList_[index]; }
  // Takes ownership of a series and joins it to the chart (at the end of the list).
  TChartSeries& AddSeries(std::unique_ptr<TChartSeries> series);
  template <typename T, typename... Args>
  T& AddSeries(Args&&... args) {
    auto series = std::make_unique<T>(std::forward<Args>(args)...);
    T& ref = *series;
    AddSeries(std::unique_ptr<TChartSeries>(std::move(series)));
    return ref;
  }
  // The series leaves the chart; a series the chart owns is freed as well.
  void FreeSeries(TChartSeries& series);
  // Whether the chart owns (and will free) the series.
  bool OwnsSeries(const TChartSeries& series) const;
  int32_t CountActiveSeries() const { return seriesList_.CountActive(); }
  // The first series bound to the axis: an active one, else any; null when none.
  TChartSeries* GetAxisSeries(const TCustomChartAxis& axis) const;
  // Points of the longest active series.
  int32_t GetMaxValuesCount() const;
  // The index-th (0-based) active series that shows in the legend, or null.
  TChartSeries* SeriesLegend(int32_t index) const;
  // Its legend title: Title, else the name, else "Series " and the index.
  std::string SeriesTitleLegend(int32_t index) const;
  // Widest point label of all series and widest mark text of the active series, in the
  // canvas' current font.
  int32_t MaxTextWidth();
  int32_t MaxMarkWidth();

  // ---- axes --------------------------------------------------------------------------------
  TChartAxis& LeftAxis() override { return leftAxis_; }
  TChartAxis& RightAxis() override { return rightAxis_; }
  TChartAxis& TopAxis() override { return topAxis_; }
  TChartAxis& BottomAxis() override { return bottomAxis_; }
  TChartDepthAxis& DepthAxis() override { return depthAxis_; }
  const TChartAxis& LeftAxis() const { return leftAxis_; }
  const TChartAxis& RightAxis() const { return rightAxis_; }
  const TChartAxis& TopAxis() const { return topAxis_; }
  const TChartAxis& BottomAxis() const { return bottomAxis_; }
  const TChartDepthAxis& DepthAxis() const { return depthAxis_; }
  // Setting an axis copies it into the owned one.
  void SetLeftAxis(const TCustomChartAxis& value) { leftAxis_.Assign(value); }
  void SetRightAxis(const TCustomChartAxis& value) { rightAxis_.Assign(value); }
  void SetTopAxis(const TCustomChartAxis& value) { topAxis_.Assign(value); }
  void SetBottomAxis(const TCustomChartAxis& value) { bottomAxis_.Assign(value); }
  void SetDepthAxis(const TCustomChartAxis& value) { depthAxis_.Assign(value); }
  // Bottom, top, left, right, depth: the order of layout and drawing.
  const std::vector<TCustomChartAxis*>& AxesList() const { return axes_; }

  bool AxisVisible() const override { return axisVisible_; }
  void SetAxisVisible(bool value) { SetProperty(axisVisible_, value); }
  bool ClipPoints() const { return clipPoints_; }
  void SetClipPoints(bool value) { SetProperty(clipPoints_, value); }
  bool View3DWalls() const { return view3DWalls_; }
  void SetView3DWalls(bool value) { SetProperty(view3DWalls_, value); }

  // ---- paging ------------------------------------------------------------------------------
  int32_t MaxPointsPerPage() const override { return maxPointsPerPage_; }
  // Raises ChartException below 0; a page beyond the new page count moves to the last page.
  void SetMaxPointsPerPage(int32_t value);
  int32_t Page() const override { return page_; }
  // Clamped to 1..NumPages.
  virtual void SetPage(int32_t value);
  bool ScaleLastPage() const override { return scaleLastPage_; }
  void SetScaleLastPage(bool value) { SetProperty(scaleLastPage_, value); }
  int32_t NumPages() const;
  void NextPage() { SetPage(page_ + 1); }
  void PreviousPage() { SetPage(page_ - 1); }

  // ---- z order and 3D sizes ----------------------------------------------------------------
  int32_t MaxZOrder() const override { return maxZOrder_; }
  void SetMaxZOrder(int32_t value) override { maxZOrder_ = value; }
  // Depth and height of one z-order slot this paint.
  int32_t SeriesWidth3D() const { return seriesWidth3D_; }
  int32_t SeriesHeight3D() const { return seriesHeight3D_; }
  // Every active series takes its z order; the first series of the list lies deepest.
  void CalcZOrders();
  // Slot and total 3D sizes from the chart rectangle's width.
  void CalcSize3D();

  // ---- events ------------------------------------------------------------------------------
  TChartPanelEvent OnBeforeDrawAxes;
  TChartPanelEvent OnBeforeDrawSeries;
  TNotifyEvent OnPageChange;
  TAxisOnGetLabel OnGetAxisLabelEvent;
  TAxisOnGetNextLabel OnGetNextAxisLabelEvent;
  const TAxisOnGetLabel& OnGetAxisLabel() const override { return OnGetAxisLabelEvent; }
  const TAxisOnGetNextLabel& OnGetNextAxisLabel() const override { return OnGetNextAxisLabelEvent; }

  // ---- TChartHost: the panel's state -------------------------------------------------------
  TZidCanvas3D& Canvas() override { return TCustomZidPanel::Canvas(); }
  const TZidCanvas3D& Canvas() const { return TCustomZidPanel::Canvas(); }
  const platform::LocaleSettings& Locale() const override { return locale_; }
  void SetLocale(const platform::LocaleSettings& value);
  const platform::Rect& ChartRect() const override { return TCustomZidPanel::ChartRect(); }
  int32_t Width3D() const override { return TCustomZidPanel::Width3D(); }
  int32_t AxisWallSize(const TCustomChartAxis& axis) const override { return WallSize(axis); }
  TColor Color() const override { return TCustomZidPanel::Color(); }
  TColor BackColor() const override { return clDefault; }
  TColor LegendColor() const override { return legendColor_; }
  void SetLegendColor(TColor value) { legendColor_ = value; }
  bool View3D() const override { return TCustomZidPanel::View3D(); }
  TView3DOptions& View3DOptions() { return TCustomZidPanel::View3DOptions(); }
  const TView3DOptions& View3DOptions() const override { return TCustomZidPanel::View3DOptions(); }
  bool ApplyZOrder() const override { return TCustomZidPanel::ApplyZOrder(); }
  std::string FormattedLegendValue(TChartSeries& series, int32_t valueIndex) override {
    return LegendValueText(series, valueIndex);
  }
  // Nothing while the chart is being destroyed: series leaving it need no repaint.
  void RequestRepaint() override {
    if (!destroying_) TCustomZidPanel::RequestRepaint();
  }
  void SeriesAdded(TChartSeries& series) override;
  void SeriesRemoved(TChartSeries& series) override;
  // Axes, clipping, walls, zooming and panning go off for a pie and come back after it.
  void SetCircledView(bool circled) override;
  bool IsLoading() const override { return TCustomZidPanel::IsLoading(); }
  bool IsDesigning() const override { return TCustomZidPanel::IsDesigning(); }
  bool IsDestroying() const override { return destroying_; }

  // ---- cursor ------------------------------------------------------------------------------
  // The mouse cursor the chart shows; the window applies it.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  std::function<void(TCursor)> OnCursorChange;

  // ---- virtual operations supplied by the chart class --------------------------------------
  // Wall thickness next to an axis (0 here).
  virtual int32_t WallSize(const TCustomChartAxis& /*axis*/) const { return 0; }
  // The legend's text of one value of a series (empty here).
  virtual std::string LegendValueText(TChartSeries& /*series*/, int32_t /*valueIndex*/) {
    return {};
  }
  // Whether a colour is free for a new series.
  virtual bool ColorIsUnused(TColor color, bool checkBackground) const = 0;
  // Whether a component may feed a series.
  virtual bool IsValidDataSource(const TChartSeries& series, const TComponent& component) const;

  // Draws one series (or, in 3D, the group of series sharing its z order).
  void DrawSeries(TChartSeries& series);

  void Assign(const TCustomZidPanel& source) override;

 protected:
  // The paint body.
  void DrawChartContent(const Rect& bounds) override;

  // Layout and furniture, in the order of a painting pass.
  virtual void PaintTitlesAndLegend() = 0;
  virtual void ReserveAxisRoom() = 0;
  virtual void ApplySeriesMargins() = 0;
  virtual void PaintWalls() = 0;
  // Draws one visible axis.
  virtual void PaintAxis(TCustomChartAxis& axis);

  // Shared layout steps for the chart class: every visible axis reserves its room in rect
  // (kept only while it leaves a rectangle that is not empty); every axis takes its range;
  // every axis takes its pixel positions; the margins of the active series widen the four
  // standard axes.
  void ReserveAxesSpace(Rect& rect);
  void ComputeAxesRanges();
  void ComputeAxesPositions();
  void AdjustAxesForSeriesMargins();

  // Frees every series (each leaving the list first); the destructors of derived charts call
  // it so that series never see a half-destroyed chart.
  void FreeAllSeries();

 private:
  void DrawOneSeries(TChartSeries& series);
  void DrawSeriesGroup(TChartSeries& first);
  void ClipSeries();
  void SetSeriesDepths();
  void AdjustAxisForMargins(TCustomChartAxis& axis);

  TChartSeriesList seriesList_;
  std::vector<std::unique_ptr<TChartSeries>> ownedSeries_;
  TChartAxis bottomAxis_;
  TChartAxis topAxis_;
  TChartAxis leftAxis_;
  TChartAxis rightAxis_;
  TChartDepthAxis depthAxis_;
  std::vector<TCustomChartAxis*> axes_;
  platform::LocaleSettings locale_;

  bool axisVisible_ = true;
  bool clipPoints_ = true;
  bool view3DWalls_ = true;
  int32_t maxPointsPerPage_ = 0;
  int32_t page_ = 1;
  bool scaleLastPage_ = true;
  int32_t maxZOrder_ = 0;
  int32_t seriesWidth3D_ = 0;
  int32_t seriesHeight3D_ = 0;
  TColor legendColor_ = clDefault;
  TCursor cursor_ = crDefault;
  // The cursor shown is that of a series under the mouse.
  const TChartSeries* cursorSeries_ = nullptr;
  bool destroying_ = false;

  friend class TCustomChart;
};

}  // namespace zq
