// The block conversion: the common path of ConvTapeFile. It converts the
// usual records lying whole in the input's buffer straight into the output
// buffer and leaves every other record to the full reader (tape_reader.h).
#pragma once

#include <cstddef>

#include "core/record/tape_input.h"
#include "core/record/tape_line.h"

namespace talvoren {

// The longest text the block conversion takes; longer ones are the full
// reader's.
constexpr std::size_t kBlockTextMax = 256;
// The room ConvTapeBlock needs at `out` to convert one more record.
constexpr std::size_t kTapeBlockRoom = kBlockTextMax + kTapeLineEndMax;

// Takes the usual records that lie whole in the input's buffer, each up to
// and with its LF, and writes their upgraded lines at `out` through
// FormatTapeLineEnd, as long as their output surely leaves kTapeBlockRoom
// bytes before `out_end`; bytes up to that room past the returned end may be
// overwritten. A usual record is a line that starts with its text, either
// `"` text `",` with no `"`, CR or LF in the text, or a text without `"`, `,`,
// CR or LF and then `,`; then blanks, an optional sign, one to eight digits
// of a value in range, blanks, and LF or CR LF. Stops at the first line that is
// not (and at the file's first line, which may start with a byte order mark):
// everything it takes, the full reader would read alike. Returns the end of
// the lines written. Never reads the file and never throws.
// Runs the fastest byte scan the processor has.
char* ConvTapeBlock(TapeInput& input, char* out, const char* out_end);

}  // namespace talvoren
