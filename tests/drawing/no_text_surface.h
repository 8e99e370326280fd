// A surface that passes every call on to another one except drawing text. Text is still
// measured, so whatever is drawn through it is laid out exactly as with text: the pixels where
// its picture differs from the one drawn directly are the text, which each backend renders with
// its own font engine.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/surface.h"

namespace zq::test {

class NoTextSurface final : public platform::Surface {
 public:
  explicit NoTextSurface(std::unique_ptr<platform::Surface> inner) : inner_(std::move(inner)) {}

  platform::Surface& Inner() { return *inner_; }

  int32_t Width() const override { return inner_->Width(); }
  int32_t Height() const override { return inner_->Height(); }
  intptr_t Handle() const override { return inner_->Handle(); }

  void SetPen(const platform::Pen& pen) override { inner_->SetPen(pen); }
  const platform::Pen& GetPen() const override { return inner_->GetPen(); }
  void SetBrush(const platform::Brush& brush) override { inner_->SetBrush(brush); }
  const platform::Brush& GetBrush() const override { return inner_->GetBrush(); }
  void SetFont(const platform::LogFont& font) override { inner_->SetFont(font); }
  const platform::LogFont& GetFont() const override { return inner_->GetFont(); }
  void SetTextColor(platform::Rgb color) override { inner_->SetTextColor(color); }
  platform::Rgb GetTextColor() const override { return inner_->GetTextColor(); }
  void SetBackColor(platform::Rgb color) override { inner_->SetBackColor(color); }
  platform::Rgb GetBackColor() const override { return inner_->GetBackColor(); }
  void SetBackMode(platform::BackMode mode) override { inner_->SetBackMode(mode); }
  platform::BackMode GetBackMode() const override { return inner_->GetBackMode(); }
  void SetTextAlign(uint32_t flags) override { inner_->SetTextAlign(flags); }
  uint32_t GetTextAlign() const override { return inner_->GetTextAlign(); }

  void MoveTo(int32_t x, int32_t y) override { inner_->MoveTo(x, y); }
  void LineTo(int32_t x, int32_t y) override { inner_->LineTo(x, y); }
  platform::Point CurrentPosition() const override { return inner_->CurrentPosition(); }
  void Polyline(const platform::Point* points, int32_t count) override {
    inner_->Polyline(points, count);
  }

  void Polygon(const platform::Point* points, int32_t count) override {
    inner_->Polygon(points, count);
  }
  void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override {
    inner_->Rectangle(left, top, right, bottom);
  }
  void RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t ellipseWidth,
                 int32_t ellipseHeight) override {
    inner_->RoundRect(left, top, right, bottom, ellipseWidth, ellipseHeight);
  }
  void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override {
    inner_->Ellipse(left, top, right, bottom);
  }
  void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart, int32_t yStart,
           int32_t xEnd, int32_t yEnd) override {
    inner_->Arc(left, top, right, bottom, xStart, yStart, xEnd, yEnd);
  }
  void Pie(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart, int32_t yStart,
           int32_t xEnd, int32_t yEnd) override {
    inner_->Pie(left, top, right, bottom, xStart, yStart, xEnd, yEnd);
  }
  void FillRect(const platform::Rect& rect, const platform::Brush& brush) override {
    inner_->FillRect(rect, brush);
  }
  void PatternFill(const platform::Rect& rect) override { inner_->PatternFill(rect); }
  void SetPixel(int32_t x, int32_t y, platform::Rgb color) override {
    inner_->SetPixel(x, y, color);
  }

  // The one call left out: with it go the background band and the lines of the text.
  void TextOut(int32_t, int32_t, std::string_view) override {}
  platform::Size TextExtent(std::string_view text) override { return inner_->TextExtent(text); }
  platform::FontMetrics GetFontMetrics() override { return inner_->GetFontMetrics(); }

  void ClipRect(const platform::Rect& rect) override { inner_->ClipRect(rect); }
  void ClipPolygon(const platform::Point* points, int32_t count) override {
    inner_->ClipPolygon(points, count);
  }
  void RemoveClip() override { inner_->RemoveClip(); }

  void DrawImage(const platform::Image& image, int32_t x, int32_t y) override {
    inner_->DrawImage(image, x, y);
  }
  void StretchImage(const platform::Image& image, const platform::Rect& dest) override {
    inner_->StretchImage(image, dest);
  }

  // Back buffers leave text out too: a chart draws its text on them.
  std::unique_ptr<platform::Surface> CreateCompatible(int32_t width, int32_t height,
                                                      bool monochrome) override {
    std::unique_ptr<platform::Surface> made = inner_->CreateCompatible(width, height, monochrome);
    if (!made) return nullptr;
    return std::make_unique<NoTextSurface>(std::move(made));
  }
  // Blocks go between the surfaces underneath, which know each other's pixels and kinds.
  void CopyFrom(int32_t dx, int32_t dy, int32_t width, int32_t height, platform::Surface& source,
                int32_t sx, int32_t sy) override {
    auto* wrapped = dynamic_cast<NoTextSurface*>(&source);
    inner_->CopyFrom(dx, dy, width, height, wrapped ? wrapped->Inner() : source, sx, sy);
  }
  platform::Image Snapshot() override { return inner_->Snapshot(); }

  using platform::Surface::Polygon;
  using platform::Surface::Polyline;

 private:
  std::unique_ptr<platform::Surface> inner_;
};

}  // namespace zq::test
