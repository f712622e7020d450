// What the run needs of the host's files and folders. core/ sees files only
// through these interfaces and the open files they make (tape_files.h);
// platform/ implements them for POSIX and Win32, and tests may put doubles in
// their place.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/record/tape_files.h"

namespace talvoren {

// What a probe file made in a destination folder showed.
struct FolderProbe {
    // The file found through the other folder text is the probe itself: the
    // two texts name one folder, as an overlay or a network share may hide
    // from identities.
    bool shared = false;
    // The probe's name in other letter case leads to the probe: two names
    // that differ only so are one file there.
    bool folds_case = false;
};

// Looks at the identity of the file already at a destination name before
// anything is written; throws ConvError to refuse replacing it.
using ExistingFileCheck = std::function<void(const FileId&)>;

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Opens for reading only; a source file is never written.
    virtual std::unique_ptr<InputFile> OpenForReading(const std::string& path) = 0;
    // Starts the replacement of the file at `path`. What is at that name
    // must be a regular, writable file (or nothing): a folder, a device, a
    // FIFO, a socket or a symbolic link is refused without ever being opened,
    // a file nobody may write (or this user may not) is access denied, also
    // for an administrator, and `check` sees the file's identity and may
    // refuse it. These refusals come from here or from Commit, always before
    // anything at the name changes.
    virtual std::unique_ptr<OutputFile> CreateReplacement(const std::string& path, const ExistingFileCheck& check) = 0;
    // Meets, writing nothing, the refusals that the replacement of `path`
    // would meet at its commit: what stands at the name, and `check`.
    virtual void CheckDestination(const std::string& path, const ExistingFileCheck& check) = 0;
    // The identity of the file at `path`, or nothing when it cannot be reached.
    virtual std::optional<FileId> Identify(const std::string& path) = 0;
    // Makes a small probe file in `folder` (never anywhere else), looks for
    // it through `other_folder` and under its name in other letter case, and
    // removes it. Both folder texts end in a separator. Nothing is found when
    // nothing can be made in `folder`; the replacement's own create then says why.
    virtual FolderProbe ProbeFolder(const std::string& folder, const std::string& other_folder) = 0;
    // Makes what was written in `folder` so far durable: the data of every
    // finished output, and every name taken there. One flush serves many files.
    virtual void Flush(const std::string& folder) = 0;
    // The separator the run appends to a folder text: '\\' on Windows, '/' on POSIX.
    virtual char Separator() const = 0;
};

// The names of one folder's files matching "*Tp.csv", as the main window's
// hidden file list shows them.
class FileList {
public:
    virtual ~FileList() = default;
    // Lists the folder named by `folder` (unchanged text). Throws ConvError
    // when it cannot be listed. An empty text lists no files.
    virtual void SetPath(const std::string& folder) = 0;
    virtual std::size_t ListCount() const = 0;
    virtual const std::string& List(std::size_t index) const = 0;
};

}  // namespace talvoren
