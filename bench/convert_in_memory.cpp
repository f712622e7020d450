// The conversion alone: a legacy record file read into memory once, then
// converted again and again with each byte scan, its output counted and
// dropped. Prints the least CPU time per GiB of input over the rounds, which
// is what the parser costs without the file layer.
//
// usage: convert_in_memory FILE [ROUNDS [SCAN]]   (SCAN: portable, SSE2, AVX2)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>

#include "core/convert/byte_scan_for_tests.h"
#include "core/convert/conv_tape_file.h"
#include "core/texts/failure.h"

namespace {

using talvoren::ByteScan;

class BufferInput : public talvoren::InputFile {
public:
    explicit BufferInput(const std::string& data) : data_(data) {}
    std::size_t Read(char* buffer, std::size_t capacity) override {
        const std::size_t count = std::min(capacity, data_.size() - position_);
        std::memcpy(buffer, data_.data() + position_, count);
        position_ += count;
        return count;
    }

private:
    const std::string& data_;
    std::size_t position_ = 0;
};

class CountingOutput : public talvoren::OutputFile {
public:
    void Write(const char*, std::size_t size) override { bytes += size; }
    void WaitForWrites() noexcept override {}
    void Finish() override {}
    void Commit() override {}
    std::size_t bytes = 0;
};

double CpuSeconds() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: convert_in_memory FILE [ROUNDS [SCAN]]\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
        std::fprintf(stderr, "convert_in_memory: cannot read %s\n", argv[1]);
        return 1;
    }
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    const double gib = static_cast<double>(data.size()) / (1 << 30);
    for (const ByteScan scan : talvoren::RunnableByteScans()) {
        if (argc > 3 && std::strcmp(argv[3], talvoren::ByteScanName(scan)) != 0) continue;
        double best = 1e30;
        std::size_t bytes = 0;
        for (int round = 0; round < rounds; ++round) {
            BufferInput input(data);
            CountingOutput output;
            const double start = CpuSeconds();
            try {
                talvoren::ConvTapeFileWithScan(input, output, talvoren::kDefaultTapeBufferSize, scan);
            } catch (const talvoren::ConvError& error) {
                std::fprintf(stderr, "convert_in_memory: %s\n", error.what());
                return 1;
            }
            best = std::min(best, CpuSeconds() - start);
            bytes = output.bytes;
        }
        std::printf("%-8s %.3f s per GiB (%zu bytes in, %zu out)\n", talvoren::ByteScanName(scan), best / gib,
                    data.size(), bytes);
    }
    return 0;
}
