// The streaming conversion with tiny buffers and short reads, so that records
// straddle every refill, against a whole-buffer reference reader written here
// from the reading rules: same output bytes, same refusal and line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/convert/tape_block.h"
#include "core/convert/conv_tape_file.h"
#include "core/record/tape_reader.h"
#include "core/texts/failure.h"
#include "tests/support/memory_conversion.h"
#include "tests/support/memory_files.h"
#include "tests/support/seams.h"

namespace talvoren {
namespace {

struct Outcome {
    std::string output;
    std::optional<FailureCode> refusal;
    std::uint64_t line = 0;
};

bool operator==(const Outcome& a, const Outcome& b) {
    return a.output == b.output && a.refusal == b.refusal && a.line == b.line;
}

// ---- The reference: the whole file in memory, cut into lines first. --------

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string_view> SplitLines(std::string_view file) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] != '\r' && file[i] != '\n') continue;
        lines.push_back(file.substr(start, i - start));
        if (file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < file.size()) lines.push_back(file.substr(start));
    return lines;
}

std::size_t SkipBlanks(std::string_view s, std::size_t i) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    return i;
}

// Parses one non-blank line. Returns the refusal, or nothing with `text` and
// `number` filled.
std::optional<FailureCode> ParseLine(std::string_view s, std::string& text, long& number) {
    std::size_t i = SkipBlanks(s, 0);
    text.clear();
    if (s[i] == '"') {
        ++i;
        for (;;) {
            const std::size_t quote = s.find('"', i);
            text.append(s.substr(i, quote == std::string_view::npos ? std::string_view::npos : quote - i));
            if (text.size() > kMaxTapeText) return FailureCode::TextTooLong;
            if (quote == std::string_view::npos) return FailureCode::UnclosedQuote;
            i = quote + 1;
            if (i < s.size() && s[i] == '"') {
                text.push_back('"');
                ++i;
                continue;
            }
            break;
        }
        if (text.size() > kMaxTapeText) return FailureCode::TextTooLong;
        i = SkipBlanks(s, i);
        if (i == s.size()) return FailureCode::MissingComma;
        if (s[i] != ',') return FailureCode::BytesAfterQuote;
    } else {
        const std::size_t comma = s.find(',', i);
        text = s.substr(i, comma == std::string_view::npos ? std::string_view::npos : comma - i);
        if (text.size() > kMaxTapeText) return FailureCode::TextTooLong;
        if (comma == std::string_view::npos) return FailureCode::MissingComma;
        i = comma;
    }
    ++i;  // the comma

    i = SkipBlanks(s, i);
    const bool quoted = i < s.size() && s[i] == '"';
    if (quoted) i = SkipBlanks(s, i + 1);
    const bool has_sign = i < s.size() && (s[i] == '+' || s[i] == '-');
    const bool negative = has_sign && s[i] == '-';
    if (has_sign) ++i;
    std::string digits;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') digits.push_back(s[i++]);
    i = SkipBlanks(s, i);
    if (quoted) {
        if (i == s.size()) return FailureCode::UnclosedQuote;
        if (s[i] != '"') return FailureCode::BadNumber;
        i = SkipBlanks(s, i + 1);
    }
    if (i < s.size() && s[i] != ',') return quoted ? FailureCode::BytesAfterQuote : FailureCode::BadNumber;
    if (digits.empty()) return has_sign ? FailureCode::BadNumber : FailureCode::EmptyNumber;
    if (i < s.size()) return FailureCode::ThirdField;
    digits.erase(0, digits.find_first_not_of('0'));
    if (digits.size() > 5) return FailureCode::NumberOutOfRange;
    number = digits.empty() ? 0 : std::stol(digits);
    if (negative) number = -number;
    if (number < -32768 || number > 32767) return FailureCode::NumberOutOfRange;
    return std::nullopt;
}

Outcome ReferenceConvert(std::string_view file) {
    Outcome outcome;
    if (file.substr(0, 3) == "\xEF\xBB\xBF") {
        outcome.refusal = FailureCode::Utf8ByteOrderMark;
        outcome.line = 1;
        return outcome;
    }
    const std::vector<std::string_view> lines = SplitLines(file);
    std::string text;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string_view line = lines[index];
        if (SkipBlanks(line, 0) == line.size()) continue;
        long number = 0;
        if (const auto refusal = ParseLine(line, text, number)) {
            outcome.refusal = refusal;
            outcome.line = index + 1;
            return outcome;
        }
        outcome.output += text;
        outcome.output += number < 0 ? "," + std::to_string(number) : ", " + std::to_string(number);
        outcome.output += ",0\r\n";
    }
    return outcome;
}

// ---- The streaming conversion under test. ----------------------------------

Outcome StreamingConvert(const std::string& file, std::size_t buffer_size, std::size_t chunk_size) {
    const test::MemoryConversion conversion = test::ConvertInMemory(file, buffer_size, chunk_size);
    Outcome outcome;
    if (conversion.failure) {
        outcome.refusal = conversion.failure->code;
        outcome.line = conversion.failure->line;
    }
    outcome.output = conversion.output;
    return outcome;
}

// ---- Inputs: plausible records, then random damage. ------------------------

class InputMaker {
public:
    explicit InputMaker(std::uint64_t seed) : random_(seed) {}

    std::string Next() {
        std::string file;
        if (Chance(2)) file = "\xEF\xBB\xBF";
        const unsigned records = Below(8);
        for (unsigned i = 0; i < records; ++i) {
            if (Chance(15)) file += Pick(kBlankLines);
            file += Record();
            if (i + 1 < records || Chance(70)) file += Pick(kLineEnds);
        }
        if (Chance(10)) file += Pick(kBlankLines);
        const unsigned damage = Chance(50) ? 0 : 1 + Below(4);
        for (unsigned i = 0; i < damage; ++i) Damage(file);
        return file;
    }

private:
    static constexpr std::string_view kLineEnds[] = {"\r\n", "\r\n", "\r\n", "\n", "\r"};
    static constexpr std::string_view kBlankLines[] = {"\r\n", "\n", "\r", "  \t\r\n", "\t", " \n\r"};
    static constexpr std::string_view kTexts[] = {
        "ABC",  "",      "A,B",      "say \"\"hi\"\"", "\x95\x5C\x92\xAC", "\x83\x5C\x83t\x83g", "\xC2\xB7\xDE\xCA",
        "x\"y", " lead", "trail \t", {"\0nul", 4},     "\xEF\xBB\xBF"};
    static constexpr std::string_view kNumbers[] = {
        "0", "12", "-7", "+0012", "32767", "-32768", "00000000000000000001", "\"12\"", "\" -3 \""};
    static constexpr std::string_view kBadNumbers[] = {"32768", "-32769", "99999999999", "",    "-",    "+",   "1.5",
                                                       "1e3",   "&H10",   "- 5",         "1 2", "\"\"", "\"4", "5\""};

    unsigned Below(unsigned n) { return static_cast<unsigned>(random_() % n); }
    bool Chance(unsigned percent) { return Below(100) < percent; }
    template <std::size_t N>
    std::string Pick(const std::string_view (&items)[N]) {
        return std::string(items[Below(N)]);
    }

    std::string Record() {
        const std::string text = Pick(kTexts);
        std::string record;
        if (Chance(10)) record += Chance(50) ? " " : "\t ";
        record += Chance(60) ? '"' + text + '"' : text;
        if (Chance(10)) record += " ";
        record += ',';
        if (Chance(10)) record += " ";
        record += Chance(95) ? Pick(kNumbers) : Pick(kBadNumbers);
        if (Chance(10)) record += "\t";
        if (Chance(2)) record += "," + Pick(kNumbers);
        return record;
    }

    // Inserts, deletes or replaces a byte, favouring the bytes that matter.
    void Damage(std::string& file) {
        static const char kBytes[] = {'"', ',', '\r', '\n', ' ',    '\t',   '-',
                                      '0', '9', 'A',  '\0', '\x5C', '\x95', '\xEF'};
        const char byte = Chance(80) ? kBytes[Below(sizeof kBytes)] : static_cast<char>(Below(256));
        const std::size_t at = file.empty() ? 0 : Below(static_cast<unsigned>(file.size()));
        switch (Below(3)) {
        case 0:
            file.insert(file.begin() + static_cast<std::ptrdiff_t>(at), byte);
            break;
        case 1:
            if (!file.empty()) file.erase(at, 1);
            break;
        default:
            if (!file.empty()) file[at] = byte;
            break;
        }
    }

    std::mt19937_64 random_;
};

std::string Escaped(const std::string& bytes) {
    std::string shown;
    for (const unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            shown += static_cast<char>(c);
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += kHex[c >> 4];
            shown += kHex[c & 15];
        }
    }
    return shown;
}

std::string Describe(const Outcome& outcome) {
    std::string text = "output \"" + Escaped(outcome.output) + "\"";
    if (outcome.refusal) {
        text += ", refused with code " + std::to_string(static_cast<int>(*outcome.refusal)) + " at line " +
                std::to_string(outcome.line);
    }
    return text;
}

// Buffer sizes and read sizes that put a refill inside every construct; the
// last pair is the default buffer reading the whole file at once.
using test::Seam;
const std::vector<Seam> kSplits = {{1, 1}, {2, 1}, {3, 2}, {5, 64}, {8, 3}, {kDefaultTapeBufferSize, SIZE_MAX}};

TEST(TapeReaderDifferential, RandomAndDamagedFilesMatchTheReference) {
    InputMaker maker(20261207);
    int refused = 0;
    int converted = 0;
    for (int i = 0; i < 4000; ++i) {
        const std::string file = maker.Next();
        const Outcome expected = ReferenceConvert(file);
        (expected.refusal ? refused : converted)++;
        const Outcome actual = StreamingConvert(file, kDefaultTapeBufferSize, SIZE_MAX);
        ASSERT_TRUE(actual == expected) << "input \"" << Escaped(file) << "\"\n  expected " << Describe(expected)
                                        << "\n  actual   " << Describe(actual);
        ASSERT_EQ(test::DifferenceAtSeams(file, kSplits), "") << "input \"" << Escaped(file) << "\"";
    }
    // Both kinds of outcome must be well represented, or the comparison says little.
    EXPECT_GT(refused, 1000);
    EXPECT_GT(converted, 1000);
}

// Every refusal the reader knows must come up among the random inputs.
TEST(TapeReaderDifferential, RandomFilesReachEveryRefusal) {
    InputMaker maker(20261207);
    std::vector<FailureCode> seen;
    for (int i = 0; i < 4000; ++i) {
        const Outcome outcome = ReferenceConvert(maker.Next());
        if (outcome.refusal) seen.push_back(*outcome.refusal);
    }
    for (const FailureCode code : {FailureCode::Utf8ByteOrderMark, FailureCode::MissingComma, FailureCode::EmptyNumber,
                                   FailureCode::BadNumber, FailureCode::NumberOutOfRange, FailureCode::ThirdField,
                                   FailureCode::BytesAfterQuote, FailureCode::UnclosedQuote}) {
        EXPECT_NE(std::find(seen.begin(), seen.end(), code), seen.end()) << static_cast<int>(code);
    }
}

// Files longer than the first buffer, so that the buffers grow between two
// reads, with reads that fill the buffer and reads that fall short of it.
TEST(TapeReaderDifferential, LongFilesMatchTheReferenceWhileTheBuffersGrow) {
    InputMaker maker(7);
    for (int i = 0; i < 20; ++i) {
        std::string file;
        while (file.size() < 3 * kFirstTapeBufferSize * kTapeBufferGrowth) {
            // Whole lines that convert on their own also convert after others.
            const std::string part = maker.Next() + "\r\n";
            if (!ReferenceConvert(part).refusal) file += part;
        }
        file += maker.Next();
        const Outcome expected = ReferenceConvert(file);
        const Outcome actual = StreamingConvert(file, kDefaultTapeBufferSize, SIZE_MAX);
        ASSERT_TRUE(actual == expected) << "file " << i << "\n  expected " << Describe(expected).substr(0, 300)
                                        << "\n  actual   " << Describe(actual).substr(0, 300);
        ASSERT_EQ(
            test::DifferenceAtSeams(file, std::vector<Seam>{{kDefaultTapeBufferSize, kFirstTapeBufferSize},
                                                            {kDefaultTapeBufferSize, kFirstTapeBufferSize + 904}}),
            "")
            << "file " << i;
    }
}

// Texts at the length limit cross many refills; the reference must agree there too.
TEST(TapeReaderDifferential, TextsAtTheLengthLimitMatchTheReference) {
    const std::string exact(kMaxTapeText, 'x');
    const std::string over(kMaxTapeText + 1, 'x');
    const std::string doubled_quotes(kMaxTapeText - 1, 'q');
    const std::string files[] = {
        exact + ",1\r\n",
        over + ",1\r\n",
        "\"" + exact + "\",1\r\n",
        "\"" + over + "\",1\r\n",
        "\"" + doubled_quotes + "\"\"\",2\r\nB,3",
        "\"" + doubled_quotes + "\"\"\"\"\",2\r\n",
        "A,1\r\n" + exact + "\r\n",
        "A,1\r\n\"" + exact,
    };
    for (const std::string& file : files) {
        const Outcome expected = ReferenceConvert(file);
        const Outcome actual = StreamingConvert(file, kDefaultTapeBufferSize, SIZE_MAX);
        const std::string where =
            "file of " + std::to_string(file.size()) + " bytes starting \"" + Escaped(file.substr(0, 8)) + "\"";
        EXPECT_TRUE(actual == expected) << where << "\n  expected " << Describe(expected).substr(0, 200)
                                        << "\n  actual   " << Describe(actual).substr(0, 200);
        EXPECT_EQ(test::DifferenceAtSeams(file, std::vector<Seam>{{4096, 1000}}), "") << where;
    }
}

// Long files of the usual records, in the shapes the conversion takes straight
// from buffer to buffer and in the shapes next to them that it must leave to
// the full reader: texts around the sixteen- and thirty-two-byte steps and
// around 256 bytes, numbers at the range limits, leading zeros, "-0", signs,
// blanks, lone CRs. Buffers from just over the room one line needs to the
// default, so that the output buffer also runs out between two lines.
class UsualFileMaker {
public:
    explicit UsualFileMaker(std::uint64_t seed) : random_(seed) {}

    std::string Next(std::size_t size) {
        std::string file;
        while (file.size() < size) {
            if (Below(100) == 0) file += Below(2) ? "\r\n" : " \t\n";
            file += Record();
            const unsigned end = Below(100);
            file += end < 85 ? "\r\n" : end < 99 ? "\n" : "\r";
        }
        // Now and then a damaged record near the end, so that refusals come late too.
        if (Below(3) == 0) file += Below(2) ? "\"open,1\r\n" : "A,32768\r\n";
        return file;
    }

private:
    unsigned Below(unsigned n) { return static_cast<unsigned>(random_() % n); }

    std::string Text(bool quoted) {
        static const unsigned kSizes[] = {0, 1, 15, 16, 17, 31, 32, 33, 63, 64, 255, 256, 257, 300};
        const std::size_t size = Below(5) == 0 ? kSizes[Below(std::size(kSizes))] : Below(40);
        std::string text;
        while (text.size() < size) {
            switch (Below(12)) {
            case 0:
                text += "\x95\x5C";
                break;  // a second byte of 0x5C
            case 1:
                text += '\xB1';
                break;  // half-width kana
            case 2:
                text += ' ';
                break;
            case 3:
                text += quoted ? "," : "\t";
                break;
            case 4:
                text += quoted && Below(40) == 0 ? "\"\"" : "x";
                break;
            default:
                text += static_cast<char>('a' + Below(26));
                break;
            }
        }
        return text;
    }

    std::string Number() {
        static const char* const kNumbers[] = {"0",      "-0", "+0",    "00",     "007",    "-01",
                                               "9",      "10", "32767", "-32768", "+32767", "12345",
                                               "-10000", "1 ", " 2",    "\t-3\t", "\"4\""};
        static const char* const kBadNumbers[] = {"32768", "-32769", "99999", "-99999", "100000", "5.", ""};
        if (Below(5000) == 0) return kBadNumbers[Below(std::size(kBadNumbers))];
        if (Below(10) == 0) return kNumbers[Below(std::size(kNumbers))];
        return std::to_string(static_cast<int>(Below(65536)) - 32768);
    }

    std::string Record() {
        const bool quoted = Below(4) != 0;
        std::string record = Below(20) == 0 ? " " : "";
        record += quoted ? "\"" + Text(true) + "\"" : Text(false);
        if (quoted && Below(20) == 0) record += " ";
        record += ',';
        record += Number();
        return record;
    }

    std::mt19937_64 random_;
};

TEST(TapeReaderDifferential, LongFilesOfUsualRecordsMatchTheReference) {
    UsualFileMaker maker(42);
    const std::vector<Seam> splits = {{kDefaultTapeBufferSize, SIZE_MAX},
                                      {kDefaultTapeBufferSize, 5000},
                                      {kTapeBlockRoom + 3, 100},
                                      {1000, 999},
                                      {4096, SIZE_MAX},
                                      {7, 3}};
    int refused = 0;
    for (int i = 0; i < 60; ++i) {
        const std::string file = maker.Next(i % 10 == 0 ? 300000 : 20000);
        const Outcome expected = ReferenceConvert(file);
        refused += expected.refusal.has_value();
        const Outcome actual = StreamingConvert(file, kDefaultTapeBufferSize, SIZE_MAX);
        ASSERT_TRUE(actual == expected) << "file " << i << "\n  expected " << Describe(expected).substr(0, 300)
                                        << "\n  actual   " << Describe(actual).substr(0, 300);
        ASSERT_EQ(test::DifferenceAtSeams(file, splits), "") << "file " << i;
    }
    // Refusals inside the files as well as at their ends, and files that convert.
    EXPECT_GT(refused, 10);
    EXPECT_LT(refused, 60);
}

// Reads of every length from just over one line's room to well past the
// longest line, so that a buffer ends at every byte of every kind of record,
// with every scan.
TEST(TapeReaderDifferential, UsualRecordsMatchTheReferenceWhereverABufferEnds) {
    // Shown in the log, so that a build's test run tells which scans it ran.
    std::printf("byte scans run here:");
    for (const ByteScan scan : RunnableByteScans()) std::printf(" %s", ByteScanName(scan));
    std::printf("\n");
    UsualFileMaker maker(11);
    const std::string file = maker.Next(30000);
    const Outcome expected = ReferenceConvert(file);
    ASSERT_TRUE(StreamingConvert(file, kDefaultTapeBufferSize, SIZE_MAX) == expected);
    std::vector<Seam> seams;
    for (std::size_t chunk = kTapeBlockRoom; chunk < kTapeBlockRoom + 320; ++chunk) {
        seams.push_back({kDefaultTapeBufferSize, chunk});
    }
    EXPECT_EQ(test::DifferenceAtSeams(file, seams), "");
}

}  // namespace
}  // namespace talvoren
