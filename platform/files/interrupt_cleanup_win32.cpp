// On Windows a console control handler runs on a thread of its own while the
// run goes on: it removes the file under the lock that guards the name,
// blanks the progress line, then ends the process as Ctrl+C does
// (STATUS_CONTROL_C_EXIT).
#include "platform/files/interrupt_cleanup.h"

#include <windows.h>

#include <mutex>

#include "platform/files/console.h"
#include "platform/files/wide_text.h"

namespace talvoren {
namespace {

std::mutex pending_lock;
const std::string* pending_path = nullptr;

BOOL WINAPI RemoveAndEnd(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        RemovePendingTemporaryFiles();
        BlankColumnsOnInterrupt();
        ExitProcess(STATUS_CONTROL_C_EXIT);
    default:
        return FALSE;
    }
}

}  // namespace

void RemoveTemporaryFileOnInterrupt() { SetConsoleCtrlHandler(RemoveAndEnd, TRUE); }

void RemovePendingTemporaryFiles() {
    // Held until the process is gone, so the run cannot rename the file meanwhile.
    pending_lock.lock();
    // The file is open with FILE_SHARE_DELETE: it goes when its handle closes with the process.
    if (pending_path != nullptr) DeleteFileW(Widen(*pending_path).c_str());
}

PendingTemporaryFile::PendingTemporaryFile(std::string path) : path_(std::move(path)) {
    const std::lock_guard<std::mutex> hold(pending_lock);
    pending_path = &path_;
}

PendingTemporaryFile::~PendingTemporaryFile() {
    const std::lock_guard<std::mutex> hold(pending_lock);
    if (pending_path == &path_) pending_path = nullptr;
}

}  // namespace talvoren
