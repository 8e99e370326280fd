// Chart windows as real Win32 child windows of the host's rectangle windows: painted on
// WM_PAINT, with window timers, message 1274 and mouse input delivered to their client.
#include <windows.h>
#include <windowsx.h>

#include <exception>
#include <memory>

#include "platform/win32/gdi_surface.h"
#include "platform/win32/module.h"
#include "platform/window_system.h"

namespace zq::platform {

namespace {

constexpr wchar_t kClassName[] = L"zqLineChartWindow";

WindowClient* ClientOf(HWND hwnd) {
  return reinterpret_cast<WindowClient*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

ShiftState ShiftOf(WPARAM keys) {
  ShiftState s;
  s.shift = (keys & MK_SHIFT) != 0;
  s.ctrl = (keys & MK_CONTROL) != 0;
  s.alt = GetKeyState(VK_MENU) < 0;
  s.left = (keys & MK_LBUTTON) != 0;
  s.right = (keys & MK_RBUTTON) != 0;
  s.middle = (keys & MK_MBUTTON) != 0;
  return s;
}

void TrackLeave(HWND hwnd) {
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = hwnd;
  TrackMouseEvent(&track);
}

void PaintInto(HWND hwnd, WindowClient* client, HDC dc) {
  RECT r;
  GetClientRect(hwnd, &r);
  if (client == nullptr || dc == nullptr) return;
  win32::GdiSurface surface(dc, r.right - r.left, r.bottom - r.top);
  client->OnPaint(surface, Rect{0, 0, r.right - r.left, r.bottom - r.top});
}

LRESULT CALLBACK ChartWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowClient* client = ClientOf(hwnd);
  // Nothing may escape into the host's message loop.
  try {
    switch (message) {
      case WM_ERASEBKGND:
        return 1;  // the chart paints every pixel itself
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        PaintInto(hwnd, client, dc);
        EndPaint(hwnd, &ps);
        return 0;
      }
      case WM_PRINTCLIENT:
        // PrintWindow and WM_PRINT: the same picture into the caller's context.
        PaintInto(hwnd, client, reinterpret_cast<HDC>(wParam));
        return 0;
      case WM_TIMER:
        if (client) client->OnTimer(int32_t(wParam));
        return 0;
      case WM_SIZE:
        if (client) client->OnResize(LOWORD(lParam), HIWORD(lParam));
        return 0;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        if (client) {
          SetCapture(hwnd);
          MouseButton b = message == WM_LBUTTONDOWN   ? MouseButton::Left
                          : message == WM_RBUTTONDOWN ? MouseButton::Right
                                                      : MouseButton::Middle;
          client->OnMouseDown(b, ShiftOf(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        }
        return 0;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        if (client) {
          MouseButton b = message == WM_LBUTTONUP   ? MouseButton::Left
                          : message == WM_RBUTTONUP ? MouseButton::Right
                                                    : MouseButton::Middle;
          client->OnMouseUp(b, ShiftOf(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        }
        if (GetCapture() == hwnd) ReleaseCapture();
        return 0;
      case WM_MOUSEMOVE:
        TrackLeave(hwnd);
        if (client)
          client->OnMouseMove(ShiftOf(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
      case WM_MOUSEWHEEL:
        if (client) {
          POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
          ScreenToClient(hwnd, &p);
          client->OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam), ShiftOf(GET_KEYSTATE_WPARAM(wParam)),
                               p.x, p.y);
        }
        return 0;
      case WM_MOUSELEAVE:
        if (client) client->OnMouseLeave();
        return 0;
      case WM_NCDESTROY:
        // Destroyed by someone else (the host's window went): our own DestroyWindow has
        // cleared the client before.
        if (client) {
          SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
          client->OnDestroyed();
        }
        break;
      default:
        if (message >= WM_USER && client != nullptr) {
          client->OnMessage(message, wParam, lParam);
          return 0;
        }
        break;
    }
  } catch (...) {
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool RegisterChartClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ChartWindowProc;
    wc.hInstance = win32::ThisModule();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

// A window's own device context for as long as the surface lives. The lease comes first among
// the bases, so the surface restores the context before it goes back to the window.
class DcLease {
 public:
  explicit DcLease(HWND hwnd) : hwnd_(hwnd), leased_(GetDC(hwnd)) {}
  ~DcLease() {
    if (leased_ != nullptr) ReleaseDC(hwnd_, leased_);
  }
  DcLease(const DcLease&) = delete;
  DcLease& operator=(const DcLease&) = delete;

 protected:
  HWND hwnd_;
  HDC leased_;
};

class WindowDcSurface : private DcLease, public win32::GdiSurface {
 public:
  WindowDcSurface(HWND hwnd, int32_t width, int32_t height)
      : DcLease(hwnd), GdiSurface(leased_, width, height) {}
};

class Win32WindowSystem : public WindowSystem {
 public:
  WindowHandle CreateChildWindow(WindowHandle parent, WindowClient& client) override {
    HWND parentWindow = reinterpret_cast<HWND>(parent);
    if (!IsWindow(parentWindow) || !RegisterChartClass()) return 0;
    HWND hwnd = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                                parentWindow, nullptr, win32::ThisModule(), nullptr);
    if (hwnd == nullptr) return 0;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&client));
    // The parent hears of its new child (WM_PARENTNOTIFY) and may have destroyed it already.
    if (!IsWindow(hwnd)) return 0;
    return reinterpret_cast<WindowHandle>(hwnd);
  }
  void DestroyWindow(WindowHandle window) override {
    HWND hwnd = reinterpret_cast<HWND>(window);
    if (!IsWindow(hwnd)) return;
    // The client is going: no message may reach it any more.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd);
  }
  Rect ClientRect(WindowHandle window) override {
    RECT r{};
    if (!GetClientRect(reinterpret_cast<HWND>(window), &r)) return {};
    return {r.left, r.top, r.right, r.bottom};
  }
  WindowHandle Parent(WindowHandle window) override {
    return reinterpret_cast<WindowHandle>(GetParent(reinterpret_cast<HWND>(window)));
  }
  void PlaceOnTop(WindowHandle window, int32_t x, int32_t y, int32_t width,
                  int32_t height) override {
    SetWindowPos(reinterpret_cast<HWND>(window), HWND_TOP, x, y, width, height, SWP_SHOWWINDOW);
  }
  void Invalidate(WindowHandle window) override {
    InvalidateRect(reinterpret_cast<HWND>(window), nullptr, FALSE);
  }
  void Update(WindowHandle window) override { UpdateWindow(reinterpret_cast<HWND>(window)); }
  std::unique_ptr<Surface> WindowSurface(WindowHandle window) override {
    HWND hwnd = reinterpret_cast<HWND>(window);
    RECT r;
    if (!IsWindow(hwnd) || !GetClientRect(hwnd, &r)) return nullptr;
    try {
      return std::make_unique<WindowDcSurface>(hwnd, r.right - r.left, r.bottom - r.top);
    } catch (const std::exception&) {
      return nullptr;  // no device context
    }
  }
  void SetTimer(WindowHandle window, int32_t timerId, uint32_t milliseconds) override {
    ::SetTimer(reinterpret_cast<HWND>(window), UINT_PTR(timerId), milliseconds, nullptr);
  }
  void KillTimer(WindowHandle window, int32_t timerId) override {
    ::KillTimer(reinterpret_cast<HWND>(window), UINT_PTR(timerId));
  }
};

}  // namespace

WindowSystem& GetWindowSystem() {
  static Win32WindowSystem system;
  return system;
}

}  // namespace zq::platform
