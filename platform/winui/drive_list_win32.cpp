#include "platform/winui/drive_list_win32.h"

#include <cwctype>

#include "platform/winui/current_directory_win32.h"
#include "platform/winui/twips.h"
#include "platform/win32/wide_text.h"
#include "platform/winui/windows_error_win32.h"

namespace talvoren::winui {
namespace {

// "c: [label]"; a drive whose medium can't be read has no label to show: "d:".
std::wstring Entry(wchar_t letter) {
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    wchar_t label[MAX_PATH + 1] = L"";
    std::wstring entry = {letter, L':'};
    if (GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) {
        entry += L" [";
        entry += label;
        entry += L"]";
    }
    return entry;
}

wchar_t CurrentDriveLetter() { return static_cast<wchar_t>(std::towlower(CurrentDirectory().at(0))); }

}  // namespace

DriveListBox::DriveListBox(const ControlRow& row, HWND parent, int id)
    : Control(row, CreateChildWindow(row, parent, id, L"COMBOBOX",
                                     CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP)) {
    Fill(CurrentDriveLetter());
}

void DriveListBox::Fill(wchar_t selected_letter) {
    SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
    letters_.clear();
    const DWORD drives = GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if ((drives & (1u << bit)) == 0) continue;
        const auto letter = static_cast<wchar_t>(L'a' + bit);
        letters_.push_back(letter);
        SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Entry(letter).c_str()));
    }
    SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(Find(selected_letter)), 0);
}

int DriveListBox::Find(wchar_t letter) const {
    letter = static_cast<wchar_t>(std::towlower(letter));
    for (std::size_t i = 0; i < letters_.size(); ++i) {
        if (letters_[i] == letter) return static_cast<int>(i);
    }
    return -1;
}

std::string DriveListBox::Drive() const {
    const auto selected = SendMessageW(Handle(), CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(SendMessageW(Handle(), CB_GETLBTEXTLEN, selected, 0)) + 1, L'\0');
    const auto length = SendMessageW(Handle(), CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return Narrow(text);
}

void DriveListBox::SetDrive(const std::string& drive) {
    const std::wstring wide = Widen(drive);
    const int entry = wide.empty() ? -1 : Find(wide[0]);
    if (entry < 0) throw WindowsError("drive " + drive, ERROR_INVALID_DRIVE);
    if (entry == SendMessageW(Handle(), CB_GETCURSEL, 0, 0)) return;
    SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    RaiseChange();
}

void DriveListBox::ShowDriveOf(const std::string& path) {
    const std::wstring wide = Widen(path);
    const int entry = wide.size() >= 2 && wide[1] == L':' ? Find(wide[0]) : -1;
    SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
}

void DriveListBox::Notify(int code) {
    if (code == CBN_SELCHANGE) {
        RaiseChange();
    } else if (code == CBN_DROPDOWN) {
        // Drives come and go (a stick plugged in): list them afresh on opening.
        const auto selected = SendMessageW(Handle(), CB_GETCURSEL, 0, 0);
        Fill(selected == CB_ERR ? L'\0' : letters_[static_cast<std::size_t>(selected)]);
    }
}

void DriveListBox::AfterLayout(int dpi) {
    // A drop-down box's window height includes its list; the closed box's height
    // comes from its selection field, sized here so the box is exactly as high
    // as its row of the table.
    const PixelRect place = ToPixels(LayoutRow().rect, dpi);
    const int list_height = MulDiv(160, dpi, 96);
    SetWindowPos(Handle(), nullptr, 0, 0, place.width, place.height + list_height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Systems differ in how the field's height adds up to the box's (and in
    // what reading it back reports), so the field is corrected by what the box
    // shows until the two agree.
    auto field = static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int attempt = 0; attempt < 4; ++attempt) {
        RECT box{};
        GetWindowRect(Handle(), &box);
        const int off_by = place.height - (box.bottom - box.top);
        if (off_by == 0) break;
        field += off_by;
        SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

}  // namespace talvoren::winui
