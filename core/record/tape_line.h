// The upgraded line of one record: text, ",", the sign-slot number, ",0".
// The line end is formatted inline and branch-free, without ostreams or
// printf: it runs once per record, and the digit count of the numbers in a
// file is unpredictable. Both conversion paths write lines through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace talvoren {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the first byte of the packed word is its lowest");

// The longest end of a line after its text: ",-32768,0" and CR LF.
constexpr std::size_t kTapeLineEndMax = 11;

// The layout of a line after its text, written at `out`: ",", the sign slot
// (a blank, or "-" for a negative number), the `count` decimal digits held in
// `digits` (the first in the lowest byte, no leading zeros), ",0", CR LF.
// Returns how many bytes that is. `out` must have room for kTapeLineEndMax
// bytes; those past the returned count may be overwritten.
inline std::size_t WriteTapeLineEnd(bool negative, std::uint64_t digits, std::size_t count, char* out) {
    out[0] = ',';
    // Arithmetic, not a choice: the signs of a file's numbers follow no
    // pattern a branch predictor could learn.
    out[1] = static_cast<char>(' ' + ('-' - ' ') * negative);
    // The whole word is stored; what lies past the digits is overwritten next.
    std::memcpy(out + 2, &digits, sizeof digits);
    std::memcpy(out + 2 + count, ",0\r\n", 4);
    return count + 6;
}

// WriteTapeLineEnd for the value `number`: the sign slot and the digits of
// its decimal form. Never a plus sign or leading zeros.
inline std::size_t FormatTapeLineEnd(std::int16_t number, char* out) {
    // Widened first: -32768 has no positive int16 counterpart.
    const std::uint32_t magnitude =
        number < 0 ? 0u - static_cast<std::uint32_t>(number) : static_cast<std::uint32_t>(number);
    // Three pairs of digits, "0" and the first digit, then the next two
    // pairs, one per 16-bit lane of a word; the divisions by 100 are exact
    // multiply-shifts below 2^16.
    const std::uint32_t hundreds = magnitude * 5243 >> 19;
    const std::uint32_t ten_thousands = hundreds * 5243 >> 19;
    const std::uint64_t pairs = ten_thousands | static_cast<std::uint64_t>(hundreds - 100 * ten_thousands) << 16 |
                                static_cast<std::uint64_t>(magnitude - 100 * hundreds) << 32;
    // Each lane (below 100) split into tens and ones: x * 103 >> 10 is x / 10
    // there, and no lane spills into the next.
    const std::uint64_t tens = (pairs * 103 >> 10) & 0x0000000F000F000Fu;
    const std::uint64_t digits = (tens | (pairs - 10 * tens) << 8) | 0x0000303030303030u;
    const unsigned count = 1 + (magnitude >= 10) + (magnitude >= 100) + (magnitude >= 1000) + (magnitude >= 10000);
    return WriteTapeLineEnd(number < 0, digits >> (8 * (6 - count)), count, out);
}

}  // namespace talvoren
