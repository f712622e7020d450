#include "platform/winui/app_path_win32.h"

#include <windows.h>

#include "platform/win32/wide_text.h"
#include "platform/winui/windows_error_win32.h"

namespace talvoren::winui {

std::string AppPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) ThrowLastError("GetModuleFileNameW");
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // a long path: try again with room for it
    }
    path.erase(path.find_last_of(L'\\'));
    if (path.size() == 2 && path[1] == L':') path += L'\\';
    return Narrow(path);
}

}  // namespace talvoren::winui
