// talvoren-convert.exe killed (TerminateProcess) at moments spread over a
// run over earlier results, batches of names included: after every kill each
// destination name holds its old or its new content, whole, and nothing else
// stands beside them but the run's own temporary files.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace talvoren {
namespace {

// More than one batch of names (128 files).
constexpr int kFileCount = 200;
constexpr int kKills = 20;

std::string FileName(int index) { return "K" + std::to_string(index) + "Tp.csv"; }

std::string Legacy(int index) {
    std::string file;
    for (int record = 0; record < 20 + index % 50; ++record) {
        file += "\"\x89\x77 " + std::to_string(index) + "-" + std::to_string(record) + "\"," +
                std::to_string(record * 7 - index) + "\r\n";
    }
    return file;
}

std::string Old(int index) { return "earlier result " + std::to_string(index) + "\r\n"; }

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// The driver converting `source` into `destination`, its output discarded.
class Driver {
public:
    Driver(const std::wstring& source, const std::wstring& destination) {
        // Under Wine a path from the build without its drive is on the current one.
        const std::wstring program = std::filesystem::u8path(TALVOREN_CONVERT_EXE).make_preferred().wstring();
        std::wstring command = Quoted(program) + L" " + Quoted(source) + L" " + Quoted(destination);
        SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
        nul_ = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0,
                           nullptr);
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nul_;
        startup.hStdOutput = nul_;
        startup.hStdError = nul_;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                            &process)) {
            ADD_FAILURE() << "cannot start " << TALVOREN_CONVERT_EXE << ": error " << GetLastError();
            return;
        }
        CloseHandle(process.hThread);
        process_ = process.hProcess;
    }
    ~Driver() {
        if (process_) CloseHandle(process_);
        if (nul_ != INVALID_HANDLE_VALUE) CloseHandle(nul_);
    }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Waits at most `milliseconds` for the run to end; kills it if it has
    // not. Returns its exit status.
    DWORD EndAfter(DWORD milliseconds) {
        if (!process_) return ~DWORD{0};
        if (WaitForSingleObject(process_, milliseconds) == WAIT_TIMEOUT) TerminateProcess(process_, 9);
        EXPECT_EQ(WaitForSingleObject(process_, 60000), WAIT_OBJECT_0);
        DWORD status = 0;
        GetExitCodeProcess(process_, &status);
        return status;
    }

private:
    HANDLE nul_ = INVALID_HANDLE_VALUE;
    HANDLE process_ = nullptr;
};

TEST(DriverKill, EveryNameHoldsItsOldOrItsNewContentAfterAKill) {
    TempFolder temp;
    temp.MakeFolder("source");
    temp.MakeFolder("destination");
    for (int i = 0; i < kFileCount; ++i) temp.Write("source/" + FileName(i), Legacy(i));
    const std::wstring source = temp.Native("source").wstring();
    const std::wstring destination = temp.Native("destination").wstring();
    for (int i = 0; i < kFileCount; ++i) temp.Write("destination/" + FileName(i), Old(i));

    // A whole run first: the new contents, and how long a run lasts.
    const ULONGLONG start = GetTickCount64();
    ASSERT_EQ(Driver(source, destination).EndAfter(INFINITE), 0u);
    const DWORD run_length = static_cast<DWORD>(GetTickCount64() - start);
    std::vector<std::string> converted;
    for (int i = 0; i < kFileCount; ++i) {
        converted.push_back(temp.Read("destination/" + FileName(i)));
        ASSERT_NE(converted.back(), Old(i));
    }

    std::vector<bool> renewed(kFileCount, true);
    std::string renewed_counts;
    for (int kill = 0; kill < kKills; ++kill) {
        const DWORD delay = static_cast<DWORD>(run_length * (2 * kill + 1) / (2 * kKills));
        SCOPED_TRACE("killed after " + std::to_string(delay) + " ms");
        for (int i = 0; i < kFileCount; ++i) {
            if (renewed[i]) temp.Write("destination/" + FileName(i), Old(i));
        }
        Driver(source, destination).EndAfter(delay);

        for (int i = 0; i < kFileCount; ++i) {
            const std::string name = "destination/" + FileName(i);
            ASSERT_TRUE(temp.Exists(name)) << FileName(i);
            const std::string content = temp.Read(name);
            renewed[i] = content == converted[i];
            if (!renewed[i]) {
                ASSERT_EQ(content, Old(i)) << FileName(i);
            }
        }
        // Temporary files a kill left are allowed, and removed for the next run.
        for (const std::string& name : temp.List("destination")) {
            if (name.rfind("~talvoren-", 0) == 0) {
                std::filesystem::remove(temp.Native("destination/" + name));
            } else {
                EXPECT_TRUE(name.size() > 6 && name.compare(name.size() - 6, 6, "Tp.csv") == 0) << name;
            }
        }
        renewed_counts += " " + std::to_string(std::count(renewed.begin(), renewed.end(), true));
    }
    // A count between batches of 128 shows a kill amid a batch's renames.
    std::cout << "a run lasts " << run_length << " ms; names renewed at each kill:" << renewed_counts << "\n";
}

}  // namespace
}  // namespace talvoren
