// The named temporary files the process is writing, removed when the driver is
// interrupted (Ctrl+C, termination, a closed terminal or console) so that
// nothing half-made stays behind; the process then ends as interrupted
// programs do.
#pragma once

#include <string>

namespace talvoren {

// What the caller must still put right after the files are gone (the
// driver blanks its progress line). It runs in the interrupt handler: on
// POSIX it must be async-signal-safe.
using InterruptHook = void (*)();

// Installs the handlers; the driver calls it once at start.
void RemoveTemporaryFileOnInterrupt(InterruptHook then = nullptr);

// Removes the marked files, once, as the last step of a process about to
// end: the interrupt handlers call it, and the window when a Windows session
// ends during a run. Nothing is marked afterwards (on Windows a writer about
// to mark its next file waits for the end).
void RemovePendingTemporaryFiles();

// Marks `path` (the host's own path form) as a file to remove for as long
// as this object lives. Several at once: finished files wait for their names
// while the next is written.
class PendingTemporaryFile {
public:
    explicit PendingTemporaryFile(std::string path);
    ~PendingTemporaryFile();
    PendingTemporaryFile(const PendingTemporaryFile&) = delete;
    PendingTemporaryFile& operator=(const PendingTemporaryFile&) = delete;

private:
    std::string path_;
};

}  // namespace talvoren
