#include "engine/series/marks.h"

#include <algorithm>

#include "engine/drawing/canvas3d.h"
#include "engine/series/series.h"

namespace zq {

namespace {
// Pixel sums done wide: points may lie anywhere in the int32 range.
int32_t Sum(int64_t a, int64_t b) {
  return int32_t(std::clamp<int64_t>(a + b, INT32_MIN, INT32_MAX));
}
}  // namespace

// ---- multi-line texts ---------------------------------------------------------------------

namespace textlines {

std::vector<std::string_view> Split(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == kLineSeparator) {
      lines.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

int32_t WidestWidth(TZidCanvas3D& canvas, std::string_view text, int32_t* lines) {
  if (text.find(kLineSeparator) == std::string_view::npos) {
    if (lines) *lines = 1;
    return canvas.TextWidthOf(text);
  }
  const std::vector<std::string_view> parts = Split(text);
  int32_t widest = 0;
  for (std::string_view line : parts) widest = std::max(widest, canvas.TextWidthOf(line));
  if (lines) *lines = int32_t(parts.size());
  return widest;
}

}  // namespace textlines

// ---- TSeriesMarks -------------------------------------------------------------------------

TSeriesMarks::TSeriesMarks(TChartSeries& series)
    : series_(series),
      arrow_([this] { Repaint(); }),
      frame_([this] { Repaint(); }),
      font_([this] { Repaint(); }) {}

TSeriesMarks::~TSeriesMarks() = default;

void TSeriesMarks::Repaint() const {
  series_.RequestRepaint();
}

void TSeriesMarks::SetArrowLength(int32_t value) {
  if (value == arrowLength_) return;
  arrowLength_ = value;
  Repaint();
}

void TSeriesMarks::SetBackColor(TColor value) {
  if (value == backColor_) return;
  backColor_ = value;
  Repaint();
}

void TSeriesMarks::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Repaint();
}

void TSeriesMarks::SetClip(bool value) {
  if (value == clip_) return;
  clip_ = value;
  Repaint();
}

void TSeriesMarks::SetStyle(TSeriesMarksStyle value) {
  if (value == style_) return;
  style_ = value;
  Repaint();
}

void TSeriesMarks::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Repaint();
}

void TSeriesMarks::Assign(const TSeriesMarks& source) {
  if (&source == this) return;
  arrow_.Assign(source.arrow_);
  SetArrowLength(source.arrowLength_);
  SetBackColor(source.backColor_);
  SetTransparent(source.transparent_);
  SetClip(source.clip_);
  frame_.Assign(source.frame_);
  font_.Assign(source.font_);
  SetStyle(source.style_);
  SetVisible(source.visible_);
}

// ---- positions ---------------------------------------------------------------------------

TSeriesMarkPosition* TSeriesMarks::PositionAt(int32_t index) const {
  if (index < 0 || size_t(index) >= positions_.size()) return nullptr;
  return positions_[size_t(index)].get();
}

void TSeriesMarks::SetCustomPosition(int32_t index, const TSeriesMarkPosition& position) {
  if (index < 0) return;
  if (positions_.size() <= size_t(index)) positions_.resize(size_t(index) + 1);
  auto& entry = positions_[size_t(index)];
  if (!entry) entry = std::make_unique<TSeriesMarkPosition>();
  *entry = position;
  entry->Custom = true;
  Repaint();
}

void TSeriesMarks::UseMarkPosition(int32_t index, TSeriesMarkPosition& position) {
  if (index < 0) return;
  if (positions_.size() <= size_t(index)) positions_.resize(size_t(index) + 1);
  auto& entry = positions_[size_t(index)];
  if (!entry) entry = std::make_unique<TSeriesMarkPosition>();
  if (entry->Custom) {
    position = *entry;
  } else {
    *entry = position;
    entry->Custom = false;
  }
}

void TSeriesMarks::ClearMarkPositions() {
  std::vector<std::unique_ptr<TSeriesMarkPosition>>().swap(positions_);
}

void TSeriesMarks::DeletePosition(int32_t index) {
  if (index >= 0 && size_t(index) < positions_.size()) {
    positions_.erase(positions_.begin() + index);
  }
}

void TSeriesMarks::DeletePositions(int32_t first, int32_t count) {
  if (first < 0 || count <= 0 || size_t(first) >= positions_.size()) return;
  size_t last = std::min(positions_.size(), size_t(first) + size_t(count));
  positions_.erase(positions_.begin() + first, positions_.begin() + std::ptrdiff_t(last));
}

void TSeriesMarks::ReorderPositions(const std::vector<int32_t>& order) {
  if (positions_.empty()) return;
  if (positions_.size() < order.size()) positions_.resize(order.size());
  std::vector<std::unique_ptr<TSeriesMarkPosition>> moved(positions_.size());
  for (size_t i = 0; i < order.size(); ++i) {
    const int32_t from = order[i];
    if (from >= 0 && size_t(from) < order.size()) moved[i] = std::move(positions_[size_t(from)]);
  }
  for (size_t i = order.size(); i < positions_.size(); ++i) moved[i] = std::move(positions_[i]);
  positions_.swap(moved);
}

void TSeriesMarks::SwapPositions(int32_t a, int32_t b) {
  const size_t high = size_t(std::max(a, b));
  if (a < 0 || b < 0 || positions_.empty()) return;
  if (positions_.size() <= high) positions_.resize(high + 1);
  std::swap(positions_[size_t(a)], positions_[size_t(b)]);
}

// ---- drawing -----------------------------------------------------------------------------

void TSeriesMarks::DrawMarkBox(int32_t index, TColor pointColor, TSeriesMarkPosition& position,
                               std::string_view text) {
  TChartHost* chart = series_.ParentChart();
  if (!chart) return;
  TZidCanvas3D& canvas = chart->Canvas();
  UseMarkPosition(index, position);
  const bool view3D = chart->View3D();
  const bool textInDepth = view3D && canvas.DrawsTextInDepth();

  if (arrow_.Visible()) {
    canvas.SelectChartPen(arrow_);
    canvas.SetBrushStyle(TBrushStyle::bsClear);
    // A clear brush draws transparently: the gaps of a styled arrow show what lies below.
    canvas.ChangeBackMode(platform::BackMode::Transparent);
    // An arrow in the point's or the chart's colour would not show.
    if (arrow_.Color() == pointColor || arrow_.Color() == chart->Color()) {
      canvas.SetPenColor(chart->Color() == clBlack ? clWhite : clBlack);
    }
    const platform::Point& from = position.ArrowFrom;
    const platform::Point& to = position.ArrowTo;
    if (view3D) {
      canvas.DrawLineAtZ(from.x, from.y, to.x, to.y, zPosition_);
    } else {
      canvas.DrawSegment(from.x, from.y, to.x, to.y);
    }
  }

  platform::Point leftTop = position.LeftTop;
  if (view3D && !canvas.DrawsTextInDepth()) {
    // The box is drawn flat: it follows the projected end of its arrow.
    const platform::Point projected =
        canvas.ProjectXY(position.ArrowTo.x, position.ArrowTo.y, zPosition_);
    leftTop.x = Sum(leftTop.x, int64_t(projected.x) - position.ArrowTo.x);
    leftTop.y = Sum(leftTop.y, int64_t(projected.y) - position.ArrowTo.y);
  }
  const platform::Rect bounds{leftTop.x, leftTop.y, Sum(leftTop.x, position.Width),
                              Sum(leftTop.y, position.Height)};

  if (frame_.Visible() || !transparent_) {
    canvas.SetBrushColor(backColor_);
    canvas.SetBrushStyle(transparent_ ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
    canvas.SelectChartPen(frame_);
    if (textInDepth) {
      canvas.DrawRectAtZ(bounds, zPosition_ + 1);
    } else {
      canvas.DrawRectR(bounds);
    }
  }
  int32_t top = leftTop.y;
  if (frame_.Visible()) top = Sum(top, frame_.Width());

  canvas.SetBrushStyle(TBrushStyle::bsClear);
  // The text lies on the box (or on the chart when transparent), never on a block of its own.
  canvas.ChangeBackMode(platform::BackMode::Transparent);
  canvas.SetTextAlignment(platform::text_align::kCenter | platform::text_align::kTop);
  const int32_t lineHeight = canvas.TextLineHeight();
  const int32_t x = Sum(leftTop.x, position.Width / 2);
  int32_t y = top;
  for (std::string_view line : textlines::Split(text)) {
    if (textInDepth) {
      canvas.DrawTextAtZ(x, y, line, zPosition_);
    } else {
      canvas.OutputText(x, y, line);
    }
    y = Sum(y, lineHeight);
  }
  canvas.SetTextAlignment(platform::text_align::kLeft | platform::text_align::kTop);
}

}  // namespace zq
