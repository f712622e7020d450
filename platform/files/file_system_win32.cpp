// The file layer on Windows: CreateFileW handles on literal paths ("\\?\"),
// unbuffered ReadFile/WriteFile (the converter does the buffering). A
// destination is written under a temporary name in its folder and put in
// place by ReplaceFileW, which keeps the old file's attributes and security,
// or by a replacing move where that cannot be done.
#include <windows.h>

#include <algorithm>
#include <memory>

#include "core/failure.h"
#include "platform/files/host_files.h"
#include "platform/files/interrupt_cleanup.h"
#include "platform/files/literal_path_win32.h"
#include "platform/files/os_error.h"
#include "platform/files/temporary_file_name.h"
#include "platform/files/unique_handle_win32.h"
#include "platform/files/wide_text.h"

namespace talvoren {
namespace {

// ReadFile and WriteFile take a 32-bit count.
constexpr std::size_t kMaxTransfer = 1u << 30;

class Win32InputFile : public InputFile {
public:
    explicit Win32InputFile(UniqueHandle handle) : handle_(std::move(handle)) {}

    std::size_t Read(char* buffer, std::size_t capacity) override {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min(capacity, kMaxTransfer));
        if (!ReadFile(handle_.get(), buffer, want, &got, nullptr)) throw LastOsError();
        return got;
    }

private:
    UniqueHandle handle_;
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

// Reaches the file itself, not a link to it, without disturbing other handles.
std::optional<FileId> IdentifyLiteral(const std::wstring& path) {
    const UniqueHandle handle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return std::nullopt;
    return IdOfHandle(handle.get());
}

// A file under a temporary name, marked for removal on an interrupt.
struct Temporary {
    UniqueHandle handle;
    std::wstring path;
    std::unique_ptr<PendingTemporaryFile> pending;
};

// A fresh file under a temporary name in the folder of `path`. Shared for
// deletion, so that an interrupted driver can remove it while it is open.
Temporary CreateTemporary(const std::string& path, DWORD flags) {
    const std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
    for (;;) {
        std::wstring temporary = LiteralPath(folder + NextTemporaryFileName(GetCurrentProcessId()));
        // Marked before it is made: an interrupt between the two would leave
        // it. A name that is taken carries this process's number, so what the
        // mark might remove meanwhile is a leftover of a process of that number.
        auto pending = std::make_unique<PendingTemporaryFile>(Narrow(temporary));
        UniqueHandle handle(CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_DELETE, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL | flags, nullptr));
        if (handle) return {std::move(handle), std::move(temporary), std::move(pending)};
        if (GetLastError() != ERROR_FILE_EXISTS) throw LastOsError();
    }
}

class Win32OutputFile : public OutputFile {
public:
    Win32OutputFile(Temporary temporary, std::wstring path, bool replaces)
        : handle_(std::move(temporary.handle)),
          temporary_(std::move(temporary.path)),
          path_(std::move(path)),
          replaces_(replaces),
          pending_(std::move(temporary.pending)) {}
    ~Win32OutputFile() override {
        handle_ = UniqueHandle();
        if (!committed_) DeleteFileW(temporary_.c_str());
    }

    void Write(const char* data, std::size_t size) override {
        while (size > 0) {
            DWORD written = 0;
            const DWORD want = static_cast<DWORD>(std::min(size, kMaxTransfer));
            if (!WriteFile(handle_.get(), data, want, &written, nullptr)) throw LastOsError();
            data += written;
            size -= written;
        }
    }
    // Writes here are done when Write returns.
    void WaitForWrites() noexcept override {}

    void Commit() override {
        if (!CloseHandle(handle_.Release())) throw LastOsError();
        // ReplaceFileW gives up on some volumes (FAT, some network shares);
        // its failures leave the new content at the temporary name, so the
        // replacing move can still put it in place.
        const bool replaced = replaces_ && ReplaceFileW(path_.c_str(), temporary_.c_str(), nullptr,
                                                        REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                                                        nullptr, nullptr);
        if (!replaced && !MoveFileExW(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            throw LastOsError();
        }
        committed_ = true;
    }

private:
    UniqueHandle handle_;
    const std::wstring temporary_;
    const std::wstring path_;
    const bool replaces_;
    const std::unique_ptr<PendingTemporaryFile> pending_;
    bool committed_ = false;
};

class Win32FileSystem : public FileSystem {
public:
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override {
        UniqueHandle handle(CreateFileW(LiteralPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!handle) throw LastOsError();
        return std::make_unique<Win32InputFile>(std::move(handle));
    }

    std::unique_ptr<OutputFile> CreateReplacement(const std::string& path, const ExistingFileCheck& check) override {
        std::wstring literal = LiteralPath(path);
        const bool replaces = CheckExisting(literal, check);
        return std::make_unique<Win32OutputFile>(CreateTemporary(path, 0), std::move(literal), replaces);
    }

    std::optional<FileId> Identify(const std::string& path) override { return IdentifyLiteral(LiteralPath(path)); }

    bool SharesFolder(const std::string& folder, const std::string& other_folder) override {
        Temporary probe;
        try {
            // Gone with its handle, even if the process is killed.
            probe = CreateTemporary(folder, FILE_FLAG_DELETE_ON_CLOSE);
        } catch (const ConvError&) {
            return false;
        }
        const std::wstring name = probe.path.substr(probe.path.find_last_of(L'\\') + 1);
        return GetFileAttributesW(LiteralPath(other_folder + Narrow(name)).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    char Separator() const override { return '\\'; }
    bool IsSeparator(char c) const override { return c == '\\' || c == '/'; }

private:
    // What is at the destination name must be a writable file that passes
    // `check`. Returns whether there is one to replace.
    static bool CheckExisting(const std::wstring& path, const ExistingFileCheck& check) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            if (GetLastError() == ERROR_FILE_NOT_FOUND) return false;
            throw LastOsError();
        }
        if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
            throw FailureOf(FailureCode::NotARegularFile);
        }
        // Replacing would get past a protection the user set on purpose.
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) throw OsError(ERROR_ACCESS_DENIED);
        const std::optional<FileId> id = IdentifyLiteral(path);
        if (!id) throw LastOsError();
        check(*id);
        return true;
    }
};

}  // namespace

std::unique_ptr<FileSystem> MakeHostFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace talvoren
