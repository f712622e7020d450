// The file layer on POSIX: unbuffered descriptors; the converter does the
// buffering, so every Write is one or more write() calls.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/failure.h"
#include "platform/host_files.h"
#include "platform/os_error.h"

namespace talvoren {
namespace {

class PosixInputFile : public InputFile {
public:
    explicit PosixInputFile(int fd) : fd_(fd) {}
    ~PosixInputFile() override { close(fd_); }

    std::size_t Read(char* buffer, std::size_t capacity) override {
        for (;;) {
            const ssize_t got = read(fd_, buffer, capacity);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) throw LastOsError();
        }
    }

private:
    int fd_;
};

class PosixOutputFile : public OutputFile {
public:
    explicit PosixOutputFile(int fd) : fd_(fd) {}
    ~PosixOutputFile() override {
        if (fd_ >= 0) close(fd_);
    }

    void Write(const char* data, std::size_t size) override {
        while (size > 0) {
            const ssize_t written = write(fd_, data, size);
            if (written < 0) {
                if (errno == EINTR) continue;
                throw LastOsError();
            }
            data += written;
            size -= static_cast<std::size_t>(written);
        }
    }

    void Close() override {
        // The descriptor is gone whatever close() answers; never close it twice.
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0 && errno != EINTR) throw LastOsError();
    }

private:
    int fd_;
};

FileId IdOf(const struct stat& status) {
    FileId id;
    id.volume = static_cast<std::uint64_t>(status.st_dev);
    id.index_low = static_cast<std::uint64_t>(status.st_ino);
    return id;
}

ConvError SameAsSource() {
    Failure failure;
    failure.code = FailureCode::SameAsSource;
    return ConvError(failure);
}

// An existing file is opened without truncation, checked against the run's
// source files, and only then emptied.
int OpenExistingForWriting(const std::string& path, const IsSourceFile& is_source) {
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) throw LastOsError();
    struct stat status;
    if (fstat(fd, &status) != 0) {
        const ConvError error = LastOsError();
        close(fd);
        throw error;
    }
    if (is_source(IdOf(status))) {
        close(fd);
        throw SameAsSource();
    }
    // Devices such as /dev/null cannot be truncated and need not be.
    if (S_ISREG(status.st_mode) && ftruncate(fd, 0) != 0) {
        const ConvError error = LastOsError();
        close(fd);
        throw error;
    }
    return fd;
}

class PosixFileSystem : public FileSystem {
public:
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) throw LastOsError();
        return std::make_unique<PosixInputFile>(fd);
    }

    std::unique_ptr<OutputFile> OpenForWriting(const std::string& path,
                                               const IsSourceFile& is_source) override {
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno != EEXIST) throw LastOsError();
            fd = OpenExistingForWriting(path, is_source);
        }
        return std::make_unique<PosixOutputFile>(fd);
    }

    std::optional<FileId> Identify(const std::string& path) override {
        struct stat status;
        if (stat(path.c_str(), &status) != 0) return std::nullopt;
        return IdOf(status);
    }

    char Separator() const override { return '/'; }
};

}  // namespace

std::unique_ptr<FileSystem> MakeHostFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace talvoren
