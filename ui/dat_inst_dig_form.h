// frmDatInstDig: the main conversion window. Two folder fields with their
// browse buttons, the run button that follows both fields, and Cancel, which
// ends the program. The conversion itself is core's folder run.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/run/file_system.h"
#include "platform/winui/file_list_box_win32.h"
#include "platform/winui/form_win32.h"

namespace talvoren {

class DatInstDigForm : public winui::Form {
public:
    DatInstDigForm();

    winui::TextBox& Text1(int index) const { return Find<winui::TextBox>("Text1", index); }
    winui::CommandButton& Command1(int index) const { return Find<winui::CommandButton>("Command1", index); }
    winui::CommandButton& Command2(int index) const { return Find<winui::CommandButton>("Command2", index); }
    winui::FileListBox& File1;

    // The run over Text1(0) and Text1(1), converting on a worker thread while
    // the window stays responsive but takes no input and holds a logoff or
    // shutdown; its one message (a refusal of identical texts and a source
    // folder that can't be listed included) is shown afterwards as a message
    // box owned by this window, and File1 shows the names the run listed.
    void ConvTape();
    // True when a directory search for `pattern` (a path or a wildcard) finds
    // at least one file that is neither hidden, nor a system file, nor a folder.
    static bool ChkFile(const std::string& pattern);

protected:
    // The file layer the run converts through: the host's. Test hosts put a
    // slower one in its place to hold a run open.
    virtual std::unique_ptr<FileSystem> FileLayer() const;

private:
    void Command1_Click(int index);
    void Command2_Click(int index);
    void Text1_Change(int index);
    void Form_Drop(int x, int y, const std::vector<std::string>& paths);
};

// The process-wide instance: created with its controls at the first call.
DatInstDigForm& frmDatInstDig();

}  // namespace talvoren
