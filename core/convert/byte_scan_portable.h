// The byte scan in plain C++, eight bytes to a word: for hosts without a
// vector unit the conversion knows. A mark is the high bit of its byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/convert/byte_scan.h"

namespace talvoren {

struct PortableScan {
    static constexpr std::size_t kFeedStep = 8;
    static constexpr std::size_t kTextStep = 8;

    // The high bit of each byte of `word` that equals `byte`; exact, since no
    // step carries from one byte into the next.
    static std::uint64_t Equal(std::uint64_t word, unsigned char byte) {
        constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
        const std::uint64_t x = word ^ (0x0101010101010101u * byte);
        return ~(((x & kLow7) + kLow7) | x | kLow7);
    }

    static std::size_t Index(std::uint64_t marks) { return static_cast<std::size_t>(__builtin_ctzll(marks)) / 8; }

    static std::uint64_t LineFeeds(const char* p) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        return Equal(word, '\n');
    }

    // Classifies the kTextStep bytes at `p` and copies them to `out`.
    static TextStops CopyText(const char* p, char* out) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        std::memcpy(out, &word, sizeof word);
        const std::uint64_t quoted = Equal(word, '"') | Equal(word, '\r') | Equal(word, '\n');
        return {quoted, quoted | Equal(word, ',')};
    }
};

}  // namespace talvoren
