// One whole conversion in memory, for tests and the fuzz check: the bytes
// that came out, and the failure that stopped it, if one did.
#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <string>

#include "core/convert/byte_scan_for_tests.h"
#include "core/convert/conv_tape_file.h"
#include "core/texts/failure.h"
#include "tests/support/memory_files.h"

namespace talvoren::test {

struct MemoryConversion {
    std::string output;
    std::optional<Failure> failure;
    std::string description;  // the failure's what()
    std::size_t commits = 0;  // ConvTapeFile leaves the commit to its caller: always 0
};

// Converts `file` handed out `chunk_size` bytes per read, with buffers of at
// most `buffer_size` and the byte scan `scan`; with `fail_after`, every read
// after that many bytes fails.
inline MemoryConversion ConvertInMemory(std::string file, std::size_t buffer_size = kDefaultTapeBufferSize,
                                        std::size_t chunk_size = std::numeric_limits<std::size_t>::max(),
                                        ByteScan scan = FastestByteScan(),
                                        std::optional<std::size_t> fail_after = std::nullopt) {
    MemoryInput input(std::move(file), chunk_size);
    if (fail_after) input.FailAfter(*fail_after, OsFailure(FailureCode::OtherOsError, 5, "injected read failure"));
    MemoryOutput output;
    MemoryConversion conversion;
    try {
        ConvTapeFileWithScan(input, output, buffer_size, scan);
    } catch (const ConvError& error) {
        conversion.failure = error.failure();
        conversion.description = error.what();
    }
    conversion.output = output.data();
    conversion.commits = output.commit_calls();
    return conversion;
}

}  // namespace talvoren::test
