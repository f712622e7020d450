// The block conversion over the SSE2 byte scan. Flattened, so that the scan's
// target holds in the whole conversion.
#include "core/convert/byte_scan_sse2.h"
#include "core/convert/tape_block_lines.h"

namespace talvoren {

__attribute__((target("sse2"), flatten)) char* ConvTapeBlockSse2(TapeInput& input, char* out, const char* out_end) {
    return tape_block_detail::ConvUsualLines<Sse2Scan>(input, out, out_end);
}

}  // namespace talvoren
