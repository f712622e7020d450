// UTF-8 inside the program, UTF-16 at the Win32 API: the two conversions.
// They are lossless for every name Windows can hand out: a lone surrogate
// (valid in a file name, not in Unicode text) travels as its three-byte
// UTF-8 form and comes back as the same code unit. Bytes that are no UTF-8
// at all become U+FFFD.
#pragma once

#include <string>

namespace talvoren {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);

}  // namespace talvoren
