// Buffer-seam invariance, checked in this one place: a conversion comes out
// the same, bytes and failure alike, whatever the buffer size, the read size
// and the byte scan, so that a construct cut by a refill or a short read is
// read as it is read whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/convert/byte_scan_for_tests.h"
#include "tests/support/memory_conversion.h"

namespace talvoren::test {

struct Seam {
    std::size_t buffer_size;
    std::size_t chunk_size;  // the most bytes one Read returns
};

// Tiny buffers put a refill inside every construct; tiny reads do the same
// within the default buffer, where the block conversion runs.
inline std::vector<Seam> EverySeam() {
    const std::size_t sizes[] = {1, 2, 3, 7, 64, kDefaultTapeBufferSize};
    std::vector<Seam> seams;
    for (const std::size_t buffer_size : sizes) {
        for (const std::size_t chunk_size : sizes) seams.push_back({buffer_size, chunk_size});
    }
    seams.push_back({kDefaultTapeBufferSize, 4});
    seams.push_back({kDefaultTapeBufferSize, 5});
    return seams;
}

// What differs from `expected` when `file` is converted at each of `seams`
// with each scan; empty when nothing does.
inline std::string DifferenceAtSeams(const std::string& file, const MemoryConversion& expected,
                                     const std::vector<Seam>& seams = EverySeam()) {
    for (const Seam& seam : seams) {
        for (const ByteScan scan : RunnableByteScans()) {
            const MemoryConversion actual = ConvertInMemory(file, seam.buffer_size, seam.chunk_size, scan);
            const bool same_failure = actual.failure.has_value() == expected.failure.has_value() &&
                                      (!expected.failure || (actual.failure->code == expected.failure->code &&
                                                             actual.failure->line == expected.failure->line &&
                                                             actual.failure->field == expected.failure->field));
            if (actual.output != expected.output || !same_failure) {
                return "buffer " + std::to_string(seam.buffer_size) + ", reads of " + std::to_string(seam.chunk_size) +
                       ", " + ByteScanName(scan) + " scan: " + (same_failure ? "output differs" : "failure differs");
            }
        }
    }
    return {};
}

// The same for the conversion at the default buffer, reading the whole file at once.
inline std::string DifferenceAtSeams(const std::string& file, const std::vector<Seam>& seams = EverySeam()) {
    return DifferenceAtSeams(file, ConvertInMemory(file), seams);
}

}  // namespace talvoren::test
