// The upgraded line of one record: text, ",", the sign-slot number, ",0".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/tape_record.h"

namespace talvoren {

// The longest tail a line can have after its text: ",-32768,0".
constexpr std::size_t kTapeTailMax = 9;

// Writes the part of a line that follows the text (",", the number in
// sign-slot form, ",0") at `out`, which has room for kTapeTailMax bytes, and
// returns how many bytes it wrote. Sign slot: a blank before zero and positive
// numbers, "-" before negative ones; never a plus sign or leading zeros.
std::size_t FormatTapeTail(std::int16_t number, char* out);

// The whole line of `record` without its line end. Pure; never fails.
std::string FormatTapeLine(const TapeRecord& record);

}  // namespace talvoren
