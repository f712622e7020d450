// What the converter needs of the host's files. core/ sees files only through
// these interfaces; platform/ implements them for POSIX and Win32, and tests
// may put doubles in their place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace talvoren {

// Identity of a file independent of the path used to reach it: device and
// inode on POSIX, volume serial and file index on Windows.
struct FileId {
    std::uint64_t volume = 0;
    std::uint64_t index_high = 0;
    std::uint64_t index_low = 0;
    friend bool operator==(const FileId& a, const FileId& b) {
        return a.volume == b.volume && a.index_high == b.index_high && a.index_low == b.index_low;
    }
};

class InputFile {
public:
    virtual ~InputFile() = default;
    // Reads up to `capacity` bytes; returns 0 only at the end of the file.
    // Throws ConvError on a read failure.
    virtual std::size_t Read(char* buffer, std::size_t capacity) = 0;
};

class OutputFile {
public:
    virtual ~OutputFile() = default;
    // Writes all `size` bytes or throws ConvError.
    virtual void Write(const char* data, std::size_t size) = 0;
    // Flushes and closes, throwing ConvError when the data did not reach the
    // file. Destroying an output that was not closed closes it silently.
    virtual void Close() = 0;
};

// Tells whether a file about to be emptied is one of the run's source files.
using IsSourceFile = std::function<bool(const FileId&)>;

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<InputFile> OpenForReading(const std::string& path) = 0;
    // Creates the file or empties an existing one. The file's identity is
    // checked with `is_source` before anything is truncated: a match throws
    // ConvError(SameAsSource) and leaves the file as it was.
    virtual std::unique_ptr<OutputFile> OpenForWriting(const std::string& path,
                                                       const IsSourceFile& is_source) = 0;
    // The identity of the file at `path`, or nothing when it cannot be reached.
    virtual std::optional<FileId> Identify(const std::string& path) = 0;
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
