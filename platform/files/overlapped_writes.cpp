#include "platform/files/overlapped_writes.h"

#include <system_error>
#include <utility>

namespace talvoren {
namespace {

// A file that has had this much written is long enough to repay starting a
// thread (tens of microseconds) with the writes that follow.
constexpr std::size_t kLongFile = 256 * 1024;

}  // namespace

OverlappedWrites::OverlappedWrites(std::function<void(const char*, std::size_t)> write_all)
    : write_all_(std::move(write_all)) {}

OverlappedWrites::~OverlappedWrites() {
    if (!writer_.joinable()) return;
    Wait();
    stopping_ = true;
    Tell();
    writer_.join();
}

void OverlappedWrites::Write(const char* data, std::size_t size) {
    ThrowAnyFailure();
    if (size == 0) {
        Wait();
        ThrowAnyFailure();
        return;
    }
    if (!writer_.joinable()) {
        written_ += size;
        if (written_ <= kLongFile || !StartWriter()) {
            try {
                write_all_(data, size);
            } catch (...) {
                failure_ = std::current_exception();
                failed_ = true;
                throw;
            }
            return;
        }
    }
    const std::size_t number = issued_.load(std::memory_order_relaxed);
    tasks_[number % 2] = {data, size};
    issued_.store(number + 1, std::memory_order_release);
    Tell();
    AwaitCompleted(number);
    ThrowAnyFailure();
}

// A process out of threads writes in the caller's thread, as before the
// file proved long; it tries once per file.
bool OverlappedWrites::StartWriter() {
    if (no_writer_) return false;
    try {
        writer_ = std::thread([this] { WriteInTurn(); });
        return true;
    } catch (const std::system_error&) {
        no_writer_ = true;
        return false;
    }
}

void OverlappedWrites::Wait() noexcept { AwaitCompleted(issued_.load(std::memory_order_relaxed)); }

// The writer goes here, not with the file: finished files may wait a while
// for their names, and a thread each would add up.
void OverlappedWrites::Finish() {
    Wait();
    if (writer_.joinable()) {
        stopping_ = true;
        Tell();
        writer_.join();
    }
    ThrowAnyFailure();
}

void OverlappedWrites::ThrowAnyFailure() const {
    if (failed_.load(std::memory_order_acquire)) std::rethrow_exception(failure_);
}

void OverlappedWrites::WriteInTurn() {
    for (;;) {
        AwaitIssued();
        const std::size_t number = completed_.load(std::memory_order_relaxed);
        if (number == issued_.load(std::memory_order_acquire)) return;  // stopping, nothing left
        const Task task = tasks_[number % 2];
        // After a failure the file is lost: no bytes go after the gap.
        if (!failed_.load(std::memory_order_relaxed)) {
            try {
                write_all_(task.data, task.size);
            } catch (...) {
                // Carried to the caller's thread and thrown there unchanged.
                failure_ = std::current_exception();
                failed_.store(true, std::memory_order_release);
            }
        }
        completed_.store(number + 1, std::memory_order_release);
        Tell();
    }
}

// No spinning before sleeping: on a machine whose other core is busy, a
// spinning side takes the time of the side it waits for (measured here: a
// 1 GiB file took 2.5 s instead of 0.65 s).
void OverlappedWrites::AwaitCompleted(std::size_t count) {
    const auto done = [&] { return completed_.load(std::memory_order_acquire) >= count; };
    if (done()) return;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, done);
}

void OverlappedWrites::AwaitIssued() {
    const auto ready = [&] {
        return issued_.load(std::memory_order_acquire) > completed_.load(std::memory_order_relaxed) || stopping_;
    };
    if (ready()) return;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, ready);
}

// Through the mutex, so that a side about to sleep either sees the change or
// is asleep already when told.
void OverlappedWrites::Tell() {
    { const std::lock_guard<std::mutex> lock(mutex_); }
    changed_.notify_all();
}

}  // namespace talvoren
