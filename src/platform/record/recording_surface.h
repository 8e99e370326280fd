// A surface that records every drawing call as a comparable list of operations, for exact
// geometry tests, optionally drawing each call through to another surface as well. A recorded
// list can be replayed onto any surface.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace zq::platform {

enum class OpKind : uint8_t {
  // State changes: recorded only when SetRecordState(true) was called.
  SetPen,
  SetBrush,
  SetFont,
  SetTextColor,
  SetBackColor,
  SetBackMode,
  SetTextAlign,
  // Drawing.
  MoveTo,
  LineTo,
  Polyline,
  Polygon,
  Rectangle,
  RoundRect,
  Ellipse,
  Arc,
  Pie,
  FillRect,
  PatternFill,
  SetPixel,
  TextOut,
  ClipRect,
  ClipPolygon,
  RemoveClip,
  DrawImage,
  StretchImage,
  CopyFrom,
};

const char* OpKindName(OpKind kind);

// One recorded call. Only the state the call draws with is kept; the other state fields keep
// their default values, so that two recordings compare equal when they draw the same.
struct RecordedOp {
  // Which state fields the operation uses.
  enum Uses : uint8_t {
    kPen = 1,
    kBrush = 2,
    kBack = 4,     // background mode and colour
    kText = 8,     // font, text colour and alignment
    kColors = 16,  // text and background colour (block copies to or from monochrome)
  };

  OpKind kind = OpKind::MoveTo;
  // The call's integer arguments in order; points are flattened to x, y. LineTo holds the
  // current position first (x0, y0, x1, y1); FillRect and SetPixel hold the rectangle and the
  // colour; CopyFrom holds dx, dy, width, height, sx, sy.
  std::vector<int32_t> args;
  std::string text;
  uint8_t uses = 0;
  Pen pen;
  Brush brush;  // FillRect: its brush argument
  LogFont font;
  Rgb textColor = 0;
  Rgb backColor = 0;
  BackMode backMode = BackMode::Transparent;
  uint32_t textAlign = 0;
  // DrawImage, StretchImage, and CopyFrom from a surface that does not record.
  std::shared_ptr<const Image> image;
  // CopyFrom a recording surface: what had been drawn on it, and its kind.
  std::shared_ptr<const std::vector<RecordedOp>> source;
  int32_t sourceWidth = 0;
  int32_t sourceHeight = 0;
  bool sourceMonochrome = false;
  Rgb sourceBackColor = 0;

  friend bool operator==(const RecordedOp& a, const RecordedOp& b);
  std::string ToString() const;
};

std::ostream& operator<<(std::ostream& out, const RecordedOp& op);

class RecordingSurface : public Surface {
 public:
  // Records only. Text is measured by a fixed-advance model: with em the character height in
  // pixels (-height, or 15/16 of a positive cell height, or 12), ascent is round(0.9 em),
  // descent ceil(em / 6), and every character advances (em + 1) / 2.
  RecordingSurface(int32_t width, int32_t height);
  // Records and draws every call through to inner (which measures the text), not owned.
  explicit RecordingSurface(Surface& inner);
  // The same, owning inner.
  explicit RecordingSurface(std::unique_ptr<Surface> inner);

  const std::vector<RecordedOp>& Ops() const { return ops_; }
  std::vector<RecordedOp> OpsOfKind(OpKind kind) const;
  void ClearOps() { ops_.clear(); }
  void SetRecordState(bool on) { recordState_ = on; }
  Surface* Inner() const { return inner_; }
  bool Monochrome() const { return monochrome_; }
  // The recording, one operation a line (for test failure messages).
  std::string Dump() const;
  // Draws the recorded operations onto target.
  void Replay(Surface& target) const;
  static void Replay(const std::vector<RecordedOp>& ops, Surface& target);

  int32_t Width() const override;
  int32_t Height() const override;
  intptr_t Handle() const override { return inner_ ? inner_->Handle() : 0; }

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
  Point CurrentPosition() const override { return position_; }
  void Polyline(const Point* points, int32_t count) override;
  using Surface::Polyline;

  void Polygon(const Point* points, int32_t count) override;
  using Surface::Polygon;
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

  // A recording surface too, drawing through to a compatible surface of inner if there is one.
  std::unique_ptr<Surface> CreateCompatible(int32_t width, int32_t height,
                                            bool monochrome) override;
  void CopyFrom(int32_t dx, int32_t dy, int32_t width, int32_t height, Surface& source, int32_t sx,
                int32_t sy) override;
  // Inner's pixels; without inner, a white image of the surface's size.
  Image Snapshot() override;

 private:
  RecordedOp& Record(OpKind kind, std::vector<int32_t> args, uint8_t uses);
  uint8_t PenUses() const;
  uint8_t ShapeUses() const;

  int32_t width_ = 0, height_ = 0;
  bool monochrome_ = false;
  Surface* inner_ = nullptr;
  std::unique_ptr<Surface> ownedInner_;
  std::vector<RecordedOp> ops_;
  bool recordState_ = false;

  Pen pen_;
  Brush brush_;
  LogFont font_;
  Rgb textColor_ = 0;
  Rgb backColor_ = 0xFFFFFF;
  BackMode backMode_ = BackMode::Opaque;
  uint32_t textAlign_ = 0;
  Point position_;
};

}  // namespace zq::platform
