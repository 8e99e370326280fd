// Texts at the host boundary are single-byte ANSI (Windows-1251 for this plug-in's own Russian
// texts); inside, everything is UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zq::platform {

// Characters that Windows-1251 cannot hold become '?'.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view bytes);
// Nothing when a character has no Windows-1251 byte.
std::optional<std::string> Utf8ToCp1251Exact(std::string_view utf8);

// Locale-aware upper case of a UTF-8 text for Latin and Cyrillic letters (the Windows-1251
// repertoire), used where names are compared without letter case.
std::string UpperCaseCyrillicLatin(std::string_view utf8);

}  // namespace zq::platform
