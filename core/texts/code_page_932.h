// Code page 932 text made readable in messages. The conversion never
// transcodes; only a refusal's field text is decoded, to be shown to the user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace talvoren {

// The first byte of a double-byte character: 81-9F or E0-FC.
constexpr bool IsCodePage932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Double-byte pairs, lead bytes 81-9F then E0-FC, trail bytes 40-FC without 7F.
constexpr std::size_t kCodePage932TrailCount = 188;
extern const std::uint16_t kCodePage932Pairs[60 * kCodePage932TrailCount];

// UTF-8 for `bytes` read as code page 932. A control character, or a byte
// that is no character, is shown as its value (`\x1B`, `\xFF`), so the result
// is always valid UTF-8, safe on a terminal and in a window alike, and still
// tells the user which byte it was.
std::string CodePage932ToUtf8(std::string_view bytes);

}  // namespace talvoren
