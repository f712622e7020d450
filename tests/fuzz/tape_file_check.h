// The properties the fuzz target checks on every input, shared with the test
// that replays the kept inputs: the conversion agrees with itself whatever the
// buffer and read sizes, writes only well-formed lines, and describes any
// failure in valid UTF-8 at a line that exists.
#pragma once

#include <string>
#include <string_view>

namespace talvoren::test {

// Converts `file` as a legacy record file several ways; returns what went
// wrong, or an empty text when every property holds.
std::string CheckTapeConversion(std::string_view file);

}  // namespace talvoren::test
