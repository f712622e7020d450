// Replays the fuzz target's seed corpus and every input it ever found a fault
// with (regressions/), through the same checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/fuzz/tape_file_check.h"

namespace talvoren {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int ReplayFolder(const char* name) {
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(TALVOREN_FUZZ_DIR) / name)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README.md") continue;
        EXPECT_EQ(test::CheckTapeConversion(ReadAll(entry.path())), "") << entry.path();
        ++replayed;
    }
    return replayed;
}

// The corpus has 18 files; regressions/ holds whatever the fuzzer has found.
TEST(FuzzInputs, CorpusAndKeptFindingsPassTheChecks) {
    EXPECT_GE(ReplayFolder("corpus") + ReplayFolder("regressions"), 18);
}

}  // namespace
}  // namespace talvoren
