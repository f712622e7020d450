// Conversion of one open pair: a legacy record file in, an upgraded record
// file out.
#pragma once

#include <cstddef>

#include "core/record/tape_input.h"
#include "core/record/tape_files.h"

namespace talvoren {

// Converts every record of `input` into one line of `output`, streaming with
// buffers of at most `buffer_size` bytes. Throws ConvError on a refused field or
// a failed read or write; the lines converted before the failure have been
// handed to `output` by then. Neither file is closed here.
void ConvTapeFile(InputFile& input, OutputFile& output, std::size_t buffer_size = kDefaultTapeBufferSize);

}  // namespace talvoren
