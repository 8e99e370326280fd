// The window side of a chart: the panel that owns the chart canvas and turns one window paint
// into one painting pass, and what lies behind the chart (colour, gradient, picture).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/drawing/canvas3d.h"
#include "engine/drawing/color.h"
#include "engine/drawing/errors.h"
#include "engine/drawing/panel_helpers.h"
#include "engine/drawing/pens.h"
#include "engine/drawing/picture.h"
#include "platform/geometry.h"
#include "platform/surface.h"

namespace zq {

class TCustomZidPanel;

enum class TPanningMode : uint8_t { pmNone, pmHorizontal, pmVertical, pmBoth };
enum class TZidBackImageMode : uint8_t { pbmStretch, pbmTile, pbmCenter };
enum class TPanelBevel : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

using TCursor = int32_t;
constexpr TCursor crDefault = 0;

// Message of the Chart3DPercent check; filled with kMin3DPercent and kMax3DPercent.
inline constexpr char kMsg3DPercent[] = "3D effect percent must be between %d and %d";
constexpr int32_t kMin3DPercent = 1;
constexpr int32_t kMax3DPercent = 100;

// The framework's 3D frame colours (classic Windows scheme through ColorToRGB).
constexpr TColor kBevelHighlight = clBtnHighlight;
constexpr TColor kBevelShadow = clBtnShadow;

// The state of a mouse drag.
struct TZoomPanningRecord {
  bool Active = false;
  int32_t X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;

  void Activate(int32_t x, int32_t y) {
    X0 = X1 = x;
    Y0 = Y1 = y;
    Active = true;
  }
  // Orders the corners: X0 <= X1 and Y0 <= Y1.
  void Normalise();
};

class TCustomZidGradient {
 public:
  explicit TCustomZidGradient(TCustomZidPanel* owner = nullptr) : owner_(owner) {}
  TCustomZidGradient(const TCustomZidGradient&) = delete;
  TCustomZidGradient& operator=(const TCustomZidGradient&) = delete;
  virtual ~TCustomZidGradient() = default;

  TGradientDirection Direction() const { return direction_; }
  void SetDirection(TGradientDirection value);
  TColor EndColor() const { return endColor_; }
  void SetEndColor(TColor value);
  TColor StartColor() const { return startColor_; }
  void SetStartColor(TColor value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

  // Copies the four values, then repaints the owner once when any changed.
  void Assign(const TCustomZidGradient& source);

  TCustomZidPanel* Owner() const { return owner_; }

 private:
  void Changed() const;

  TCustomZidPanel* owner_;
  TGradientDirection direction_ = TGradientDirection::gdTopBottom;
  TColor endColor_ = clYellow;
  TColor startColor_ = clWhite;
  bool visible_ = false;
};

class TChartGradient : public TCustomZidGradient {
 public:
  using TCustomZidGradient::TCustomZidGradient;
};

// Base of every chart part with a font (titles, legend, axis titles).
class TChartFontObject {
 public:
  explicit TChartFontObject(TCustomZidPanel* owner);
  TChartFontObject(const TChartFontObject&) = delete;
  TChartFontObject& operator=(const TChartFontObject&) = delete;
  virtual ~TChartFontObject() = default;

  TChartFont& Font() { return font_; }
  const TChartFont& Font() const { return font_; }
  void SetFont(const TChartFont& value) { font_.Assign(value); }
  // Default fonts are not stored with their owner.
  bool IsFontStored() const { return !font_.IsDefault(); }

  virtual void Assign(const TChartFontObject& source) { font_.Assign(source.font_); }
  // Invalidates the owner.
  void Repaint() const;

  TCustomZidPanel* ParentChart() const { return owner_; }

 protected:
  TCustomZidPanel* owner_;

 private:
  TChartFont font_;
};

// What a panel needs of the window it lives in; the chart window fills it in.
struct TPanelWindowLink {
  std::function<void()> invalidate;  // repaint at the next opportunity
  std::function<void()> refresh;     // repaint now (animated zoom)
};

// The chart panel: margins, 3D depth and view, the chart canvas, one painting pass per paint.
class TCustomZidPanel {
 public:
  TCustomZidPanel();
  TCustomZidPanel(const TCustomZidPanel&) = delete;
  TCustomZidPanel& operator=(const TCustomZidPanel&) = delete;
  virtual ~TCustomZidPanel();

  // ---- the window -----------------------------------------------------------------------
  void SetWindowLink(TPanelWindowLink link) { window_ = std::move(link); }
  // A new panel is 400 x 250; the chart window keeps the size up to date.
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  void SetSize(int32_t width, int32_t height);
  Rect ClientRect() const { return {0, 0, width_, height_}; }
  // The surface of the window, for drawing outside a painting pass (the zoom rectangle).
  // Paint makes its surface the window canvas; it stays so until the window sets another.
  platform::Surface* WindowCanvas() const { return windowCanvas_; }
  void SetWindowCanvas(platform::Surface* surface);
  bool IsDesigning() const { return designing_; }
  void SetDesigning(bool value) { designing_ = value; }
  bool IsLoading() const { return loading_; }
  void SetLoading(bool value) { loading_ = value; }

  // The window's paint: a clean back buffer is copied as it is; otherwise a painting pass.
  // The panel takes the size of clientRect.
  void Paint(platform::Surface& surface, const Rect& clientRect);
  // One painting pass into `surface` within `rect`.
  virtual void DrawToSurface(platform::Surface& surface, const Rect& rect);
  // Marks the canvas dirty and invalidates the window, unless auto repaint is off.
  void RequestRepaint();
  // Paints the window at once (used between the steps of an animated zoom).
  void RefreshWindow();
  virtual void NotifyCanvasChange() { RequestRepaint(); }

  // ---- framework panel properties --------------------------------------------------------
  TColor Color() const { return color_; }
  void SetColor(TColor value) { SetProperty(color_, value); }
  TPanelBevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(TPanelBevel value) { SetProperty(bevelInner_, value); }
  TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel value) { SetProperty(bevelOuter_, value); }
  int32_t BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int32_t value) { SetProperty(bevelWidth_, value); }
  int32_t BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int32_t value) { SetProperty(borderWidth_, value); }

  // ---- chart properties ---------------------------------------------------------------------
  int32_t Chart3DPercent() const { return chart3DPercent_; }
  // Throws ChartException outside 1..100, keeping the old value.
  void SetChart3DPercent(int32_t value);
  bool ApplyZOrder() const { return applyZOrder_; }
  void SetApplyZOrder(bool value) { SetProperty(applyZOrder_, value); }
  int32_t MarginLeft() const { return margins_[0]; }
  void SetMarginLeft(int32_t value) { SetMargin(0, value); }
  int32_t MarginTop() const { return margins_[1]; }
  void SetMarginTop(int32_t value) { SetMargin(1, value); }
  int32_t MarginRight() const { return margins_[2]; }
  void SetMarginRight(int32_t value) { SetMargin(2, value); }
  int32_t MarginBottom() const { return margins_[3]; }
  void SetMarginBottom(int32_t value) { SetMargin(3, value); }
  // 0 left, 1 top, 2 right, 3 bottom; other indexes read 0 and write nothing.
  int32_t Margin(int32_t index) const;
  void SetMargin(int32_t index, int32_t value);
  bool View3D() const { return view3D_; }
  void SetView3D(bool value) { SetProperty(view3D_, value); }
  TView3DOptions& View3DOptions() { return *view3DOptions_; }
  const TView3DOptions& View3DOptions() const { return *view3DOptions_; }
  void SetView3DOptions(const TView3DOptions& value);
  bool AutoRepaint() const { return autoRepaint_; }
  void SetAutoRepaint(bool value) { autoRepaint_ = value; }
  bool Monochrome() const { return canvas_->IsMonochrome(); }
  void SetMonochrome(bool value);
  bool UseBackBuffer() const { return canvas_->UsesBuffer(); }
  void SetUseBackBuffer(bool value) { canvas_->ChangeUseBuffer(value); }

  // ---- printing -------------------------------------------------------------------------
  bool Printing() const { return printing_; }
  void SetPrinting(bool value) { printing_ = value; }
  bool PrintProportional() const { return printProportional_; }
  void SetPrintProportional(bool value) { printProportional_ = value; }
  int32_t PrintResolution() const { return printResolution_; }
  void SetPrintResolution(int32_t value) { printResolution_ = value; }
  // Percentages, like the margins.
  const Rect& PrintMargins() const { return printMargins_; }
  void SetPrintMargins(const Rect& value) { printMargins_ = value; }

  // ---- the current painting pass --------------------------------------------------------
  TZidCanvas3D& Canvas() { return *canvas_; }
  const TZidCanvas3D& Canvas() const { return *canvas_; }
  const Rect& ChartBounds() const { return chartBounds_; }
  const Rect& ChartRect() const { return chartRect_; }
  // The chart drawing moves the chart rectangle (room for axes, walls, legend); call
  // RecalcWidthHeight afterwards.
  void SetChartRect(const Rect& value) { chartRect_ = value; }
  void RecalcWidthHeight();
  int32_t ChartWidth() const { return chartWidth_; }
  int32_t ChartHeight() const { return chartHeight_; }
  int32_t ChartXCenter() const { return chartXCenter_; }
  int32_t ChartYCenter() const { return chartYCenter_; }
  int32_t Width3D() const { return width3D_; }
  void SetWidth3D(int32_t value) { width3D_ = value; }
  int32_t Height3D() const { return height3D_; }
  void SetHeight3D(int32_t value) { height3D_ = value; }
  // The panel's client rectangle.
  virtual Rect GetChartArea() const { return ClientRect(); }

  // ---- mouse state (the chart implements the mouse) ---------------------------------------
  TZoomPanningRecord& Zoom() { return zoom_; }
  const TZoomPanningRecord& Zoom() const { return zoom_; }
  TZoomPanningRecord& Panning() { return panning_; }
  const TZoomPanningRecord& Panning() const { return panning_; }
  bool CancelMouse() const { return cancelMouse_; }
  void SetCancelMouse(bool value) { cancelMouse_ = value; }
  TCursor SavedCursor() const { return savedCursor_; }
  void SetSavedCursor(TCursor value) { savedCursor_ = value; }

  // ---- drawing helpers for the chart parts -------------------------------------------------
  // Draws the bevels and the border frame inside rect.
  virtual void DrawPanelBevel(const Rect& rect);
  // The canvas font takes `font` (which first takes the canvas font's pixels per inch).
  virtual void SetCanvasFont(TChartFont& font);
  bool ClippingAllowed() const;
  // Brush colour and style; a hatch in the background colour is turned black or white so that
  // it stays visible. Hatches draw on an opaque background, solid brushes on a transparent one.
  void SetBrushColours(TColor color, TBrushStyle style, TColor backColor);
  // Width of the widest line of a multi-line text in the canvas font.
  int32_t WidestLineWidth(std::string_view text, int32_t& lines);
  // The zoom record's rectangle in not-xor mode: drawing it twice erases it.
  void DrawZoomRectangle();

  virtual void Assign(const TCustomZidPanel& source);

 protected:
  // Draws the whole chart within bounds.
  virtual void DrawChartContent(const Rect& bounds) = 0;

  // Stores a different value and repaints.
  template <typename T>
  void SetProperty(T& field, const T& value) {
    if (field == value) return;
    field = value;
    RequestRepaint();
  }

 private:
  TPanelWindowLink window_;
  platform::Surface* windowCanvas_ = nullptr;
  int32_t width_ = 400;
  int32_t height_ = 250;
  bool designing_ = false;
  bool loading_ = false;
  TColor color_ = clBtnFace;
  TPanelBevel bevelInner_ = TPanelBevel::bvNone;
  TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
  int32_t bevelWidth_ = 1;
  int32_t borderWidth_ = 0;

  int32_t chart3DPercent_ = 15;
  bool applyZOrder_ = true;
  Rect chartBounds_;
  int32_t chartWidth_ = 0, chartHeight_ = 0, chartXCenter_ = 0, chartYCenter_ = 0;
  int32_t height3D_ = 0;
  int32_t margins_[4] = {3, 4, 3, 4};
  TCursor savedCursor_ = crDefault;
  TZoomPanningRecord panning_;
  bool printing_ = false;
  bool printProportional_ = true;
  int32_t printResolution_ = 0;
  bool view3D_ = true;
  std::unique_ptr<TView3DOptions> view3DOptions_;
  int32_t width3D_ = 0;
  TZoomPanningRecord zoom_;
  std::unique_ptr<TZidCanvas3D> canvas_;
  bool autoRepaint_ = false;  // switched on at the end of construction
  bool cancelMouse_ = false;
  Rect chartRect_;
  Rect printMargins_{15, 15, 15, 15};
};

// The panel with what lies behind the chart and the zoom and panning settings.
class TCustomZidPanelExtended : public TCustomZidPanel {
 public:
  TCustomZidPanelExtended();
  ~TCustomZidPanelExtended() override;

  int32_t AnimatedZoomSteps() const { return animatedZoomSteps_; }
  void SetAnimatedZoomSteps(int32_t value) { SetProperty(animatedZoomSteps_, value); }
  bool AnimatedZoom() const { return animatedZoom_; }
  void SetAnimatedZoom(bool value) { SetProperty(animatedZoom_, value); }
  bool AllowZoom() const { return allowZoom_; }
  void SetAllowZoom(bool value) { SetProperty(allowZoom_, value); }
  TPanningMode AllowPanning() const { return allowPanning_; }
  void SetAllowPanning(TPanningMode value) { SetProperty(allowPanning_, value); }
  // Any change of the picture repaints the panel.
  TPicture& BackImage() { return *backImage_; }
  const TPicture& BackImage() const { return *backImage_; }
  void SetBackImage(const TPicture& value) { backImage_->Assign(value); }
  TZidBackImageMode BackImageMode() const { return backImageMode_; }
  void SetBackImageMode(TZidBackImageMode value) { SetProperty(backImageMode_, value); }
  TChartGradient& Gradient() { return *gradient_; }
  const TChartGradient& Gradient() const { return *gradient_; }
  void SetGradient(const TChartGradient& value) { gradient_->Assign(value); }
  bool Zoomed() const { return zoomed_; }
  void SetZoomed(bool value) { zoomed_ = value; }

  TNotifyEvent OnAfterDraw;
  TNotifyEvent OnScroll;
  TNotifyEvent OnUndoZoom;
  TNotifyEvent OnZoom;

  // Restores the axis scales saved before the zoom, fires OnUndoZoom and repaints.
  void UndoZoom();

  // The picture inside rect; at a depth above 0 (inside the back wall) rect is projected.
  void DrawBackPicture(const Rect& rect, int32_t depth);
  // BackImage outside the walls.
  virtual void DrawBackImage(const Rect& rect) { DrawBackPicture(rect, 0); }
  // Panel colour, or the gradient when visible.
  virtual void FillBackground(const Rect& rect);
  // Background, picture, then (unless flat items go in depth) the bevel.
  virtual void PaintPanelBackground(const Rect& rect);

  void Assign(const TCustomZidPanel& source) override;

 protected:
  // The chart puts back the axis scales it saved before zooming or panning.
  virtual void RestoreAxisScales() {}

 private:
  int32_t animatedZoomSteps_ = 8;
  bool animatedZoom_ = false;
  bool allowZoom_ = true;
  TPanningMode allowPanning_ = TPanningMode::pmBoth;
  std::unique_ptr<TPicture> backImage_;
  TZidBackImageMode backImageMode_ = TZidBackImageMode::pbmStretch;
  std::unique_ptr<TChartGradient> gradient_;
  bool zoomed_ = false;
};

}  // namespace zq
