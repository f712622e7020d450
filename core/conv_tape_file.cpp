// The per-file conversion: records in through TapeInput, lines out through a
// fixed output buffer; the usual records go straight from one buffer to the
// other (ConvTapeBlock), the rest one record at a time through the full
// reader.
#include "core/conv_tape_file.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/failure.h"
#include "core/tape_block.h"
#include "core/tape_line.h"
#include "core/tape_reader.h"

namespace talvoren {

namespace {

// Collects lines and hands them to the output a buffer at a time; a text
// longer than the buffer goes to the output directly.
class LineWriter {
public:
    LineWriter(OutputFile& output, std::size_t capacity)
        : output_(output),
          capacity_(std::min(kFirstTapeBufferSize, std::max<std::size_t>(capacity, 1))),
          largest_(std::max<std::size_t>(capacity, 1)),
          buffer_(new char[capacity_]) {}

    void WriteLine(const TapeRecord& record) {
        if (record.text.size() + kTapeLineEndMax > capacity_ - size_) {
            Append(record.text.data(), record.text.size());
            char end[kTapeLineEndMax];
            Append(end, FormatTapeLineEnd(record.number, end));
            return;
        }
        char* out = buffer_.get() + size_;
        std::memcpy(out, record.text.data(), record.text.size());
        out += record.text.size();
        out += FormatTapeLineEnd(record.number, out);
        size_ = static_cast<std::size_t>(out - buffer_.get());
    }

    // Where the next lines go, with room for at least `size` bytes up to
    // limit(); nullptr when the buffer can never hold that many.
    char* Room(std::size_t size) {
        if (size > largest_) return nullptr;
        if (size > capacity_ - size_) {
            Flush();
            Grow();
        }
        return buffer_.get() + size_;
    }
    const char* limit() const { return buffer_.get() + capacity_; }
    // Takes the lines written after Room up to `end`.
    void Commit(const char* end) { size_ = static_cast<std::size_t>(end - buffer_.get()); }

    void Flush() {
        // Emptied before writing: after a failed write nothing is written twice.
        const std::size_t size = size_;
        size_ = 0;
        if (size != 0) output_.Write(buffer_.get(), size);
    }

private:
    void Append(const char* data, std::size_t size) {
        if (size > capacity_ - size_) {
            Flush();
            Grow();
            if (size >= capacity_) {
                output_.Write(data, size);
                return;
            }
        }
        std::memcpy(buffer_.get() + size_, data, size);
        size_ += size;
    }

    // Called on an empty buffer that was full: a full buffer means a long
    // file, so more lines go to each write.
    void Grow() {
        if (capacity_ < largest_) {
            capacity_ = std::min(largest_, capacity_ * kTapeBufferGrowth);
            buffer_.reset(new char[capacity_]);
        }
    }

    OutputFile& output_;
    std::size_t capacity_;
    std::size_t largest_;
    std::unique_ptr<char[]> buffer_;
    std::size_t size_ = 0;
};

}  // namespace

void ConvTapeFile(InputFile& input, OutputFile& output, std::size_t buffer_size, ByteScan scan) {
    TapeInput reader(input, buffer_size);
    LineWriter writer(output, buffer_size);
    TapeRecord record;
    for (;;) {
        if (char* out = writer.Room(kTapeBlockRoom)) {
            writer.Commit(ConvTapeBlock(reader, out, writer.limit(), scan));
        }
        try {
            if (reader.AtEnd()) break;
            ReadTapeRecord(reader, record);
        } catch (const ConvError&) {
            // The lines before a refused or unreadable record belong in the
            // output; should this write fail too, its failure is the one
            // reported, since the output then lacks them.
            writer.Flush();
            throw;
        }
        writer.WriteLine(record);
    }
    writer.Flush();
}

}  // namespace talvoren
