// The folder listing on Windows: every long name, for the caller's own test
// (Windows' wildcard would also match 8.3 short names); folders, hidden and
// system files are left out.
#include <windows.h>

#include <vector>

#include "core/run/tape_file_list.h"
#include "platform/files/host_files.h"
#include "platform/files/literal_path_win32.h"
#include "platform/files/os_error.h"
#include "platform/win32/unique_handle_win32.h"
#include "platform/win32/wide_text.h"

namespace talvoren {
namespace {

constexpr DWORD kLeftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The folder the run's opens name: a separator appended as the run appends
// it, so "C:" is the drive's root there and here.
std::wstring LiteralFolder(const std::string& folder) {
    const char last = folder.back();
    return LiteralPath(last == '\\' || last == '/' ? folder : folder + '\\');
}

bool IsFolder(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> ListPlainFiles(const std::string& folder, const NameFilter& wanted) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    const std::wstring literal_folder = LiteralFolder(folder);
    const UniqueFindHandle find(FindFirstFileExW((literal_folder + L'*').c_str(), FindExInfoBasic, &data,
                                                 FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        const DWORD error = GetLastError();
        // An empty drive root has not even "." and "..".
        if (error == ERROR_FILE_NOT_FOUND && IsFolder(literal_folder)) return names;
        throw OsError(static_cast<int>(error));
    }
    do {
        if ((data.dwFileAttributes & kLeftOut) != 0) continue;
        std::string name = Narrow(data.cFileName);
        if (wanted(name)) names.push_back(std::move(name));
    } while (FindNextFileW(find.get(), &data));
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) throw OsError(static_cast<int>(error));
    return names;
}

}  // namespace

std::unique_ptr<FileList> MakeHostFileList() { return MakeTapeFileList(ListPlainFiles); }

}  // namespace talvoren
