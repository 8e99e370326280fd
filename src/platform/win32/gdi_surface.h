// A Surface drawn by GDI: a memory DC over a 32-bit top-down DIB section (or a monochrome
// bitmap), or a device context that someone else owns, such as a window's paint DC.
#pragma once

#include <windows.h>
// windows.h maps TextOut to TextOutW; the Surface method keeps its own name.
#undef TextOut

#include <cstdint>
#include <memory>

#include "platform/surface.h"

namespace zq::platform::win32 {

class GdiSurface : public Surface {
 public:
  // A memory surface cleared to white. A monochrome one is a 1-bpp device bitmap, so that
  // blits from colour use the GDI mask rule (background colour -> white, the rest -> black).
  // Throws std::runtime_error when GDI cannot make the bitmap.
  GdiSurface(int32_t width, int32_t height, bool monochrome = false, HDC reference = nullptr);
  // Draws on a DC that the caller owns; every change to its state is undone on destruction.
  GdiSurface(HDC dc, int32_t width, int32_t height);
  ~GdiSurface() override;
  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;

  HDC Dc() const { return dc_; }
  bool Monochrome() const { return monochrome_; }

  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  intptr_t Handle() const override { return reinterpret_cast<intptr_t>(dc_); }

  void SetPen(const Pen& pen) override;
  const Pen& GetPen() const override { return pen_; }
  void SetBrush(const Brush& brush) override;
  const Brush& GetBrush() const override { return brush_; }
  void SetFont(const LogFont& font) override;
  const LogFont& GetFont() const override { return font_; }
  void SetTextColor(Rgb color) override;
  Rgb GetTextColor() const override { return textColor_; }
  void SetBackColor(Rgb color) override;
  Rgb GetBackColor() const override { return backColor_; }
  void SetBackMode(BackMode mode) override;
  BackMode GetBackMode() const override { return backMode_; }
  void SetTextAlign(uint32_t flags) override;
  uint32_t GetTextAlign() const override { return textAlign_; }

  void MoveTo(int32_t x, int32_t y) override;
  void LineTo(int32_t x, int32_t y) override;
  Point CurrentPosition() const override;
  void Polyline(const Point* points, int32_t count) override;

  void Polygon(const Point* points, int32_t count) override;
  void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t ellipseWidth,
                 int32_t ellipseHeight) override;
  void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart, int32_t yStart,
           int32_t xEnd, int32_t yEnd) override;
  void Pie(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart, int32_t yStart,
           int32_t xEnd, int32_t yEnd) override;
  void FillRect(const Rect& rect, const Brush& brush) override;
  void PatternFill(const Rect& rect) override;
  void SetPixel(int32_t x, int32_t y, Rgb color) override;

  void TextOut(int32_t x, int32_t y, std::string_view text) override;
  Size TextExtent(std::string_view text) override;
  FontMetrics GetFontMetrics() override;

  void ClipRect(const Rect& rect) override;
  void ClipPolygon(const Point* points, int32_t count) override;
  void RemoveClip() override;

  void DrawImage(const Image& image, int32_t x, int32_t y) override;
  void StretchImage(const Image& image, const Rect& dest) override;

  std::unique_ptr<Surface> CreateCompatible(int32_t width, int32_t height,
                                            bool monochrome) override;
  void CopyFrom(int32_t dx, int32_t dy, int32_t width, int32_t height, Surface& source, int32_t sx,
                int32_t sy) override;
  Image Snapshot() override;

  using Surface::Polygon;
  using Surface::Polyline;

 private:
  void SelectInitialState();
  void ApplyPen();
  void ApplyBrush();
  void ApplyFont();
  void Reselect();
  // Runs a filled-shape call; a pattern brush in transparent mode needs two masked passes.
  template <class Shape>
  void Filled(Shape&& shape);
  void PatternBlt(const RECT& r, const Brush& brush);

  HDC dc_ = nullptr;
  bool ownsDc_ = false;
  int savedDc_ = 0;
  bool monochrome_ = false;
  int32_t width_ = 0;
  int32_t height_ = 0;
  HBITMAP bitmap_ = nullptr;
  uint32_t* bits_ = nullptr;  // pixels of the colour DIB section, top-down

  HGDIOBJ oldBitmap_ = nullptr;
  HGDIOBJ oldPen_ = nullptr;
  HGDIOBJ oldBrush_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
  HPEN gdiPen_ = nullptr;  // owned unless a stock object
  HBRUSH gdiBrush_ = nullptr;
  HFONT gdiFont_ = nullptr;

  Pen pen_;
  Brush brush_;
  LogFont font_;
  Rgb textColor_ = 0;
  Rgb backColor_ = 0xFFFFFF;
  BackMode backMode_ = BackMode::Opaque;
  uint32_t textAlign_ = 0;
};

}  // namespace zq::platform::win32
