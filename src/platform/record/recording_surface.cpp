#include "platform/record/recording_surface.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <sstream>

namespace zq::platform {

namespace {

const char* PenStyleName(PenStyle s) {
  switch (s) {
    case PenStyle::Solid:
      return "Solid";
    case PenStyle::Dash:
      return "Dash";
    case PenStyle::Dot:
      return "Dot";
    case PenStyle::DashDot:
      return "DashDot";
    case PenStyle::DashDotDot:
      return "DashDotDot";
    case PenStyle::Clear:
      return "Clear";
    case PenStyle::InsideFrame:
      return "InsideFrame";
    case PenStyle::Alternate:
      return "Alternate";
  }
  return "?";
}

const char* BrushStyleName(BrushStyle s) {
  switch (s) {
    case BrushStyle::Solid:
      return "Solid";
    case BrushStyle::Clear:
      return "Clear";
    case BrushStyle::Horizontal:
      return "Horizontal";
    case BrushStyle::Vertical:
      return "Vertical";
    case BrushStyle::FDiagonal:
      return "FDiagonal";
    case BrushStyle::BDiagonal:
      return "BDiagonal";
    case BrushStyle::Cross:
      return "Cross";
    case BrushStyle::DiagCross:
      return "DiagCross";
    case BrushStyle::Pattern:
      return "Pattern";
  }
  return "?";
}

std::string Hex(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", unsigned(v));
  return buf;
}

bool DashedCosmetic(const Pen& p) {
  return p.width <= 1 && p.style != PenStyle::Solid && p.style != PenStyle::Clear &&
         p.style != PenStyle::InsideFrame;
}

bool PatternedBrush(const Brush& b) {
  return b.style != BrushStyle::Solid && b.style != BrushStyle::Clear;
}

// The fixed-advance text model of a recording surface without an inner surface.
int32_t EmOf(const LogFont& f) {
  if (f.height < 0) return f.height == INT32_MIN ? INT32_MAX : -f.height;
  if (f.height > 0) return std::max(1, int32_t((int64_t(f.height) * 15 + 8) / 16));
  return 12;
}

FontMetrics ModelMetrics(const LogFont& f) {
  const int64_t em = EmOf(f);
  FontMetrics m;
  m.ascent = int32_t((em * 9 + 5) / 10);
  m.descent = int32_t((em + 5) / 6);
  m.height = m.ascent + m.descent;
  return m;
}

int32_t CodePoints(std::string_view s) {
  int32_t n = 0;
  for (char c : s)
    if ((uint8_t(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::vector<int32_t> Flatten(const Point* points, int32_t count) {
  std::vector<int32_t> out;
  out.reserve(size_t(std::max(count, 0)) * 2);
  for (int32_t i = 0; i < count; ++i) {
    out.push_back(points[i].x);
    out.push_back(points[i].y);
  }
  return out;
}

std::vector<Point> Unflatten(const std::vector<int32_t>& args) {
  std::vector<Point> out;
  for (size_t i = 0; i + 1 < args.size(); i += 2) out.push_back({args[i], args[i + 1]});
  return out;
}

// Applies the state an operation draws with; unchanged values are not set again.
void ApplyState(const RecordedOp& op, Surface& target) {
  if (op.uses & RecordedOp::kPen && !(target.GetPen() == op.pen)) target.SetPen(op.pen);
  if (op.uses & RecordedOp::kBrush && !(target.GetBrush() == op.brush)) target.SetBrush(op.brush);
  if (op.uses & RecordedOp::kBack) {
    if (target.GetBackMode() != op.backMode) target.SetBackMode(op.backMode);
    if (op.backMode == BackMode::Opaque && target.GetBackColor() != op.backColor)
      target.SetBackColor(op.backColor);
  }
  if (op.uses & RecordedOp::kText) {
    if (!(target.GetFont() == op.font)) target.SetFont(op.font);
    if (target.GetTextColor() != op.textColor) target.SetTextColor(op.textColor);
    if (target.GetTextAlign() != op.textAlign) target.SetTextAlign(op.textAlign);
  }
  if (op.uses & RecordedOp::kColors) {
    if (target.GetTextColor() != op.textColor) target.SetTextColor(op.textColor);
    if (target.GetBackColor() != op.backColor) target.SetBackColor(op.backColor);
  }
}

bool SameImage(const std::shared_ptr<const Image>& a, const std::shared_ptr<const Image>& b) {
  if (!a || !b) return !a && !b;
  return a->width == b->width && a->height == b->height && a->pixels == b->pixels;
}

bool SameSource(const std::shared_ptr<const std::vector<RecordedOp>>& a,
                const std::shared_ptr<const std::vector<RecordedOp>>& b) {
  if (!a || !b) return !a && !b;
  return *a == *b;
}

}  // namespace

const char* OpKindName(OpKind kind) {
  static const char* const kNames[] = {
      "SetPen",       "SetBrush", "SetFont",  "SetTextColor", "SetBackColor", "SetBackMode",
      "SetTextAlign", "MoveTo",   "LineTo",   "Polyline",     "Polygon",      "Rectangle",
      "RoundRect",    "Ellipse",  "Arc",      "Pie",          "FillRect",     "PatternFill",
      "SetPixel",     "TextOut",  "ClipRect", "ClipPolygon",  "RemoveClip",   "DrawImage",
      "StretchImage", "CopyFrom"};
  const size_t i = size_t(kind);
  return i < sizeof kNames / sizeof kNames[0] ? kNames[i] : "?";
}

bool operator==(const RecordedOp& a, const RecordedOp& b) {
  return a.kind == b.kind && a.args == b.args && a.text == b.text && a.uses == b.uses &&
         a.pen == b.pen && a.brush == b.brush && a.font == b.font && a.textColor == b.textColor &&
         a.backColor == b.backColor && a.backMode == b.backMode && a.textAlign == b.textAlign &&
         SameImage(a.image, b.image) && SameSource(a.source, b.source) &&
         a.sourceWidth == b.sourceWidth && a.sourceHeight == b.sourceHeight &&
         a.sourceMonochrome == b.sourceMonochrome && a.sourceBackColor == b.sourceBackColor;
}

std::string RecordedOp::ToString() const {
  std::ostringstream s;
  s << OpKindName(kind);
  for (size_t i = 0; i < args.size(); ++i) s << (i ? "," : " ") << args[i];
  if (!text.empty() || kind == OpKind::TextOut) s << " \"" << text << '"';
  if (uses & kPen)
    s << " pen(" << Hex(pen.color) << " w" << pen.width << ' ' << PenStyleName(pen.style)
      << (pen.mode == PenMode::NotXor ? " NotXor" : "") << ')';
  if (uses & kBrush) {
    s << " brush(" << Hex(brush.color) << ' ' << BrushStyleName(brush.style);
    if (brush.style == BrushStyle::Pattern)
      for (uint8_t r : brush.pattern.rows) s << ' ' << Hex(r).substr(4);
    s << ')';
  }
  if (uses & kBack) {
    s << (backMode == BackMode::Opaque ? " opaque(" + Hex(backColor) + ")" : " transparent");
  }
  if (uses & kText) {
    s << " font(" << font.face << ' ' << font.height << " w" << font.weight
      << (font.italic ? " italic" : "") << (font.underline ? " underline" : "")
      << (font.strikeOut ? " strikeout" : "") << " cs" << int(font.charset);
    if (font.escapement) s << " esc" << font.escapement;
    s << ") text(" << Hex(textColor) << ") align" << textAlign;
  }
  if (uses & kColors) s << " colors(" << Hex(textColor) << '/' << Hex(backColor) << ')';
  if (image) s << " image " << image->width << 'x' << image->height;
  if (source)
    s << " source " << sourceWidth << 'x' << sourceHeight << (sourceMonochrome ? " mono" : "")
      << " with " << source->size() << " ops";
  return s.str();
}

std::ostream& operator<<(std::ostream& out, const RecordedOp& op) {
  return out << op.ToString();
}

// ---- the surface -------------------------------------------------------------------------

RecordingSurface::RecordingSurface(int32_t width, int32_t height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {}

RecordingSurface::RecordingSurface(Surface& inner) : inner_(&inner) {
  width_ = inner.Width();
  height_ = inner.Height();
  pen_ = inner.GetPen();
  brush_ = inner.GetBrush();
  font_ = inner.GetFont();
  textColor_ = inner.GetTextColor();
  backColor_ = inner.GetBackColor();
  backMode_ = inner.GetBackMode();
  textAlign_ = inner.GetTextAlign();
  position_ = inner.CurrentPosition();
}

RecordingSurface::RecordingSurface(std::unique_ptr<Surface> inner) : RecordingSurface(*inner) {
  ownedInner_ = std::move(inner);
}

int32_t RecordingSurface::Width() const {
  return inner_ ? inner_->Width() : width_;
}
int32_t RecordingSurface::Height() const {
  return inner_ ? inner_->Height() : height_;
}

std::vector<RecordedOp> RecordingSurface::OpsOfKind(OpKind kind) const {
  std::vector<RecordedOp> out;
  for (const RecordedOp& op : ops_)
    if (op.kind == kind) out.push_back(op);
  return out;
}

std::string RecordingSurface::Dump() const {
  std::ostringstream s;
  for (size_t i = 0; i < ops_.size(); ++i) s << '#' << i << ' ' << ops_[i].ToString() << '\n';
  return s.str();
}

RecordedOp& RecordingSurface::Record(OpKind kind, std::vector<int32_t> args, uint8_t uses) {
  RecordedOp& op = ops_.emplace_back();
  op.kind = kind;
  op.args = std::move(args);
  op.uses = uses;
  if (uses & RecordedOp::kPen) op.pen = pen_;
  if (uses & RecordedOp::kBrush) op.brush = brush_;
  if (uses & RecordedOp::kBack) {
    op.backMode = backMode_;
    if (backMode_ == BackMode::Opaque) op.backColor = backColor_;
  }
  if (uses & RecordedOp::kText) {
    op.font = font_;
    op.textColor = textColor_;
    op.textAlign = textAlign_;
  }
  if (uses & RecordedOp::kColors) {
    op.textColor = textColor_;
    op.backColor = backColor_;
  }
  return op;
}

uint8_t RecordingSurface::PenUses() const {
  return RecordedOp::kPen | (DashedCosmetic(pen_) ? RecordedOp::kBack : 0);
}

uint8_t RecordingSurface::ShapeUses() const {
  return PenUses() | RecordedOp::kBrush | (PatternedBrush(brush_) ? RecordedOp::kBack : 0);
}

void RecordingSurface::SetPen(const Pen& pen) {
  pen_ = pen;
  if (recordState_) Record(OpKind::SetPen, {}, RecordedOp::kPen);
  if (inner_) inner_->SetPen(pen);
}

void RecordingSurface::SetBrush(const Brush& brush) {
  brush_ = brush;
  if (recordState_) Record(OpKind::SetBrush, {}, RecordedOp::kBrush);
  if (inner_) inner_->SetBrush(brush);
}

void RecordingSurface::SetFont(const LogFont& font) {
  font_ = font;
  if (recordState_) Record(OpKind::SetFont, {}, 0).font = font;
  if (inner_) inner_->SetFont(font);
}

void RecordingSurface::SetTextColor(Rgb color) {
  textColor_ = color;
  if (recordState_) Record(OpKind::SetTextColor, {int32_t(color)}, 0);
  if (inner_) inner_->SetTextColor(color);
}

void RecordingSurface::SetBackColor(Rgb color) {
  backColor_ = color;
  if (recordState_) Record(OpKind::SetBackColor, {int32_t(color)}, 0);
  if (inner_) inner_->SetBackColor(color);
}

void RecordingSurface::SetBackMode(BackMode mode) {
  backMode_ = mode;
  if (recordState_) Record(OpKind::SetBackMode, {int32_t(mode)}, 0);
  if (inner_) inner_->SetBackMode(mode);
}

void RecordingSurface::SetTextAlign(uint32_t flags) {
  textAlign_ = flags;
  if (recordState_) Record(OpKind::SetTextAlign, {int32_t(flags)}, 0);
  if (inner_) inner_->SetTextAlign(flags);
}

void RecordingSurface::MoveTo(int32_t x, int32_t y) {
  Record(OpKind::MoveTo, {x, y}, 0);
  position_ = {x, y};
  if (inner_) inner_->MoveTo(x, y);
}

void RecordingSurface::LineTo(int32_t x, int32_t y) {
  Record(OpKind::LineTo, {position_.x, position_.y, x, y}, PenUses());
  position_ = {x, y};
  if (inner_) inner_->LineTo(x, y);
}

void RecordingSurface::Polyline(const Point* points, int32_t count) {
  Record(OpKind::Polyline, Flatten(points, count), PenUses());
  if (inner_) inner_->Polyline(points, count);
}

void RecordingSurface::Polygon(const Point* points, int32_t count) {
  Record(OpKind::Polygon, Flatten(points, count), ShapeUses());
  if (inner_) inner_->Polygon(points, count);
}

void RecordingSurface::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Record(OpKind::Rectangle, {left, top, right, bottom}, ShapeUses());
  if (inner_) inner_->Rectangle(left, top, right, bottom);
}

void RecordingSurface::RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                 int32_t ellipseWidth, int32_t ellipseHeight) {
  Record(OpKind::RoundRect, {left, top, right, bottom, ellipseWidth, ellipseHeight}, ShapeUses());
  if (inner_) inner_->RoundRect(left, top, right, bottom, ellipseWidth, ellipseHeight);
}

void RecordingSurface::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Record(OpKind::Ellipse, {left, top, right, bottom}, ShapeUses());
  if (inner_) inner_->Ellipse(left, top, right, bottom);
}

void RecordingSurface::Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
                           int32_t yStart, int32_t xEnd, int32_t yEnd) {
  Record(OpKind::Arc, {left, top, right, bottom, xStart, yStart, xEnd, yEnd}, PenUses());
  if (inner_) inner_->Arc(left, top, right, bottom, xStart, yStart, xEnd, yEnd);
}

void RecordingSurface::Pie(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
                           int32_t yStart, int32_t xEnd, int32_t yEnd) {
  Record(OpKind::Pie, {left, top, right, bottom, xStart, yStart, xEnd, yEnd}, ShapeUses());
  if (inner_) inner_->Pie(left, top, right, bottom, xStart, yStart, xEnd, yEnd);
}

void RecordingSurface::FillRect(const Rect& rect, const Brush& brush) {
  RecordedOp& op = Record(OpKind::FillRect, {rect.left, rect.top, rect.right, rect.bottom},
                          PatternedBrush(brush) ? RecordedOp::kBack : 0);
  op.brush = brush;
  if (inner_) inner_->FillRect(rect, brush);
}

void RecordingSurface::PatternFill(const Rect& rect) {
  Record(OpKind::PatternFill, {rect.left, rect.top, rect.right, rect.bottom},
         RecordedOp::kBrush | (PatternedBrush(brush_) ? RecordedOp::kBack : 0));
  if (inner_) inner_->PatternFill(rect);
}

void RecordingSurface::SetPixel(int32_t x, int32_t y, Rgb color) {
  Record(OpKind::SetPixel, {x, y, int32_t(color)}, RecordedOp::kPen);  // the pen's mode applies
  if (inner_) inner_->SetPixel(x, y, color);
}

void RecordingSurface::TextOut(int32_t x, int32_t y, std::string_view text) {
  Record(OpKind::TextOut, {x, y}, RecordedOp::kText | RecordedOp::kBack).text = std::string(text);
  if (inner_) inner_->TextOut(x, y, text);
}

Size RecordingSurface::TextExtent(std::string_view text) {
  if (inner_) return inner_->TextExtent(text);
  const int64_t em = EmOf(font_);
  const int64_t w = int64_t(CodePoints(text)) * ((em + 1) / 2);
  return {int32_t(std::min<int64_t>(w, INT32_MAX)), ModelMetrics(font_).height};
}

FontMetrics RecordingSurface::GetFontMetrics() {
  if (inner_) return inner_->GetFontMetrics();
  return ModelMetrics(font_);
}

void RecordingSurface::ClipRect(const Rect& rect) {
  Record(OpKind::ClipRect, {rect.left, rect.top, rect.right, rect.bottom}, 0);
  if (inner_) inner_->ClipRect(rect);
}

void RecordingSurface::ClipPolygon(const Point* points, int32_t count) {
  Record(OpKind::ClipPolygon, Flatten(points, count), 0);
  if (inner_) inner_->ClipPolygon(points, count);
}

void RecordingSurface::RemoveClip() {
  Record(OpKind::RemoveClip, {}, 0);
  if (inner_) inner_->RemoveClip();
}

void RecordingSurface::DrawImage(const Image& image, int32_t x, int32_t y) {
  Record(OpKind::DrawImage, {x, y}, 0).image = std::make_shared<const Image>(image);
  if (inner_) inner_->DrawImage(image, x, y);
}

void RecordingSurface::StretchImage(const Image& image, const Rect& dest) {
  Record(OpKind::StretchImage, {dest.left, dest.top, dest.right, dest.bottom}, 0).image =
      std::make_shared<const Image>(image);
  if (inner_) inner_->StretchImage(image, dest);
}

std::unique_ptr<Surface> RecordingSurface::CreateCompatible(int32_t width, int32_t height,
                                                            bool monochrome) {
  std::unique_ptr<RecordingSurface> child;
  if (inner_)
    child = std::make_unique<RecordingSurface>(inner_->CreateCompatible(width, height, monochrome));
  else
    child = std::make_unique<RecordingSurface>(width, height);
  child->monochrome_ = monochrome;
  child->recordState_ = recordState_;
  return child;
}

void RecordingSurface::CopyFrom(int32_t dx, int32_t dy, int32_t width, int32_t height,
                                Surface& source, int32_t sx, int32_t sy) {
  RecordedOp& op = Record(OpKind::CopyFrom, {dx, dy, width, height, sx, sy}, RecordedOp::kColors);
  op.sourceWidth = source.Width();
  op.sourceHeight = source.Height();
  op.sourceBackColor = source.GetBackColor();
  Surface* innerSource = &source;
  if (auto* rec = dynamic_cast<RecordingSurface*>(&source)) {
    op.source = std::make_shared<const std::vector<RecordedOp>>(rec->ops_);
    op.sourceMonochrome = rec->monochrome_;
    if (rec->inner_) innerSource = rec->inner_;
  } else {
    op.image = std::make_shared<const Image>(source.Snapshot());
  }
  if (inner_) inner_->CopyFrom(dx, dy, width, height, *innerSource, sx, sy);
}

Image RecordingSurface::Snapshot() {
  if (inner_) return inner_->Snapshot();
  Image img;
  img.width = width_;
  img.height = height_;
  img.pixels.assign(size_t(width_) * size_t(height_), 0xFFFFFFFFu);
  return img;
}

// ---- replay ------------------------------------------------------------------------------

void RecordingSurface::Replay(Surface& target) const {
  Replay(ops_, target);
}

void RecordingSurface::Replay(const std::vector<RecordedOp>& ops, Surface& target) {
  for (const RecordedOp& op : ops) {
    ApplyState(op, target);
    const std::vector<int32_t>& a = op.args;
    auto arg = [&](size_t i) { return i < a.size() ? a[i] : 0; };
    switch (op.kind) {
      case OpKind::SetPen:
        break;  // applied with the state above
      case OpKind::SetBrush:
        break;
      case OpKind::SetFont:
        target.SetFont(op.font);
        break;
      case OpKind::SetTextColor:
        target.SetTextColor(Rgb(arg(0)));
        break;
      case OpKind::SetBackColor:
        target.SetBackColor(Rgb(arg(0)));
        break;
      case OpKind::SetBackMode:
        target.SetBackMode(BackMode(arg(0)));
        break;
      case OpKind::SetTextAlign:
        target.SetTextAlign(uint32_t(arg(0)));
        break;
      case OpKind::MoveTo:
        target.MoveTo(arg(0), arg(1));
        break;
      case OpKind::LineTo:
        if (!(target.CurrentPosition() == Point{arg(0), arg(1)})) target.MoveTo(arg(0), arg(1));
        target.LineTo(arg(2), arg(3));
        break;
      case OpKind::Polyline: {
        const std::vector<Point> pts = Unflatten(a);
        target.Polyline(pts.data(), int32_t(pts.size()));
        break;
      }
      case OpKind::Polygon: {
        const std::vector<Point> pts = Unflatten(a);
        target.Polygon(pts.data(), int32_t(pts.size()));
        break;
      }
      case OpKind::Rectangle:
        target.Rectangle(arg(0), arg(1), arg(2), arg(3));
        break;
      case OpKind::RoundRect:
        target.RoundRect(arg(0), arg(1), arg(2), arg(3), arg(4), arg(5));
        break;
      case OpKind::Ellipse:
        target.Ellipse(arg(0), arg(1), arg(2), arg(3));
        break;
      case OpKind::Arc:
        target.Arc(arg(0), arg(1), arg(2), arg(3), arg(4), arg(5), arg(6), arg(7));
        break;
      case OpKind::Pie:
        target.Pie(arg(0), arg(1), arg(2), arg(3), arg(4), arg(5), arg(6), arg(7));
        break;
      case OpKind::FillRect:
        target.FillRect({arg(0), arg(1), arg(2), arg(3)}, op.brush);
        break;
      case OpKind::PatternFill:
        target.PatternFill({arg(0), arg(1), arg(2), arg(3)});
        break;
      case OpKind::SetPixel:
        target.SetPixel(arg(0), arg(1), Rgb(arg(2)));
        break;
      case OpKind::TextOut:
        target.TextOut(arg(0), arg(1), op.text);
        break;
      case OpKind::ClipRect:
        target.ClipRect({arg(0), arg(1), arg(2), arg(3)});
        break;
      case OpKind::ClipPolygon: {
        const std::vector<Point> pts = Unflatten(a);
        target.ClipPolygon(pts.data(), int32_t(pts.size()));
        break;
      }
      case OpKind::RemoveClip:
        target.RemoveClip();
        break;
      case OpKind::DrawImage:
        if (op.image) target.DrawImage(*op.image, arg(0), arg(1));
        break;
      case OpKind::StretchImage:
        if (op.image) target.StretchImage(*op.image, {arg(0), arg(1), arg(2), arg(3)});
        break;
      case OpKind::CopyFrom: {
        std::unique_ptr<Surface> block;
        if (op.source) {
          block = target.CreateCompatible(op.sourceWidth, op.sourceHeight, op.sourceMonochrome);
          Replay(*op.source, *block);
        } else if (op.image) {
          block = target.CreateCompatible(op.image->width, op.image->height, false);
          block->DrawImage(*op.image, 0, 0);
        }
        if (block) {
          block->SetBackColor(op.sourceBackColor);
          target.CopyFrom(arg(0), arg(1), arg(2), arg(3), *block, arg(4), arg(5));
        }
        break;
      }
    }
  }
}

}  // namespace zq::platform
