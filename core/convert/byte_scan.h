// The byte scans the block conversion can run: one per instruction set, each
// finding LFs and the bytes that may end a text, many bytes per step. The
// conversion runs FastestByteScan; tests reach every scan this processor
// can run through byte_scan_for_tests.h.
#pragma once

#include <cstdint>
#include <vector>

namespace talvoren {

enum class ByteScan { kPortable, kSse2, kAvx2 };

// Where a text may end within one step of a scan, one mark per byte (see the
// scan's Index for how marks map to byte positions).
struct TextStops {
    std::uint64_t quoted;  // `"`, CR or LF: the end of a quoted text
    std::uint64_t bare;    // also `,`: the end of an unquoted text
};

// The scans this processor can run, the portable one first.
std::vector<ByteScan> RunnableByteScans();
// The scan the conversion uses: the fastest of RunnableByteScans.
ByteScan FastestByteScan();
const char* ByteScanName(ByteScan scan);

}  // namespace talvoren
