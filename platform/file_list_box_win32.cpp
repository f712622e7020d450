#include "platform/file_list_box_win32.h"

#include <stdexcept>

#include "platform/host_files.h"
#include "platform/wide_text.h"

namespace talvoren::winui {

FileListBox::FileListBox(const ControlSpec& spec, HWND parent, int id)
    : Control(spec, CreateChildWindow(spec, parent, id, L"LISTBOX", LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
                                      WS_EX_CLIENTEDGE)),
      host_list_(MakeHostFileList()) {
    if (spec.text != "*Tp.csv") throw std::invalid_argument("file list pattern " + spec.text);
}

void FileListBox::SetPath(const std::string& folder) {
    SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
    host_list_->SetPath(folder);
    for (std::size_t i = 0; i < host_list_->ListCount(); ++i) {
        SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(host_list_->List(i)).c_str()));
    }
}

std::size_t FileListBox::ListCount() const { return host_list_->ListCount(); }

const std::string& FileListBox::List(std::size_t index) const { return host_list_->List(index); }

}  // namespace talvoren::winui
