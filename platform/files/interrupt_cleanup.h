// The named temporary file the process is writing, removed when the driver is
// interrupted (Ctrl+C, termination, a closed terminal or console) so that
// nothing half-made stays behind; the process then ends as interrupted
// programs do.
#pragma once

#include <string>

namespace talvoren {

// Installs the handlers; the driver calls it once at start.
void RemoveTemporaryFileOnInterrupt();

// Removes the marked file, once, as the last step of a process about to end
// otherwise than by an interrupt (a Windows session ending). Nothing is marked
// afterwards: a writer about to mark its next file waits for the end.
void RemovePendingTemporaryFiles();

// Marks `path` (the host's own path form) as the file to remove for as long
// as this object lives. One file at a time: the run writes one.
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
