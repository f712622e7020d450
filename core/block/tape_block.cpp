// The block conversion with the scan asked for; the scan's own conversion is
// in its source file, selected once per buffer.
#include "core/block/tape_block.h"

#include "core/block/tape_block_lines.h"

namespace talvoren {

char* ConvTapeBlock(TapeInput& input, char* out, const char* out_end, ByteScan scan) {
    switch (scan) {
#if defined(__x86_64__) || defined(__i386__)
    case ByteScan::kAvx2:
        return ConvTapeBlockAvx2(input, out, out_end);
    case ByteScan::kSse2:
        return ConvTapeBlockSse2(input, out, out_end);
#endif
    default:
        return ConvTapeBlockPortable(input, out, out_end);
    }
}

}  // namespace talvoren
