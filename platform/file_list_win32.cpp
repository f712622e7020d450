// The folder listing on Windows: long names matched by our own "*Tp.csv"
// test (Windows' wildcard would also match 8.3 short names); folders, hidden
// and system files are left out.
#include <windows.h>

#include <vector>

#include "platform/os_error.h"
#include "platform/tape_file_name.h"
#include "platform/wide_text.h"

namespace talvoren {
namespace {

constexpr DWORD kLeftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::wstring EverythingIn(const std::string& folder) {
    std::wstring pattern = Widen(folder);
    const wchar_t last = pattern.back();
    if (last != L'\\' && last != L'/' && last != L':') pattern += L'\\';
    return pattern + L'*';
}

bool IsFolder(const std::string& folder) {
    const DWORD attributes = GetFileAttributesW(Widen(folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::vector<std::string> ListTapeFiles(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileExW(EverythingIn(folder).c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // An empty drive root has not even "." and "..".
        if (error == ERROR_FILE_NOT_FOUND && IsFolder(folder)) return names;
        throw OsError(static_cast<int>(error));
    }
    do {
        if ((data.dwFileAttributes & kLeftOut) != 0) continue;
        std::string name = Narrow(data.cFileName);
        if (MatchesTapePattern(name)) names.push_back(std::move(name));
    } while (FindNextFileW(find, &data));
    const DWORD error = GetLastError();
    FindClose(find);
    if (error != ERROR_NO_MORE_FILES) throw OsError(static_cast<int>(error));
    return names;
}

}  // namespace talvoren
