#include "platform/files/overlapped_writes.h"

#include <utility>

namespace talvoren {
namespace {

// The converter's buffer reaches this size only after filling smaller ones:
// a write this large means a long file, worth a thread of its own.
constexpr std::size_t kLongFileWrite = 64 * 1024;

}  // namespace

OverlappedWrites::OverlappedWrites(std::function<void(const char*, std::size_t)> write_all)
    : write_all_(std::move(write_all)) {}

OverlappedWrites::~OverlappedWrites() {
    if (!writer_.joinable()) return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_one();
    writer_.join();
}

void OverlappedWrites::Write(const char* data, std::size_t size) {
    Wait();
    if (failure_) std::rethrow_exception(failure_);
    if (size == 0) return;
    if (!writer_.joinable()) {
        if (size < kLongFileWrite) {
            try {
                write_all_(data, size);
            } catch (...) {
                failure_ = std::current_exception();
                throw;
            }
            return;
        }
        writer_ = std::thread([this] { WriteInTurn(); });
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        data_ = data;
        size_ = size;
        busy_ = true;
    }
    changed_.notify_one();
}

void OverlappedWrites::Wait() noexcept {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
}

void OverlappedWrites::Finish() {
    Wait();
    if (failure_) std::rethrow_exception(failure_);
}

void OverlappedWrites::WriteInTurn() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || stopping_; });
        if (!busy_) return;
        const char* const data = data_;
        const std::size_t size = size_;
        lock.unlock();
        std::exception_ptr failure;
        try {
            write_all_(data, size);
        } catch (...) {
            // Carried to the caller's thread and thrown there unchanged.
            failure = std::current_exception();
        }
        lock.lock();
        if (failure && !failure_) failure_ = failure;
        busy_ = false;
        changed_.notify_one();
    }
}

}  // namespace talvoren
