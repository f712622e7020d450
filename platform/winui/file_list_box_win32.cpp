#include "platform/winui/file_list_box_win32.h"

#include <stdexcept>

#include "platform/win32/wide_text.h"

namespace talvoren::winui {

FileListBox::FileListBox(const ControlRow& row, HWND parent, int id)
    : Control(row, CreateChildWindow(row, parent, id, L"LISTBOX", LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
                                     WS_EX_CLIENTEDGE)) {
    if (row.text != "*Tp.csv") throw std::invalid_argument("file list pattern " + row.text);
}

void FileListBox::ShowNames(const FileList& names) {
    SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
    for (std::size_t i = 0; i < names.ListCount(); ++i) {
        SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(names.List(i)).c_str()));
    }
}

}  // namespace talvoren::winui
