// The upgraded line of one record: text, ",", the sign-slot number, ",0".
// The line end is formatted inline and branch-free, without ostreams or
// printf: it runs once per record, and the digit count of the numbers in a
// file is unpredictable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/tape_record.h"

namespace talvoren {

namespace tape_line_detail {

// "00" to "99", so that two digits cost one division.
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

}  // namespace tape_line_detail

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
    const unsigned magnitude = number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
    const unsigned digits = 1 + (magnitude >= 10) + (magnitude >= 100) + (magnitude >= 1000) + (magnitude >= 10000);
    // Five digits with leading zeros, ",0" and CR packed in one word; shifting
    // drops the leading zeros, and the word is stored whole.
    const unsigned high = magnitude / 100;
    const unsigned low = magnitude % 100;
    const std::uint64_t packed =
        static_cast<std::uint64_t>('0' + high / 100) |
        static_cast<std::uint64_t>(static_cast<unsigned char>(tape_line_detail::kDigitPairs[high % 100 * 2])) << 8 |
        static_cast<std::uint64_t>(static_cast<unsigned char>(tape_line_detail::kDigitPairs[high % 100 * 2 + 1])) << 16 |
        static_cast<std::uint64_t>(static_cast<unsigned char>(tape_line_detail::kDigitPairs[low * 2])) << 24 |
        static_cast<std::uint64_t>(static_cast<unsigned char>(tape_line_detail::kDigitPairs[low * 2 + 1])) << 32 |
        static_cast<std::uint64_t>(',') << 40 | static_cast<std::uint64_t>('0') << 48 |
        static_cast<std::uint64_t>('\r') << 56;
    const std::uint64_t shifted = packed >> (8 * (5 - digits));
    out[0] = ',';
    out[1] = number < 0 ? '-' : ' ';
    std::memcpy(out + 2, &shifted, sizeof shifted);
    out[digits + 5] = '\n';
    return digits + 6;
}

// The whole line of `record` without its CR LF. Pure; never fails.
std::string FormatTapeLine(const TapeRecord& record);

}  // namespace talvoren
