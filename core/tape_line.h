// The upgraded line of one record: text, ",", the sign-slot number, ",0".
// The line end is formatted inline and branch-free, without ostreams or
// printf: it runs once per record, and the digit count of the numbers in a
// file is unpredictable. Both conversion paths write lines through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/tape_record.h"

namespace talvoren {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the first byte of the packed word is its lowest");

// The longest end of a line after its text: ",-32768,0" and CR LF.
constexpr std::size_t kTapeLineEndMax = 11;

// Writes the end of a line after its text at `out`: ",", the number in
// sign-slot form, ",0", CR LF. Returns how many bytes that is. `out` must have
// room for kTapeLineEndMax bytes; those past the returned count may be
// overwritten. Sign slot: a blank before zero and positive numbers, "-" before
// negative ones; never a plus sign or leading zeros.
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
    const std::uint64_t values = tens | (pairs - 10 * tens) << 8;
    // The first digit that is not a leading zero; the last one always counts.
    const unsigned leading = static_cast<unsigned>(__builtin_ctzll(values | std::uint64_t{1} << 40)) / 8;
    const unsigned digits = 6 - leading;
    // The digits and ",0" in one word, shifted past the leading zeros and
    // stored whole.
    const std::uint64_t packed = (values | 0x0000303030303030u | static_cast<std::uint64_t>(',') << 48 |
                                  static_cast<std::uint64_t>('0') << 56) >>
                                 (8 * leading);
    out[0] = ',';
    out[1] = number < 0 ? '-' : ' ';
    std::memcpy(out + 2, &packed, sizeof packed);
    std::memcpy(out + 4 + digits, "\r\n", 2);
    return digits + 6;
}

// The whole line of `record` without its CR LF. Pure; never fails.
std::string FormatTapeLine(const TapeRecord& record);

}  // namespace talvoren
