// The file layer on POSIX: unbuffered descriptors; the converter does the
// buffering, so every Write is one or more write() calls, made by a second
// thread once the file proves long (OverlappedWrites). A destination is
// written as an unnamed file (O_TMPFILE) where the file system offers one,
// else under a temporary name, and linked or renamed into place when complete.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <optional>

#include "core/failure.h"
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

// A file under a temporary name, marked for removal on an interrupt.
struct NamedTemporary {
    UniqueFd fd;
    std::string path;
    std::unique_ptr<PendingTemporaryFile> pending;
};

// A fresh file under a temporary name in `folder`; nullopt with errno set when none can be made.
std::optional<NamedTemporary> CreateNamedTemporary(const std::string& folder) {
    for (;;) {
        std::string path = TemporaryPathIn(folder);
        // Marked before it is made: an interrupt between the two would leave
        // it. A name that is taken carries this process's number, so what the
        // mark might remove meanwhile is a leftover of a process of that number.
        auto pending = std::make_unique<PendingTemporaryFile>(path);
        UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd) return NamedTemporary{std::move(fd), std::move(path), std::move(pending)};
        if (errno != EEXIST) return std::nullopt;
    }
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

// What the replacements of one file system learn as they go, to spare
// system calls; never needed for a decision's safety.
struct ReplacementHabits {
    // Taken once: the program never changes its user.
    const uid_t user = geteuid();
    // Whether the last destination name was taken: in a run over earlier
    // results the next one is too, so looking first spares a failed link.
    bool name_taken = false;
};

// What is at a destination name must be a regular file this user may write,
// and pass `check`; nothing there passes too. Returns the permission bits of
// the file there, for its replacement to take.
std::optional<mode_t> CheckExisting(const std::string& path, const ExistingFileCheck& check, uid_t user) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        if (errno == ENOENT) return std::nullopt;
        throw LastOsError();
    }
    // Never opened: a FIFO would block, a device would be written to.
    if (!S_ISREG(status.st_mode)) throw FailureOf(FailureCode::NotARegularFile);
    // Replacing needs only the folder's permission, but a file its owner made
    // read-only is refused as it always was. The owner's own write bit
    // answers for the owner (no access list overrides it); anyone else asks
    // the kernel. An immutable file still refuses, at the rename.
    const bool owner_may_write = status.st_uid == user && (status.st_mode & S_IWUSR) != 0;
    if (!owner_may_write && faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) throw LastOsError();
    check(IdOf(status));
    return status.st_mode & 07777;
}

// Gives the written file the permissions of the one it replaces; returns the
// written file's identity, learned on the way.
FileId KeepModeAndIdentify(int fd, mode_t old_mode) {
    struct stat status;
    if (fstat(fd, &status) != 0) throw LastOsError();
    if ((status.st_mode & 07777) != old_mode && fchmod(fd, old_mode) != 0) throw LastOsError();
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

// A replacement written as an unnamed file: a kill while it is written leaves
// nothing behind (only a kill between the link under a temporary name and the
// rename over the old file can leave that name). Commit links it in under the
// destination name when that is free (a fresh folder costs no check at all);
// else it checks what is there and links it in under a temporary name renamed
// over the old file.
class UnnamedOutputFile : public OutputFile {
public:
    UnnamedOutputFile(UniqueFd fd, std::string path, const ExistingFileCheck& check, ReplacementHabits& habits)
        : fd_(std::move(fd)),
          path_(std::move(path)),
          check_(check),
          habits_(habits),
          writes_([fd = fd_.get()](const char* data, std::size_t size) { WriteAll(fd, data, size); }) {}

    void Write(const char* data, std::size_t size) override { writes_.Write(data, size); }
    void WaitForWrites() noexcept override { writes_.Wait(); }

    void Commit() override {
        writes_.Finish();
        if (habits_.name_taken || !LinkUnnamed(fd_.get(), path_)) PutOverWhatIsThere();
        if (close(fd_.Release()) != 0 && errno != EINTR) throw LastOsError();
    }

    std::optional<FileId> CommittedId() const override { return committed_id_; }

private:
    void PutOverWhatIsThere() {
        for (;;) {
            if (const auto old_mode = CheckExisting(path_, check_, habits_.user)) {
                habits_.name_taken = true;
                committed_id_ = KeepModeAndIdentify(fd_.get(), *old_mode);
                LinkOverExisting();
                return;
            }
            habits_.name_taken = false;
            // Free now; should a file take the name first, it is looked at in turn.
            if (LinkUnnamed(fd_.get(), path_)) return;
        }
    }

    void LinkOverExisting() {
        const std::string folder = FolderOf(path_);
        for (;;) {
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
    }

    UniqueFd fd_;
    const std::string path_;
    const ExistingFileCheck check_;
    ReplacementHabits& habits_;
    std::optional<FileId> committed_id_;
    // Last: destroyed first, so no write runs when the file goes.
    OverlappedWrites writes_;
};

// A replacement under a temporary name, for file systems without unnamed
// files; removed unless committed, and on an interrupt of the driver.
class NamedOutputFile : public OutputFile {
public:
    NamedOutputFile(NamedTemporary temporary, std::string path, const ExistingFileCheck& check,
                    const ReplacementHabits& habits)
        : fd_(std::move(temporary.fd)),
          temporary_(std::move(temporary.path)),
          path_(std::move(path)),
          check_(check),
          habits_(habits),
          pending_(std::move(temporary.pending)),
          writes_([fd = fd_.get()](const char* data, std::size_t size) { WriteAll(fd, data, size); }) {}
    ~NamedOutputFile() override {
        writes_.Wait();
        if (!committed_) unlink(temporary_.c_str());
    }

    void Write(const char* data, std::size_t size) override { writes_.Write(data, size); }
    void WaitForWrites() noexcept override { writes_.Wait(); }

    void Commit() override {
        writes_.Finish();
        if (const auto old_mode = CheckExisting(path_, check_, habits_.user)) {
            committed_id_ = KeepModeAndIdentify(fd_.get(), *old_mode);
        }
        // Some file systems report a failed write only at close.
        if (close(fd_.Release()) != 0 && errno != EINTR) throw LastOsError();
        if (rename(temporary_.c_str(), path_.c_str()) != 0) throw LastOsError();
        committed_ = true;
    }

    std::optional<FileId> CommittedId() const override { return committed_id_; }

private:
    UniqueFd fd_;
    const std::string temporary_;
    const std::string path_;
    const ExistingFileCheck check_;
    const ReplacementHabits& habits_;
    const std::unique_ptr<PendingTemporaryFile> pending_;
    bool committed_ = false;
    std::optional<FileId> committed_id_;
    // Last: destroyed first, so no write runs when the descriptor closes.
    OverlappedWrites writes_;
};

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
        if (fd) return std::make_unique<UnnamedOutputFile>(std::move(fd), path, check, habits_);
        // No unnamed files here (or an old kernel).
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) throw LastOsError();
        auto named = CreateNamedTemporary(folder);
        if (!named) throw LastOsError();
        return std::make_unique<NamedOutputFile>(std::move(*named), path, check, habits_);
    }

    std::optional<FileId> Identify(const std::string& path) override {
        struct stat status;
        if (stat(path.c_str(), &status) != 0) return std::nullopt;
        return IdOf(status);
    }

    bool SharesFolder(const std::string& folder, const std::string& other_folder) override {
        const auto probe = CreateNamedTemporary(folder);
        if (!probe) return false;
        const std::string name = probe->path.substr(folder.size());
        struct stat status;
        const bool shows = stat((other_folder + name).c_str(), &status) == 0;
        unlink(probe->path.c_str());
        return shows;
    }

    char Separator() const override { return '/'; }
    bool IsSeparator(char c) const override { return c == '/'; }

private:
    ReplacementHabits habits_;
};

}  // namespace

std::unique_ptr<FileSystem> MakeHostFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace talvoren
