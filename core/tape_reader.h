// Reading legacy record files: a buffered byte input with line counting,
// ReadTapeRecord, which takes one record from it, and ConvBufferedTapeRecords,
// which converts the usual records of the buffer in one go.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/conv_tape_file.h"
#include "core/failure.h"
#include "core/file_system.h"
#include "core/tape_line.h"
#include "core/tape_record.h"

namespace talvoren {

// A text field longer than this is refused; it bounds the memory one record
// can take whatever the file holds.
constexpr std::size_t kMaxTapeText = 1024 * 1024;

// A record as ReadTapeRecordView returns it: the text lies in the input's
// buffer or in the caller's storage, and is valid until the next read.
struct TapeRecordView {
    std::string_view text;
    std::int16_t number = 0;
};

// A legacy record file read through one fixed buffer. Line ends are CR LF,
// LF alone and CR alone; a CR LF counts as one line end even when the two
// bytes arrive in different reads.
class TapeInput {
public:
    static constexpr int kEnd = -1;

    // `buffer_size` 0 is taken as 1.
    explicit TapeInput(InputFile& file, std::size_t buffer_size = kDefaultTapeBufferSize);

    // The end test before each record: skips blank lines (empty, or only
    // spaces and tabs) and tells whether any byte of a record is left.
    // Throws ConvError when the file cannot be read.
    bool AtEnd() {
        if (!after_cr_ && next_ != end_ && *next_ != ' ' && *next_ != '\t' && *next_ != '\r' && *next_ != '\n') {
            return false;
        }
        return SkipBlankLines();
    }

    // The 1-based line of the next byte.
    std::uint64_t line() const { return line_; }
    // How many bytes of the file lie before the next byte.
    std::uint64_t offset() const { return consumed_ + static_cast<std::uint64_t>(next_ - buffer_.get()); }

    // The next byte (0-255) or kEnd, without taking it.
    int Peek() {
        if (next_ == end_ && !Refill()) return kEnd;
        return static_cast<unsigned char>(*next_);
    }
    // Takes the byte that Peek just returned (not kEnd).
    void Skip() { ++next_; }
    // Takes spaces and tabs.
    void SkipBlanks();
    // Takes a line end (CR, LF or CR LF) if one is next; false if not.
    bool TakeLineEnd();

    // Appends bytes to `out` up to, not including, the first byte in `stops`
    // (a 256-entry table that must hold LF) and returns that byte, or kEnd at
    // the end of the file. Stops early and returns kOverLimit when `out` would
    // grow beyond `limit` bytes.
    static constexpr int kOverLimit = -2;
    int TakeUntil(const bool* stops, std::string& out, std::size_t limit);

private:
    friend TapeRecordView ReadTapeRecordView(TapeInput& input, std::string& storage);
    friend char* ConvBufferedTapeRecords(TapeInput& input, char* out, const char* out_end);

    bool Refill();
    bool SkipBlankLines();

    InputFile& file_;
    // The buffer starts small and grows while reads fill it, up to `largest_`:
    // a folder of small files then never allocates and frees large blocks.
    std::size_t capacity_;
    std::size_t largest_;
    // Padded beyond the capacity: an LF right after the data stops every scan
    // without a bounds test per byte.
    std::unique_ptr<char[]> buffer_;
    const char* next_;
    const char* end_;
    std::uint64_t consumed_ = 0;  // bytes of the file before the buffer's start
    std::uint64_t line_ = 1;
    bool after_cr_ = false;  // an LF that comes next belongs to the last CR
    bool at_file_end_ = false;
};

// Reads the next record into `record`, reusing its storage, and takes the
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
TapeRecord ReadTapeRecord(TapeInput& input);

// ReadTapeRecord without copying the text out of the buffer where it can be
// avoided; `storage` holds a text that the buffer cannot (one split by a
// refill, or with doubled quotes). Same rules and failures.
TapeRecordView ReadTapeRecordView(TapeInput& input, std::string& storage);

// The room ConvBufferedTapeRecords needs at `out` to convert one more record.
constexpr std::size_t kTapeBlockRoom = 256 + kTapeLineEndMax;

// The common path of a conversion: takes the usual records that lie whole in
// the input's buffer and writes their upgraded lines at `out` (as
// FormatTapeLine and FormatTapeLineEnd would), as long as their output surely
// leaves kTapeBlockRoom bytes before `out_end`; bytes up to that room past the
// returned end may be overwritten. Stops at the first record it leaves to
// ReadTapeRecordView (blank lines, doubled quotes, leading zeros, "-0", lone
// CRs, texts over 256 bytes, refusals, a record running past the buffer, the
// first record of the file), so the two always agree. Returns the end of the lines written. Never reads the file and
// never throws.
char* ConvBufferedTapeRecords(TapeInput& input, char* out, const char* out_end);

}  // namespace talvoren
