// The file layer on POSIX: unbuffered descriptors; the converter does the
// buffering, so every Write is one or more write() calls, made by a second
// thread once the file proves long (OverlappedWrites). A destination is
// written as an unnamed file (O_TMPFILE) where the file system offers one,
// else under a temporary name; once complete and flushed it is linked or
// renamed into place, and takes over what the old file granted.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>

#include "core/run/folder_text.h"
#include "core/texts/failure.h"
#include "platform/files/host_files.h"
#include "platform/files/interrupt_cleanup.h"
#include "platform/files/os_error.h"
#include "platform/files/overlapped_writes.h"
#include "platform/files/temporary_file_name.h"
#include "platform/files/unique_fd_posix.h"

namespace talvoren {
namespace {

class PosixInputFile : public InputFile {
public:
    explicit PosixInputFile(UniqueFd fd) : fd_(std::move(fd)) {}

    std::size_t Read(char* buffer, std::size_t capacity) override {
        for (;;) {
            const ssize_t got = read(fd_.get(), buffer, capacity);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) throw LastOsError();
        }
    }

private:
    UniqueFd fd_;
};

FileId IdOf(const struct stat& status) {
    FileId id;
    id.volume = static_cast<std::uint64_t>(status.st_dev);
    id.index_low = static_cast<std::uint64_t>(status.st_ino);
    return id;
}

// The folder part of `path`, with its separator ("./" when there is none).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

// A temporary name in `folder`, new at every call.
std::string TemporaryPathIn(const std::string& folder) {
    static const auto process = static_cast<unsigned long>(getpid());
    return folder + NextTemporaryFileName(process);
}

// Loops that retry a taken or vanished name give up after this many tries:
// whatever stands at a name, a run ends.
constexpr int kNameAttempts = 100;

// A file under a temporary name, marked for removal on an interrupt.
struct NamedTemporary {
    UniqueFd fd;
    std::string path;
    std::unique_ptr<PendingTemporaryFile> pending;
};

// A fresh file under a temporary name in `folder`; nullopt with errno set when none can be made.
std::optional<NamedTemporary> CreateNamedTemporary(const std::string& folder) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string path = TemporaryPathIn(folder);
        // Marked before it is made: an interrupt between the two would leave
        // it. A name that is taken carries this process's number, so what the
        // mark might remove meanwhile is a leftover of a process of that number.
        auto pending = std::make_unique<PendingTemporaryFile>(path);
        UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd) return NamedTemporary{std::move(fd), std::move(path), std::move(pending)};
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

void WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            throw LastOsError();
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

// Writes a destination's bytes and starts them on their way to the disk as
// they come, a few MiB at a time, so that the flush before the file takes
// its name finds a long file mostly written rather than starting on all of
// it. Starting is a hint: its failure is the flush's to report.
class DiskWriter {
public:
    explicit DiskWriter(int fd) : fd_(fd) {}

    void Write(const char* data, std::size_t size) {
        WriteAll(fd_, data, size);
        written_ += static_cast<off_t>(size);
        if (written_ - started_ >= kWriteBackStep) StartWriteBack();
    }

    // The rest, once the file is finished.
    void StartWriteBack() {
        sync_file_range(fd_, started_, 0, SYNC_FILE_RANGE_WRITE);
        started_ = written_;
    }

private:
    static constexpr off_t kWriteBackStep = 8 << 20;
    const int fd_;
    off_t written_ = 0;
    off_t started_ = 0;
};

// What the replacements of one file system learn as they go, to spare
// system calls; never needed for a decision's safety.
struct DestinationHints {
    // Taken once: the program never changes its user.
    const uid_t user = geteuid();
    // Whether the last destination name was taken: in a run over earlier
    // results the next one is too, so looking first spares a failed link.
    bool name_taken = false;
};

// What is at a destination name, looked at without following a link, must
// be a regular file this user may write, and pass `check`; nothing there
// passes too. Returns the status of the file there, for its replacement.
std::optional<struct stat> CheckExisting(const std::string& path, const ExistingFileCheck& check, uid_t user) {
    struct stat status;
    if (lstat(path.c_str(), &status) != 0) {
        if (errno == ENOENT) return std::nullopt;
        throw LastOsError();
    }
    // A link is neither followed (its target may be anything, anywhere) nor
    // replaced by a file.
    if (S_ISLNK(status.st_mode)) throw FailureOf(FailureCode::SymbolicLink);
    // Never opened: a FIFO would block, a device would be written to.
    if (!S_ISREG(status.st_mode)) throw FailureOf(FailureCode::NotARegularFile);
    // Replacing needs only the folder's permission, but a file made read-only
    // is refused as it always was, also for root, who may write anything:
    // no write bit at all, or none for this user. The owner's own write bit
    // answers for the owner; anyone else asks the kernel (access lists).
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) throw FailureOf(FailureCode::ReadOnlyFile);
    if (status.st_uid == user) {
        if ((status.st_mode & S_IWUSR) == 0) throw FailureOf(FailureCode::ReadOnlyFile);
    } else if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        if (errno == EACCES) throw FailureOf(FailureCode::ReadOnlyFile);
        throw LastOsError();
    }
    check(IdOf(status));
    return status;
}

// The extended attributes of the file at `path` (its access list among
// them) onto `fd`, where the file system and the process's rights keep
// them; what is refused is left off, which narrows access, never widens it.
// File capabilities are never carried: converted data runs nothing.
void CopyExtendedAttributes(const std::string& path, int fd) {
    const ssize_t listed = llistxattr(path.c_str(), nullptr, 0);
    if (listed <= 0) return;
    std::string names(static_cast<std::size_t>(listed), '\0');
    const ssize_t got = llistxattr(path.c_str(), names.data(), names.size());
    if (got <= 0) return;
    names.resize(static_cast<std::size_t>(got));
    std::string value;
    for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
        const char* name = names.c_str() + at;
        if (std::strcmp(name, "security.capability") == 0) continue;
        const ssize_t size = lgetxattr(path.c_str(), name, nullptr, 0);
        if (size < 0) continue;
        value.resize(static_cast<std::size_t>(size));
        const ssize_t read = lgetxattr(path.c_str(), name, value.data(), value.size());
        if (read < 0) continue;
        fsetxattr(fd, name, value.data(), static_cast<std::size_t>(read), 0);
    }
}

// Gives the written file what the one it replaces grants: owner, group,
// permission bits and extended attributes, as far as the process may set
// them. Set-user-ID and set-group-ID go only with the owner and group they
// name; without the old group, its rights go to nobody. Returns the
// written file's identity, learned on the way.
FileId KeepAccess(int fd, const struct stat& old, const std::string& old_path) {
    struct stat status;
    if (fstat(fd, &status) != 0) throw LastOsError();
    bool owner_kept = status.st_uid == old.st_uid;
    bool group_kept = status.st_gid == old.st_gid;
    if (!owner_kept || !group_kept) {
        if (fchown(fd, old.st_uid, old.st_gid) == 0) {
            owner_kept = group_kept = true;
        } else if (!group_kept && fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0) {
            group_kept = true;
        }
    }
    mode_t mode = old.st_mode & 07777;
    if (!owner_kept || !group_kept) mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
    if (!group_kept) mode &= ~static_cast<mode_t>(S_IRWXG);
    // Always set: a change of owner clears the set-ID bits.
    if (fchmod(fd, mode) != 0) throw LastOsError();
    // An access list names the owning group's rights too.
    if (owner_kept && group_kept) CopyExtendedAttributes(old_path, fd);
    return IdOf(status);
}

// Links an open unnamed file in under `path`; false when the name is taken.
// Through /proc when linking the descriptor itself needs a privilege.
bool LinkUnnamed(int fd, const std::string& path) {
    static std::atomic<bool> by_descriptor{true};
    if (by_descriptor && linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0) return true;
    if (errno == EEXIST) return false;
    by_descriptor = false;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno == EEXIST) return false;
    throw LastOsError();
}

// What both kinds of replacement share: the open file, the destination and
// its check, and the writes overlapped with the conversion.
class PosixOutputFile : public OutputFile {
public:
    void Write(const char* data, std::size_t size) override { writes_.Write(data, size); }
    void WaitForWrites() noexcept override { writes_.Wait(); }

    void Finish() override {
        writes_.Finish();
        writer_.StartWriteBack();
    }

    std::optional<FileId> CommittedId() const override { return committed_id_; }

protected:
    PosixOutputFile(UniqueFd fd, std::string path, const ExistingFileCheck& check)
        : fd_(std::move(fd)),
          path_(std::move(path)),
          check_(check),
          writer_(fd_.get()),
          writes_([this](const char* data, std::size_t size) { writer_.Write(data, size); }) {}

    UniqueFd fd_;
    const std::string path_;
    const ExistingFileCheck check_;
    std::optional<FileId> committed_id_;
    DiskWriter writer_;
    // Last: destroyed first, so no write runs when the descriptor closes.
    OverlappedWrites writes_;
};

// A replacement written as an unnamed file: a kill while it is written leaves
// nothing behind (only a kill between the link under a temporary name and the
// rename over the old file can leave that name). Commit links it in under the
// destination name when that is free (a fresh folder costs no check at all);
// else it checks what is there and links it in under a temporary name renamed
// over the old file. The descriptor stays open until then: it is the file.
class UnnamedOutputFile : public PosixOutputFile {
public:
    UnnamedOutputFile(UniqueFd fd, std::string path, const ExistingFileCheck& check, DestinationHints& hints)
        : PosixOutputFile(std::move(fd), std::move(path), check), hints_(hints) {}

    void Commit() override {
        if (hints_.name_taken || !LinkUnnamed(fd_.get(), path_)) ReplaceExisting();
        // The data was flushed before the name was taken: a late close error
        // cannot undo the replacement, so it is not reported as a failure.
        close(fd_.Release());
    }

private:
    void ReplaceExisting() {
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            if (const auto old = CheckExisting(path_, check_, hints_.user)) {
                hints_.name_taken = true;
                committed_id_ = KeepAccess(fd_.get(), *old, path_);
                LinkOverExisting();
                return;
            }
            hints_.name_taken = false;
            // Free now; should a file take the name first, it is looked at in turn.
            if (LinkUnnamed(fd_.get(), path_)) return;
        }
        throw OsError(EEXIST);
    }

    void LinkOverExisting() {
        const std::string folder = FolderOf(path_);
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            const std::string temporary = TemporaryPathIn(folder);
            // Marked before the name is made, as in CreateNamedTemporary.
            const PendingTemporaryFile pending(temporary);
            if (!LinkUnnamed(fd_.get(), temporary)) continue;
            if (rename(temporary.c_str(), path_.c_str()) != 0) {
                const ConvError error = LastOsError();
                unlink(temporary.c_str());
                throw error;
            }
            return;
        }
        throw OsError(EEXIST);
    }

    DestinationHints& hints_;
};

// A replacement under a temporary name, for file systems without unnamed
// files; removed unless committed, and on an interrupt of the driver.
class NamedOutputFile : public PosixOutputFile {
public:
    NamedOutputFile(NamedTemporary temporary, std::string path, const ExistingFileCheck& check,
                    const DestinationHints& hints)
        : PosixOutputFile(std::move(temporary.fd), std::move(path), check),
          temporary_(std::move(temporary.path)),
          hints_(hints),
          pending_(std::move(temporary.pending)) {}
    ~NamedOutputFile() override {
        writes_.Wait();
        if (!committed_) unlink(temporary_.c_str());
    }

    void Commit() override {
        if (const auto old = CheckExisting(path_, check_, hints_.user)) {
            committed_id_ = KeepAccess(fd_.get(), *old, path_);
        }
        // Some file systems report a failed write only at close.
        if (close(fd_.Release()) != 0 && errno != EINTR) throw LastOsError();
        if (rename(temporary_.c_str(), path_.c_str()) != 0) throw LastOsError();
        committed_ = true;
    }

private:
    const std::string temporary_;
    const DestinationHints& hints_;
    const std::unique_ptr<PendingTemporaryFile> pending_;
    bool committed_ = false;
};

// Whether `path` leads to the probe: the same identity, or, where a file
// system reports an identity per spelling, the probe's own content (its
// name, which no other file holds).
bool IsProbe(const std::string& path, const FileId& probe_id, const std::string& content) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    if (IdOf(status) == probe_id) return true;
    if (static_cast<std::size_t>(status.st_size) != content.size()) return false;
    const UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd) return false;
    std::string found(content.size(), '\0');
    return read(fd.get(), found.data(), found.size()) == static_cast<ssize_t>(found.size()) && found == content;
}

class PosixFileSystem : public FileSystem {
public:
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override {
        UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd) throw LastOsError();
        return std::make_unique<PosixInputFile>(std::move(fd));
    }

    // The checks of what is at the name come at the commit, still before
    // anything there changes: a run into a fresh folder then pays for none.
    std::unique_ptr<OutputFile> CreateReplacement(const std::string& path, const ExistingFileCheck& check) override {
        const std::string folder = FolderOf(path);
        UniqueFd fd(open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
        if (fd) return std::make_unique<UnnamedOutputFile>(std::move(fd), path, check, hints_);
        // No unnamed files here (or an old kernel).
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) throw LastOsError();
        auto named = CreateNamedTemporary(folder);
        if (!named) throw LastOsError();
        return std::make_unique<NamedOutputFile>(std::move(*named), path, check, hints_);
    }

    void CheckDestination(const std::string& path, const ExistingFileCheck& check) override {
        CheckExisting(path, check, hints_.user);
    }

    std::optional<FileId> Identify(const std::string& path) override {
        struct stat status;
        if (stat(path.c_str(), &status) != 0) return std::nullopt;
        return IdOf(status);
    }

    FolderProbe ProbeFolder(const std::string& folder, const std::string& other_folder) override {
        const auto probe = CreateNamedTemporary(folder);
        if (!probe) return {};
        const std::string name = probe->path.substr(folder.size());
        struct stat status;
        FolderProbe seen;
        if (WriteProbe(probe->fd.get(), name) && fstat(probe->fd.get(), &status) == 0) {
            seen.shared = IsProbe(other_folder + name, IdOf(status), name);
            seen.folds_case = IsProbe(folder + FoldedCase(name), IdOf(status), name);
        }
        unlink(probe->path.c_str());
        return seen;
    }

    // One flush of the whole file system carries every finished file's data
    // (closed or not) and the names taken; the folder's own flush makes sure
    // of its entries where a file system keeps them apart.
    void Flush(const std::string& folder) override {
        const UniqueFd handle(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!handle) throw LastOsError();
        if (syncfs(handle.get()) != 0) throw LastOsError();
        // EINVAL: a file system that cannot flush a folder by itself.
        if (fsync(handle.get()) != 0 && errno != EINVAL) throw LastOsError();
    }

    char Separator() const override { return '/'; }

private:
    static bool WriteProbe(int fd, const std::string& content) {
        try {
            WriteAll(fd, content.data(), content.size());
            return true;
        } catch (const ConvError&) {
            return false;
        }
    }

    DestinationHints hints_;
};

}  // namespace

std::unique_ptr<FileSystem> MakeHostFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace talvoren
