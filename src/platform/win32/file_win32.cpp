#include <cstdio>
#include <string>

#include "platform/file.h"
#include "platform/win32/wide.h"

namespace zq::platform {

std::FILE* OpenFileForReading(const std::string& utf8Path) {
  const std::wstring wide = win32::Widen(utf8Path);
  if (wide.empty()) return nullptr;
  return _wfopen(wide.c_str(), L"rb");
}

}  // namespace zq::platform
