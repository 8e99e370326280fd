#include "charts/chart_window.h"

#include <algorithm>

#include "engine/chart/chart.h"
#include "engine/series/line_series.h"
#include "platform/codepage.h"

namespace zq::charts {

namespace {

// Two's-complement arithmetic on the 32-bit roll angle: a huge step wraps as a 32-bit integer
// would instead of overflowing.
int32_t WrapAdd(int32_t a, int32_t b) {
  return int32_t(uint32_t(a) + uint32_t(b));
}
int32_t WrapSub(int32_t a, int32_t b) {
  return int32_t(uint32_t(a) - uint32_t(b));
}

}  // namespace

RollState& Roll() {
  static RollState state;
  return state;
}

TImageForm::TImageForm() : chart_(std::make_unique<TChart>()) {
  TChart& c = *chart_;
  c.SetSize(483, 293);
  c.SetBevelWidth(0);
  c.SetColor(clWhite);
  c.SetMarginTop(3);
  c.SetMarginBottom(3);
  c.SetChart3DPercent(20);
  c.View3DOptions().SetElevation(357);
  c.View3DOptions().SetPerspective(34);
  c.View3DOptions().SetRotation(320);
  c.View3DOptions().SetOrthogonal(false);
  // The form's colour makes the back wall's clear brush solid, as giving a Windows brush a
  // colour does; the wall stays unfilled until it has a colour of its own.
  c.BackWall().Brush().SetColor(clWhite);
  c.BackWall().Brush().SetStyle(TBrushStyle::bsSolid);
  c.LeftWall().Brush().SetColor(clWhite);
  c.Title().SetText({""});
  c.Title().Brush().SetColor(clWhite);
  c.Title().Brush().SetStyle(TBrushStyle::bsClear);
  c.Title().SetColor(clWhite);
  c.Foot().SetText({""});
  TChartFont footFont = c.Foot().Font();
  footFont.SetName("Arial");
  footFont.SetHeight(-11);
  footFont.SetColor(clBlack);
  footFont.SetStyle({});
  c.Foot().SetFont(footFont);

  TLineSeries& s = c.AddSeries<TLineSeries>();
  s.SetActive(false);
  s.SetSeriesColor(clRed);
  s.Marks().SetVisible(false);
  s.Marks().SetArrowLength(8);
  s.Pointer().SetVisible(false);
  s.Pointer().SetStyle(TSeriesPointerStyle::psRectangle);
  s.Pointer().SetInflateMargins(true);
  s.XValues().SetName("X");
  s.XValues().SetMultiplier(1);
  s.XValues().SetOrder(TChartListOrder::loAscending);
  s.XValues().SetDateTime(false);
  s.YValues().SetName("Y");
  s.YValues().SetMultiplier(1);
  s.YValues().SetOrder(TChartListOrder::loNone);
  s.YValues().SetDateTime(false);
  series1_ = &s;
}

TImageForm::~TImageForm() {
  if (handle_ != 0) platform::GetWindowSystem().DestroyWindow(handle_);
}

bool TImageForm::CreateWindowIn(platform::WindowHandle parent) {
  platform::WindowSystem& ws = platform::GetWindowSystem();
  handle_ = ws.CreateChildWindow(parent, *this);
  if (handle_ == 0) return false;
  const platform::WindowHandle handle = handle_;
  chart_->SetWindowLink({[handle] { platform::GetWindowSystem().Invalidate(handle); },
                         [handle] { platform::GetWindowSystem().Update(handle); }});
  if (timer1_.enabled_) ws.SetTimer(handle_, kRollTimerId, kRollInterval);
  return true;
}

void TImageForm::FitToParent() {
  if (handle_ == 0) return;
  platform::WindowSystem& ws = platform::GetWindowSystem();
  platform::Rect client = ws.ClientRect(ws.Parent(handle_));
  ws.PlaceOnTop(handle_, 0, 0, client.Width(), client.Height());
}

void TImageForm::SetTimer1Enabled(bool enabled) {
  if (timer1_.enabled_ == enabled) return;
  timer1_.enabled_ = enabled;
  if (handle_ == 0) return;
  if (enabled)
    platform::GetWindowSystem().SetTimer(handle_, kRollTimerId, kRollInterval);
  else
    platform::GetWindowSystem().KillTimer(handle_, kRollTimerId);
}

void TImageForm::Timer1Timer() {
  RollState& roll = Roll();
  TView3DOptions& view = chart_->View3DOptions();
  if (roll.angle > 360 || roll.angle < 270) roll.angle = view.Rotation();
  if (roll.direction == 1) {
    view.SetRotation(roll.angle);
    roll.angle = WrapAdd(roll.angle, roll.step);
    if (roll.angle >= 360) roll.direction = 0;
  }
  if (roll.direction == 0) {
    view.SetRotation(roll.angle);
    roll.angle = WrapSub(roll.angle, roll.step);
    if (roll.angle <= 270) roll.direction = 1;
  }
}

void TImageForm::OnPaint(platform::Surface& surface, const platform::Rect& client) {
  chart_->Paint(surface, client);
  // The paint surface lives only for this paint (a Windows paint context goes with
  // EndPaint): the chart must not keep drawing on it afterwards.
  chart_->SetWindowCanvas(nullptr);
}

std::function<void(TImageForm&)>& TImageForm::TickHookForTests() {
  static std::function<void(TImageForm&)> hook;
  return hook;
}

void TImageForm::OnTimer(int32_t timerId) {
  if (timerId != kRollTimerId || !timer1_.enabled_) return;
  if (const auto& hook = TickHookForTests()) {
    const std::weak_ptr<char> alive = life_;
    const std::function<void(TImageForm&)> run = hook;
    run(*this);
    if (alive.expired() || !timer1_.enabled_) return;
  }
  Timer1Timer();
}

void TImageForm::OnMessage(uint32_t, intptr_t, intptr_t) {}

void TImageForm::OnResize(int32_t width, int32_t height) {
  chart_->SetSize(std::max(width, 0), std::max(height, 0));
}

// Marks that follow the mouse (the zoom rectangle) go straight onto the window while a
// handler runs; the chart forgets that surface again afterwards, as it does a paint's.
template <typename Handler>
void TImageForm::WithWindowSurface(Handler&& handler) {
  std::unique_ptr<platform::Surface> surface =
      handle_ != 0 ? platform::GetWindowSystem().WindowSurface(handle_) : nullptr;
  if (surface) chart_->SetWindowCanvas(surface.get());
  try {
    handler();
  } catch (...) {
    if (surface) chart_->SetWindowCanvas(nullptr);
    throw;
  }
  if (surface) chart_->SetWindowCanvas(nullptr);
}

void TImageForm::OnMouseDown(platform::MouseButton button, platform::ShiftState shift, int32_t x,
                             int32_t y) {
  WithWindowSurface([&] { chart_->MouseDown(button, shift, x, y); });
}

void TImageForm::OnMouseMove(platform::ShiftState shift, int32_t x, int32_t y) {
  WithWindowSurface([&] { chart_->MouseMove(shift, x, y); });
}

void TImageForm::OnMouseUp(platform::MouseButton button, platform::ShiftState shift, int32_t x,
                           int32_t y) {
  WithWindowSurface([&] { chart_->MouseUp(button, shift, x, y); });
}

void TImageForm::OnMouseWheel(int32_t delta, platform::ShiftState shift, int32_t x, int32_t y) {
  chart_->MouseWheel(delta, shift, x, y);
}

void TImageForm::OnMouseLeave() {
  chart_->MouseLeave();
}

void TImageForm::OnDestroyed() {
  // The handle is dead and may be given to another window soon: nothing may use it again.
  handle_ = 0;
  chart_->SetWindowLink({});
  // A copy: the handler may destroy this form, and the member with it.
  if (const std::function<void()> lost = onWindowLost_) lost();
}

std::string SeriesKey(const std::string& rectangleName, const std::string& seriesName) {
  std::string key;
  for (char c : rectangleName + "|" + seriesName)
    if (c != ' ') key += c;
  return key;
}

bool SameSeriesKey(const std::string& a, const std::string& b) {
  return platform::UpperCaseCyrillicLatin(a) == platform::UpperCaseCyrillicLatin(b);
}

TVelImageForm::TVelImageForm(std::string rectangleName)
    : rectangleName_(std::move(rectangleName)) {}

int32_t TVelImageForm::FindSeriesKey(const std::string& key) const {
  std::string wanted = platform::UpperCaseCyrillicLatin(key);
  for (size_t i = 0; i < seriesKeys_.size(); ++i)
    if (platform::UpperCaseCyrillicLatin(seriesKeys_[i]) == wanted) return int32_t(i);
  return -1;
}

bool TVelImageForm::AddSeriesKey(const std::string& key) {
  if (int32_t(seriesKeys_.size()) >= kMaxNamedSeries) return false;
  hasSeriesList_ = true;
  seriesKeys_.push_back(key);
  return true;
}

void TVelImageForm::RemoveSeriesKey(int32_t position) {
  if (position >= 0 && position < int32_t(seriesKeys_.size()))
    seriesKeys_.erase(seriesKeys_.begin() + position);
}

void TVelImageForm::OnMessage(uint32_t message, intptr_t, intptr_t lParam) {
  if (message == kFollowRectangleMessage && lParam == kFollowRectangleParam) FitToParent();
}

}  // namespace zq::charts
