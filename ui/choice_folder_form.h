// frmChoiceFolder: the modal folder chooser. One per process, created at the
// first access and afterwards only hidden, so each showing starts where the
// last one was left. Its answer is left in Module1::SelectedFolder.
#pragma once

#include "platform/winui/dir_list_win32.h"
#include "platform/winui/drive_list_win32.h"
#include "platform/winui/form_win32.h"

namespace talvoren {

class ChoiceFolderForm : public winui::Form {
public:
    ChoiceFolderForm();

    winui::Label& Label1;
    winui::DriveListBox& Drive1;
    winui::DirListBox& Dir1;
    winui::CommandButton& Command1(int index) const { return Find<winui::CommandButton>("Command1", index); }

private:
    void Command1_Click(int index);
    void Drive1_Change(int index);

    bool falling_back_ = false;  // inside the drive change's fallback to the program's drive
};

// The process-wide instance: created with its controls at the first call.
ChoiceFolderForm& frmChoiceFolder();

}  // namespace talvoren
