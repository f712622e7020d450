// Which scans the processor runs, asked once of the compiler's CPU check.
#include "core/convert/byte_scan.h"

namespace talvoren {

std::vector<ByteScan> RunnableByteScans() {
    std::vector<ByteScan> scans = {ByteScan::kPortable};
#if defined(__x86_64__) || defined(__i386__)
    // The check also asks the operating system whether it saves the wide
    // registers, so a listed scan is one that runs.
    __builtin_cpu_init();
    if (__builtin_cpu_supports("sse2")) scans.push_back(ByteScan::kSse2);
    if (__builtin_cpu_supports("avx2")) scans.push_back(ByteScan::kAvx2);
#endif
    return scans;
}

ByteScan FastestByteScan() {
    static const ByteScan fastest = RunnableByteScans().back();
    return fastest;
}

const char* ByteScanName(ByteScan scan) {
    switch (scan) {
    case ByteScan::kPortable:
        return "portable";
    case ByteScan::kSse2:
        return "SSE2";
    case ByteScan::kAvx2:
        return "AVX2";
    }
    return "unknown";
}

}  // namespace talvoren
