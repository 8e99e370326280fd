// Circular series: TCircledSeries lays a series out on a circle (or ellipse) inside the chart
// rectangle instead of against axes; TPieSeries draws one slice per point, flat or as a 3D
// cake, with exploded slices and the small ones gathered into an "other" slice.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/drawing/color.h"
#include "engine/drawing/errors.h"
#include "engine/drawing/pens.h"
#include "engine/series/series.h"
#include "platform/geometry.h"

namespace zq {

inline constexpr const char* kMsgRotationAngle = "%s Angle must be between 0 and 359 degrees";
inline constexpr const char* kRotationDescription = "Rotation";
inline constexpr const char* kAngleValuesName = "Angle";
inline constexpr const char* kPieValuesName = "Pie";
inline constexpr const char* kOtherSliceText = "Other";
// X value of the point that stands for the other slice, and of the points gathered into it.
inline constexpr double kOtherSliceX = 2147483647.0;
inline constexpr double kOtherMemberX = -1.0;

class PieException : public ChartException {
 public:
  using ChartException::ChartException;
};

class TCircledSeries : public TChartSeries {
 public:
  ~TCircledSeries() override;

  // Shared by the series of the same class in a chart, like the custom radii.
  bool Circled() const { return circled_; }
  void SetCircled(bool value);
  // 0: from the chart rectangle.
  int32_t CustomXRadius() const { return customXRadius_; }
  void SetCustomXRadius(int32_t value);
  int32_t CustomYRadius() const { return customYRadius_; }
  void SetCustomYRadius(int32_t value);
  // Degrees; below 0 raises PieException, other values are kept modulo 360.
  int32_t RotationAngle() const { return rotationAngle_; }
  void SetRotationAngle(int32_t value);
  // clDefault: the chart's back colour, else its Color.
  TColor CircleBackColor() const { return circleBackColor_; }
  void SetCircleBackColor(TColor value);

  // The circle of the current paint.
  int32_t XRadius() const { return xRadius_; }
  int32_t YRadius() const { return yRadius_; }
  int32_t CircleXCenter() const { return xCenter_; }
  int32_t CircleYCenter() const { return yCenter_; }
  platform::Rect CircleRect() const;
  // Works out the circle from the chart rectangle; the paint does it before drawing.
  virtual void CalcCircle();

  void SetActive(bool value) override;
  void SetParentChart(TChartHost* chart) override;
  bool UsesAxes() const override { return false; }
  void DoBeforeDrawValues() override;

 protected:
  TCircledSeries();
  // The colour slices are drawn on: CircleBackColor, else the chart's back colour, else its
  // Color.
  TColor CircleBackground() const;
  void SetRadii(int32_t xRadius, int32_t yRadius) {
    xRadius_ = xRadius;
    yRadius_ = yRadius;
  }
  double RotationRadians() const;

 private:
  bool circled_ = false;
  int32_t customXRadius_ = 0;
  int32_t customYRadius_ = 0;
  int32_t rotationAngle_ = 0;
  TColor circleBackColor_ = clDefault;
  int32_t xRadius_ = 0;
  int32_t yRadius_ = 0;
  int32_t xCenter_ = 0;
  int32_t yCenter_ = 0;
};

enum class TPieOtherStyle { poNone, poBelowPercent, poBelowValue };

// The slice that gathers the small slices of a pie.
class TPieOtherSlice {
 public:
  explicit TPieOtherSlice(TNotifyEvent onChange = {}) : onChange_(std::move(onChange)) {}
  TPieOtherSlice(const TPieOtherSlice&) = delete;
  TPieOtherSlice& operator=(const TPieOtherSlice&) = delete;

  TPieOtherStyle Style() const { return style_; }
  void SetStyle(TPieOtherStyle value);
  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);
  // A percentage of the total for poBelowPercent, a value for poBelowValue.
  double Value() const { return value_; }
  void SetValue(double value);
  void Assign(const TPieOtherSlice& source);

 private:
  void Changed() const {
    if (onChange_) onChange_();
  }
  TPieOtherStyle style_ = TPieOtherStyle::poNone;
  std::string text_ = kOtherSliceText;
  double value_ = 0;
  TNotifyEvent onChange_;
};

// The angles of one slice, in radians from three o'clock, counter-clockwise, before the
// series' rotation.
struct TPieAngle {
  double start = 0;
  double middle = 0;
  double end = 0;
};

class TPieSeries : public TCircledSeries {
 public:
  TPieSeries();
  ~TPieSeries() override;

  TChartValueList& PieValues() { return YValues(); }
  const TChartValueList& PieValues() const { return YValues(); }
  bool Dark3D() const { return dark3D_; }
  void SetDark3D(bool value);
  // Percent of the radius that the largest slice stands out; 0: none.
  int32_t ExplodeBiggest() const { return explodeBiggest_; }
  void SetExplodeBiggest(int32_t value);
  TPieOtherSlice& OtherSlice() { return otherSlice_; }
  const TPieOtherSlice& OtherSlice() const { return otherSlice_; }
  void SetOtherSlice(const TPieOtherSlice& value) { otherSlice_.Assign(value); }
  TChartPen& PiePen() { return piePen_; }
  const TChartPen& PiePen() const { return piePen_; }
  void SetPiePen(const TChartPen& value) { piePen_.Assign(value); }
  bool UsePatterns() const { return usePatterns_; }
  void SetUsePatterns(bool value);
  // Percent of the radius that slice `index` stands out (0 for slices never set).
  int32_t ExplodedSlice(int32_t index) const;
  void SetExplodedSlice(int32_t index, int32_t percent);

  // Whether a point has been gathered into the other slice this paint.
  bool IsOtherMember(int32_t index) const { return XValues().ValueAt(index) == kOtherMemberX; }
  // The index of the point that stands for the other slice, or -1.
  int32_t OtherSliceIndex() const;

  // ---- geometry of the current paint -------------------------------------------------------
  // Works out the angles and the explosion (CalcCircle first).
  void CalcAngles();
  const TPieAngle& Angle(int32_t index) const { return angles_[size_t(index)]; }
  // The explode percent that applies this paint (ExplodeBiggest included) and the offset it
  // gives the slice.
  int32_t ExplodePercent(int32_t index) const;
  platform::Point SliceOffset(int32_t index) const;

  // ---- the series ----------------------------------------------------------------------------
  int32_t NumSampleValues() const override { return 8; }
  void DoBeforeDrawChart() override;
  void DoBeforeDrawValues() override;
  void DrawAllValues() override;
  void DrawValue(int32_t index) override;
  void DrawMark(int32_t index, const std::string& text, TSeriesMarkPosition& position) override;
  int32_t CountLegendItems() const override;
  int32_t LegendToValueIndex(int32_t legendIndex) const override;
  int32_t Clicked(int32_t x, int32_t y) override;

 protected:
  void PrepareLegendCanvas(int32_t valueIndex, TColor& backColor, TBrushStyle& brushStyle) override;

 private:
  // The hatch of a slice when UsePatterns is on.
  static TBrushStyle SlicePattern(int32_t index);
  // The sort by PieValues' Order and the other slice, done before each paint.
  void PrepareSlices();
  int32_t BiggestSlice() const;
  bool CircleBigEnough() const;
  void PrepareSliceCanvas(int32_t index);
  // Screen point of the rim (at `grow` pixels beyond it) at an angle, for a slice's offset.
  platform::Point RimPoint(double angle, platform::Point offset, int32_t grow) const;

  bool dark3D_ = true;
  int32_t explodeBiggest_ = 0;
  TPieOtherSlice otherSlice_;
  TChartPen piePen_;
  bool usePatterns_ = false;
  std::vector<int32_t> explode_;
  std::vector<TPieAngle> angles_;
  int32_t biggest_ = -1;
  int32_t lastEnd_ = 0;
};

}  // namespace zq
