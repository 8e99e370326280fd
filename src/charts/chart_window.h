// The chart window laid over a host rectangle: TImageForm with its fixed initial layout
// (Chart1, Series1, Timer1) and TVelImageForm, which adds the rectangle's name, the window's
// series-name list and the message that makes it follow its rectangle.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace zq {
class TChart;
class TLineSeries;
}  // namespace zq

namespace zq::charts {

// The window message that makes a chart window refit itself to its rectangle (LParam 4).
constexpr uint32_t kFollowRectangleMessage = 1274;  // WM_USER + 250
constexpr intptr_t kFollowRectangleParam = 4;
constexpr int32_t kRollTimerId = 1;
constexpr uint32_t kRollInterval = 150;

// The window's timer: switched on and off by the roll action.
class TTimer {
 public:
  bool Enabled() const { return enabled_; }
  uint32_t Interval() const { return kRollInterval; }

 private:
  friend class TImageForm;
  bool enabled_ = false;
};

class TImageForm : public platform::WindowClient {
 public:
  TImageForm();
  ~TImageForm() override;
  TImageForm(const TImageForm&) = delete;
  TImageForm& operator=(const TImageForm&) = delete;

  TChart& Chart1() { return *chart_; }
  // The form's own design-time series, always the chart's series at position 0.
  TLineSeries& Series1() { return *series1_; }
  const TTimer& Timer1() const { return timer1_; }
  void SetTimer1Enabled(bool enabled);
  // One roll step on this window's chart, with the roll state shared by all windows.
  void Timer1Timer();

  // Makes the form a child window of the host window; false when that is not a window.
  bool CreateWindowIn(platform::WindowHandle parent);
  platform::WindowHandle Handle() const { return handle_; }
  // Places the window at 0, 0 over its parent's whole client area, on top, shown.
  void FitToParent();

  // WindowClient
  void OnPaint(platform::Surface& surface, const platform::Rect& client) override;
  void OnTimer(int32_t timerId) override;
  void OnMessage(uint32_t message, intptr_t wParam, intptr_t lParam) override;
  void OnResize(int32_t width, int32_t height) override;
  void OnMouseDown(platform::MouseButton button, platform::ShiftState shift, int32_t x,
                   int32_t y) override;
  void OnMouseMove(platform::ShiftState shift, int32_t x, int32_t y) override;
  void OnMouseUp(platform::MouseButton button, platform::ShiftState shift, int32_t x,
                 int32_t y) override;
  void OnMouseWheel(int32_t delta, platform::ShiftState shift, int32_t x, int32_t y) override;
  void OnMouseLeave() override;
  void OnDestroyed() override;

  // Called when the window has gone behind the plug-in's back (the host destroyed the window
  // under it); the owner may destroy the form from here.
  void SetOnWindowLost(std::function<void()> handler) { onWindowLost_ = std::move(handler); }

  // Tests only: runs at every roll tick before the step, and may do anything a host could,
  // deleting this very chart included.
  static std::function<void(TImageForm&)>& TickHookForTests();

 private:
  template <typename Handler>
  void WithWindowSurface(Handler&& handler);
  std::unique_ptr<TChart> chart_;
  TLineSeries* series1_ = nullptr;  // owned by the chart
  TTimer timer1_;
  platform::WindowHandle handle_ = 0;
  std::function<void()> onWindowLost_;
  // Expires with the form: code that may have destroyed it checks this before going on.
  std::shared_ptr<char> life_ = std::make_shared<char>();
};

// A series name as scripts address it: the rectangle name, "|", the series name, blanks
// removed. Keys compare without letter case, Cyrillic included.
std::string SeriesKey(const std::string& rectangleName, const std::string& seriesName);
bool SameSeriesKey(const std::string& a, const std::string& b);

class TVelImageForm : public TImageForm {
 public:
  explicit TVelImageForm(std::string rectangleName);

  const std::string& RectangleName() const { return rectangleName_; }

  // The series-name list: absent until the first named series; key k names the chart's
  // series at position k + 1.
  static constexpr int32_t kMaxNamedSeries = 100;
  bool HasSeriesList() const { return hasSeriesList_; }
  void EnsureSeriesList() { hasSeriesList_ = true; }
  const std::vector<std::string>& SeriesKeys() const { return seriesKeys_; }
  // The list position of a key, or -1.
  int32_t FindSeriesKey(const std::string& key) const;
  // Appends a key; false when the list is full.
  bool AddSeriesKey(const std::string& key);
  void RemoveSeriesKey(int32_t position);

  void OnMessage(uint32_t message, intptr_t wParam, intptr_t lParam) override;

 private:
  std::string rectangleName_;
  bool hasSeriesList_ = false;
  std::vector<std::string> seriesKeys_;
};

// The roll state, one for the whole plug-in: every rolling window advances the same angle.
struct RollState {
  int32_t angle = 0;
  int32_t step = 0;
  uint8_t direction = 0;  // 1 while the angle climbs
};
RollState& Roll();

}  // namespace zq::charts
