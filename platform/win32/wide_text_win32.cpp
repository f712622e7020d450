// UTF-8 <-> UTF-16 by hand: the system's converter turns lone surrogates into
// U+FFFD, and a file name must reach the file system as the listing gave it.
#include "platform/win32/wide_text.h"

#include "core/texts/utf8.h"

namespace talvoren {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes one code point at `i`, advancing `i`; nothing on a malformed
// sequence, after which `i` stands one byte further.
bool DecodeOne(const std::string& text, std::size_t& i, char32_t& code_point) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length;
    char32_t value;
    char32_t least;
    if (lead < 0x80) {
        code_point = lead;
        ++i;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, least = 0x10000;
    } else {
        ++i;
        return false;
    }
    if (i + length > text.size()) {
        ++i;
        return false;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[i + k]);
        if (!IsContinuation(byte)) {
            ++i;
            return false;
        }
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < least || value > 0x10FFFF) {
        ++i;
        return false;
    }
    i += length;
    code_point = value;
    return true;
}

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::wstring Widen(const std::string& utf8) {
    std::wstring utf16;
    utf16.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t code_point;
        if (!DecodeOne(utf8, i, code_point)) {
            utf16 += kReplacement;
        } else if (code_point >= 0x10000) {
            code_point -= 0x10000;
            utf16 += static_cast<wchar_t>(0xD800 + (code_point >> 10));
            utf16 += static_cast<wchar_t>(0xDC00 + (code_point & 0x3FF));
        } else {
            // A surrogate, paired or not, is one code unit: the pair that two
            // such forms make is the same pair again.
            utf16 += static_cast<wchar_t>(code_point);
        }
    }
    return utf16;
}

std::string Narrow(const std::wstring& utf16) {
    std::string utf8;
    utf8.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char32_t unit = static_cast<char16_t>(utf16[i]);
        if (IsHighSurrogate(unit) && i + 1 < utf16.size() && IsLowSurrogate(static_cast<char16_t>(utf16[i + 1]))) {
            const char32_t low = static_cast<char16_t>(utf16[++i]);
            AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), utf8);
        } else {
            AppendUtf8(unit, utf8);
        }
    }
    return utf8;
}

}  // namespace talvoren
