#include "platform/file_list_box_win32.h"

#include <stdexcept>

#include "platform/wide_text.h"

namespace talvoren::winui {

FileListBox::FileListBox(const ControlSpec& spec, HWND parent, int id)
    : Control(spec, CreateChildWindow(spec, parent, id, L"LISTBOX", LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
                                      WS_EX_CLIENTEDGE)) {
    if (spec.text != "*Tp.csv") throw std::invalid_argument("file list pattern " + spec.text);
}

void FileListBox::ShowNames(const FileList& names) {
    SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
    for (std::size_t i = 0; i < names.ListCount(); ++i) {
        SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(names.List(i)).c_str()));
    }
}

}  // namespace talvoren::winui
