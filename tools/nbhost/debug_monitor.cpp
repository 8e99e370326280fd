#include "nbhost/debug_monitor.h"

#include <cstring>

namespace zq::host {

namespace {

constexpr DWORD kBufferSize = 4096;

// The protocol's buffer: the sender's process id, then its zero-terminated ANSI text.
struct MonitorBuffer {
  DWORD processId;
  char text[kBufferSize - sizeof(DWORD)];
};

}  // namespace

DebugMonitor::~DebugMonitor() {
  if (view_ != nullptr) UnmapViewOfFile(view_);
  for (HANDLE h : {mapping_, bufferReady_, dataReady_})
    if (h != nullptr) CloseHandle(h);
}

bool DebugMonitor::Open() {
  if (view_ != nullptr) return true;
  if (failed_) return false;
  failed_ = true;
  bufferReady_ = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
  // One monitor at a time: another one's objects would steal our texts.
  if (bufferReady_ == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) return false;
  dataReady_ = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize,
                                L"DBWIN_BUFFER");
  if (dataReady_ == nullptr || mapping_ == nullptr) return false;
  view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, kBufferSize);
  if (view_ == nullptr) return false;
  failed_ = false;
  return true;
}

bool DebugMonitor::Listen() {
  if (!Open()) return false;
  // A text left from before (another process's) is dropped.
  WaitForSingleObject(dataReady_, 0);
  SetEvent(bufferReady_);
  return true;
}

std::string DebugMonitor::Take() {
  if (view_ == nullptr) return {};
  // The sender has written before OutputDebugString returned: nothing to wait for. The
  // plug-in sends one text per call.
  std::string last;
  if (WaitForSingleObject(dataReady_, 0) == WAIT_OBJECT_0) {
    const auto* buffer = static_cast<const MonitorBuffer*>(view_);
    if (buffer->processId == GetCurrentProcessId())
      last.assign(buffer->text, strnlen(buffer->text, sizeof buffer->text));
  }
  while (!last.empty() && (last.back() == '\n' || last.back() == '\r')) last.pop_back();
  return last;
}

}  // namespace zq::host
