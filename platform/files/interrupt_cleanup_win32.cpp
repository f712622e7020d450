// On Windows a console control handler runs on a thread of its own while the
// run goes on: it removes the files under the lock that guards their names,
// runs the caller's hook, then ends the process as Ctrl+C does
// (STATUS_CONTROL_C_EXIT).
#include "platform/files/interrupt_cleanup.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "platform/win32/wide_text.h"

namespace talvoren {
namespace {

std::mutex pending_lock;
std::atomic<InterruptHook> after_removal{nullptr};
// The paths of the living marks; a batch of finished files waits for its
// names, so there may be many.
std::vector<const std::string*> pending_paths;

BOOL WINAPI RemoveAndEnd(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        RemovePendingTemporaryFiles();
        if (InterruptHook then = after_removal.load()) then();
        ExitProcess(STATUS_CONTROL_C_EXIT);
    default:
        return FALSE;
    }
}

}  // namespace

void RemoveTemporaryFileOnInterrupt(InterruptHook then) {
    after_removal.store(then);
    SetConsoleCtrlHandler(RemoveAndEnd, TRUE);
}

void RemovePendingTemporaryFiles() {
    // Held until the process is gone, so no mark comes or goes meanwhile and
    // the run cannot rename a file being removed.
    pending_lock.lock();
    // The files are open with FILE_SHARE_DELETE, or closed: an open one goes
    // when its handle closes with the process.
    for (const std::string* path : pending_paths) DeleteFileW(Widen(*path).c_str());
}

PendingTemporaryFile::PendingTemporaryFile(std::string path) : path_(std::move(path)) {
    const std::lock_guard<std::mutex> hold(pending_lock);
    pending_paths.push_back(&path_);
}

PendingTemporaryFile::~PendingTemporaryFile() {
    const std::lock_guard<std::mutex> hold(pending_lock);
    const auto mine = std::find(pending_paths.begin(), pending_paths.end(), &path_);
    if (mine != pending_paths.end()) {
        *mine = pending_paths.back();
        pending_paths.pop_back();
    }
}

}  // namespace talvoren
