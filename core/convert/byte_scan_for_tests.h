// The one way to a chosen byte scan, for tests and the bench: the product
// converts with the fastest scan the processor runs, and these convert with
// any of them, so that each scan is checked and measured, not only the one
// the processor picks. Product code includes conv_tape_file.h instead.
#pragma once

#include <cstddef>

#include "core/convert/byte_scan.h"
#include "core/record/tape_input.h"
#include "core/record/tape_files.h"

namespace talvoren {

// ConvTapeBlock over one scan.
using TapeBlockConversion = char* (*)(TapeInput& input, char* out, const char* out_end);
TapeBlockConversion TapeBlockConversionOf(ByteScan scan);

// ConvTapeFile with the block conversion over `scan`; the same result for
// every scan.
void ConvTapeFileWithScan(InputFile& input, OutputFile& output, std::size_t buffer_size, ByteScan scan);

}  // namespace talvoren
