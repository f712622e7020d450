// The upgraded line's end: the sign-slot form over every number. Whole
// lines are conv_tape_file_test's.
#include "core/record/tape_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace talvoren {
namespace {

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
