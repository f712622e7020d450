// Formatting of whole upgraded lines, for callers that want a string.
#include "core/record/tape_line.h"

namespace talvoren {

std::string FormatTapeLine(const TapeRecord& record) {
    char end[kTapeLineEndMax];
    std::string line;
    line.reserve(record.text.size() + kTapeLineEndMax);
    line.append(record.text);
    line.append(end, FormatTapeLineEnd(record.number, end) - 2);
    return line;
}

}  // namespace talvoren
