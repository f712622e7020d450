// How a message shows what must not reach a screen as it is: the escapes of
// C, `\x1B` for a byte or a code point below 0x100, `\u202E` for one of the
// basic multilingual plane above. One form for the field decoder and the
// driver, so that a user reads one notation.
#pragma once

#include <string>

namespace talvoren {

inline void AppendEscape(char32_t value, std::string& out) {
    static const char kHex[] = "0123456789ABCDEF";
    const bool byte = value < 0x100;
    out += byte ? "\\x" : "\\u";
    for (int shift = byte ? 4 : 12; shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
}

}  // namespace talvoren
