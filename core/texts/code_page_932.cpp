// Decoding code page 932 for messages: one byte (ASCII, half-width katakana)
// or a lead byte and a trail byte looked up in the generated table.
#include "core/texts/code_page_932.h"

#include "core/texts/escape.h"
#include "core/texts/utf8.h"

namespace talvoren {

namespace {

int LeadIndex(unsigned char byte) {
    if (!IsCodePage932LeadByte(byte)) return -1;
    return byte <= 0x9F ? byte - 0x81 : byte - 0xE0 + 31;
}

int TrailIndex(unsigned char byte) {
    if (byte >= 0x40 && byte <= 0x7E) return byte - 0x40;
    if (byte >= 0x80 && byte <= 0xFC) return byte - 0x41;
    return -1;
}

}  // namespace

std::string CodePage932ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        char32_t code = 0;  // 0: none to show
        if (byte >= 0x20 && byte < 0x7F) {
            code = byte;
        } else if (byte >= 0xA1 && byte <= 0xDF) {
            code = 0xFF61 + (byte - 0xA1);  // half-width katakana
        } else if (const int lead = LeadIndex(byte); lead >= 0 && i + 1 < bytes.size()) {
            const int trail = TrailIndex(static_cast<unsigned char>(bytes[i + 1]));
            const char32_t pair = trail < 0 ? 0 : kCodePage932Pairs[lead * kCodePage932TrailCount + trail];
            // A lead byte without a valid trail stands alone; its follower is read afresh.
            if (pair != 0) {
                code = pair;
                ++i;
            }
        }
        if (code == 0) {
            AppendEscape(byte, out);
        } else {
            AppendUtf8(code, out);
        }
    }
    return out;
}

}  // namespace talvoren
