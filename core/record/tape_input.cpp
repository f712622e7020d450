// The buffered input. Blanks are spaces and tabs only. A CR ends a line at
// once; an LF right after it, even in the next read, belongs to it.
#include "core/record/tape_input.h"

#include <algorithm>
#include <cstring>

namespace talvoren {

namespace {

constexpr char kSentinel = '\n';

}  // namespace

void AppendWithin(std::string& out, const char* data, std::size_t size, std::size_t limit) {
    const std::size_t needed = out.size() + size;
    // Up to a quarter of the limit, doubling stays below half of it, and from
    // there the limit itself is at least double: reserve takes it exactly.
    if (needed > out.capacity() && needed > limit / 4) out.reserve(limit);
    out.append(data, size);
}

TapeInput::TapeInput(InputFile& file, std::size_t buffer_size)
    : file_(file),
      capacity_(buffer_size),
      buffer_(new char[capacity_.current() + kTapeInputPadding]),
      next_(buffer_.get()),
      end_(buffer_.get()) {
    std::memset(buffer_.get(), 0, kTapeInputPadding);
    buffer_[0] = kSentinel;
}

bool TapeInput::Refill() {
    if (at_file_end_) return false;
    const std::size_t last_count = static_cast<std::size_t>(end_ - buffer_.get());
    consumed_ += last_count;
    if (last_count == capacity_.current() && capacity_.Grow()) {
        buffer_.reset(new char[capacity_.current() + kTapeInputPadding]);
    }
    const std::size_t count = file_.Read(buffer_.get(), capacity_.current());
    next_ = buffer_.get();
    end_ = next_ + count;
    // The sentinel, then zeros: a wide load that starts before the sentinel
    // sees only bytes that were written.
    std::memset(buffer_.get() + count, 0, kTapeInputPadding);
    buffer_[count] = kSentinel;
    at_file_end_ = count == 0;
    return count != 0;
}

void TapeInput::SkipBlanks() {
    while (IsBlank(Peek())) Skip();
}

bool TapeInput::TakeLineEnd() {
    const int c = Peek();
    if (c != '\r' && c != '\n') return false;
    Skip();
    ++line_;
    // The LF of a CR LF is taken now when it is at hand, so that the next
    // line starts right after it; at the end of the buffer it may come later.
    const bool lf_at_hand = next_ != end_ && *next_ == '\n';
    if (c == '\r' && lf_at_hand) Skip();
    after_cr_ = c == '\r' && !lf_at_hand;
    return true;
}

bool TapeInput::SkipBlankLines() {
    // Byte by byte in the buffer: a file of blank lines is all this loop.
    for (;;) {
        if (next_ == end_ && !Refill()) return true;
        const char c = *next_;
        const bool lf_of_cr = after_cr_ && c == '\n';
        after_cr_ = false;
        if (lf_of_cr || IsBlank(c)) {
            ++next_;
        } else if (c == '\r' || c == '\n') {
            ++next_;
            ++line_;
            after_cr_ = c == '\r';
        } else {
            return false;
        }
    }
}

int TapeInput::TakeUntil(const bool* stops, std::string& out, std::size_t limit) {
    for (;;) {
        if (next_ == end_ && !Refill()) return kEnd;
        const char* stop = next_;
        while (!stops[static_cast<unsigned char>(*stop)]) ++stop;
        const std::size_t count = static_cast<std::size_t>(stop - next_);
        const std::size_t room = limit - std::min(limit, out.size());
        if (count > room) {
            AppendWithin(out, next_, room, limit);
            next_ += room;
            return kOverLimit;
        }
        if (count != 0) AppendWithin(out, next_, count, limit);
        next_ = stop;
        if (stop != end_) return static_cast<unsigned char>(*stop);
    }
}

}  // namespace talvoren
