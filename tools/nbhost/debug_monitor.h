// Listens to OutputDebugString as a debug-output monitor does (the DBWIN_BUFFER protocol), so
// that nbhost hears the reasons the plug-in gives for its actions.
#pragma once

#include <windows.h>

#include <string>

namespace zq::host {

class DebugMonitor {
 public:
  DebugMonitor() = default;
  ~DebugMonitor();
  DebugMonitor(const DebugMonitor&) = delete;
  DebugMonitor& operator=(const DebugMonitor&) = delete;

  // Offers the buffer to the next OutputDebugString of this process. False when another
  // monitor holds the protocol's objects or they cannot be made.
  bool Listen();
  // The text this process sent since Listen ("" for none), without its line end.
  std::string Take();

 private:
  bool Open();

  HANDLE mapping_ = nullptr;
  void* view_ = nullptr;
  HANDLE bufferReady_ = nullptr;
  HANDLE dataReady_ = nullptr;
  bool failed_ = false;
};

}  // namespace zq::host
