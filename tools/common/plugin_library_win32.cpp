#include <windows.h>

#include <cstring>
#include <stdexcept>

#include "common/host_files.h"
#include "common/plugin_library.h"
#include "platform/codepage.h"

namespace zq::host {

namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring w(size_t(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), w.data(), n);
  return w;
}

}  // namespace

// Paths are UTF-8 (nbhost takes its command line as wide strings).
PluginLibrary::PluginLibrary(const std::string& path) {
  handle_ = LoadLibraryW(Wide(path).c_str());
  if (handle_ == nullptr)
    throw std::runtime_error("cannot load " + path + " (error " + std::to_string(GetLastError()) +
                             ")");
}

void* PluginLibrary::Lookup(const char* symbol) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), symbol));
}

char* PluginLibrary::AllocateText(const std::string& text) {
  char* block = static_cast<char*>(GlobalAlloc(GMEM_FIXED, text.size() + 1));
  if (block != nullptr) std::memcpy(block, text.c_str(), text.size() + 1);
  return block;
}

void PluginLibrary::FreeText(char* text) {
  if (text != nullptr) GlobalFree(text);
}

namespace {

std::string Convert(const std::string& text, UINT from, UINT to) {
  if (text.empty() || platform::IsPlainAscii(text)) return text;
  int wide = MultiByteToWideChar(from, 0, text.data(), int(text.size()), nullptr, 0);
  if (wide <= 0) return std::string();
  std::wstring w(size_t(wide), L'\0');
  MultiByteToWideChar(from, 0, text.data(), int(text.size()), w.data(), wide);
  int bytes = WideCharToMultiByte(to, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string out(size_t(bytes), '\0');
  WideCharToMultiByte(to, 0, w.data(), wide, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace

std::string PluginLibrary::ToHostText(const std::string& utf8) {
  return Convert(utf8, CP_UTF8, CP_ACP);
}

std::string PluginLibrary::FromHostText(const std::string& text) {
  return Convert(text, CP_ACP, CP_UTF8);
}

std::FILE* OpenHostFile(const std::string& utf8Path, const char* mode) {
  const std::wstring path = Wide(utf8Path);
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  if (path.empty()) return nullptr;
  return _wfopen(path.c_str(), wideMode.c_str());
}

}  // namespace zq::host
