// On POSIX the handler removes the files, runs the caller's hook, and
// raises the signal again with its default action, so the shell sees the
// usual 130 (SIGINT) or 143 (SIGTERM).
#include "platform/files/interrupt_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>

namespace talvoren {
namespace {

// Read by the signal handler: plain pointers swapped atomically, one slot
// per file. A run holds at most a batch of finished files and the one being
// written; a file that finds no free slot is not removed on an interrupt.
constexpr std::size_t kSlots = 256;
std::atomic<const char*> pending_paths[kSlots];
std::atomic<InterruptHook> after_removal{nullptr};
static_assert(std::atomic<InterruptHook>::is_always_lock_free);

void RemoveAndEnd(int signal_number) {
    RemovePendingTemporaryFiles();
    if (InterruptHook then = after_removal.load()) then();
    // SA_RESETHAND has restored the default action; it ends the process once
    // this handler returns.
    raise(signal_number);
}

}  // namespace

// Safe in a signal handler: loads and unlink only.
void RemovePendingTemporaryFiles() {
    for (auto& slot : pending_paths) {
        if (const char* path = slot.load()) unlink(path);
    }
}

void RemoveTemporaryFileOnInterrupt(InterruptHook then) {
    after_removal.store(then);
    struct sigaction action = {};
    action.sa_handler = RemoveAndEnd;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

PendingTemporaryFile::PendingTemporaryFile(std::string path) : path_(std::move(path)) {
    for (auto& slot : pending_paths) {
        const char* empty = nullptr;
        if (slot.compare_exchange_strong(empty, path_.c_str())) return;
    }
}

PendingTemporaryFile::~PendingTemporaryFile() {
    for (auto& slot : pending_paths) {
        const char* mine = path_.c_str();
        if (slot.compare_exchange_strong(mine, nullptr)) return;
    }
}

}  // namespace talvoren
