// Test doubles of the file layer: an input over a byte string that hands out
// its data in chunks of a chosen size, and an output that collects the bytes.
// Both can be told to fail, to test what survives a read or write failure.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "core/run/file_system.h"
#include "core/texts/failure.h"

namespace talvoren::test {

inline Failure OsFailure(FailureCode code, int os_error = 0, std::string os_text = {}) {
    Failure failure;
    failure.code = code;
    failure.os_error = os_error;
    failure.os_text = std::move(os_text);
    return failure;
}

// A refusal of the reader at 1-based `line`, with the offending field.
inline Failure ReaderFailure(FailureCode code, std::uint64_t line, std::string field = {}) {
    Failure failure;
    failure.code = code;
    failure.line = line;
    failure.field = std::move(field);
    return failure;
}

class MemoryInput final : public InputFile {
public:
    explicit MemoryInput(std::string data, std::size_t chunk_size = std::numeric_limits<std::size_t>::max())
        : data_(std::move(data)), chunk_size_(std::max<std::size_t>(chunk_size, 1)) {}

    // Every Read after the first `bytes` bytes were handed out throws `failure`.
    void FailAfter(std::size_t bytes, Failure failure) {
        fail_after_ = bytes;
        failure_ = std::move(failure);
    }

    std::size_t Read(char* buffer, std::size_t capacity) override {
        ++read_calls_;
        if (fail_after_ && position_ >= *fail_after_) throw ConvError(failure_);
        std::size_t count = std::min({capacity, chunk_size_, data_.size() - position_});
        if (fail_after_) count = std::min(count, *fail_after_ - position_);
        std::memcpy(buffer, data_.data() + position_, count);
        position_ += count;
        return count;
    }

    std::size_t read_calls() const { return read_calls_; }

private:
    std::string data_;
    std::size_t chunk_size_;
    std::size_t position_ = 0;
    std::size_t read_calls_ = 0;
    std::optional<std::size_t> fail_after_;
    Failure failure_;
};

// Takes each Write's bytes only at the next call, as an output writing behind
// its caller reads them until then: a caller that changes them too early
// leaves the wrong bytes here.
class MemoryOutput final : public OutputFile {
public:
    // The `call`-th Write (1-based) and every later one throw `failure` and
    // write nothing.
    void FailOnWrite(std::size_t call, Failure failure) {
        fail_on_ = call;
        failure_ = std::move(failure);
    }

    void Write(const char* data, std::size_t size) override {
        TakeUnread();
        ++write_calls_;
        if (fail_on_ && write_calls_ >= *fail_on_) throw ConvError(failure_);
        unread_ = data;
        unread_size_ = size;
    }
    void WaitForWrites() noexcept override { TakeUnread(); }
    void Finish() override { TakeUnread(); }
    void Commit() override {
        TakeUnread();
        ++commit_calls_;
    }

    const std::string& data() const { return data_; }
    std::size_t write_calls() const { return write_calls_; }
    std::size_t commit_calls() const { return commit_calls_; }

private:
    void TakeUnread() {
        data_.append(unread_, unread_size_);
        unread_size_ = 0;
    }

    std::string data_;
    const char* unread_ = nullptr;
    std::size_t unread_size_ = 0;
    std::size_t write_calls_ = 0;
    std::size_t commit_calls_ = 0;
    std::optional<std::size_t> fail_on_;
    Failure failure_;
};

}  // namespace talvoren::test
