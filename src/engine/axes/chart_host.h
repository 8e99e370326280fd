// TChartHost: what series and axes need of the chart they belong to. The axis panel implements
// it; series and axes never see more of the chart than this. Where the panel already has an
// accessor (Color, View3D, Canvas, ChartRect, Width3D, ApplyZOrder, IsLoading, ...) the name and
// signature are the same, so the axis panel's override just forwards to it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/drawing/color.h"
#include "platform/geometry.h"
#include "platform/locale.h"

namespace zq {

class TChartSeries;
class TChartSeriesList;
class TCustomChartAxis;
class TView3DOptions;
class TZidCanvas3D;

// The chart may change a label text. `series` is the series whose point gives the label, or
// null for a value label; `valueIndex` is that point's index, or -1.
using TAxisOnGetLabel = std::function<void(TCustomChartAxis& sender, TChartSeries* series,
                                           int32_t valueIndex, std::string& labelText)>;
// The chart may supply its own label values: asked with labelIndex 0, 1, 2, ... it sets
// labelValue and clears stop while it has values. `stop` arrives set.
using TAxisOnGetNextLabel = std::function<void(TCustomChartAxis& sender, int32_t labelIndex,
                                               double& labelValue, bool& stop)>;

class TChartHost {
 public:
  // ---- parts -------------------------------------------------------------------------------
  // The chart's series in drawing order. Series add and remove themselves (ParentChart).
  virtual TChartSeriesList& SeriesList() = 0;
  virtual TCustomChartAxis& LeftAxis() = 0;
  virtual TCustomChartAxis& RightAxis() = 0;
  virtual TCustomChartAxis& TopAxis() = 0;
  virtual TCustomChartAxis& BottomAxis() = 0;
  virtual TCustomChartAxis& DepthAxis() = 0;
  virtual TZidCanvas3D& Canvas() = 0;
  virtual const platform::LocaleSettings& Locale() const = 0;

  // ---- layout of the current paint ---------------------------------------------------------
  // The plotting area.
  virtual const platform::Rect& ChartRect() const = 0;
  // Total depth of the 3D chart in pixels (0 in 2D).
  virtual int32_t Width3D() const = 0;
  // Size of the wall lying next to the axis, in pixels (0 when none takes room).
  virtual int32_t AxisWallSize(const TCustomChartAxis& axis) const = 0;

  // ---- appearance --------------------------------------------------------------------------
  virtual TColor Color() const = 0;
  // The back wall's colour: new series avoid it as well as Color.
  virtual TColor BackColor() const = 0;
  // Background of the legend's colour boxes this paint; clDefault for the chart's Color.
  virtual TColor LegendColor() const = 0;
  virtual bool View3D() const = 0;
  virtual const TView3DOptions& View3DOptions() const = 0;
  // False hides every axis.
  virtual bool AxisVisible() const = 0;
  // Whether series at different z orders get separate depths.
  virtual bool ApplyZOrder() const = 0;

  // ---- paging ------------------------------------------------------------------------------
  // 0: no paging.
  virtual int32_t MaxPointsPerPage() const = 0;
  // 1-based.
  virtual int32_t Page() const = 0;
  virtual bool ScaleLastPage() const = 0;

  // ---- z order -----------------------------------------------------------------------------
  // Highest z order handed out this paint; series raise it in AssignZOrder.
  virtual int32_t MaxZOrder() const = 0;
  virtual void SetMaxZOrder(int32_t value) = 0;

  // ---- events and texts --------------------------------------------------------------------
  virtual const TAxisOnGetLabel& OnGetAxisLabel() const = 0;
  virtual const TAxisOnGetNextLabel& OnGetNextAxisLabel() const = 0;
  // The legend's text for one point of a series (marks in the legend style show it).
  virtual std::string FormattedLegendValue(TChartSeries& series, int32_t valueIndex) = 0;

  // ---- notifications -----------------------------------------------------------------------
  // Invalidates the chart window; the chart is redrawn on the next paint.
  virtual void RequestRepaint() = 0;
  // Called after a series has joined SeriesList (it already has its colour).
  virtual void SeriesAdded(TChartSeries& /*series*/) {}
  // Called after a series has left SeriesList: the chart forgets it (cursor, links).
  virtual void SeriesRemoved(TChartSeries& /*series*/) {}
  // A series drawn without axes (a pie) joined the chart or became active (true), or left it
  // or became inactive (false): the chart hides or shows its axes, walls and frame, stops or
  // allows zooming and panning, and takes the view that such series are seen in.
  virtual void SetCircledView(bool /*circled*/) {}

  // ---- state -------------------------------------------------------------------------------
  // Reading a form resource: range checks are skipped and flags are stored as read.
  virtual bool IsLoading() const { return false; }
  // Being edited in a designer: new series get sample values.
  virtual bool IsDesigning() const { return false; }
  // The chart is being destroyed: series clearing themselves do not repaint it.
  virtual bool IsDestroying() const { return false; }

 protected:
  ~TChartHost() = default;
};

}  // namespace zq
