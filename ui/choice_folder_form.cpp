#include "ui/choice_folder_form.h"

#include <memory>

#include "platform/winui/app_path_win32.h"
#include "platform/winui/windows_error_win32.h"
#include "ui/choice_folder_layout.h"
#include "ui/module1.h"

namespace talvoren {

ChoiceFolderForm::ChoiceFolderForm()
    : Form(ChoiceFolderLayout()),
      Label1(Find<winui::Label>("Label1")),
      Drive1(Find<winui::DriveListBox>("Drive1")),
      Dir1(Find<winui::DirListBox>("Dir1")) {
    OnClick("Command1", [this](int index) { Command1_Click(index); });
    OnChange("Drive1", [this](int index) { Drive1_Change(index); });
}

// OK answers the open directory, not a merely highlighted entry; Cancel
// answers nothing. Either way the chooser hides, which ends its modal showing.
void ChoiceFolderForm::Command1_Click(int index) {
    Module1::SelectedFolder = index == 0 ? Dir1.Path() : std::string();
    Hide();
}

void ChoiceFolderForm::Drive1_Change(int /*index*/) {
    try {
        Dir1.SetPath(Drive1.Drive());
        Dir1.Refresh();
    } catch (const winui::WindowsError&) {
        // The nested run of the fallback below reports its failure to it.
        if (falling_back_) throw;
        // A drive whose medium can't be read: back to the program's own drive,
        // without a message. Selecting it raises Change again, and that nested
        // run moves the directory list there.
        falling_back_ = true;
        try {
            Drive1.SetDrive(winui::AppPath().substr(0, 2));
            Dir1.Refresh();
        } catch (const winui::WindowsError&) {
            // The program's own drive can't serve either: both lists stay
            // where they were, the drive list back on the open directory's drive.
            Drive1.ShowDriveOf(Dir1.Path());
        }
        falling_back_ = false;
    }
}

ChoiceFolderForm& frmChoiceFolder() {
    static std::unique_ptr<ChoiceFolderForm> instance;
    if (!instance || !instance->IsLoaded()) instance = std::make_unique<ChoiceFolderForm>();
    return *instance;
}

}  // namespace talvoren
