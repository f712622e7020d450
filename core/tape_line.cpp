// Formatting of upgraded lines, without ostreams or printf so that a file of
// millions of records is not slowed by locale machinery.
#include "core/tape_line.h"

namespace talvoren {

std::size_t FormatTapeTail(std::int16_t number, char* out) {
    char* p = out;
    *p++ = ',';
    *p++ = number < 0 ? '-' : ' ';
    // Widened first: -32768 has no positive int16 counterpart.
    unsigned magnitude = number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
    char digits[5];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0) *p++ = digits[--count];
    *p++ = ',';
    *p++ = '0';
    return static_cast<std::size_t>(p - out);
}

std::string FormatTapeLine(const TapeRecord& record) {
    char tail[kTapeTailMax];
    std::string line;
    line.reserve(record.text.size() + kTapeTailMax);
    line.append(record.text);
    line.append(tail, FormatTapeTail(record.number, tail));
    return line;
}

}  // namespace talvoren
