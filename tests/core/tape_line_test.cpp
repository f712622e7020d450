// The upgraded line: worked lines, and the sign-slot form over every number.
#include "core/record/tape_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace talvoren {
namespace {

TEST(TapeLine, WorkedLines) {
    const struct {
        std::string text;
        std::int16_t number;
        std::string line;
    } cases[] = {
        {"ABC", 12, "ABC, 12,0"},
        {"ABC", -7, "ABC,-7,0"},
        {"", 0, ", 0,0"},
        {"ABC", 32767, "ABC, 32767,0"},
        {"ABC", -32768, "ABC,-32768,0"},
        // Text comes out exactly as read: no quotes added, commas and quotes bare.
        {"A,B", 3, "A,B, 3,0"},
        {"say \"hi\"", 1, "say \"hi\", 1,0"},
        {"\x95\x5C\x8E\xA6  ", 5, "\x95\x5C\x8E\xA6  , 5,0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTapeLine({c.text, c.number}), c.line) << c.line;
    }
}

TEST(TapeLine, EveryNumberInSignSlotFormWithinItsRoom) {
    // The bytes past the room must stay untouched.
    char room[kTapeLineEndMax + 8];
    for (int n = -32768; n <= 32767; ++n) {
        std::fill(std::begin(room), std::end(room), '#');
        const std::size_t size = FormatTapeLineEnd(static_cast<std::int16_t>(n), room);
        const std::string expected = (n < 0 ? "," : ", ") + std::to_string(n) + ",0\r\n";
        ASSERT_EQ(std::string(room, size), expected);
        ASSERT_EQ(std::string(room + kTapeLineEndMax, 8), "########") << n;
    }
}

}  // namespace
}  // namespace talvoren
