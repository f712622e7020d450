// Formatting of upgraded lines. Branch-free, without ostreams or printf: the
// digit count of the numbers in a file is unpredictable, and a file may hold
// millions of them.
#include "core/tape_line.h"

#include <cstring>

namespace talvoren {

namespace {

// "00" to "99", so that two digits cost one division.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

}  // namespace

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the first byte of the packed word is its lowest");

std::size_t FormatTapeLineEnd(std::int16_t number, char* out) {
    // Widened first: -32768 has no positive int16 counterpart.
    const unsigned magnitude = number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
    const unsigned digits = 1 + (magnitude >= 10) + (magnitude >= 100) + (magnitude >= 1000) + (magnitude >= 10000);
    // Five digits with leading zeros, ",0" and CR packed in one word; shifting
    // drops the leading zeros, and the word is stored whole.
    const unsigned high = magnitude / 100;
    const unsigned low = magnitude % 100;
    const std::uint64_t packed =
        static_cast<std::uint64_t>('0' + high / 100) |
        static_cast<std::uint64_t>(static_cast<unsigned char>(kDigitPairs[high % 100 * 2])) << 8 |
        static_cast<std::uint64_t>(static_cast<unsigned char>(kDigitPairs[high % 100 * 2 + 1])) << 16 |
        static_cast<std::uint64_t>(static_cast<unsigned char>(kDigitPairs[low * 2])) << 24 |
        static_cast<std::uint64_t>(static_cast<unsigned char>(kDigitPairs[low * 2 + 1])) << 32 |
        static_cast<std::uint64_t>(',') << 40 | static_cast<std::uint64_t>('0') << 48 |
        static_cast<std::uint64_t>('\r') << 56;
    const std::uint64_t shifted = packed >> (8 * (5 - digits));
    out[0] = ',';
    out[1] = number < 0 ? '-' : ' ';
    std::memcpy(out + 2, &shifted, sizeof shifted);
    out[digits + 5] = '\n';
    return digits + 6;
}

std::string FormatTapeLine(const TapeRecord& record) {
    char end[kTapeLineEndMax];
    std::string line;
    line.reserve(record.text.size() + kTapeLineEndMax);
    line.append(record.text);
    line.append(end, FormatTapeLineEnd(record.number, end) - 2);
    return line;
}

}  // namespace talvoren
