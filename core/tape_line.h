// The upgraded line of one record: text, ",", the sign-slot number, ",0".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/tape_record.h"

namespace talvoren {

// The longest end of a line after its text: ",-32768,0" and CR LF.
constexpr std::size_t kTapeLineEndMax = 11;

// Writes the end of a line after its text at `out`: ",", the number in
// sign-slot form, ",0", CR LF. Returns how many bytes that is. `out` must have
// room for kTapeLineEndMax bytes; those past the returned count may be
// overwritten. Sign slot: a blank before zero and positive numbers, "-" before
// negative ones; never a plus sign or leading zeros.
std::size_t FormatTapeLineEnd(std::int16_t number, char* out);

// The whole line of `record` without its CR LF. Pure; never fails.
std::string FormatTapeLine(const TapeRecord& record);

}  // namespace talvoren
