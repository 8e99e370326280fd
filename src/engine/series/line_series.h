// The series that join their points: TCustomSeries draws a polyline (a ribbon in 3D), stairs,
// a filled area and a marker at each point (TSeriesPointer). TLineSeries is the plain line,
// TPointSeries the markers alone, TAreaSeries the filled area with optional stacking.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/drawing/color.h"
#include "engine/drawing/pens.h"
#include "engine/series/series.h"
#include "platform/geometry.h"

namespace zq {

class TColumnFaces;
class TColumnRun;
class TCustomSeries;
class TZidCanvas3D;

enum class TSeriesPointerStyle {
  psRectangle,
  psCircle,
  psTriangle,
  psDownTriangle,
  psCross,
  psDiagCross,
  psStar,
  psDiamond,
  psSmallDot
};

enum class TMultiArea { maNone, maStacked, maStacked100 };

inline constexpr const char* kMsgPointerSize = "Pointer size must be greater than zero";

// A checking aid, off unless asked for: line series then draw every segment and every ribbon
// face, none left out for lying on pixels that later drawing covers the same way. The picture
// is the same either way; only the drawing is slower.
void SetDrawEverySegment(bool value);
bool DrawEverySegment();

// Pixels further out than this are not drawn: old 16-bit drawing limits, kept so that a wild
// value does not pull a line across the whole chart.
inline constexpr int32_t kMaxPointPixel = 32766;

// The marker drawn at each point of a TCustomSeries.
class TSeriesPointer {
 public:
  explicit TSeriesPointer(TCustomSeries* owner = nullptr);
  TSeriesPointer(const TSeriesPointer&) = delete;
  TSeriesPointer& operator=(const TSeriesPointer&) = delete;

  TCustomSeries* ParentSeries() const { return owner_; }
  // Editors may lock the size; the size setters then do nothing.
  bool AllowChangeSize() const { return allowChangeSize_; }
  void SetAllowChangeSize(bool value) { allowChangeSize_ = value; }

  bool Dark3D() const { return dark3D_; }
  void SetDark3D(bool value);
  bool Draw3D() const { return draw3D_; }
  void SetDraw3D(bool value);
  TChartBrush& Brush() { return brush_; }
  const TChartBrush& Brush() const { return brush_; }
  void SetBrush(const TChartBrush& value) { brush_.Assign(value); }
  // Half width in pixels. Below 1 raises ChartException kMsgPointerSize.
  int32_t HorizSize() const { return horizSize_; }
  void SetHorizSize(int32_t value);
  bool InflateMargins() const { return inflateMargins_; }
  void SetInflateMargins(bool value);
  TChartPen& Pen() { return pen_; }
  const TChartPen& Pen() const { return pen_; }
  void SetPen(const TChartPen& value) { pen_.Assign(value); }
  TSeriesPointerStyle Style() const { return style_; }
  void SetStyle(TSeriesPointerStyle value);
  // Half height in pixels. Below 1 raises ChartException kMsgPointerSize.
  int32_t VertSize() const { return vertSize_; }
  void SetVertSize(int32_t value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

  void Assign(const TSeriesPointer& source);

  // Selects the pointer's pen and brush for a point of `color`.
  void PrepareCanvas(TZidCanvas3D& canvas, TColor color) const;
  // Draws one marker centred on (px, py) with half sizes h and v, with the canvas prepared.
  // In 3D the flat shapes lie at depth z0 (the series' front), solids reach back to z1, and a
  // small dot lies at zMiddle.
  void DrawShape(TZidCanvas3D& canvas, bool is3D, int32_t px, int32_t py, int32_t h, int32_t v,
                 TColor color, TSeriesPointerStyle style, int32_t z0, int32_t z1,
                 int32_t zMiddle) const;

 private:
  void Changed() const;
  void CheckSize(int32_t value) const;

  bool allowChangeSize_ = true;
  TCustomSeries* owner_;
  bool dark3D_ = true;
  bool draw3D_ = true;
  TChartBrush brush_;
  int32_t horizSize_ = 4;
  bool inflateMargins_ = true;
  TChartPen pen_;
  TSeriesPointerStyle style_ = TSeriesPointerStyle::psRectangle;
  int32_t vertSize_ = 4;
  bool visible_ = true;
};

class TCustomSeries : public TChartSeries {
 public:
  using TOnClickPointer =
      std::function<void(TCustomSeries& sender, int32_t valueIndex, int32_t x, int32_t y)>;
  using TOnGetPointerStyle =
      std::function<TSeriesPointerStyle(TCustomSeries& sender, int32_t valueIndex)>;

  TCustomSeries();
  ~TCustomSeries() override;

  // ---- properties --------------------------------------------------------------------------
  TBrushStyle AreaBrush() const { return areaBrush_; }
  void SetAreaBrush(TBrushStyle value);
  TColor AreaColor() const { return areaColor_; }
  void SetAreaColor(TColor value);
  TChartPen& AreaLinesPen() { return areaLinesPen_; }
  const TChartPen& AreaLinesPen() const { return areaLinesPen_; }
  void SetAreaLinesPen(const TChartPen& value) { areaLinesPen_.Assign(value); }
  // Whether a click on a segment (or the area under it) hits the point where it starts.
  bool ClickableLine() const { return clickableLine_; }
  void SetClickableLine(bool value) { clickableLine_ = value; }
  bool Dark3D() const { return dark3D_; }
  void SetDark3D(bool value);
  bool DrawArea() const { return drawArea_; }
  void SetDrawArea(bool value);
  bool DrawLine() const { return drawLine_; }
  bool InvertedStairs() const { return invertedStairs_; }
  void SetInvertedStairs(bool value);
  TBrushStyle LineBrush() const { return lineBrush_; }
  void SetLineBrush(TBrushStyle value);
  int32_t LineHeight() const { return lineHeight_; }
  void SetLineHeight(int32_t value);
  TChartPen& LinePen() { return linePen_; }
  const TChartPen& LinePen() const { return linePen_; }
  void SetLinePen(const TChartPen& value) { linePen_.Assign(value); }
  TSeriesPointer& Pointer() { return pointer_; }
  const TSeriesPointer& Pointer() const { return pointer_; }
  void SetPointer(const TSeriesPointer& value) { pointer_.Assign(value); }
  bool Stairs() const { return stairs_; }
  void SetStairs(bool value);

  // ---- events ------------------------------------------------------------------------------
  TOnClickPointer OnClickPointer;
  TOnGetPointerStyle OnGetPointerStyle;

  // Copies the fields of this family from another of its series (nothing from other kinds).
  virtual void Assign(const TChartSeries& source);

  // The fill of the ribbon and the area for a point of `color`: the point colour unless
  // AreaColor says otherwise (ColorEachPoint keeps the point colours).
  TColor AreaBrushColor(TColor color) const;
  // The style a point's marker takes: OnGetPointerStyle, else Pointer.Style.
  TSeriesPointerStyle PointerStyleOf(int32_t valueIndex);

  // ---- drawing -----------------------------------------------------------------------------
  void DrawAllValues() override;
  void DrawValue(int32_t index) override;
  void DrawMark(int32_t index, const std::string& text, TSeriesMarkPosition& position) override;
  // Draws the marker of point `valueIndex` centred on (x, y).
  virtual void DrawPointer(int32_t x, int32_t y, TColor color, int32_t valueIndex);
  // Where the area under a point ends: the end of the vertical axis (the bottom of a normal
  // axis).
  virtual int32_t GetOriginPos(int32_t valueIndex) const;

  void HorizMargins(int32_t& left, int32_t& right) override;
  void VertMargins(int32_t& top, int32_t& bottom) override;

  // ---- mouse -------------------------------------------------------------------------------
  int32_t Clicked(int32_t x, int32_t y) override;
  // Whether (x, y) lies on the marker of point `valueIndex` centred on (px, py).
  virtual bool ClickedPointer(int32_t valueIndex, int32_t px, int32_t py, int32_t x, int32_t y);

 protected:
  void SetDrawLine(bool value);
  void PrepareLegendCanvas(int32_t valueIndex, TColor& backColor, TBrushStyle& brushStyle) override;
  void DrawLegendShape(int32_t valueIndex, const platform::Rect& rect) override;

 private:
  // Draws from the drawing state's old point to (x, y) in the colour of the end point.
  void DrawSegment(int32_t index, int32_t x, int32_t y, TColor color, bool withPointers);
  void DrawRibbon(int32_t index, int32_t x, int32_t y, TColor color);
  void DrawAreaSegment(int32_t index, int32_t x, int32_t y, TColor color);
  void DrawLine2D(int32_t x, int32_t y, TColor color);
  // How a plain line series (without pointers, stairs or area) is drawn a pixel column at a
  // time: a 2D line of 1-pixel solid segments, a 3D ribbon of faces without a front (line
  // height 0) whose pen paints rather than inverts. kNone: point by point.
  enum class ColumnDrawing { kNone, kLine, kRibbon };
  ColumnDrawing DrawingByColumns() const;
  // DrawAllValues for such a line: points that stay in the column (and colour) of the point
  // before them are gathered, and drawn by what gives the same pixels.
  template <typename Column>
  void DrawValuesByColumns(int32_t first, int32_t last, Column& column);
  // The segments between the gathered points of a column at x: one vertical line, or the faces
  // that later ones do not paint over again.
  void DrawGathered(const TColumnRun& column, int32_t x, TColor color, int32_t firstIndex,
                    int32_t lastIndex);
  void DrawGathered(TColumnFaces& column, int32_t x, TColor color, int32_t firstIndex,
                    int32_t lastIndex);
  // The faces of a column after its first, (from, to) heights: kept for their memory.
  std::vector<std::pair<int32_t, int32_t>> ribbonFaces_;
  // Draws the pointer of the point at the old position when it is still owed.
  void FlushPendingPointer();
  // The height of the line at the chart's edge, between points index - 1 and index.
  int32_t EnteringY(int32_t index, int32_t edgeX) const;
  bool Is3D() const;
  int32_t SeriesDepth() const { return EndZ() - StartZ(); }
  // The chart makes every series as high as it is deep.
  int32_t SeriesHeight() const { return SeriesDepth(); }
  // Whether (x, y) lies on the segment as drawn between two points.
  bool ClickedSegment(platform::Point from, platform::Point to, int32_t x, int32_t y) const;

  TBrushStyle areaBrush_ = TBrushStyle::bsSolid;
  TColor areaColor_ = clDefault;
  TChartPen areaLinesPen_;
  bool clickableLine_ = true;
  bool dark3D_ = true;
  bool drawArea_ = false;
  bool drawLine_ = false;
  bool invertedStairs_ = false;
  TBrushStyle lineBrush_ = TBrushStyle::bsSolid;
  int32_t lineHeight_ = 0;
  TChartPen linePen_;
  TSeriesPointer pointer_;
  bool stairs_ = false;

  // Drawing state carried from one point to the next within a paint.
  int32_t bottomPos_ = 0;
  int32_t oldBottomPos_ = 0;
  int32_t oldX_ = 0;
  int32_t oldY_ = 0;
  int32_t oldIndex_ = -1;
  TColor oldColor_ = clDefault;
  double darkSlopeRatio_ = 1.0;
  // Whether the old position is a point drawn this paint, and whether its pointer (in its
  // colour) is still to be drawn.
  bool haveOld_ = false;
  bool pointerPending_ = false;
  TColor pendingColor_ = clDefault;
};

class TLineSeries : public TCustomSeries {
 public:
  TLineSeries();
  void Assign(const TChartSeries& source) override;
};

class TPointSeries : public TCustomSeries {
 public:
  TPointSeries();
  void Assign(const TChartSeries& source) override;
  // Coloured points want their own colours in the markers too.
  void SetColorEachPoint(bool value) override;
};

class TAreaSeries : public TCustomSeries {
 public:
  TAreaSeries();
  void Assign(const TChartSeries& source) override;

  TMultiArea MultiArea() const { return multiArea_; }
  // Shared by the area series of a chart: sets every one of them.
  void SetMultiArea(TMultiArea value);

  void AssignZOrder() override;
  int32_t PointYPixel(int32_t index) const override;
  int32_t GetOriginPos(int32_t valueIndex) const override;
  double MaxYValue() const override;
  double MinYValue() const override;

 private:
  void StoreMultiArea(TMultiArea value);
  // The stacked value of a point (maStacked100: as a percentage) and of its base.
  double StackedValue(int32_t index, bool base) const;

  TMultiArea multiArea_ = TMultiArea::maNone;
};

}  // namespace zq
