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
    // Waits for the writes in progress; the file may go only after that.
    ~OverlappedWrites();
    OverlappedWrites(const OverlappedWrites&) = delete;
    OverlappedWrites& operator=(const OverlappedWrites&) = delete;

    // Hands `data` to the writer, which reads it until the next call here
    // returns, and returns once the write before it is done; throws the
    // failure of any earlier write (and writes nothing more after one).
    // The writer thus finds the next bytes waiting when it ends a write.
    void Write(const char* data, std::size_t size);
    // Returns once no write reads its data any more; never throws.
    void Wait() noexcept;
    // Waits and ends the writer, then throws the failure of any write: the
    // file is complete when this returns, and takes no more writes.
    void Finish();

private:
    struct Task {
        const char* data = nullptr;
        std::size_t size = 0;
    };

    bool StartWriter();
    void WriteInTurn();
    // Waits until the first `count` writes are done.
    void AwaitCompleted(std::size_t count);
    // The writer's wait: for a write not yet done, or for the end.
    void AwaitIssued();
    void Tell();
    void ThrowAnyFailure() const;

    const std::function<void(const char*, std::size_t)> write_all_;
    // Bytes written in the caller's thread, before the file proved long.
    std::size_t written_ = 0;
    bool no_writer_ = false;
    // Write number n lives in tasks_[n % 2] from its Write until done: the
    // one being written and the one waiting its turn.
    Task tasks_[2];
    std::atomic<std::size_t> issued_{0};     // changed by the caller only
    std::atomic<std::size_t> completed_{0};  // changed by the writer only
    std::atomic<bool> stopping_{false};
    // The first failure; set once, before `failed_`, by whoever wrote.
    std::exception_ptr failure_;
    std::atomic<bool> failed_{false};
    // For a side that sleeps until the other has done its part; a side that
    // finds its part done already takes no lock.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread writer_;
};

}  // namespace talvoren
