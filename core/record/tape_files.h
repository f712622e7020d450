// The two open files of one conversion, as the converter sees them: the
// legacy file it reads and the upgraded file it writes. The host's file
// system (core/run/file_system.h) opens them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

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

// A destination file being written under a temporary name in its folder; the
// file at the destination name stays as it was until Commit. An output does
// not outlive the file system that made it.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    // Writes all `size` bytes or throws ConvError. The writing may go on after
    // Write returns, so that it overlaps the making of the next bytes: the
    // caller keeps `data` unchanged until its next call on this file (Write,
    // WaitForWrites, Finish or destruction) returns. A failure of such
    // writing is thrown by the next Write (even of no bytes) or Finish, and by
    // every one after it.
    virtual void Write(const char* data, std::size_t size) = 0;
    // Returns once no earlier Write reads its data any more, for a caller
    // about to free or reuse it; a failure waits for the next Write or Finish.
    virtual void WaitForWrites() noexcept = 0;
    // Ends the writing: returns once every Write reached the file, and throws
    // the failure of any. The data is on its way to the disk; FileSystem::Flush
    // of its folder makes it durable. The destination name is not touched.
    virtual void Finish() = 0;
    // Puts the finished file in place under the destination name, replacing
    // the file there in one step; the caller has flushed the folder since
    // Finish, so a power cut leaves the old or the new content, never less.
    // Throws ConvError, with the destination as it was, when the file could
    // not take the name or the file at the name was refused (see
    // CreateReplacement). Destroying an output that was not committed
    // removes what it wrote.
    virtual void Commit() = 0;
    // The identity of the committed file when the output learned it on the
    // way, sparing a look at the name; nothing when it did not.
    virtual std::optional<FileId> CommittedId() const { return std::nullopt; }
};

}  // namespace talvoren
