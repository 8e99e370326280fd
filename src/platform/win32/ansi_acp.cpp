#include <windows.h>

#include <string>

#include "platform/ansi.h"
#include "platform/codepage.h"

namespace zq::platform {

namespace {

std::string Convert(std::string_view text, UINT from, UINT to) {
  if (text.empty()) return {};
  if (IsPlainAscii(text)) return std::string(text);
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

std::string AnsiToUtf8(std::string_view ansi) {
  return Convert(ansi, CP_ACP, CP_UTF8);
}
std::string Utf8ToAnsi(std::string_view utf8) {
  return Convert(utf8, CP_UTF8, CP_ACP);
}

}  // namespace zq::platform
