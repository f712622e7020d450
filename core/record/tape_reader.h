// The full reader of legacy record files: the one definition of what a record
// may look like and of every refusal. The block conversion (tape_block.h)
// converts only records it can prove are read here the same way.
#pragma once

#include <cstddef>

#include "core/record/tape_input.h"
#include "core/record/tape_record.h"

namespace talvoren {

// A text field longer than this is refused; it bounds the memory one record
// can take whatever the file holds.
constexpr std::size_t kMaxTapeText = 1024 * 1024;

// Reads the next record into `record`, reusing its text's storage, and takes the
// line end that follows it. Blank lines before the record are skipped.
//
// Accepted: blanks, then a text (quoted: up to the next lone `"`, `""` standing
// for one `"`, then only blanks; unquoted: up to the comma, trailing blanks
// kept), a comma, then blanks, an optional sign and decimal digits, blanks
// (the number may also stand in quotes), and the line end or the end of the
// file. Refused with ConvError carrying the line and, where it helps, the
// field text (shortened to a few dozen bytes): a missing comma (also when
// called at the end of the file), an empty or malformed number, a number
// outside -32768..32767, a third field, bytes after a closing quote, a line
// end or the end of the file inside quotes, a text over kMaxTapeText bytes,
// and a file that starts with a UTF-8 byte order mark.
//
// Memory: the record's text (at most kMaxTapeText) and the input's buffer.
void ReadTapeRecord(TapeInput& input, TapeRecord& record);

}  // namespace talvoren
