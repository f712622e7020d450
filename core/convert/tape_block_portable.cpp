// The block conversion over the portable byte scan, flattened like the others.
#include "core/convert/byte_scan_portable.h"
#include "core/convert/tape_block_lines.h"

namespace talvoren {

__attribute__((flatten)) char* ConvTapeBlockPortable(TapeInput& input, char* out, const char* out_end) {
    return tape_block_detail::ConvUsualLines<PortableScan>(input, out, out_end);
}

}  // namespace talvoren
