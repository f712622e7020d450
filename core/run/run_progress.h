// How far a folder run has got, for a progress display: a window's taskbar
// button, a terminal line. The run tells an observer; nothing it is told
// changes the run.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/run/file_system.h"

namespace talvoren {

// Called on the run's own thread, in this order: Started once, when the
// listed files are about to be converted; then BytesRead as each source file
// is read and FileConverted after each file is complete. A run that ends
// before converting (no files, a folder text missing) tells nothing.
class RunProgress {
public:
    virtual ~RunProgress() = default;
    virtual void Started(std::size_t /*file_count*/) {}
    virtual void BytesRead(std::size_t /*bytes*/) {}
    virtual void FileConverted() {}
};

// The observer of a run that nobody watches.
RunProgress& NoRunProgress();

// A source file that tells `progress` of every byte read through it.
class ProgressInput final : public InputFile {
public:
    ProgressInput(InputFile& input, RunProgress& progress) : input_(input), progress_(progress) {}
    std::size_t Read(char* buffer, std::size_t capacity) override {
        const std::size_t read = input_.Read(buffer, capacity);
        bytes_read_ += read;
        progress_.BytesRead(read);
        return read;
    }
    std::uint64_t bytes_read() const { return bytes_read_; }

private:
    InputFile& input_;
    RunProgress& progress_;
    std::uint64_t bytes_read_ = 0;
};

}  // namespace talvoren
