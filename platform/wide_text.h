// UTF-8 inside the program, UTF-16 at the Win32 API: the two conversions.
#pragma once

#include <string>

namespace talvoren {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);

}  // namespace talvoren
