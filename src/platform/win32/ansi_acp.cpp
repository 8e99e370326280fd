#include <windows.h>

#include <string>

#include "platform/ansi.h"

namespace zq::platform {

namespace {

std::string Convert(std::string_view text, UINT from, UINT to) {
  if (text.empty()) return {};
  int wide = MultiByteToWideChar(from, 0, text.data(), int(text.size()), nullptr, 0);
  if (wide <= 0) return {};
  std::wstring w(size_t(wide), L'\0');
  MultiByteToWideChar(from, 0, text.data(), int(text.size()), w.data(), wide);
  int bytes = WideCharToMultiByte(to, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string out(size_t(bytes), '\0');
  WideCharToMultiByte(to, 0, w.data(), wide, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) { return Convert(ansi, CP_ACP, CP_UTF8); }
std::string Utf8ToAnsi(std::string_view utf8) { return Convert(utf8, CP_UTF8, CP_ACP); }

std::optional<std::string> Utf8ToAnsiExact(std::string_view utf8) {
  if (utf8.empty()) return std::string();
  const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                       int(utf8.size()), nullptr, 0);
  if (wide <= 0) return std::nullopt;
  std::wstring w(size_t(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), w.data(), wide);
  // A UTF-8 system code page holds everything and takes neither flag.
  const UINT acp = GetACP();
  const DWORD flags = acp == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* used = acp == CP_UTF8 ? nullptr : &usedDefault;
  const int bytes = WideCharToMultiByte(CP_ACP, flags, w.data(), wide, nullptr, 0, nullptr, used);
  if (bytes <= 0 || usedDefault) return std::nullopt;
  std::string out(size_t(bytes), '\0');
  WideCharToMultiByte(CP_ACP, flags, w.data(), wide, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace zq::platform
