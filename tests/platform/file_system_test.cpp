// The host's file layer over real temporary files: bytes in and out unchanged,
// a destination replaced only when its replacement is committed, the checks
// before anything is written, failures with their codes, and a full disk that
// is never lost.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "core/texts/failure.h"
#include "platform/files/host_files.h"
#include "platform/files/interrupt_cleanup.h"
#include "platform/files/temporary_file_name.h"
#include "tests/support/temp_folder.h"
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "tests/support/small_tmpfs.h"
#endif

namespace talvoren {
namespace {

const ExistingFileCheck kAnyFile = [](const FileId&) {};

unsigned long ProcessId() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

std::string AllBytes() {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    return bytes;
}

std::string ReadAll(InputFile& input, std::size_t chunk) {
    std::string data;
    std::string buffer(chunk, '\0');
    while (const std::size_t got = input.Read(buffer.data(), buffer.size())) data.append(buffer, 0, got);
    return data;
}

template <typename Action>
FailureCode FailureCodeOf(Action action) {
    try {
        action();
    } catch (const ConvError& error) {
        return error.failure().code;
    }
    ADD_FAILURE() << "no failure";
    return FailureCode::OtherOsError;
}

class FileSystemTest : public ::testing::Test {
protected:
    // Writes `bytes` as the replacement of `name` and commits it, as a run does.
    void Replace(const std::string& name, const std::string& bytes, const ExistingFileCheck& check = kAnyFile) {
        auto output = fs_->CreateReplacement(temp_.PathOf(name), check);
        output->Write(bytes.data(), bytes.size());
        Complete(*output, temp_.PathOf(name));
    }
    // Finishes, flushes and commits `output`, the replacement of `path`.
    void Complete(OutputFile& output, const std::string& path) {
        output.Finish();
        fs_->Flush(path.substr(0, path.find_last_of(fs_->Separator()) + 1));
        output.Commit();
    }
    std::string Sep() const { return std::string(1, fs_->Separator()); }

    TempFolder temp_;
    std::unique_ptr<FileSystem> fs_ = MakeHostFileSystem();
};

TEST_F(FileSystemTest, WritesAndReadsEveryByteUnchanged) {
    std::string data;
    for (int i = 0; i < 12000; ++i) data += AllBytes();  // 3 MB, CR and LF alone included
    auto output = fs_->CreateReplacement(temp_.PathOf("駅名Tp.csv"), kAnyFile);
    output->Write(data.data(), 1000);
    output->Write(data.data() + 1000, data.size() - 1000);
    Complete(*output, temp_.PathOf("駅名Tp.csv"));

    EXPECT_EQ(temp_.Read("駅名Tp.csv"), data);
    for (const std::size_t chunk : {std::size_t{7}, std::size_t{256 * 1024}}) {
        auto input = fs_->OpenForReading(temp_.PathOf("駅名Tp.csv"));
        EXPECT_EQ(ReadAll(*input, chunk), data) << chunk;
    }
}

TEST_F(FileSystemTest, AnEmptyFileReadsAsAtItsEnd) {
    temp_.Write("empty", "");
    auto input = fs_->OpenForReading(temp_.PathOf("empty"));
    char byte;
    EXPECT_EQ(input->Read(&byte, 1), 0u);
}

// Until the commit the destination name shows what it held before (or
// nothing), also once the file is finished and its folder flushed; a
// replacement given up, finished or not, leaves no file behind; only the
// destination's own name is ever there afterwards.
TEST_F(FileSystemTest, TheDestinationChangesOnlyAtTheCommit) {
    enum Stage { kGivenUpWhileWritten, kGivenUpFinished, kCommitted };
    for (const bool existed : {false, true}) {
        for (const Stage stage : {kGivenUpWhileWritten, kGivenUpFinished, kCommitted}) {
            const bool committed = stage == kCommitted;
            SCOPED_TRACE(std::string(existed ? "over an old file" : "new file") + ", stage " + std::to_string(stage));
            TempFolder temp;
            if (existed) temp.Write("ATp.csv", std::string(10000, 'o'));
            int asked = 0;
            auto output = fs_->CreateReplacement(temp.PathOf("ATp.csv"), [&](const FileId&) { ++asked; });
            output->Write("new", 3);
            if (stage != kGivenUpWhileWritten) {
                output->Finish();
                fs_->Flush(temp.Path() + Sep());
            }
            EXPECT_EQ(temp.Exists("ATp.csv"), existed);
            if (existed) {
                EXPECT_EQ(temp.Read("ATp.csv"), std::string(10000, 'o'));
            }
            if (committed) output->Commit();
            output.reset();

            // The old file is looked at by the commit at the latest.
            if (committed) {
                EXPECT_EQ(asked, existed ? 1 : 0);
            }
            const std::string expected = committed ? "new" : existed ? std::string(10000, 'o') : "";
            if (committed || existed) {
                EXPECT_EQ(temp.Read("ATp.csv"), expected);
                EXPECT_EQ(temp.List(""), std::vector<std::string>{"ATp.csv"});
            } else {
                EXPECT_TRUE(temp.List("").empty());
            }
        }
    }
}

TEST_F(FileSystemTest, TheCheckSeesTheExistingFileAndMayRefuseIt) {
    temp_.Write("old", std::string(10000, 'x'));
    const FileId id = *fs_->Identify(temp_.PathOf("old"));
    std::optional<FileId> asked;
    Replace("old", "new", [&](const FileId& checked) { asked = checked; });
    ASSERT_TRUE(asked);
    EXPECT_TRUE(*asked == id);
    EXPECT_EQ(temp_.Read("old"), "new");

    // A file that takes the name while the finished replacement waits for
    // its commit is looked at too.
    asked.reset();
    auto late = fs_->CreateReplacement(temp_.PathOf("late"), [&](const FileId& checked) { asked = checked; });
    late->Write("new", 3);
    late->Finish();
    temp_.Write("late", "arrived");
    const FileId arrived = *fs_->Identify(temp_.PathOf("late"));
    late->Commit();
    ASSERT_TRUE(asked);
    EXPECT_TRUE(*asked == arrived);

    // Refused while the run holds it open for reading, too.
    temp_.Write("source", "keep me");
    const FileId source = *fs_->Identify(temp_.PathOf("source"));
    auto input = fs_->OpenForReading(temp_.PathOf("source"));
    const ExistingFileCheck refuse_source = [&](const FileId& checked) {
        if (checked == source) throw FailureOf(FailureCode::SameAsSource);
    };
    EXPECT_EQ(FailureCodeOf([&] { Replace("source", "new", refuse_source); }), FailureCode::SameAsSource);
    EXPECT_EQ(ReadAll(*input, 64), "keep me");
    EXPECT_EQ(temp_.List(""), (std::vector<std::string>{"late", "old", "source"}));
}

TEST_F(FileSystemTest, IdentityFollowsTheFileNotTheName) {
    temp_.Write("a", "1");
    temp_.Write("b", "1");
    std::filesystem::create_hard_link(temp_.Native("a"), temp_.Native("hard"));
    const std::optional<FileId> a = fs_->Identify(temp_.PathOf("a"));
    ASSERT_TRUE(a);

    EXPECT_TRUE(*fs_->Identify(temp_.PathOf("hard")) == *a);
    EXPECT_FALSE(*fs_->Identify(temp_.PathOf("b")) == *a);
    EXPECT_FALSE(fs_->Identify(temp_.PathOf("missing")));
#ifdef _WIN32
    EXPECT_TRUE(*fs_->Identify(temp_.PathOf("A")) == *a);
    EXPECT_TRUE(*fs_->Identify(temp_.Path() + "/a") == *a);
#else
    std::filesystem::create_symlink(temp_.Native("a"), temp_.Native("soft"));
    EXPECT_TRUE(*fs_->Identify(temp_.PathOf("soft")) == *a);
#endif
}

// What stands at a destination name and cannot be replaced is refused, at
// the latest by the commit, and stays as it was.
TEST_F(FileSystemTest, OnlyARegularWritableFileIsReplaced) {
    temp_.Write("file", "x");
    temp_.MakeFolder("folderTp.csv");
    temp_.Write("read-onlyTp.csv", "protected");
    std::filesystem::permissions(temp_.Native("read-onlyTp.csv"),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    struct Case {
        const char* name;
        FailureCode code;
    };
    std::vector<Case> cases = {
        {"missing/ATp.csv", FailureCode::NotFound},
        {"folderTp.csv", FailureCode::NotARegularFile},
    };
    // Refused also for root, who may write any file.
    cases.push_back({"read-onlyTp.csv", FailureCode::ReadOnlyFile});
#ifndef _WIN32
    ASSERT_EQ(mkfifo(temp_.PathOf("fifoTp.csv").c_str(), 0644), 0);
    cases.push_back({"fifoTp.csv", FailureCode::NotARegularFile});  // would block an open for ever
    if (mknod(temp_.PathOf("deviceTp.csv").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        cases.push_back({"deviceTp.csv", FailureCode::NotARegularFile});  // the null device
    }
    // Links, whatever they lead to, are neither followed nor replaced: a run
    // ends, and the same way for unnamed and named replacements.
    std::filesystem::create_symlink("/dev/null", temp_.Native("to-deviceTp.csv"));
    std::filesystem::create_symlink("nowhere", temp_.Native("danglingTp.csv"));
    std::filesystem::create_symlink("laterTp.csv", temp_.Native("to-laterTp.csv"));
    std::filesystem::create_symlink(temp_.Native("file"), temp_.Native("to-fileTp.csv"));
    for (const char* link : {"to-deviceTp.csv", "danglingTp.csv", "to-laterTp.csv", "to-fileTp.csv"}) {
        cases.push_back({link, FailureCode::SymbolicLink});
    }
    if (geteuid() == 0) {
        // Owned by someone else and writable by nobody but root.
        temp_.Write("others-read-onlyTp.csv", "protected");
        ASSERT_EQ(chown(temp_.PathOf("others-read-onlyTp.csv").c_str(), 65534, 65534), 0);
        ASSERT_EQ(chmod(temp_.PathOf("others-read-onlyTp.csv").c_str(), 0444), 0);
        cases.push_back({"others-read-onlyTp.csv", FailureCode::ReadOnlyFile});
    }
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FailureCodeOf([&] { Replace(c.name, "new"); }), c.code);
    }
    EXPECT_EQ(FailureCodeOf([&] { fs_->OpenForReading(temp_.PathOf("missing")); }), FailureCode::NotFound);
    EXPECT_EQ(FailureCodeOf([&] { fs_->OpenForReading(temp_.PathOf("file/ATp.csv")); }), FailureCode::NotFound);
    EXPECT_EQ(temp_.Read("read-onlyTp.csv"), "protected");
    EXPECT_TRUE(std::filesystem::is_directory(temp_.Native("folderTp.csv")));
#ifndef _WIN32
    EXPECT_TRUE(std::filesystem::is_symlink(temp_.Native("danglingTp.csv")));
    EXPECT_FALSE(temp_.Exists("laterTp.csv"));
    EXPECT_EQ(temp_.Read("file"), "x");
#endif
    for (const std::string& name : temp_.List("")) EXPECT_EQ(name.find("talvoren"), std::string::npos) << name;
}

// The probe is found through a second text of its own folder, not through
// another folder, even one holding a stale file of the probe's name; it
// leaves nothing behind. Windows folders ignore letter case, these POSIX ones
// do not.
TEST_F(FileSystemTest, TheFolderProbeFindsItselfOnly) {
    const std::string a = temp_.MakeFolder("a") + Sep();
    const std::string b = temp_.MakeFolder("b") + Sep();
    // The probe takes the process's next temporary name; the one before it
    // shows which that is.
    const std::string before = NextTemporaryFileName(ProcessId());
    const auto NameNumbered = [&](int later) {
        const std::size_t number = before.rfind('-') + 1;
        const int n = std::stoi(before.substr(number));
        return before.substr(0, number) + std::to_string(n + later) + ".tmp";
    };
    temp_.Write("b/" + NameNumbered(1), "stale");
    const struct {
        std::string folder, other;
        bool shared;
    } cases[] = {
        {a, b, false},  // b's stale file is not the probe
        {a, a, true},
        {a, b + ".." + Sep() + "a" + Sep(), true},
        {temp_.PathOf("missing") + Sep(), a, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder + " seen through " + c.other);
        const FolderProbe probe = fs_->ProbeFolder(c.folder, c.other);
        EXPECT_EQ(probe.shared, c.shared);
#ifdef _WIN32
        EXPECT_EQ(probe.folds_case, c.folder == a);
#else
        EXPECT_FALSE(probe.folds_case);
#endif
    }
    // The probes took the names foreseen: four since the one before.
    ASSERT_EQ(NextTemporaryFileName(ProcessId()), NameNumbered(5));
    EXPECT_TRUE(temp_.List("a").empty());
    EXPECT_EQ(temp_.List("b"), std::vector<std::string>{NameNumbered(1)});
}

#ifdef _WIN32
// Device names are ordinary file names in a literal path; a name holding a
// lone surrogate reaches the file system as the listing gave it.
TEST_F(FileSystemTest, NamesReachTheFileSystemExactly) {
    const std::string lone_surrogate = "\xED\xA0\x80Tp.csv";  // U+D800 alone
    for (const std::string& name :
         {std::string("NUL.Tp.csv"), std::string("CON.Tp.csv"), std::string("COM1.Tp.csv"), lone_surrogate}) {
        SCOPED_TRACE(name);
        const std::string path = temp_.Path() + Sep() + name;  // no library path: it would mangle the name
        if (name == lone_surrogate) {
            // Only some file systems hold such names (NTFS does; Wine's Linux folders do not).
            const std::wstring wide = L"\\\\?\\" + temp_.Native("").wstring() + L"\xD800Tp.csv";
            const HANDLE probe = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            if (probe == INVALID_HANDLE_VALUE) {
                std::cout << "lone surrogate name: skipped, this file system cannot hold it\n";
                continue;
            }
            CloseHandle(probe);
        }
        try {
            auto output = fs_->CreateReplacement(path, kAnyFile);
            output->Write(name.data(), name.size());
            Complete(*output, path);
            EXPECT_EQ(ReadAll(*fs_->OpenForReading(path), 64), name);
        } catch (const ConvError& error) {
            ADD_FAILURE() << error.what();
        }
    }
    // Removed by literal path: the folder's own cleanup would open the devices.
    for (const wchar_t* name : {L"NUL.Tp.csv", L"CON.Tp.csv", L"COM1.Tp.csv", L"\xD800Tp.csv"}) {
        DeleteFileW((L"\\\\?\\" + temp_.Native("").wstring() + name).c_str());
    }
}

// However another program holds the destination open, short of sharing its
// deletion, the file is reported in use, keeps its content, and the
// replacement leaves nothing behind.
TEST_F(FileSystemTest, AFileHeldOpenElsewhereIsInUse) {
    const struct {
        const char* how;
        DWORD access, share;
    } holders[] = {
        {"read, sharing reading", GENERIC_READ, FILE_SHARE_READ},
        {"written, sharing reading", GENERIC_WRITE, FILE_SHARE_READ},
        {"read, sharing reading and writing", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE},
    };
    for (const auto& holder : holders) {
        SCOPED_TRACE(holder.how);
        TempFolder temp;
        temp.Write("busyTp.csv", "old");
        const HANDLE held = CreateFileW(temp.Native("busyTp.csv").c_str(), holder.access, holder.share, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(FailureCodeOf([&] {
                      auto output = fs_->CreateReplacement(temp.PathOf("busyTp.csv"), kAnyFile);
                      output->Write("new", 3);
                      output->Finish();
                      output->Commit();
                  }),
                  FailureCode::FileInUse);
        CloseHandle(held);
        EXPECT_EQ(temp.Read("busyTp.csv"), "old");
        EXPECT_EQ(temp.List(""), std::vector<std::string>{"busyTp.csv"});
    }
}

// Finished files waiting for their names, and the one being written, are
// all removed when a process ends with its session; their names keep what
// they held.
TEST_F(FileSystemTest, EveryPendingTemporaryFileIsRemovedAtTheEndOfASession) {
    for (int i = 0; i < 4; ++i) temp_.Write(std::to_string(i) + "Tp.csv", "old");
    const std::wstring host = std::filesystem::u8path(TALVOREN_END_OF_SESSION_HOST).make_preferred().wstring();
    std::wstring command = L"\"" + host + L"\" \"" + std::filesystem::u8path(temp_.Path()).wstring() + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(
        CreateProcessW(host.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    CloseHandle(process.hThread);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);

    EXPECT_EQ(status, DWORD{STATUS_CONTROL_C_EXIT});
    EXPECT_EQ(temp_.List(""), (std::vector<std::string>{"0Tp.csv", "1Tp.csv", "2Tp.csv", "3Tp.csv"}));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(temp_.Read(std::to_string(i) + "Tp.csv"), "old");
}

// A hidden or system file stays so; the archive bit says the file changed.
TEST_F(FileSystemTest, TheReplacementKeepsTheOldFilesHiddenAndSystemAttributes) {
    constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN, kSystem = FILE_ATTRIBUTE_SYSTEM;
    constexpr DWORD kArchive = FILE_ATTRIBUTE_ARCHIVE, kMask = kHidden | kSystem | kArchive;
    for (const DWORD old : {kHidden, kSystem, kHidden | kSystem | kArchive, DWORD{FILE_ATTRIBUTE_NORMAL}}) {
        SCOPED_TRACE(old);
        TempFolder temp;
        temp.Write("ATp.csv", "old");
        const std::wstring path = temp.Native("ATp.csv").wstring();
        // Wine sets the archive bit on every file; Windows can clear it.
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), old));
        ASSERT_EQ(GetFileAttributesW(path.c_str()) & (kHidden | kSystem), old & (kHidden | kSystem));
        auto output = fs_->CreateReplacement(temp.PathOf("ATp.csv"), kAnyFile);
        output->Write("new", 3);
        output->Finish();
        output->Commit();
        EXPECT_EQ(temp.Read("ATp.csv"), "new");
        EXPECT_EQ(GetFileAttributesW(path.c_str()) & kMask, (old & (kHidden | kSystem)) | kArchive);
    }
}
#else
struct stat StatusOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
    return status;
}

// The new file grants what the old one did, never more: permission bits,
// owner and group where the process may set them, extended attributes (an
// access list among them); set-ID bits only with the owner and group they name.
TEST_F(FileSystemTest, TheReplacementGrantsWhatTheOldFileGranted) {
    temp_.Write("ATp.csv", "old");
    ASSERT_EQ(chmod(temp_.PathOf("ATp.csv").c_str(), 0640), 0);
    Replace("ATp.csv", "new");
    EXPECT_EQ(StatusOf(temp_.PathOf("ATp.csv")).st_mode & 07777, 0640u);
    if (geteuid() != 0) GTEST_SKIP() << "owner, group and set-ID cases need root";

    temp_.Write("BTp.csv", "old");
    ASSERT_EQ(chown(temp_.PathOf("BTp.csv").c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(temp_.PathOf("BTp.csv").c_str(), 06755), 0);
    const bool has_xattr = setxattr(temp_.PathOf("BTp.csv").c_str(), "user.talvoren-test", "kept", 4, 0) == 0;
    const bool has_acl = system(("setfacl -m u:nobody:rw- " + temp_.PathOf("BTp.csv") + " 2>/dev/null").c_str()) == 0;
    const mode_t mode = StatusOf(temp_.PathOf("BTp.csv")).st_mode & 07777;  // an access list's mask shows in it
    Replace("BTp.csv", "new");
    const struct stat kept = StatusOf(temp_.PathOf("BTp.csv"));
    EXPECT_EQ(kept.st_uid, 65534u);
    EXPECT_EQ(kept.st_gid, 65534u);
    EXPECT_EQ(kept.st_mode & 07777, mode);
    EXPECT_NE(mode & 06000, 0u);
    if (has_xattr) {
        char value[8] = {};
        EXPECT_EQ(getxattr(temp_.PathOf("BTp.csv").c_str(), "user.talvoren-test", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    } else {
        std::cout << "extended attributes: not checked, this file system keeps none\n";
    }
    if (has_acl) {
        EXPECT_EQ(system(("getfacl -p " + temp_.PathOf("BTp.csv") + " | grep -qx 'user:nobody:rw-'").c_str()), 0);
    } else {
        std::cout << "access lists: not checked (no setfacl, or none on this file system)\n";
    }

    // A user who may replace a root-owned set-user-ID file (the folder and
    // the file are open to all) gets a file of their own without the bit.
    const std::string open_folder = temp_.MakeFolder("open");
    ASSERT_EQ(chmod(open_folder.c_str(), 0777), 0);
    temp_.Write("open/CTp.csv", "old");
    ASSERT_EQ(chmod(temp_.PathOf("open/CTp.csv").c_str(), 06777), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        try {
            FileSystemTest::fs_ = MakeHostFileSystem();
            auto output = fs_->CreateReplacement(temp_.PathOf("open/CTp.csv"), kAnyFile);
            output->Write("new", 3);
            Complete(*output, temp_.PathOf("open/CTp.csv"));
        } catch (const ConvError&) {
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const struct stat cleared = StatusOf(temp_.PathOf("open/CTp.csv"));
    EXPECT_EQ(temp_.Read("open/CTp.csv"), "new");
    EXPECT_EQ(cleared.st_uid, 65534u);
    EXPECT_EQ(cleared.st_mode & 07777, 0707u);  // no set-ID bits, nothing for a group it is not in
}

// A real file system that fills up part way through a file: the failure
// surfaces from Write or from Commit, never silently, and the old file stays.
TEST_F(FileSystemTest, AFileSystemThatFillsUpMidFileIsNeverSilent) {
    const std::string mount_point = temp_.MakeFolder("small");
    SmallTmpfs small(mount_point);
    if (!small.Mount()) GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount rights)";
    temp_.Write("small/ATp.csv", "old");

    const std::string block(64 * 1024, 'x');
    const FailureCode code = FailureCodeOf([&] {
        auto output = fs_->CreateReplacement(mount_point + "/ATp.csv", kAnyFile);
        for (int i = 0; i < 8; ++i) output->Write(block.data(), block.size());
        Complete(*output, mount_point + "/ATp.csv");
    });
    EXPECT_EQ(code, FailureCode::DiskFull);
    EXPECT_EQ(temp_.Read("small/ATp.csv"), "old");
    EXPECT_EQ(temp_.List("small"), std::vector<std::string>{"ATp.csv"});
}
#endif

}  // namespace
}  // namespace talvoren
