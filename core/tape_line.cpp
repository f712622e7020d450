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

std::size_t FormatTapeLineEnd(std::int16_t number, char* out) {
    // Widened first: -32768 has no positive int16 counterpart.
    const unsigned magnitude = number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
    const std::size_t digits =
        1 + (magnitude >= 10) + (magnitude >= 100) + (magnitude >= 1000) + (magnitude >= 10000);
    // Five digits with leading zeros and the rest of the line; then as many of
    // the digits as the number has are copied, four spare bytes keeping the
    // fixed-size copy in bounds.
    const unsigned high = magnitude / 100;
    char all[13] = {static_cast<char>('0' + high / 100), kDigitPairs[high % 100 * 2], kDigitPairs[high % 100 * 2 + 1],
                    kDigitPairs[magnitude % 100 * 2], kDigitPairs[magnitude % 100 * 2 + 1], ',', '0', '\r', '\n'};
    out[0] = ',';
    out[1] = number < 0 ? '-' : ' ';
    std::memcpy(out + 2, all + (5 - digits), 9);
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
