// The per-file conversion: records in through TapeInput, lines out through a
// fixed output buffer; the usual records go straight from one buffer to the
// other (ConvTapeBlock), the rest one record at a time through the full
// reader.
#include "core/convert/conv_tape_file.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/convert/byte_scan_for_tests.h"
#include "core/convert/tape_block.h"
#include "core/record/tape_line.h"
#include "core/record/tape_reader.h"
#include "core/texts/failure.h"

namespace talvoren {

namespace {

// Collects lines and hands them to the output a buffer at a time, from two
// buffers in turn: the output may still be writing one (see
// OutputFile::Write) while the next lines go into the other. A text longer
// than a buffer goes through the buffers in pieces, so the output never reads
// memory the writer does not own.
class LineWriter {
public:
    LineWriter(OutputFile& output, std::size_t capacity) : output_(output), capacity_(capacity) { Fit(); }
    // The buffers go with the writer; no write may read them after that.
    ~LineWriter() { output_.WaitForWrites(); }
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    void WriteLine(const TapeRecord& record) {
        if (record.text.size() + kTapeLineEndMax > free_bytes()) {
            Append(record.text.data(), record.text.size());
            char end[kTapeLineEndMax];
            Append(end, FormatTapeLineEnd(record.number, end));
            return;
        }
        char* out = buffer() + size_;
        std::memcpy(out, record.text.data(), record.text.size());
        out += record.text.size();
        out += FormatTapeLineEnd(record.number, out);
        size_ = static_cast<std::size_t>(out - buffer());
    }

    // Where the next lines go, with room for at least `size` bytes up to
    // limit(); nullptr when the buffer can never hold that many.
    char* Room(std::size_t size) {
        if (size > capacity_.largest()) return nullptr;
        if (size > free_bytes()) Renew();
        return buffer() + size_;
    }
    const char* limit() const { return buffer() + capacity_.current(); }
    // Takes the lines written after Room up to `end`.
    void Commit(const char* end) { size_ = static_cast<std::size_t>(end - buffer()); }

    // Hands the collected lines to the output. Only Renew may fill a buffer
    // after this.
    void Flush() {
        // Emptied before writing: after a failed write nothing is written twice.
        const std::size_t size = size_;
        size_ = 0;
        if (size == 0) return;
        output_.Write(buffer(), size);
        // Free from now: the output reads the handed one until the next Write.
        current_ ^= 1;
    }

private:
    struct Buffer {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
    };

    char* buffer() const { return buffers_[current_].bytes.get(); }
    std::size_t free_bytes() const { return capacity_.current() - size_; }

    void Append(const char* data, std::size_t size) {
        while (size > free_bytes()) {
            const std::size_t piece = free_bytes();
            std::memcpy(buffer() + size_, data, piece);
            size_ += piece;
            data += piece;
            size -= piece;
            Renew();
        }
        std::memcpy(buffer() + size_, data, size);
        size_ += size;
    }

    // Hands over the lines and readies the other buffer. A buffer that was
    // full means a long file, so more lines go to each write.
    void Renew() {
        Flush();
        capacity_.Grow();
        Fit();
    }

    // Gives the buffer in use the current capacity.
    void Fit() {
        Buffer& current = buffers_[current_];
        if (current.size < capacity_.current()) {
            current.bytes.reset(new char[capacity_.current()]);
            current.size = capacity_.current();
        }
    }

    OutputFile& output_;
    TapeBufferSize capacity_;
    Buffer buffers_[2];
    int current_ = 0;
    std::size_t size_ = 0;
};

// ConvTapeFile with the block conversion `block`.
void Convert(InputFile& input, OutputFile& output, std::size_t buffer_size, TapeBlockConversion block) {
    TapeInput reader(input, buffer_size);
    LineWriter writer(output, buffer_size);
    TapeRecord record;
    for (;;) {
        if (char* out = writer.Room(kTapeBlockRoom)) {
            writer.Commit(block(reader, out, writer.limit()));
        }
        try {
            if (reader.AtEnd()) break;
            ReadTapeRecord(reader, record);
        } catch (const ConvError&) {
            // The lines before a refused or unreadable record belong in the
            // output; should their writing fail too, its failure is the one
            // reported, since the output then lacks them. The empty write
            // waits for the output and throws such a failure.
            writer.Flush();
            output.Write(nullptr, 0);
            throw;
        }
        writer.WriteLine(record);
    }
    writer.Flush();
}

}  // namespace

void ConvTapeFile(InputFile& input, OutputFile& output, std::size_t buffer_size) {
    Convert(input, output, buffer_size, ConvTapeBlock);
}

void ConvTapeFileWithScan(InputFile& input, OutputFile& output, std::size_t buffer_size, ByteScan scan) {
    Convert(input, output, buffer_size, TapeBlockConversionOf(scan));
}

}  // namespace talvoren
