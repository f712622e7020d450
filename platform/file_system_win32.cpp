// The file layer on Windows: CreateFileW handles that let others read, and
// unbuffered ReadFile/WriteFile; the converter does the buffering.
#include <windows.h>

#include <algorithm>

#include "core/failure.h"
#include "platform/host_files.h"
#include "platform/os_error.h"
#include "platform/wide_text.h"

namespace talvoren {
namespace {

// ReadFile and WriteFile take a 32-bit count.
constexpr std::size_t kMaxTransfer = 1u << 30;

class Win32InputFile : public InputFile {
public:
    explicit Win32InputFile(HANDLE handle) : handle_(handle) {}
    ~Win32InputFile() override { CloseHandle(handle_); }

    std::size_t Read(char* buffer, std::size_t capacity) override {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min(capacity, kMaxTransfer));
        if (!ReadFile(handle_, buffer, want, &got, nullptr)) throw LastOsError();
        return got;
    }

private:
    HANDLE handle_;
};

class Win32OutputFile : public OutputFile {
public:
    explicit Win32OutputFile(HANDLE handle) : handle_(handle) {}
    ~Win32OutputFile() override {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }

    void Write(const char* data, std::size_t size) override {
        while (size > 0) {
            DWORD written = 0;
            const DWORD want = static_cast<DWORD>(std::min(size, kMaxTransfer));
            if (!WriteFile(handle_, data, want, &written, nullptr)) throw LastOsError();
            data += written;
            size -= written;
        }
    }

    void Close() override {
        // The handle is gone whatever CloseHandle answers; never close it twice.
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        if (!CloseHandle(handle)) throw LastOsError();
    }

private:
    HANDLE handle_;
};

std::optional<FileId> IdOfHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
    FileId id;
    id.volume = info.dwVolumeSerialNumber;
    id.index_high = info.nFileIndexHigh;
    id.index_low = info.nFileIndexLow;
    return id;
}

ConvError SameAsSource() {
    Failure failure;
    failure.code = FailureCode::SameAsSource;
    return ConvError(failure);
}

// Reaches the file itself, not a link to it, without disturbing other handles.
std::optional<FileId> IdentifyPath(const std::wstring& path) {
    const HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    const std::optional<FileId> id = IdOfHandle(handle);
    CloseHandle(handle);
    return id;
}

HANDLE OpenForWritingShared(const std::wstring& path, DWORD disposition) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// An existing file is opened without truncation, checked against the run's
// source files, and only then emptied.
HANDLE OpenExistingForWriting(const std::wstring& path, const IsSourceFile& is_source) {
    const HANDLE handle = OpenForWritingShared(path, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // The run's own open source file refuses a writer: say which file it is.
        const std::optional<FileId> id = IdentifyPath(path);
        if (error == ERROR_SHARING_VIOLATION && id && is_source(*id)) throw SameAsSource();
        throw OsError(static_cast<int>(error));
    }
    const std::optional<FileId> id = IdOfHandle(handle);
    if (!id) {
        const ConvError error = LastOsError();
        CloseHandle(handle);
        throw error;
    }
    if (is_source(*id)) {
        CloseHandle(handle);
        throw SameAsSource();
    }
    if (!SetEndOfFile(handle)) {
        const ConvError error = LastOsError();
        CloseHandle(handle);
        throw error;
    }
    return handle;
}

class Win32FileSystem : public FileSystem {
public:
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override {
        const HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (handle == INVALID_HANDLE_VALUE) throw LastOsError();
        return std::make_unique<Win32InputFile>(handle);
    }

    std::unique_ptr<OutputFile> OpenForWriting(const std::string& path,
                                               const IsSourceFile& is_source) override {
        const std::wstring wide_path = Widen(path);
        HANDLE handle = OpenForWritingShared(wide_path, CREATE_NEW);
        if (handle == INVALID_HANDLE_VALUE) {
            if (GetLastError() != ERROR_FILE_EXISTS) throw LastOsError();
            handle = OpenExistingForWriting(wide_path, is_source);
        }
        return std::make_unique<Win32OutputFile>(handle);
    }

    std::optional<FileId> Identify(const std::string& path) override { return IdentifyPath(Widen(path)); }

    char Separator() const override { return '\\'; }
};

}  // namespace

std::unique_ptr<FileSystem> MakeHostFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace talvoren
