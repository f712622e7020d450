// Checks of one legacy file's conversion, for the fuzz target and its
// regression test.
#include "tests/fuzz/tape_file_check.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/convert/tape_block.h"
#include "core/convert/conv_tape_file.h"
#include "core/texts/failure.h"
#include "tests/support/memory_conversion.h"
#include "tests/support/memory_files.h"
#include "tests/support/seams.h"

namespace talvoren::test {
namespace {

using Outcome = MemoryConversion;

// Converts `file` read `chunk_size` bytes at a time with `buffer_size` buffers.
Outcome Convert(std::string_view file, std::size_t buffer_size, std::size_t chunk_size,
                std::optional<std::size_t> fail_after = std::nullopt) {
    return ConvertInMemory(std::string(file), buffer_size, chunk_size, FastestByteScan(), fail_after);
}

bool SameFailure(const std::optional<Failure>& a, const std::optional<Failure>& b) {
    if (a.has_value() != b.has_value()) return false;
    return !a || (a->code == b->code && a->line == b->line && a->field == b->field);
}

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        std::uint32_t lowest = 0;
        if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            lowest = 0x10000;
        } else if (lead >= 0xE0) {
            length = 3;
            lowest = 0x800;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            lowest = 0x80;
        } else if (lead >= 0x80) {
            return false;
        }
        if (i + length > text.size()) return false;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

// Every line ends in ",", the sign slot, the value without leading zeros and
// ",0", then CR LF.
std::string CheckLines(std::string_view output) {
    std::size_t start = 0;
    while (start < output.size()) {
        const std::size_t end = output.find("\r\n", start);
        if (end == std::string_view::npos) return "the output does not end with CR LF";
        const std::string_view line = output.substr(start, end - start);
        start = end + 2;
        if (line.size() < 5 || line.substr(line.size() - 2) != ",0") return "a line lacks its third field";
        const std::size_t comma = line.rfind(',', line.size() - 3);
        if (comma == std::string_view::npos) return "a line lacks its number";
        const std::string_view number = line.substr(comma + 1, line.size() - 3 - comma);
        if (number.size() < 2 || (number[0] != ' ' && number[0] != '-')) return "a number lacks its sign slot";
        const std::string_view digits = number.substr(1);
        if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string_view::npos ||
            (digits.size() > 1 && digits[0] == '0')) {
            return "a number is not plain decimal digits";
        }
        const long value = std::stol(std::string(digits));
        if (number[0] == '-' ? value == 0 || value > 32768 : value > 32767) return "a number is out of range";
    }
    return {};
}

std::uint64_t LineCount(std::string_view file) {
    std::uint64_t lines = 1;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] == '\n' || (file[i] == '\r' && (i + 1 == file.size() || file[i + 1] != '\n'))) ++lines;
    }
    return lines;
}

}  // namespace

std::string CheckTapeConversion(std::string_view file) {
    // Buffers large enough for the block conversion, which needs room for
    // one line of output, and the whole file in one read.
    const std::size_t whole_buffer = std::max(file.size() + 1, 4 * kTapeBlockRoom);
    const Outcome whole = Convert(file, whole_buffer, SIZE_MAX);
    if (const std::string problem = CheckLines(whole.output); !problem.empty()) return problem;
    if (whole.failure) {
        if (whole.failure->line < 1 || whole.failure->line > LineCount(file)) {
            return "a refusal names line " + std::to_string(whole.failure->line) + " of a file of " +
                   std::to_string(LineCount(file)) + " lines";
        }
        if (!IsValidUtf8(whole.description)) return "a refusal's description is not valid UTF-8";
    }

    // Small buffers and short reads put a refill inside every record, and
    // buffers just large enough for the block conversion end inside
    // records; with every byte scan.
    const std::vector<Seam> seams = {{1, 1},
                                     {2, 3},
                                     {3 + file.size() % 7, 1 + file.size() % 5},
                                     {64, 17},
                                     {whole_buffer, SIZE_MAX},
                                     {kTapeBlockRoom + 5, 1 + file.size() % 61}};
    if (const std::string difference = DifferenceAtSeams(std::string(file), whole, seams); !difference.empty()) {
        return difference + ", unlike the whole file";
    }

    // A read failure halfway: what was written before it is a prefix of the
    // whole result, in whole lines, and the failure is the read's or an
    // earlier refusal.
    const Outcome cut = Convert(file, 4, 3, file.size() / 2);
    if (whole.output.compare(0, cut.output.size(), cut.output) != 0) return "a read failure changed earlier lines";
    if (!cut.output.empty() && cut.output.compare(cut.output.size() - 2, 2, "\r\n") != 0) {
        return "a read failure left half a line";
    }
    if (!cut.failure) return "a read failure was not reported";
    if (cut.failure->code != FailureCode::OtherOsError && !SameFailure(cut.failure, whole.failure)) {
        return "a read failure turned into another refusal";
    }
    return {};
}

}  // namespace talvoren::test
