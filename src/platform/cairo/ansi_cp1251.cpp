#include "platform/ansi.h"
#include "platform/codepage.h"

namespace zq::platform {

// Without a system code page to follow, the host is taken to speak Windows-1251, as the
// plug-in's own texts do.
std::string AnsiToUtf8(std::string_view ansi) {
  return Cp1251ToUtf8(ansi);
}
std::string Utf8ToAnsi(std::string_view utf8) {
  return Utf8ToCp1251(utf8);
}
std::optional<std::string> Utf8ToAnsiExact(std::string_view utf8) {
  return Utf8ToCp1251Exact(utf8);
}

}  // namespace zq::platform
