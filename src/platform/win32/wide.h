// UTF-8 inside, UTF-16 at the Windows API.
#pragma once

#include <string>
#include <string_view>

namespace zq::platform::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace zq::platform::win32
