// The file layer on Windows: CreateFileW handles on literal paths ("\\?\"),
// unbuffered ReadFile/WriteFile (the converter does the buffering). A
// destination is written under a temporary name in its folder, flushed and
// closed when finished, and put in place by one replacing, written-through
// rename. The new file takes the old one's hidden and system attributes; its
// security is the folder's inherited one, as for any newly saved document.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <random>

#include "core/texts/failure.h"
#include "platform/files/host_files.h"
#include "platform/files/interrupt_cleanup.h"
#include "platform/files/literal_path_win32.h"
#include "platform/files/os_error.h"
#include "platform/files/temporary_file_name.h"
#include "platform/win32/unique_handle_win32.h"
#include "platform/win32/wide_text.h"

namespace talvoren {
namespace {

// ReadFile and WriteFile take a 32-bit count.
constexpr std::size_t kMaxTransfer = 1u << 30;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Temporary names carry the process and a counter: a name still taken after
// this many is no collision but a folder that refuses them all.
constexpr int kTemporaryNameAttempts = 100;

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

// Attribute access only: it takes part in no sharing, so it disturbs no
// other handle, and it reaches the file itself, not a link to it.
UniqueHandle OpenAttributes(const std::wstring& path) {
    return UniqueHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::optional<FileId> IdentifyLiteral(const std::wstring& path) {
    const UniqueHandle handle = OpenAttributes(path);
    if (!handle) return std::nullopt;
    return IdOfHandle(handle.get());
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of("\\/") + 1); }

// A file under a temporary name, marked for removal on an interrupt.
struct Temporary {
    UniqueHandle handle;
    std::wstring path;
    std::unique_ptr<PendingTemporaryFile> pending;
};

// A fresh file under a temporary name in `folder`. Shared for deletion, so
// that an interrupted driver can remove it while it is open.
Temporary CreateTemporaryIn(const std::string& folder, DWORD share, DWORD flags) {
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        std::wstring temporary = LiteralPath(folder + NextTemporaryFileName(GetCurrentProcessId()));
        // Marked before it is made: an interrupt between the two would leave
        // it. A name that is taken carries this process's number, so what the
        // mark might remove meanwhile is a leftover of a process of that number.
        auto pending = std::make_unique<PendingTemporaryFile>(Narrow(temporary));
        UniqueHandle handle(CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_DELETE | share, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | flags,
                                        nullptr));
        if (handle) return {std::move(handle), std::move(temporary), std::move(pending)};
        if (GetLastError() != ERROR_FILE_EXISTS) throw LastOsError();
    }
    throw OsError(ERROR_FILE_EXISTS);
}

// Whether the reparse point at `path` is a symbolic link, asked of the
// folder entry so that the link is not followed; other reparse points
// (placeholders of cloud files, deduplicated files) are ordinary files.
bool IsSymbolicLink(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    const UniqueFindHandle found(
        FindFirstFileExW(path.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0));
    if (!found) throw LastOsError();
    return entry.dwReserved0 == IO_REPARSE_TAG_SYMLINK;
}

// What is at a destination name must be a regular file that this user may
// write and that passes `check`, or nothing. Returns its attributes.
std::optional<DWORD> CheckExisting(const std::wstring& path, const ExistingFileCheck& check) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::nullopt;
        throw LastOsError();
    }
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
        throw FailureOf(FailureCode::NotARegularFile);
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsSymbolicLink(path)) {
        throw FailureOf(FailureCode::SymbolicLink);
    }
    // Replacing needs only the right to delete it, but a protection the user
    // set on purpose is kept.
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) throw FailureOf(FailureCode::ReadOnlyFile);
    {
        const UniqueHandle existing = OpenAttributes(path);
        const std::optional<FileId> id = existing ? IdOfHandle(existing.get()) : std::nullopt;
        if (!id) throw LastOsError();
        check(*id);
    }
    // Opened for writing and never written: the file's access list answers
    // whether this user may write it, and a program that holds it open
    // without sharing its writing shows as using it.
    if (!UniqueHandle(CreateFileW(path.c_str(), FILE_WRITE_DATA, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr))) {
        throw LastOsError();
    }
    return attributes;
}

// The failure of a rename onto `path` that Windows refused. It refuses to
// rename over a file that is open, and says only "access denied" (so does
// Wine, whatever the other handle shares); an open for deletion tells that
// apart from a real lack of rights.
ConvError RenameFailure(const std::wstring& path) {
    const DWORD error = GetLastError();
    if (error != ERROR_ACCESS_DENIED) return OsError(static_cast<int>(error));
    const UniqueHandle deletable(CreateFileW(path.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!deletable && GetLastError() == ERROR_ACCESS_DENIED) return OsError(ERROR_ACCESS_DENIED);
    return OsError(ERROR_SHARING_VIOLATION);
}

class Win32OutputFile : public OutputFile {
public:
    Win32OutputFile(Temporary temporary, std::wstring path, const ExistingFileCheck& check)
        : handle_(std::move(temporary.handle)),
          temporary_(std::move(temporary.path)),
          path_(std::move(path)),
          check_(check),
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

    // Durable here, one file at a time: Windows flushes a file's data only
    // through a handle of its own. Some file systems report a failed write
    // only at the close.
    void Finish() override {
        if (!FlushFileBuffers(handle_.get())) throw LastOsError();
        id_ = IdOfHandle(handle_.get());
        if (!CloseHandle(handle_.Release())) throw LastOsError();
    }

    // The checks come now, immediately before the rename: what they saw
    // when the file was created may have changed during a batch.
    void Commit() override {
        if (const std::optional<DWORD> old = CheckExisting(path_, check_)) KeepAttributes(*old);
        if (!MoveFileExW(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            throw RenameFailure(path_);
        }
        committed_ = true;
        pending_.reset();
    }

    std::optional<FileId> CommittedId() const override { return committed_ ? id_ : std::nullopt; }

private:
    // A hidden or system file stays so. The archive bit is set, as on any
    // changed file, so that a backup by that bit takes the new content.
    void KeepAttributes(DWORD old) {
        const DWORD kept = old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        if (kept != 0 && !SetFileAttributesW(temporary_.c_str(), kept | FILE_ATTRIBUTE_ARCHIVE)) throw LastOsError();
    }

    UniqueHandle handle_;
    const std::wstring temporary_;
    const std::wstring path_;
    const ExistingFileCheck check_;
    std::unique_ptr<PendingTemporaryFile> pending_;
    std::optional<FileId> id_;
    bool committed_ = false;
};

// Bytes no other file holds, for a probe to be known by its content.
std::string ProbeContent() {
    std::random_device random;
    std::string content = "talvoren probe ";
    for (int i = 0; i < 4; ++i) content += std::to_string(random()) + " ";
    return content;
}

// Whether the file at `path` holds exactly `content`.
bool Holds(const std::wstring& path, const std::string& content) {
    const UniqueHandle handle(CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!handle) return false;
    std::string found(content.size() + 1, '\0');
    DWORD got = 0;
    if (!ReadFile(handle.get(), found.data(), static_cast<DWORD>(found.size()), &got, nullptr)) return false;
    found.resize(got);
    return found == content;
}

std::wstring AsciiUpperCase(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return text;
}

class Win32FileSystem : public FileSystem {
public:
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override {
        UniqueHandle handle(CreateFileW(LiteralPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!handle) throw LastOsError();
        return std::make_unique<Win32InputFile>(std::move(handle));
    }

    // What is at the name is looked at by the commit: a run into a fresh
    // folder pays for no look before it.
    std::unique_ptr<OutputFile> CreateReplacement(const std::string& path, const ExistingFileCheck& check) override {
        return std::make_unique<Win32OutputFile>(CreateTemporaryIn(FolderOf(path), 0, 0), LiteralPath(path), check);
    }

    // The commit's own checks, run early; opening for writing writes nothing.
    void CheckDestination(const std::string& path, const ExistingFileCheck& check) override {
        CheckExisting(LiteralPath(path), check);
    }

    std::optional<FileId> Identify(const std::string& path) override { return IdentifyLiteral(LiteralPath(path)); }

    // The probe is known by its content through the other text, since that
    // may be a share whose identities differ from the folder's own; by its
    // identity under its upper-case name, in its own folder. Shared for
    // reading for the first, gone with its handle even if the process is killed.
    FolderProbe ProbeFolder(const std::string& folder, const std::string& other_folder) override {
        Temporary probe;
        const std::string content = ProbeContent();
        try {
            probe = CreateTemporaryIn(folder, FILE_SHARE_READ, FILE_FLAG_DELETE_ON_CLOSE);
        } catch (const ConvError&) {
            return {};
        }
        DWORD written = 0;
        if (!WriteFile(probe.handle.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
            written != content.size()) {
            return {};
        }
        const std::size_t separator = probe.path.find_last_of(L'\\');
        const std::wstring name = probe.path.substr(separator + 1);
        FolderProbe result;
        result.shared = Holds(LiteralPath(other_folder + Narrow(name)), content);
        const std::optional<FileId> id = IdOfHandle(probe.handle.get());
        result.folds_case = id && IdentifyLiteral(probe.path.substr(0, separator + 1) + AsciiUpperCase(name)) == id;
        return result;
    }

    // Each finished file's data was flushed through its own handle; this
    // makes the renames since the last flush durable too (MOVEFILE_WRITE_THROUGH
    // promises that only for a move that copies). A folder flushes through a
    // handle that may add files to it. A file system that cannot flush a
    // folder (some network redirectors) says so, and its renames then rest
    // on the write-through.
    void Flush(const std::string& folder) override {
        const UniqueHandle handle(CreateFileW(LiteralPath(folder).c_str(), FILE_ADD_FILE, kShareAll, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!handle) throw LastOsError();
        if (!FlushFileBuffers(handle.get())) {
            const DWORD error = GetLastError();
            if (error != ERROR_INVALID_FUNCTION && error != ERROR_NOT_SUPPORTED) throw OsError(static_cast<int>(error));
        }
    }

    char Separator() const override { return '\\'; }
};

}  // namespace

std::unique_ptr<FileSystem> MakeHostFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace talvoren
