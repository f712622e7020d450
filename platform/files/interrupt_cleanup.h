// The named temporary files the process is writing, removed when the driver is
// interrupted (Ctrl+C, termination, a closed terminal or console) so that
// nothing half-made stays behind; the process then ends as interrupted
// programs do.
#pragma once

#include <string>

namespace talvoren {

// Installs the handlers; the driver calls it once at start.
void RemoveTemporaryFileOnInterrupt();

// Removes every file marked now, for a program about to end without the
// run's own cleanup (the window at the end of a session). Windows only: the
// window's thread may call it while a run goes on.
void RemovePendingTemporaryFiles();

// Marks `path` (the host's own path form) as a file to remove for as long as
// this object lives. Several at a time: finished files wait for their names
// in batches.
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
