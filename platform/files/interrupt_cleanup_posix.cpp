// On POSIX the handler removes the file, blanks the progress line, and raises
// the signal again with its default action, so the shell sees the usual 130
// (SIGINT) or 143 (SIGTERM).
#include "platform/files/interrupt_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "platform/files/console.h"

namespace talvoren {
namespace {

// Read by the signal handler: a plain pointer swapped atomically.
std::atomic<const char*> pending_path{nullptr};

void RemoveAndEnd(int signal_number) {
    if (const char* path = pending_path.load()) unlink(path);
    BlankColumnsOnInterrupt();
    // SA_RESETHAND has restored the default action; it ends the process once
    // this handler returns.
    raise(signal_number);
}

}  // namespace

void RemoveTemporaryFileOnInterrupt() {
    struct sigaction action = {};
    action.sa_handler = RemoveAndEnd;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

PendingTemporaryFile::PendingTemporaryFile(std::string path) : path_(std::move(path)) {
    pending_path.store(path_.c_str());
}

PendingTemporaryFile::~PendingTemporaryFile() {
    const char* mine = path_.c_str();
    pending_path.compare_exchange_strong(mine, nullptr);
}

}  // namespace talvoren
