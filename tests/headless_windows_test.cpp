#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cairo/headless_windows.h"

namespace {

using namespace zq::platform;

class Probe : public WindowClient {
 public:
  explicit Probe(std::vector<std::string>* log, std::string name)
      : log_(log), name_(std::move(name)) {}
  void OnPaint(Surface& surface, const Rect& client) override {
    log_->push_back(name_ + " paint " + std::to_string(client.Width()) + "x" +
                    std::to_string(client.Height()));
    Brush red;
    red.color = 0x0000FF;
    surface.FillRect(client, red);
  }
  void OnTimer(int32_t id) override {
    log_->push_back(name_ + " timer " + std::to_string(id));
    if (onTimer) onTimer(id);
  }
  void OnMessage(uint32_t message, intptr_t, intptr_t lParam) override {
    log_->push_back(name_ + " message " + std::to_string(message) + "/" + std::to_string(lParam));
  }
  void OnResize(int32_t, int32_t) override {}
  void OnMouseDown(MouseButton, ShiftState, int32_t, int32_t) override {}
  void OnMouseMove(ShiftState, int32_t, int32_t) override {}
  void OnMouseUp(MouseButton, ShiftState, int32_t, int32_t) override {}
  void OnMouseWheel(int32_t, ShiftState, int32_t, int32_t) override {}
  void OnMouseLeave() override {}
  std::function<void(int32_t)> onTimer;

 private:
  std::vector<std::string>* log_;
  std::string name_;
};

TEST(HeadlessWindows, ChildrenFollowTheirHostAndGetMessages) {
  HeadlessWindowSystem& ws = HeadlessWindowSystem::Instance();
  std::vector<std::string> log;
  Probe a(&log, "a");
  WindowHandle host = ws.CreateHostWindow(300, 200);
  ASSERT_NE(host, 0);
  EXPECT_EQ(ws.CreateChildWindow(host + 100000, a), 0) << "no parent, no window";
  WindowHandle child = ws.CreateChildWindow(host, a);
  ASSERT_NE(child, 0);
  EXPECT_EQ(ws.Parent(child), host);
  Rect client = ws.ClientRect(host);
  ws.PlaceOnTop(child, 0, 0, client.Width(), client.Height());
  EXPECT_EQ(ws.ClientRect(child), (Rect{0, 0, 300, 200}));
  EXPECT_EQ(ws.TopChild(host), child);

  Image picture = ws.Picture(child);
  EXPECT_EQ(picture.width, 300);
  EXPECT_EQ(picture.height, 200);
  EXPECT_EQ(picture.At(10, 10) & 0xFFFFFF, 0xFF0000u) << "painted red (0xRRGGBB)";

  EXPECT_TRUE(ws.ResizeHostWindow(host, 120, 80));
  EXPECT_EQ(ws.SendToChildren(host, 1274, 4), 1);
  EXPECT_EQ(log.back(), "a message 1274/4");
  EXPECT_FALSE(ws.ResizeHostWindow(child, 1, 1)) << "only host windows are resized by the host";
  EXPECT_EQ(ws.CreateHostWindow(-1, 5), 0);

  ws.DestroyWindow(host);
  EXPECT_FALSE(ws.Exists(child)) << "children go with their parent";
  EXPECT_EQ(ws.SendToChildren(host, 1274, 4), 0);
}

TEST(HeadlessWindows, TimersFireInOrderOnTheVirtualClock) {
  HeadlessWindowSystem& ws = HeadlessWindowSystem::Instance();
  std::vector<std::string> log;
  Probe a(&log, "a"), b(&log, "b");
  WindowHandle host = ws.CreateHostWindow(50, 50);
  WindowHandle wa = ws.CreateChildWindow(host, a);
  WindowHandle wb = ws.CreateChildWindow(host, b);
  ws.SetTimer(wa, 1, 150);
  ws.SetTimer(wb, 1, 100);
  ws.AdvanceClock(149);
  std::vector<std::string> timers;
  for (auto& s : log)
    if (s.find("timer") != std::string::npos) timers.push_back(s);
  EXPECT_EQ(timers, (std::vector<std::string>{"b timer 1"}));
  log.clear();
  ws.AdvanceClock(151);  // now 300: b at 200, 300; a at 150, 300
  timers.clear();
  for (auto& s : log)
    if (s.find("timer") != std::string::npos) timers.push_back(s);
  EXPECT_EQ(timers, (std::vector<std::string>{"a timer 1", "b timer 1", "a timer 1", "b timer 1"}));

  // A timer handler that destroys its own window stops its timers.
  a.onTimer = [&](int32_t) { ws.DestroyWindow(wa); };
  log.clear();
  ws.AdvanceClock(1000);
  int aTicks = 0;
  for (auto& s : log) aTicks += s == "a timer 1";
  EXPECT_EQ(aTicks, 1);
  ws.KillTimer(wb, 1);
  log.clear();
  ws.AdvanceClock(1000);
  for (auto& s : log) EXPECT_EQ(s.find("timer"), std::string::npos) << s;
  ws.DestroyWindow(host);
}

}  // namespace
