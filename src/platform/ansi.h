// The host's ANSI code page: texts from and to the host are single-byte texts in it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zq::platform {

// On Windows the system's ANSI code page; elsewhere Windows-1251.
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);
// The same without any substitute: nothing when the code page cannot hold a character (no
// '?', no look-alike letters).
std::optional<std::string> Utf8ToAnsiExact(std::string_view utf8);

}  // namespace zq::platform
