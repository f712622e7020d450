#include "platform/winui/dir_list_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cwctype>

#include "platform/winui/current_directory_win32.h"
#include "platform/win32/unique_handle_win32.h"
#include "platform/win32/wide_text.h"
#include "platform/winui/windows_error_win32.h"

namespace talvoren::winui {
namespace {

HICON FolderIcon(bool open) {
    SHFILEINFOW info{};
    const UINT flags = SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0u);
    SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags);
    return info.hIcon;
}

// Length of the root of a full path: "C:\" or "\\server\share\".
std::size_t RootLength(const std::wstring& path) {
    if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        std::size_t end = path.find(L'\\', 2);
        if (end != std::wstring::npos) end = path.find(L'\\', end + 1);
        return end == std::wstring::npos ? path.size() : end + 1;
    }
    return std::min<std::size_t>(3, path.size());
}

std::wstring FullPath(const std::wstring& path) {
    // "x:" alone (or a drive list entry) names the drive's current directory.
    std::wstring target = path;
    if (target.size() >= 2 && target[1] == L':' && (target.size() == 2 || target[2] == L' ')) {
        target.resize(2);
    }
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(target.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameW(target.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (length == 0) ThrowLastError("GetFullPathNameW " + Narrow(path));
    full.resize(length);
    // "c:" from the drive list gives "c:\"; drives are shown upper case.
    if (full.size() >= 2 && full[1] == L':') full[0] = static_cast<wchar_t>(std::towupper(full[0]));
    const std::size_t root = RootLength(full);
    while (full.size() > root && full.back() == L'\\') full.pop_back();
    return full;
}

// The folders of `path` a user would see: no hidden or system ones, sorted.
std::vector<std::wstring> Subfolders(const std::wstring& path) {
    std::wstring pattern = path;
    if (pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    const UniqueFindHandle search(
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchLimitToDirectories, nullptr, 0));
    std::vector<std::wstring> names;
    if (!search) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return names;  // an empty root
        ThrowLastError("FindFirstFileExW " + Narrow(pattern));
    }
    do {
        const std::wstring name = found.cFileName;
        const DWORD attributes = found.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || name == L"." || name == L"..") continue;
        if ((attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) continue;
        names.push_back(name);
    } while (FindNextFileW(search.get(), &found));
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) throw WindowsError("FindNextFileW " + Narrow(pattern), error);
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) < 0; });
    return names;
}

std::vector<std::wstring> Chain(const std::wstring& path) {
    const std::size_t root = RootLength(path);
    std::vector<std::wstring> chain{path.substr(0, root)};
    std::size_t start = root;
    while (start < path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        chain.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return chain;
}

std::wstring Join(const std::vector<std::wstring>& chain, std::size_t count) {
    std::wstring path = chain[0];
    for (std::size_t i = 1; i < count; ++i) {
        if (path.back() != L'\\') path += L'\\';
        path += chain[i];
    }
    return path;
}

}  // namespace

DirListBox::DirListBox(const ControlRow& row, HWND parent, int id)
    : Control(row, CreateChildWindow(row, parent, id, L"LISTBOX",
                                     LBS_NOTIFY | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT |
                                         WS_VSCROLL | WS_TABSTOP,
                                     WS_EX_CLIENTEDGE)),
      open_icon_(FolderIcon(true)),
      closed_icon_(FolderIcon(false)) {
    SetWindowSubclass(Handle(), &DirListBox::KeyboardProc, 1, reinterpret_cast<DWORD_PTR>(this));
    Open(FullPath(CurrentDirectory()));
}

DirListBox::~DirListBox() {
    RemoveWindowSubclass(Handle(), &DirListBox::KeyboardProc, 1);
    if (open_icon_ != nullptr) DestroyIcon(open_icon_);
    if (closed_icon_ != nullptr) DestroyIcon(closed_icon_);
}

std::string DirListBox::Path() const { return Narrow(open_); }

void DirListBox::SetPath(const std::string& path) { Open(FullPath(Widen(path))); }

void DirListBox::Refresh() { Open(open_); }

void DirListBox::Open(const std::wstring& path) {
    const std::vector<std::wstring> subfolders = Subfolders(path);  // throws before anything changes
    open_ = path;
    chain_ = Chain(path);
    HWND list = Handle();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (std::size_t depth = 0; depth < chain_.size(); ++depth) {
        const auto entry = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(chain_[depth].c_str()));
        SendMessageW(list, LB_SETITEMDATA, entry, static_cast<LPARAM>(depth) | kOpenMark);
    }
    for (const std::wstring& name : subfolders) {
        const auto entry = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        SendMessageW(list, LB_SETITEMDATA, entry, static_cast<LPARAM>(chain_.size()));
    }
    SendMessageW(list, LB_SETCURSEL, chain_.size() - 1, 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void DirListBox::OpenEntry(int entry) {
    if (entry < 0) return;
    std::wstring path;
    if (static_cast<std::size_t>(entry) < chain_.size()) {
        path = Join(chain_, static_cast<std::size_t>(entry) + 1);
    } else {
        std::wstring name(static_cast<std::size_t>(SendMessageW(Handle(), LB_GETTEXTLEN, entry, 0)) + 1, L'\0');
        name.resize(
            static_cast<std::size_t>(SendMessageW(Handle(), LB_GETTEXT, entry, reinterpret_cast<LPARAM>(name.data()))));
        path = open_;
        if (path.back() != L'\\') path += L'\\';
        path += name;
    }
    try {
        Open(path);
    } catch (const WindowsError&) {
        // A folder that can't be listed (no access, or gone meanwhile) is not
        // opened; the list stays where it was and the user hears why not.
        MessageBeep(MB_ICONWARNING);
    }
}

void DirListBox::Notify(int code) {
    if (code == LBN_DBLCLK) OpenEntry(static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0)));
}

LRESULT CALLBACK DirListBox::KeyboardProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                          DWORD_PTR self) {
    // Enter opens the highlighted entry, so the list asks the dialog manager for it.
    if (message == WM_GETDLGCODE && lparam != 0) {
        const auto* msg = reinterpret_cast<const MSG*>(lparam);
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
            return DefSubclassProc(window, message, wparam, lparam) | DLGC_WANTMESSAGE;
        }
    }
    if (message == WM_KEYDOWN && wparam == VK_RETURN) {
        auto* list = reinterpret_cast<DirListBox*>(self);
        list->OpenEntry(static_cast<int>(SendMessageW(window, LB_GETCURSEL, 0, 0)));
        return 0;
    }
    if (message == WM_CHAR && wparam == L'\r') return 0;
    return DefSubclassProc(window, message, wparam, lparam);
}

bool DirListBox::Draw(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1)) return true;
    HDC dc = item.hDC;
    const RECT& box = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &box, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const auto data = static_cast<LPARAM>(item.itemData);
    const int height = box.bottom - box.top;
    const int icon = std::max(1, height - 2);
    const int left = box.left + 2 + static_cast<int>(data & 0xFFFF) * (icon / 2 + 2);
    HICON glyph = (data & kOpenMark) != 0 ? open_icon_ : closed_icon_;
    if (glyph != nullptr) DrawIconEx(dc, left, box.top + 1, glyph, icon, icon, 0, nullptr, DI_NORMAL);
    std::wstring text(static_cast<std::size_t>(SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()))));
    RECT text_box = box;
    text_box.left = left + icon + 3;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &text_box,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(dc, &box);
    return true;
}

void DirListBox::AfterLayout(int /*dpi*/) {
    // Rows as high as the font's line with a little air, at least a small icon.
    HDC dc = GetDC(Handle());
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(Handle(), dc);
    const int row = std::max<int>(metrics.tmHeight + 2, GetSystemMetrics(SM_CYSMICON) + 2);
    SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, row);
}

}  // namespace talvoren::winui
