// The block conversion over each byte scan; the scan's own conversion is in
// its source file.
#include "core/convert/tape_block.h"

#include "core/convert/byte_scan_for_tests.h"
#include "core/convert/tape_block_lines.h"

namespace talvoren {

TapeBlockConversion TapeBlockConversionOf(ByteScan scan) {
    switch (scan) {
#if defined(__x86_64__) || defined(__i386__)
    case ByteScan::kAvx2:
        return ConvTapeBlockAvx2;
    case ByteScan::kSse2:
        return ConvTapeBlockSse2;
#endif
    default:
        return ConvTapeBlockPortable;
    }
}

char* ConvTapeBlock(TapeInput& input, char* out, const char* out_end) {
    static const TapeBlockConversion fastest = TapeBlockConversionOf(FastestByteScan());
    return fastest(input, out, out_end);
}

}  // namespace talvoren
