// The directory list: a LISTBOX with one open directory. It shows the chain of
// folders from the drive's root down to the open one, each indented a step
// further and marked open, then the open folder's subfolders marked closed,
// sorted. A double-click or Enter opens an entry; a single click only
// highlights it.
#pragma once

#include <string>
#include <vector>

#include "platform/winui/control_win32.h"

namespace talvoren::winui {

class DirListBox : public Control {
public:
    // An entry's item data: its indentation in steps, and whether it is marked open.
    static constexpr LPARAM kOpenMark = 0x10000;

    DirListBox(const ControlRow& row, HWND parent, int id);
    ~DirListBox() override;

    // The open directory's full path; it ends in "\" only at a drive's root.
    std::string Path() const;
    // A drive ("x:", or a drive list entry "x: [label]") opens that drive's
    // current directory; any other text opens that folder. Throws WindowsError,
    // and stays where it was, when the folder can't be listed.
    void SetPath(const std::string& path);
    // Lists the open directory's subfolders afresh.
    void Refresh();

    void Notify(int code) override;
    bool Draw(const DRAWITEMSTRUCT& item) override;
    void AfterLayout(int dpi) override;

private:
    static LRESULT CALLBACK KeyboardProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                         DWORD_PTR self);
    void Open(const std::wstring& path);
    void OpenEntry(int entry);

    std::wstring open_;
    std::vector<std::wstring> chain_;  // the root, then each folder down to the open one
    HICON open_icon_;
    HICON closed_icon_;
};

}  // namespace talvoren::winui
