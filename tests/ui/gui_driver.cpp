#include "tests/ui/gui_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/win32/wide_text.h"

namespace talvoren::gui {
namespace {

constexpr UINT kSendTimeoutMs = 30000;

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

struct Search {
    DWORD pid;
    const std::wstring* window_class;
    const std::wstring* caption;
    HWND found;
};

void DeleteTree(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                DeleteTree(child);
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

POINT EntryCentre(HWND list, int entry) {
    Send(list, LB_SETCURSEL, static_cast<WPARAM>(entry), 0);  // scrolls it into view
    const auto top = static_cast<int>(Send(list, LB_GETTOPINDEX, 0, 0));
    const auto height = static_cast<int>(Send(list, LB_GETITEMHEIGHT, 0, 0));
    return {20, (entry - top) * height + height / 2};
}

}  // namespace

LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, kSendTimeoutMs, &result) == 0) {
        ADD_FAILURE() << "message " << message << " to a window of the program under test timed out";
    }
    return static_cast<LRESULT>(result);
}

Program::Program(const std::wstring& exe, const std::wstring& arguments, const std::wstring& directory) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE write_end = nullptr;
    if (!CreatePipe(&output_, &write_end, &inherit, 0)) ADD_FAILURE() << "CreatePipe " << GetLastError();
    SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring command = L"\"" + exe + L"\" " + arguments;
    // Wine, busy starting other programs, now and then fails a start with an
    // internal error that the next attempt does not meet.
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                 directory.empty() ? nullptr : directory.c_str(), &startup, &process_);
        if (!started && GetLastError() != ERROR_INTERNAL_ERROR) break;
        if (!started) Sleep(500);
    }
    if (!started) ADD_FAILURE() << "CreateProcessW " << Narrow(exe) << ": " << GetLastError();
    CloseHandle(write_end);
}

Program::~Program() {
    if (Running()) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 10000);
    }
    if (process_.hProcess != nullptr) CloseHandle(process_.hProcess);
    if (process_.hThread != nullptr) CloseHandle(process_.hThread);
    if (output_ != nullptr) CloseHandle(output_);
}

bool Program::Running() const {
    return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::string Program::ReadLine() {
    std::string line;
    const bool complete = WaitFor([&] {
        const std::size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return true;
        }
        DWORD available = 0;
        if (!PeekNamedPipe(output_, nullptr, 0, nullptr, &available, nullptr)) return true;  // closed
        if (available > 0) {
            std::string chunk(available, '\0');
            DWORD read = 0;
            ReadFile(output_, chunk.data(), available, &read, nullptr);
            pending_.append(chunk, 0, read);
        }
        return false;
    });
    EXPECT_TRUE(complete) << "no line of output in time";
    return line;
}

DWORD Program::WaitForExit() {
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(kTimeout.count() * 1000)) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the program did not end";
        return STILL_ACTIVE;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

namespace {

// Windows of DPI-aware programs report their true pixels only to DPI-aware ones.
const bool kPerMonitorAware = [] {
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    const auto set_context = reinterpret_cast<SetContextFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    // Per-monitor v2 where the system has it, per-monitor before that.
    return set_context != nullptr &&
           (set_context(reinterpret_cast<HANDLE>(-4)) || set_context(reinterpret_cast<HANDLE>(-3)));
}();

int ScaledEdge(LONG at_96) { return MulDiv(at_96, DisplayDpi(), 96); }

// An EnumWindows callback: a named function, as a lambda has no stdcall
// conversion on 32-bit Windows.
BOOL CALLBACK StopAtMatch(HWND window, LPARAM data) {
    auto* s = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != s->pid || !IsWindowVisible(window)) return TRUE;
    if (!s->window_class->empty() && lstrcmpiW(ClassOf(window).c_str(), s->window_class->c_str()) != 0) {
        return TRUE;
    }
    if (!s->caption->empty() && Text(window) != *s->caption) return TRUE;
    s->found = window;
    return FALSE;
}

}  // namespace

HWND FindVisibleWindow(DWORD pid, const std::wstring& window_class, const std::wstring& caption) {
    Search search{pid, &window_class, &caption, nullptr};
    EnumWindows(&StopAtMatch, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD pid, const std::wstring& window_class, const std::wstring& caption) {
    HWND found = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (found = FindVisibleWindow(pid, window_class, caption)) != nullptr; }))
        << "no window \"" << Narrow(caption) << "\" appeared";
    return found;
}

void WaitUntilHidden(HWND window) {
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(window); })) << "the window did not hide";
}

std::vector<HWND> Controls(HWND form, const std::wstring& window_class) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(form, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiW(ClassOf(child).c_str(), window_class.c_str()) == 0) found.push_back(child);
    }
    std::sort(found.begin(), found.end(), [](HWND a, HWND b) {
        const RECT ra = PlaceInParent(a), rb = PlaceInParent(b);
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    return found;
}

HWND ControlWithText(HWND form, const std::wstring& window_class, const std::wstring& text) {
    for (HWND control : Controls(form, window_class)) {
        if (Text(control) == text) return control;
    }
    ADD_FAILURE() << "no " << Narrow(window_class) << " \"" << Narrow(text) << "\"";
    return nullptr;
}

std::wstring Text(HWND window) {
    const auto length = static_cast<std::size_t>(Send(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    text.resize(static_cast<std::size_t>(Send(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

void SetText(HWND edit, const std::wstring& text) { Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

RECT PlaceInParent(HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

HWND FocusIn(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

std::vector<std::wstring> ListTexts(HWND list) {
    std::vector<std::wstring> texts;
    const auto count = static_cast<int>(Send(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = Send(list, LB_GETTEXTLEN, i, 0);
        if (length < 0) break;  // the list changed meanwhile
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const auto copied = Send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        if (copied < 0) break;
        text.resize(static_cast<std::size_t>(copied));
        texts.push_back(text);
    }
    return texts;
}

std::vector<LPARAM> ListData(HWND list) {
    std::vector<LPARAM> data;
    const auto count = static_cast<int>(Send(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) data.push_back(Send(list, LB_GETITEMDATA, i, 0));
    return data;
}

int ListSelection(HWND list) { return static_cast<int>(Send(list, LB_GETCURSEL, 0, 0)); }

void Highlight(HWND list, int entry) {
    const POINT at = EntryCentre(list, entry);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

void DoubleClick(HWND list, int entry) {
    const POINT at = EntryCentre(list, entry);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

void PressEnter(HWND list) {
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(list, WM_KEYUP, VK_RETURN, 0xC01C0001);
}

std::vector<std::wstring> ComboTexts(HWND combo) {
    std::vector<std::wstring> texts;
    const auto count = static_cast<int>(Send(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = Send(combo, CB_GETLBTEXTLEN, i, 0);
        if (length < 0) break;
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const auto copied = Send(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        if (copied < 0) break;
        text.resize(static_cast<std::size_t>(copied));
        texts.push_back(text);
    }
    return texts;
}

std::wstring ComboSelection(HWND combo) {
    const auto selected = static_cast<int>(Send(combo, CB_GETCURSEL, 0, 0));
    if (selected < 0) return {};
    return ComboTexts(combo).at(static_cast<std::size_t>(selected));
}

void Choose(HWND combo, int entry) {
    Send(combo, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

MessageBoxSeen WaitForMessageBox(DWORD pid) {
    MessageBoxSeen box;
    box.window = WaitForWindow(pid, L"#32770", L"");
    if (box.window == nullptr) return box;
    box.title = Text(box.window);
    box.text = Text(GetDlgItem(box.window, 0xFFFF));
    // Wine gives the icon another id than Windows does: find it by its style.
    for (HWND child = GetWindow(box.window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiW(ClassOf(child).c_str(), L"Static") != 0) continue;
        if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        box.icon_shown = IsWindowVisible(child) && Send(child, STM_GETICON, 0, 0) != 0;
    }
    return box;
}

void Dismiss(const MessageBoxSeen& box) {
    Click(GetDlgItem(box.window, IDOK));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }))
        << "the message box stayed";
}

int DisplayDpi() {
    const char* dpi = std::getenv("TALVOREN_DPI");
    return dpi != nullptr && *dpi != '\0' ? std::atoi(dpi) : 96;
}

RECT Scaled(const RECT& at_96) {
    return {ScaledEdge(at_96.left), ScaledEdge(at_96.top), ScaledEdge(at_96.right), ScaledEdge(at_96.bottom)};
}

std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ") at " + std::to_string(DisplayDpi()) + " DPI";
}

::testing::AssertionResult PlacedAt(const RECT& seen, const RECT& expected) {
    const LONG slack = DisplayDpi() == 96 ? 0 : 1;
    const bool close = std::abs(seen.left - expected.left) <= slack && std::abs(seen.top - expected.top) <= slack &&
                       std::abs(seen.right - expected.right) <= slack &&
                       std::abs(seen.bottom - expected.bottom) <= slack;
    if (close) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at " << Describe(seen) << ", expected " << Describe(expected)
                                         << " (test program per-monitor aware: " << kPerMonitorAware << ")";
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

void MakeFolder(const std::wstring& path) {
    if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        ADD_FAILURE() << "CreateDirectoryW " << Narrow(path) << ": " << GetLastError();
    }
}

std::wstring FreshFolder(const std::wstring& name) {
    const std::wstring scratch = ProgramFolder() + L"\\gui-scratch";
    MakeFolder(scratch);
    const std::wstring folder = scratch + L"\\" + name;
    DeleteTree(folder);
    MakeFolder(folder);
    return folder;
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "CreateFileW " << Narrow(path) << ": " << GetLastError();
        return;
    }
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::set<std::wstring> Names(const std::wstring& folder) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.insert(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

}  // namespace talvoren::gui
