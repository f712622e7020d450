// One record of a legacy record file: a text and a 16-bit number.
#pragma once

#include <cstdint>
#include <string>

namespace talvoren {

struct TapeRecord {
    std::string text;  // the bytes as read, in the file's code page; may be empty
    std::int16_t number = 0;
};

}  // namespace talvoren
