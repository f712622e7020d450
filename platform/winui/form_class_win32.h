// The window class of every Form's top-level window. Apart from form_win32.h
// so that the message pump, which a modal Show runs, can tell a form's window
// (whose keys go through the dialog manager) without knowing Form.
#pragma once

#include <windows.h>

#include <cwchar>

namespace talvoren::winui {

inline constexpr wchar_t kFormClass[] = L"TalvorenForm";

inline bool IsFormWindow(HWND window) {
    wchar_t name[32] = L"";
    return GetClassNameW(window, name, 32) > 0 && std::wcscmp(name, kFormClass) == 0;
}

}  // namespace talvoren::winui
