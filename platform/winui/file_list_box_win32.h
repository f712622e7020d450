// The hidden file list: a LISTBOX that shows the names of the source folder's
// "*Tp.csv" files a run listed. The run takes its names from the host's
// listing; this control only shows them.
#pragma once

#include "core/run/file_system.h"
#include "platform/winui/control_win32.h"

namespace talvoren::winui {

class FileListBox : public Control {
public:
    // The host lists "*Tp.csv" only; a table asking for another pattern is refused.
    FileListBox(const ControlRow& row, HWND parent, int id);

    // Shows the names of `names`, in its order, in place of what was shown.
    void ShowNames(const FileList& names);
};

}  // namespace talvoren::winui
