#include "platform/winui/current_directory_win32.h"

#include <windows.h>

#include "platform/winui/windows_error_win32.h"

namespace talvoren::winui {

std::wstring CurrentDirectory() {
    std::wstring directory(MAX_PATH, L'\0');
    for (;;) {
        // Too small a buffer is answered with the size needed, its terminator included.
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data());
        if (length == 0) ThrowLastError("GetCurrentDirectoryW");
        if (length < directory.size()) {
            directory.resize(length);
            return directory;
        }
        directory.resize(length);
    }
}

}  // namespace talvoren::winui
