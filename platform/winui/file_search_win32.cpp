#include "platform/winui/file_search_win32.h"

#include <windows.h>

#include "platform/win32/unique_handle_win32.h"
#include "platform/win32/wide_text.h"
#include "platform/winui/windows_error_win32.h"

namespace talvoren::winui {

bool AnyPlainFileMatches(const std::string& pattern) {
    constexpr DWORD kSkipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    WIN32_FIND_DATAW found{};
    const UniqueFindHandle search(
        FindFirstFileExW(Widen(pattern).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (!search) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME) {
            return false;
        }
        throw WindowsError("FindFirstFileExW " + pattern, error);
    }
    bool matched = false;
    do {
        matched = (found.dwFileAttributes & kSkipped) == 0;
    } while (!matched && FindNextFileW(search.get(), &found));
    return matched;
}

}  // namespace talvoren::winui
