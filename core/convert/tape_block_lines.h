// The usual-record grammar of the block conversion, written once over any
// byte scan; each scan's source file makes its own conversion from it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/convert/tape_block.h"
#include "core/record/tape_input.h"
#include "core/record/tape_line.h"

namespace talvoren {

char* ConvTapeBlockPortable(TapeInput& input, char* out, const char* out_end);
char* ConvTapeBlockSse2(TapeInput& input, char* out, const char* out_end);
char* ConvTapeBlockAvx2(TapeInput& input, char* out, const char* out_end);

namespace tape_block_detail {

constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// "32767" as five big-endian bytes; one more is "32768".
constexpr std::uint64_t kLargestPositive = 0x3332373637u;

// A number as WriteTapeLineEnd takes it.
struct NumberDigits {
    std::uint64_t digits;  // without leading zeros, the first in the lowest byte
    std::size_t count;
    bool negative;  // false for zero, also when written "-0"
};

// Reads the number whose `count` (1 to 8) bytes are at `p`, its sign already
// taken. False when a byte is not a digit or the number lies outside
// -32768..32767. One eight-byte load; the input's padding keeps it inside the
// buffer.
inline bool ReadNumberDigits(const char* p, std::size_t count, bool negative, NumberDigits& number) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    // Digits become 0-9. Adding 0x76 sets the high bit of every byte above 9;
    // a carry out of such a byte only marks bytes after it.
    const std::uint64_t values = word ^ (kEveryByte * '0');
    const std::uint64_t not_digits = ((values + kEveryByte * (0x80 - 10)) | values) & kHighBits;
    if ((not_digits << (8 * (8 - count))) != 0) return false;
    // The first digit that is not a leading zero; the last one always counts.
    const std::size_t zeros =
        static_cast<std::size_t>(__builtin_ctzll(values | std::uint64_t{1} << (8 * (count - 1)))) / 8;
    number.digits = word >> (8 * zeros);
    number.count = count - zeros;
    // Five digits compare as a big-endian number with "32767" or "32768".
    const bool too_large =
        (number.count == 5) & ((__builtin_bswap64(number.digits) >> 24) > kLargestPositive + negative);
    number.negative = negative & ((number.digits & 0xFF) != '0');
    return (number.count <= 5) & !too_large;
}

// Converts the line from `p` to its LF at `feed` into an upgraded line at
// `out`; returns the end of what it wrote, or nullptr for a line that is not
// usual (see ConvTapeBlock).
template <class Scan>
inline char* ConvUsualLine(const char* p, const char* feed, char* out) {
    // Blanks before a text are the full reader's to skip.
    if (IsBlank(*p)) return nullptr;
    const bool quoted = *p == '"';
    p += quoted;
    // The text is copied while its end is looked for.
    std::size_t done = 0;
    std::uint64_t stops;
    for (;;) {
        const TextStops found = Scan::CopyText(p + done, out + done);
        stops = quoted ? found.quoted : found.bare;
        if (stops != 0) break;
        done += Scan::kTextStep;
        if (done == kBlockTextMax) return nullptr;
    }
    const char* const stop = p + done + Scan::Index(stops);
    // Unquoted, the text ends at its comma; quoted, at a quote right before one.
    const char* number = stop + 1 + quoted;
    if ((*stop != (quoted ? '"' : ',')) | (number[-1] != ',')) return nullptr;
    while (IsBlank(*number)) ++number;
    const bool negative = *number == '-';
    number += (*number == '-') | (*number == '+');
    // The digits run to the blanks before the line end; found from the LF,
    // so that they need not wait for the text's end.
    const char* digits_end = feed - (feed[-1] == '\r');
    while (IsBlank(digits_end[-1])) --digits_end;
    const std::ptrdiff_t count = digits_end - number;
    NumberDigits digits;
    if (count < 1 || count > 8 || !ReadNumberDigits(number, static_cast<std::size_t>(count), negative, digits)) {
        return nullptr;
    }
    char* const line_end = out + (stop - p);
    return line_end + WriteTapeLineEnd(digits.negative, digits.digits, digits.count, line_end);
}

// ConvTapeBlock over the scan `Scan`.
template <class Scan>
inline char* ConvUsualLines(TapeInput& input, char* out, const char* out_end) {
    // The file's first line may start with a byte order mark: the full reader's.
    if (input.offset() == 0) return out;
    const char* line = input.buffered();
    const char* const end = input.buffered_end();
    // A line's output is at most four bytes longer than the line, which is at
    // least three bytes long: up to three bytes out for each byte in. Lines
    // that start before `stop_at` thus leave room for one more.
    const std::size_t room = static_cast<std::size_t>(out_end - out);
    if (room < kTapeBlockRoom) return out;
    const char* const stop_at = line + std::min((room - kTapeBlockRoom) / 3, static_cast<std::size_t>(end - line));
    std::uint64_t lines = 0;
    // Lines are found from their LFs a step at a time, so that where a line
    // starts never waits for the one before it to be converted. The LF after
    // the buffered bytes stops the loop at the latest.
    const char* step = line;
    std::uint64_t feeds = Scan::LineFeeds(step);
    for (;;) {
        if (feeds == 0) {
            step += Scan::kFeedStep;
            feeds = Scan::LineFeeds(step);
            continue;
        }
        const char* const feed = step + Scan::Index(feeds);
        feeds &= feeds - 1;
        if (feed >= stop_at) break;
        char* const next = ConvUsualLine<Scan>(line, feed, out);
        if (next == nullptr) break;
        out = next;
        line = feed + 1;
        ++lines;
    }
    if (lines != 0) input.TakeLines(line, lines);
    return out;
}

}  // namespace tape_block_detail

}  // namespace talvoren
