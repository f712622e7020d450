// Hostile legacy files, made on the fly and streamed through the conversion:
// a 100 MB line, texts at the length limit, ten million blank lines, NUL
// bytes, only commas, only quotes. Each converts or is refused with the right
// code and line, while the conversion's heap stays small.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/convert/conv_tape_file.h"
#include "core/record/tape_reader.h"
#include "core/texts/failure.h"
#include "tests/core/heap_peak.h"

namespace talvoren {
namespace {

using namespace std::string_literals;

// A file described as pieces, each a unit of bytes repeated some number of
// times; it is produced while read and never held whole.
class GeneratedInput final : public InputFile {
public:
    struct Piece {
        std::string unit;
        std::uint64_t repeat = 1;
    };

    explicit GeneratedInput(const std::vector<Piece>& pieces) {
        for (const Piece& piece : pieces) {
            // A block of whole units, so that a read copies long runs at once.
            std::string block = piece.unit;
            while (block.size() < 64 * 1024 && block.size() / piece.unit.size() < piece.repeat) block += piece.unit;
            segments_.push_back({std::move(block), piece.unit.size() * piece.repeat});
        }
    }

    std::size_t Read(char* buffer, std::size_t capacity) override {
        std::size_t count = 0;
        while (count < capacity && segment_ < segments_.size()) {
            const Segment& segment = segments_[segment_];
            const std::uint64_t left = segment.size - offset_;
            const std::size_t at = static_cast<std::size_t>(offset_ % segment.block.size());
            const std::size_t run =
                static_cast<std::size_t>(std::min<std::uint64_t>({capacity - count, left, segment.block.size() - at}));
            std::memcpy(buffer + count, segment.block.data() + at, run);
            count += run;
            offset_ += run;
            if (offset_ == segment.size) {
                ++segment_;
                offset_ = 0;
            }
        }
        return count;
    }

private:
    struct Segment {
        std::string block;
        std::uint64_t size;
    };
    std::vector<Segment> segments_;
    std::size_t segment_ = 0;
    std::uint64_t offset_ = 0;
};

// Keeps the size of what was written, its first bytes and its last bytes.
class SampledOutput final : public OutputFile {
public:
    static constexpr std::size_t kKept = 64;

    void Write(const char* data, std::size_t size) override {
        size_ += size;
        head_.append(data, std::min(size, kKept - std::min(kKept, head_.size())));
        tail_.append(data + size - std::min(size, kKept), std::min(size, kKept));
        if (tail_.size() > kKept) tail_.erase(0, tail_.size() - kKept);
    }
    void WaitForWrites() noexcept override {}
    void Finish() override {}
    void Commit() override {}

    std::uint64_t size() const { return size_; }
    const std::string& head() const { return head_; }
    const std::string& tail() const { return tail_; }

private:
    std::uint64_t size_ = 0;
    std::string head_;
    std::string tail_;
};

// The two buffers, the longest text the reader keeps, the shorter storage it
// grew out of, and some slack; a reader that held a line or the file, or let
// a long text's storage double past the limit, would go beyond.
constexpr std::size_t kHeapBound = 2 * kDefaultTapeBufferSize + kMaxTapeText * 3 / 2 + 64 * 1024;

struct Result {
    std::optional<FailureCode> refusal;
    std::uint64_t line = 0;
    SampledOutput output;
    std::size_t heap_peak = 0;
};

Result Convert(const std::vector<GeneratedInput::Piece>& pieces) {
    GeneratedInput input(pieces);
    Result result;
    test::ResetHeapPeak();
    try {
        ConvTapeFile(input, result.output);
    } catch (const ConvError& error) {
        result.refusal = error.failure().code;
        result.line = error.failure().line;
    }
    result.heap_peak = test::HeapPeakSinceReset();
    return result;
}

constexpr std::uint64_t k100Mb = 100'000'000;
constexpr std::uint64_t kTenMillion = 10'000'000;

using Pieces = std::vector<GeneratedInput::Piece>;

// What an output made of `pieces` looks like to a SampledOutput.
SampledOutput Sample(const Pieces& pieces) {
    GeneratedInput bytes(pieces);
    SampledOutput sample;
    char block[4096];
    while (const std::size_t count = bytes.Read(block, sizeof block)) sample.Write(block, count);
    return sample;
}

void ExpectOutput(const SampledOutput& actual, const Pieces& expected_pieces) {
    const SampledOutput expected = Sample(expected_pieces);
    EXPECT_EQ(actual.size(), expected.size());
    EXPECT_EQ(actual.head(), expected.head());
    EXPECT_EQ(actual.tail(), expected.tail());
}

struct Case {
    const char* name;
    Pieces file;
    std::optional<FailureCode> refusal;  // nothing: the file converts
    std::uint64_t line;
    Pieces output;  // everything written, refused or not
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"100 MB line without a comma after a record",
         {{"A,1\r\n\r\n"}, {"x", k100Mb}, {"\r\n"}},
         FailureCode::TextTooLong,
         3,
         {{"A, 1,0\r\n"}}},
        {"100 MB quoted text never closed", {{"\""}, {"\x95\x5C", k100Mb / 2}}, FailureCode::TextTooLong, 1, {}},
        {"100 MB of blanks before a number",
         {{"A, "}, {" \t", k100Mb / 2}, {"5\r\n"}},
         std::nullopt,
         0,
         {{"A, 5,0\r\n"}}},
        {"100 MB of digits", {{"A,"}, {"0", k100Mb}, {"7"}}, std::nullopt, 0, {{"A, 7,0\r\n"}}},
        {"text one byte over the limit",
         {{"B,2\r\n"}, {"x", kMaxTapeText + 1}, {",3\r\n"}},
         FailureCode::TextTooLong,
         2,
         {{"B, 2,0\r\n"}}},
        {"quoted text one byte over the limit, made of doubled quotes",
         {{"\""}, {"\"\"", kMaxTapeText + 1}, {"\",3\r\n"}},
         FailureCode::TextTooLong,
         1,
         {}},
        {"ten million blank lines of every kind, then records",
         {{"\r\n\n\r \t\r\n", kTenMillion / 4}, {"Z,5\r\nY,x"}},
         FailureCode::BadNumber,
         kTenMillion + 2,
         {{"Z, 5,0\r\n"}}},
        {"ten million blank lines only", {{" \r\n", kTenMillion}}, std::nullopt, 0, {}},
        {"five million records between blank lines",
         {{"A,-1\n\r", kTenMillion / 2}, {"B,99999"}},
         FailureCode::NumberOutOfRange,
         kTenMillion + 1,
         {{"A,-1,0\r\n", kTenMillion / 2}}},
        {"NUL bytes inside a text pass through",
         {{"\0A\0,0\r\n\"\0\",\"1\""s}},
         std::nullopt,
         0,
         {{"\0A\0, 0,0\r\n\0, 1,0\r\n"s}}},
        {"a NUL byte after a number", {{"A,1\r\nB,2\0\r\n"s}}, FailureCode::BadNumber, 2, {{"A, 1,0\r\n"}}},
        {"a million NUL bytes and more on one line", {{"\0"s, kMaxTapeText + 1}}, FailureCode::TextTooLong, 1, {}},
        {"only commas", {{",", k100Mb}}, FailureCode::EmptyNumber, 1, {}},
        {"only commas and line ends", {{",,\r\n", 1000}}, FailureCode::EmptyNumber, 1, {}},
        {"only quotes, an even count: the last one closes the text", {{"\"", 10}}, FailureCode::MissingComma, 1, {}},
        {"only quotes, an odd count: the text stays open", {{"\"", 9}}, FailureCode::UnclosedQuote, 1, {}},
        {"ten million quotes", {{"\"", kTenMillion}}, FailureCode::TextTooLong, 1, {}},
        {"texts of the longest length, bare and quoted",
         {{"\x83\x5C", kMaxTapeText / 2}, {",7\r\n \""}, {"\"\"", kMaxTapeText}, {"\" , 7 \r\n\r\n"}},
         std::nullopt,
         0,
         {{"\x83\x5C", kMaxTapeText / 2}, {", 7,0\r\n"}, {"\"", kMaxTapeText}, {", 7,0\r\n"}}},
    };
    return cases;
}

TEST(PathologicalFiles, ConvertOrAreRefusedAtTheRightLineInBoundedMemory) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const Result result = Convert(c.file);
        EXPECT_EQ(result.refusal, c.refusal);
        EXPECT_EQ(result.line, c.line);
        ExpectOutput(result.output, c.output);
        EXPECT_LE(result.heap_peak, kHeapBound);
    }
}

// The yardstick itself: holding one long line shows in the measured peak.
TEST(PathologicalFiles, HeapPeakSeesAHeldLine) {
    ASSERT_LT(kHeapBound, k100Mb / 10);
    test::ResetHeapPeak();
    const std::string held(k100Mb / 10, 'x');
    EXPECT_EQ(held[held.size() / 2], 'x');
    EXPECT_GE(test::HeapPeakSinceReset(), held.size());
}

}  // namespace
}  // namespace talvoren
