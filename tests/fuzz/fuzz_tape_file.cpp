// libFuzzer entry point: every input is a legacy record file, converted and
// checked by CheckTapeConversion; a broken property aborts with its reason.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/fuzz/tape_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = talvoren::test::CheckTapeConversion({reinterpret_cast<const char*>(data), size});
    if (!problem.empty()) {
        std::fprintf(stderr, "tape file check: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
