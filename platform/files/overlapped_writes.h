// The writes of one destination file, run by a second thread once the file
// proves long, so that the disk's share of a long conversion runs on another
// core while the converter fills its next buffer. A short file never pays for
// a thread: its writes stay in the caller's thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace talvoren {

class OverlappedWrites {
public:
    // `write_all` writes all of its bytes to the file or throws.
    explicit OverlappedWrites(std::function<void(const char*, std::size_t)> write_all);
    // Waits for the write in progress; the file may go only after that.
    ~OverlappedWrites();
    OverlappedWrites(const OverlappedWrites&) = delete;
    OverlappedWrites& operator=(const OverlappedWrites&) = delete;

    // Waits for the previous write and throws its failure, if it failed (or
    // any earlier one did); then writes `data`, possibly in the second thread,
    // which reads it until the next call here returns.
    void Write(const char* data, std::size_t size);
    // Returns once no write reads its data any more; never throws.
    void Wait() noexcept;
    // Waits, then throws the failure of any write: the file is complete when
    // this returns.
    void Finish();

private:
    void WriteInTurn();
    // Waits until `busy_` equals `value` or the run stops.
    void AwaitBusy(bool value);
    void SetBusy(bool value);

    const std::function<void(const char*, std::size_t)> write_all_;
    // Bytes written in the caller's thread, before the file proved long.
    std::size_t written_ = 0;
    // The task: set by the caller while `busy_` is false, read by the writer
    // while it is true.
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    // The first failure, set by whoever wrote while `busy_` hands it over;
    // every later call reports it, so the file is never committed without
    // the bytes that failed.
    std::exception_ptr failure_;
    std::atomic<bool> busy_{false};
    std::atomic<bool> stopping_{false};
    // For a side that sleeps until the other has done its part; a side
    // that finds its part done already takes no lock.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread writer_;
};

}  // namespace talvoren
