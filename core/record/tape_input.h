// The buffered byte input of a legacy record file: refills, line counting,
// buffer growth. The full reader takes bytes from it one construct at a time;
// the block conversion looks at the whole buffered run and takes whole lines.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/record/tape_files.h"

namespace talvoren {

constexpr std::size_t kDefaultTapeBufferSize = 128 * 1024;
// Buffers start at this size and grow by kTapeBufferGrowth while a file fills
// them, up to the buffer size asked for.
constexpr std::size_t kFirstTapeBufferSize = 4 * 1024;
constexpr std::size_t kTapeBufferGrowth = 8;

// The size of a buffer of the conversion, input or output: small at first,
// so that a folder of small files never allocates and frees large blocks,
// and larger each time a file fills it, up to `largest` (0 is taken as 1).
class TapeBufferSize {
public:
    explicit TapeBufferSize(std::size_t largest)
        : largest_(std::max<std::size_t>(largest, 1)), current_(std::min(kFirstTapeBufferSize, largest_)) {}
    std::size_t current() const { return current_; }
    std::size_t largest() const { return largest_; }
    // After a full buffer: the next one is larger, up to largest(). False
    // when it is as large as it gets.
    bool Grow() {
        if (current_ == largest_) return false;
        current_ = std::min(largest_, current_ * kTapeBufferGrowth);
        return true;
    }

private:
    std::size_t largest_;
    std::size_t current_;
};
// Readable bytes after the buffered run: an LF that stops every scan without
// a bounds test per byte, then zeros, so that a scan may load sixty-four
// bytes at any position up to the LF.
constexpr std::size_t kTapeInputPadding = 64;

// Blanks are spaces and tabs only; `c` may be a byte or TapeInput::kEnd.
constexpr bool IsBlank(int c) { return c == ' ' || c == '\t'; }

// Appends to `out` (at most `limit` bytes in all) while keeping its storage
// within `limit`: a string left to grow by itself would double a long text's
// storage past it.
void AppendWithin(std::string& out, const char* data, std::size_t size, std::size_t limit);

// Line ends are CR LF, LF alone and CR alone; a CR LF counts as one line end
// even when the two bytes arrive in different reads.
class TapeInput {
public:
    static constexpr int kEnd = -1;

    // `buffer_size` 0 is taken as 1.
    explicit TapeInput(InputFile& file, std::size_t buffer_size = kDefaultTapeBufferSize);

    // The end test before each record: skips blank lines (empty, or only
    // spaces and tabs) and tells whether any byte of a record is left.
    // Throws ConvError when the file cannot be read.
    bool AtEnd() {
        if (!after_cr_ && next_ != end_ && !IsBlank(*next_) && *next_ != '\r' && *next_ != '\n') {
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

    // The bytes read but not yet taken, without reading more. buffered_end()
    // is followed by kTapeInputPadding readable bytes, the first an LF.
    const char* buffered() const { return next_; }
    const char* buffered_end() const { return end_; }
    // Takes `count` whole lines of the buffered bytes, up to `next`, which
    // follows their last LF.
    void TakeLines(const char* next, std::uint64_t count) {
        next_ = next;
        line_ += count;
        after_cr_ = false;
    }

private:
    bool Refill();
    bool SkipBlankLines();

    InputFile& file_;
    TapeBufferSize capacity_;
    std::unique_ptr<char[]> buffer_;  // capacity_.current() + kTapeInputPadding bytes
    const char* next_;
    const char* end_;
    std::uint64_t consumed_ = 0;  // bytes of the file before the buffer's start
    std::uint64_t line_ = 1;
    bool after_cr_ = false;  // an LF that comes next belongs to the last CR
    bool at_file_end_ = false;
};

}  // namespace talvoren
