// TChartSeries, the base of every series: value lists, per-point colours and labels, marks,
// the chart and axes it is bound to, z order and data-source links. TChartSeriesList is the
// chart's list of series; TZidFunction fills a series from other series.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <typeinfo>
#include <vector>

#include "engine/axes/chart_host.h"
#include "engine/data/value_list.h"
#include "engine/drawing/color.h"
#include "engine/drawing/pens.h"
#include "engine/series/marks.h"
#include "platform/geometry.h"
#include "platform/window_system.h"

namespace zq {

class TChartSeries;
class TCustomChartAxis;

enum class THorizAxis { aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis };
enum class TVertAxis { aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis };

// How the legend words a series' value (the legend's TextStyle).
enum class TLegendTextStyle {
  ltsPlain,
  ltsLeftValue,
  ltsRightValue,
  ltsLeftPercent,
  ltsRightPercent,
  ltsXValue
};

// Resource texts.
inline constexpr const char* kMsgPercentOf = "%s of %s";
inline constexpr const char* kMsgNoParentChart = "No ParentChart to validate DataSource";
inline constexpr const char* kMsgNoValidDataSource = "No valid DataSource: %s";
inline constexpr const char* kMsgCircularSeries = "Circular Series dependences are not allowed";
inline constexpr const char* kMsgFillSample = "FillSampleValues NumValues must be > 0";
inline constexpr const char* kMsgFunctionPeriod = "Function Period should be >= 0";
inline constexpr const char* kMsgDefaultSeriesTitle = "Series ";

// A named part of a chart. Only series are valid data sources, but any component may be
// offered as one.
class TComponent {
 public:
  virtual ~TComponent() = default;
  const std::string& Name() const { return name_; }
  void SetName(const std::string& value) { name_ = value; }

 private:
  std::string name_;
};

enum class TFunctionPeriodAlign { paFirst, paCenter, paLast };
enum class TFunctionPeriodStyle { psNumPoints, psRange };

// A calculation that fills its series from the series' data sources: one value per period
// (a number of points, or a range of X values), placed at the period's first, middle or last X.
class TZidFunction : public TComponent {
 public:
  TZidFunction() = default;
  TZidFunction(const TZidFunction&) = delete;
  TZidFunction& operator=(const TZidFunction&) = delete;

  double Period() const { return period_; }
  // Negative periods raise ChartException kMsgFunctionPeriod.
  void SetPeriod(double value);
  TFunctionPeriodAlign PeriodAlign() const { return periodAlign_; }
  void SetPeriodAlign(TFunctionPeriodAlign value);
  TFunctionPeriodStyle PeriodStyle() const { return periodStyle_; }
  void SetPeriodStyle(TFunctionPeriodStyle value);

  TChartSeries* ParentSeries() const { return series_; }
  void SetParentSeries(TChartSeries* series) { series_ = series; }

  // Fills the parent series from its data sources (the series has been cleared).
  virtual void AddPoints(std::span<TChartSeries* const> sources);

 protected:
  // One period of one source: points first..last. Base: 0.
  virtual double Calculate(TChartSeries& source, int32_t first, int32_t last);
  // The same point of several sources (functions that combine series). Base: 0.
  virtual double CalculateMany(std::span<TChartSeries* const> sources, int32_t index);
  // Whether the function combines the same point of several sources.
  virtual bool CombinesSeries() const { return false; }
  // Adds one computed point to the parent series at the X of the period.
  void AddFunctionPoint(double x, double y);
  void Repaint() const;

 private:
  void AddPeriods(TChartSeries& source);
  double PeriodX(TChartSeries& source, int32_t first, int32_t last) const;

  double period_ = 0;
  TFunctionPeriodAlign periodAlign_ = TFunctionPeriodAlign::paCenter;
  TFunctionPeriodStyle periodStyle_ = TFunctionPeriodStyle::psNumPoints;
  TChartSeries* series_ = nullptr;
};

// The chart's series in insertion (and drawing) order. It does not own them.
class TChartSeriesList {
 public:
  int32_t Count() const { return int32_t(items_.size()); }
  TChartSeries& operator[](int32_t index) const { return *items_[size_t(index)]; }
  TChartSeries* At(int32_t index) const;
  int32_t IndexOf(const TChartSeries& series) const;
  bool Contains(const TChartSeries& series) const { return IndexOf(series) >= 0; }
  // Appends unless present.
  void Add(TChartSeries& series);
  void Remove(TChartSeries& series);
  // Moves a series to another index (drawing order).
  void Move(int32_t from, int32_t to);
  int32_t CountActive() const;

  // The widest mark text of the active series / the widest point label of all series, in the
  // canvas' current font (multi-line texts by their widest line).
  int32_t MaxMarkWidth(TZidCanvas3D& canvas) const;
  int32_t MaxLabelsWidth(TZidCanvas3D& canvas) const;

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<TChartSeries*> items_;
};

// The legend title of a series: Title, else its Name, else "Series " and `position`.
std::string SeriesLegendTitle(const TChartSeries& series, int32_t position);
// Palette colour for a new series of the chart: the first entry that no series uses and that
// is neither the chart's Color nor its BackColor; entry 0 when all are taken.
TColor FreeSeriesColor(TChartHost& chart);
// The brush of a colour box: a hatch of the background colour turns black or white.
void SetBrushColours(TZidCanvas3D& canvas, TColor color, TBrushStyle style, TColor backColor);

class TChartSeries : public TComponent, protected TChartValueListOwner {
 public:
  using TSeriesNotify = std::function<void(TChartSeries& sender)>;
  using TSeriesOnAfterAdd = std::function<void(TChartSeries& sender, int32_t valueIndex)>;
  using TSeriesOnBeforeAdd = std::function<bool(TChartSeries& sender)>;
  using TSeriesClick =
      std::function<void(TChartSeries& sender, int32_t valueIndex, platform::MouseButton button,
                         platform::ShiftState shift, int32_t x, int32_t y)>;
  using TSeriesOnGetMarkText =
      std::function<void(TChartSeries& sender, int32_t valueIndex, std::string& markText)>;

  TChartSeries();
  ~TChartSeries() override;
  TChartSeries(const TChartSeries&) = delete;
  TChartSeries& operator=(const TChartSeries&) = delete;

  // ---- published properties ----------------------------------------------------------------
  bool Active() const { return active_; }
  virtual void SetActive(bool value);
  bool ColorEachPoint() const { return colorEachPoint_; }
  // Turning it off gives every point back the series colour.
  virtual void SetColorEachPoint(bool value);
  const std::string& ColorSource() const { return colorSource_; }
  void SetColorSource(const std::string& value);
  int32_t Cursor() const { return cursor_; }
  void SetCursor(int32_t value) { cursor_ = value; }
  THorizAxis HorizAxis() const { return horizAxis_; }
  void SetHorizAxis(THorizAxis value);
  TVertAxis VertAxis() const { return vertAxis_; }
  void SetVertAxis(TVertAxis value);
  TSeriesMarks& Marks() { return *marks_; }
  const TSeriesMarks& Marks() const { return *marks_; }
  TChartHost* ParentChart() const { return parent_; }
  // Leaves the old chart, resolves the axes of the new one and joins it at the end of its
  // series list, taking a free palette colour when SeriesColor is clDefault.
  virtual void SetParentChart(TChartHost* chart);
  // The first data source, or null.
  TComponent* DataSource() const;
  // Links this series to a source series (null: no source) and re-reads its values. Raises
  // ChartException when the series has no chart, the component is not a valid source, or the
  // link would close a circle.
  void SetDataSource(TComponent* value);
  // Adds one more source (functions combine the same point of several sources); the same
  // checks as SetDataSource.
  void AddDataSource(TComponent* value);
  const std::vector<TComponent*>& DataSources() const { return dataSources_; }
  const std::string& PercentFormat() const { return percentFormat_; }
  void SetPercentFormat(const std::string& value);
  const std::string& ValueFormat() const { return valueFormat_; }
  void SetValueFormat(const std::string& value);
  TColor SeriesColor() const { return seriesColor_; }
  virtual void SetSeriesColor(TColor value);
  bool ShowInLegend() const { return showInLegend_; }
  void SetShowInLegend(bool value);
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value);
  const std::string& XLabelsSource() const { return xLabelsSource_; }
  void SetXLabelsSource(const std::string& value);
  TChartValueList& XValues() { return *valueLists_[0]; }
  const TChartValueList& XValues() const { return *valueLists_[0]; }
  TChartValueList& YValues() { return *valueLists_[1]; }
  const TChartValueList& YValues() const { return *valueLists_[1]; }
  // Every value list: X, Y, then those a series kind adds.
  int32_t ValueListCount() const { return int32_t(valueLists_.size()); }
  TChartValueList& ValueList(int32_t index) { return *valueLists_[size_t(index)]; }
  const TChartValueList& ValueList(int32_t index) const { return *valueLists_[size_t(index)]; }
  // The list with that name, or null.
  virtual TChartValueList* FindValueList(const std::string& name);

  // ---- events ------------------------------------------------------------------------------
  TSeriesNotify AfterDrawValues;
  TSeriesNotify BeforeDrawValues;
  TSeriesOnAfterAdd OnAfterAdd;
  // Returning false refuses the point.
  TSeriesOnBeforeAdd OnBeforeAdd;
  TSeriesNotify OnClearValues;
  TSeriesClick OnClick;
  TSeriesClick OnDblClick;
  TSeriesOnGetMarkText OnGetMarkText;

  // ---- points ------------------------------------------------------------------------------
  int32_t PointCount() const { return XValues().ValueCount(); }
  // Returns the new point's index, or -1 when OnBeforeAdd refuses it.
  virtual int32_t AddPointXY(double x, double y, const std::string& label = {},
                             TColor color = clDefault);
  // The other coordinate is the point count.
  virtual int32_t AddPointValue(double value, const std::string& label = {},
                                TColor color = clDefault);
  // Points that are not drawn (colour clNone).
  virtual int32_t AddNullPoint(const std::string& label = {});
  virtual int32_t AddNullPointXY(double x, double y, const std::string& label = {});
  virtual void DeletePoint(int32_t index);
  // Deletes `count` points from `first` on at once, as `count` deletions at `first` would;
  // `first` must be a point and the range is cut at the last point.
  void DeletePoints(int32_t first, int32_t count);
  virtual void ClearPoints();
  // Adds every point of a source (after clearing), or lets the function compute them.
  virtual void AddValues(TChartSeries& source);
  virtual void FillSampleValues(int32_t numValues);
  virtual int32_t NumSampleValues() const { return 26; }
  // Exchanges two points in every list.
  virtual void SwapPoints(int32_t a, int32_t b);

  virtual TColor PointColor(int32_t index) const;
  void SetPointColor(int32_t index, TColor color);
  virtual std::string PointLabel(int32_t index) const;
  void SetPointLabel(int32_t index, const std::string& label);
  bool IsNullPoint(int32_t index) const { return PointColor(index) == clNone; }
  // Whether any point has a label.
  bool HasLabels() const { return !labels_.empty(); }
  const std::vector<TColor>& Colors() const { return colors_; }
  const std::vector<std::string>& Labels() const { return labels_; }

  virtual double XValue(int32_t index) const { return XValues().ValueAt(index); }
  virtual double YValue(int32_t index) const { return YValues().ValueAt(index); }
  // The list that carries the values (Y for every series kind drawn along X).
  virtual TChartValueList& MandatoryValueList() { return YValues(); }
  const TChartValueList& MandatoryValueList() const {
    return const_cast<TChartSeries*>(this)->MandatoryValueList();
  }
  bool YMandatory() const { return &MandatoryValueList() == &YValues(); }
  // The value marks and percentages show.
  virtual double MarkValue(int32_t index) const { return MandatoryValueList().ValueAt(index); }
  // Stacking origin of a point. Base: its mark value.
  virtual double OriginValue(int32_t index) const { return MarkValue(index); }
  // Sum of the positive origins at `index` of the active series of the same kind before this
  // one in the chart (all of them when `sumAll`).
  double PointOrigin(int32_t index, bool sumAll) const;

  virtual double MaxXValue() const { return XValues().Highest(); }
  virtual double MaxYValue() const { return YValues().Highest(); }
  virtual double MaxZValue() const { return EffectiveZOrder(); }
  virtual double MinXValue() const { return XValues().Lowest(); }
  virtual double MinYValue() const { return YValues().Lowest(); }
  virtual double MinZValue() const { return EffectiveZOrder(); }

  // ---- texts -------------------------------------------------------------------------------
  // The mark of a point in Marks.Style; OnGetMarkText may change it.
  std::string MarkText(int32_t index);
  std::string PercentText(int32_t index, bool withTotal) const;
  virtual std::string LegendText(int32_t index, TLegendTextStyle textStyle) const;
  // Value formatted with ValueFormat.
  std::string FormatValue(double value) const;
  // The widest MarkText in the canvas' current font.
  int32_t MaxMarkTextWidth(TZidCanvas3D& canvas);

  // ---- legend ------------------------------------------------------------------------------
  virtual int32_t CountLegendItems() const { return PointCount(); }
  virtual int32_t LegendToValueIndex(int32_t legendIndex) const { return legendIndex; }
  virtual TColor LegendItemColor(int32_t legendIndex) const {
    return PointColor(LegendToValueIndex(legendIndex));
  }
  // Draws the colour box of a legend item; index -1 is the whole series.
  virtual void DrawLegendItem(int32_t valueIndex, const platform::Rect& rect);

  // ---- axes --------------------------------------------------------------------------------
  TCustomChartAxis* CustomHorizAxis() const { return customHorizAxis_; }
  void SetCustomHorizAxis(TCustomChartAxis* axis);
  TCustomChartAxis* CustomVertAxis() const { return customVertAxis_; }
  void SetCustomVertAxis(TCustomChartAxis* axis);
  // The axes the series is drawn against; null without a chart.
  TCustomChartAxis* GetHorizAxis() const { return resolvedHoriz_; }
  TCustomChartAxis* GetVertAxis() const { return resolvedVert_; }
  void ResolveAxes();
  virtual bool IsAssociatedToAxis(const TCustomChartAxis& axis) const;
  virtual bool UsesAxes() const { return true; }
  // Screen position of a point through the resolved axes.
  virtual int32_t PointXPixel(int32_t index) const;
  virtual int32_t PointYPixel(int32_t index) const;
  int32_t CalcXPosValue(double value) const;
  int32_t CalcYPosValue(double value) const;
  // Room the series needs beyond its extreme points, in pixels. Base: none.
  virtual void HorizMargins(int32_t& left, int32_t& right) {
    left = 0;
    right = 0;
  }
  virtual void VertMargins(int32_t& top, int32_t& bottom) {
    top = 0;
    bottom = 0;
  }

  // ---- z order and depth -------------------------------------------------------------------
  // Explicit z order, -1 for automatic.
  int32_t ZOrder() const { return zOrder_; }
  void SetZOrder(int32_t value);
  int32_t ComputedZOrder() const { return computedZOrder_; }
  void SetComputedZOrder(int32_t value) { computedZOrder_ = value; }
  int32_t EffectiveZOrder() const { return zOrder_ == -1 ? computedZOrder_ : zOrder_; }
  // Takes the next z order of the chart (or raises the chart's highest to the explicit one).
  virtual void AssignZOrder();
  // Whether another active series without z values shares this z order (z order applied).
  virtual bool MoreSameZOrder() const;
  // Active and no active series before it shares its z order.
  bool FirstInZOrder() const;
  // Depths the chart gives the series this paint.
  int32_t StartZ() const { return startZ_; }
  int32_t MiddleZ() const { return middleZ_; }
  int32_t EndZ() const { return endZ_; }
  void SetDepthRange(int32_t startZ, int32_t endZ);

  // ---- drawing -----------------------------------------------------------------------------
  int32_t FirstValueIndex() const { return firstValueIndex_; }
  int32_t LastValueIndex() const { return lastValueIndex_; }
  // Sets the first and last visible point from the axes' current range.
  void ComputeVisibleRange();
  virtual void DoBeforeDrawChart() {}
  virtual void DoBeforeDrawValues();
  virtual void DoAfterDrawValues();
  // Draws the visible points, forward or backward as the series kind says.
  virtual void DrawAllValues();
  virtual void DrawValue(int32_t /*index*/) {}
  virtual bool DrawValuesForward() const { return true; }
  virtual bool DrawSeriesForward(int32_t /*index*/) const { return true; }
  void DrawAllMarks();
  // Draws one mark; series kinds move the position first.
  virtual void DrawMark(int32_t index, const std::string& text, TSeriesMarkPosition& position);

  // ---- behaviour flags ---------------------------------------------------------------------
  bool AllowSinglePoint() const { return allowSinglePoint_; }
  bool CalcVisiblePoints() const { return calcVisiblePoints_; }
  bool HasZValues() const { return hasZValues_; }
  bool DrawBetweenPoints() const { return drawBetweenPoints_; }

  // ---- mouse -------------------------------------------------------------------------------
  // The point under (x, y), or -1.
  virtual int32_t Clicked(int32_t /*x*/, int32_t /*y*/) { return -1; }
  virtual void MouseMove(platform::ShiftState /*shift*/, int32_t /*x*/, int32_t /*y*/) {}
  virtual void MouseUp(platform::MouseButton /*button*/, platform::ShiftState /*shift*/,
                       int32_t /*x*/, int32_t /*y*/) {}
  // Fires OnClick (OnDblClick) for the point under the mouse; true when there was one.
  virtual bool ClickAt(bool doubleClick, platform::MouseButton button, platform::ShiftState shift,
                       int32_t x, int32_t y);

  // ---- data sources and function -----------------------------------------------------------
  // Series that take their values from this one.
  const std::vector<TChartSeries*>& LinkedSeries() const { return linkedSeries_; }
  // Whether this series may feed `target` / accepts `source` as its data source.
  virtual bool IsValidSourceOf(const TChartSeries& target) const { return &target != this; }
  virtual bool IsValidSeriesSource(const TChartSeries& source) const {
    return source.IsValidSourceOf(*this);
  }
  // Re-checks the data sources (they keep the series linked) and re-reads them.
  void CheckDataSource();
  TZidFunction* Function() const { return function_.get(); }
  // Takes ownership; the old function is freed and the data source re-checked.
  virtual void SetFunction(std::unique_ptr<TZidFunction> value);
  // Recalculation flags: what linked series do when this one changes.
  bool RecalcOnDelete() const { return recalcOnDelete_; }
  bool RecalcOnModify() const { return recalcOnModify_; }
  bool RecalcOnInsert() const { return recalcOnInsert_; }
  bool RecalcOnClear() const { return recalcOnClear_; }
  void SetRecalcOptions(bool onDelete, bool onModify, bool onInsert, bool onClear);
  // Re-reads every value of the data sources.
  void RefreshSeries();

  // ---- resources ---------------------------------------------------------------------------
  const std::string& Identifier() const { return identifier_; }
  void SetIdentifier(const std::string& value) { identifier_ = value; }
  // Bits 0..5.
  uint8_t Style() const { return style_; }
  void SetStyle(uint8_t value) { style_ = uint8_t(value & 0x3F); }

  // Asks the chart, if any, to repaint later.
  void RequestRepaint() const;
  // Changes a series makes to its own points while the chart paints must not ask for another
  // paint (it would make the same changes again).
  void SetRepaintSuspended(bool value) { repaintSuspended_ = value; }
  // The canvas of the chart's drawing has changed: repaint.
  virtual void CanvasChanged() { RequestRepaint(); }

  // The locale the chart formats with (the default settings without a chart).
  const platform::LocaleSettings& Locale() const;

 protected:
  // Stores a different value and repaints.
  template <typename T>
  void SetProperty(T& field, const T& value) {
    if (field == value) return;
    field = value;
    RequestRepaint();
  }
  // For settings that hold for every series of a kind in a chart: `apply` runs for this series
  // and for each other series of the same class in its chart.
  template <typename T, typename Apply>
  void ApplyToClass(Apply apply) {
    apply(static_cast<T&>(*this));
    if (!parent_) return;
    for (TChartSeries* s : parent_->SeriesList()) {
      if (s != this && typeid(*s) == typeid(*this)) apply(static_cast<T&>(*s));
    }
  }
  // Adds a list after X and Y (series kinds with more values).
  TChartValueList& AddValueList(const std::string& name);
  void SetAllowSinglePoint(bool value) { allowSinglePoint_ = value; }
  void SetCalcVisiblePoints(bool value) { calcVisiblePoints_ = value; }
  void SetHasZValues(bool value) { hasZValues_ = value; }
  void SetDrawBetweenPoints(bool value) { drawBetweenPoints_ = value; }

  // Copies one point of a source series (value lists, colour, label).
  virtual void AddValueFromSeries(const TChartSeries& source, int32_t index);
  // Linked-series reactions.
  virtual void SourcePointAdded(TChartSeries& source, int32_t index);
  virtual void SourcePointDeleted(TChartSeries& source, int32_t index);
  virtual void SourceCleared(TChartSeries& source, int32_t index);
  virtual void SourceModified(TChartSeries& source, int32_t index);
  // Empties every value list.
  virtual void ClearLists();
  // Extra lists take their pending values at a new point's index.
  virtual void InsertPendingExtraValues(int32_t index);
  // Clears the pending value of every list.
  virtual void ClearPendingValues();
  // After a point was added: OnAfterAdd, linked series, repaint.
  virtual void NotifyNewValue(int32_t index);
  // The series kind may change the back colour and brush style of its legend box.
  virtual void PrepareLegendCanvas(int32_t /*valueIndex*/, TColor& /*backColor*/,
                                   TBrushStyle& /*brushStyle*/) {}
  virtual void DrawLegendShape(int32_t valueIndex, const platform::Rect& rect);

  // TChartValueListOwner
  void ValueListChanged(TChartValueList& list) override;
  void ValueListModified(TChartValueList& list, int32_t index) override;
  void ValueListSourceChanged(TChartValueList& list) override;
  void ValueListReordered(TChartValueList& sorted, std::span<const int32_t> order) override;

 private:
  friend class TSeriesMarks;
  void CheckPointIndex(int32_t index) const;
  int32_t InsertPoint(double x, double y, const std::string& label, TColor color);
  void NotifyLinked(void (TChartSeries::*reaction)(TChartSeries&, int32_t), int32_t index);
  void RemoveLink(TChartSeries& source);
  void ValidateSource(TComponent* value) const;
  bool DependsOn(const TChartSeries& other, int32_t depth) const;
  void ClearAllData();
  TColor LegendBackColor() const;

  bool active_ = true;
  bool colorEachPoint_ = false;
  std::string colorSource_;
  int32_t cursor_ = 0;
  THorizAxis horizAxis_ = THorizAxis::aBottomAxis;
  TVertAxis vertAxis_ = TVertAxis::aLeftAxis;
  std::unique_ptr<TSeriesMarks> marks_;
  TChartHost* parent_ = nullptr;
  std::string percentFormat_;
  std::string valueFormat_;
  TColor seriesColor_ = clDefault;
  bool showInLegend_ = true;
  std::string title_;
  std::string xLabelsSource_;

  int32_t zOrder_ = -1;
  int32_t computedZOrder_ = 0;
  int32_t startZ_ = 0;
  int32_t middleZ_ = 0;
  int32_t endZ_ = 0;
  TCustomChartAxis* resolvedHoriz_ = nullptr;
  TCustomChartAxis* resolvedVert_ = nullptr;
  TCustomChartAxis* customHorizAxis_ = nullptr;
  TCustomChartAxis* customVertAxis_ = nullptr;

  std::vector<std::unique_ptr<TChartValueList>> valueLists_;
  std::vector<TColor> colors_;
  // Empty until a point gets a label; then one entry per point ("" = none).
  std::vector<std::string> labels_;

  std::vector<TComponent*> dataSources_;
  std::vector<TChartSeries*> linkedSeries_;
  bool recalcOnDelete_ = true;
  bool recalcOnModify_ = true;
  bool recalcOnInsert_ = true;
  bool recalcOnClear_ = true;

  int32_t firstValueIndex_ = -1;
  int32_t lastValueIndex_ = -1;
  bool allowSinglePoint_ = true;
  bool calcVisiblePoints_ = true;
  bool hasZValues_ = false;
  bool drawBetweenPoints_ = false;

  std::string identifier_;
  uint8_t style_ = 0;
  bool repaintSuspended_ = false;
  std::unique_ptr<TZidFunction> function_;
};

}  // namespace zq
