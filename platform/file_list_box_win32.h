// The hidden file list: the names of one folder's "*Tp.csv" files, listed by
// the host's file layer and kept in a LISTBOX, offered to the folder run as
// core's FileList.
#pragma once

#include <memory>

#include "core/file_system.h"
#include "platform/control_win32.h"

namespace talvoren::winui {

class FileListBox : public Control, public FileList {
public:
    // The host lists "*Tp.csv" only; a table asking for another pattern is refused.
    FileListBox(const ControlSpec& spec, HWND parent, int id);

    // Throws ConvError, leaving the list empty, when `folder` can't be listed.
    void SetPath(const std::string& folder) override;
    std::size_t ListCount() const override;
    const std::string& List(std::size_t index) const override;

private:
    std::unique_ptr<FileList> host_list_;
};

}  // namespace talvoren::winui
