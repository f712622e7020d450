#include "cli/terminal_text.h"

#include <cstddef>

#include "core/texts/escape.h"

namespace talvoren {
namespace {

// The length of the valid UTF-8 sequence at `at`, and its code point; 0 when
// the bytes there are no valid sequence (stray continuation, overlong form,
// surrogate, beyond U+10FFFF, cut short).
std::size_t Utf8SequenceAt(const std::string& text, std::size_t at, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if (byte < (i == 1 ? low : 0x80) || byte > (i == 1 ? high : 0xBF)) return 0;
        code = (code << 6) | (byte & 0x3F);
    }
    return length;
}

// The characters that change the direction of the text after them, invisibly:
// the marks, the embeddings and overrides, and the isolates.
bool IsBidiControl(char32_t code) {
    return code == 0x061C || code == 0x200E || code == 0x200F || (code >= 0x202A && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069);
}

}  // namespace

std::string AsTerminalLines(const std::string& text) {
    std::string lines;
    lines.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        char32_t code = byte;
        std::size_t length = 1;
        if (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            lines += '\n';
            i += 2;
            continue;
        }
        if (byte >= 0x80) length = Utf8SequenceAt(text, i, code);
        if (length == 0) {
            // A byte of no character: to a terminal of 8-bit controls a lone 0x9B is CSI.
            AppendEscape(byte, lines);
            ++i;
            continue;
        }
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F) || IsBidiControl(code)) {
            AppendEscape(code, lines);
        } else {
            lines.append(text, i, length);
        }
        i += length;
    }
    return lines + '\n';
}

}  // namespace talvoren
