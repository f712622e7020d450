#include "ui/dat_inst_dig_form.h"

#include <memory>

#include "core/failure.h"
#include "core/folder_run.h"
#include "core/run_messages.h"
#include "platform/file_drop_win32.h"
#include "platform/file_search_win32.h"
#include "platform/host_files.h"
#include "platform/message_box_win32.h"
#include "platform/wait_cursor_win32.h"
#include "ui/choice_folder_form.h"
#include "ui/dat_inst_dig_layout.h"
#include "ui/module1.h"

namespace talvoren {

DatInstDigForm::DatInstDigForm() : Form(DatInstDigLayout()), File1(Find<winui::FileListBox>("File1")) {
    OnClick("Command1", [this](int index) { Command1_Click(index); });
    OnClick("Command2", [this](int index) { Command2_Click(index); });
    OnChange("Text1", [this](int index) { Text1_Change(index); });
    OnDrop([this](int x, int y, const std::vector<std::string>& paths) { Form_Drop(x, y, paths); });
}

void DatInstDigForm::ConvTape() {
    const std::unique_ptr<FileSystem> files = MakeHostFileSystem();
    winui::MessageBoxSink message_box;
    ConvertFolder(Text1(0).Text(), Text1(1).Text(), File1, *files, message_box);
}

bool DatInstDigForm::ChkFile(const std::string& pattern) { return winui::AnyPlainFileMatches(pattern); }

// Run (0) or Cancel (1).
void DatInstDigForm::Command1_Click(int index) {
    if (index == 0) {
        // The texts are compared as they are: a trailing "\" or letter case
        // makes them different, and the run's own checks take it from there.
        if (Text1(0).Text() == Text1(1).Text()) {
            winui::MessageBoxSink().Show(IdenticalFoldersMessage());
            return;
        }
        try {
            const winui::WaitCursor wait;
            ConvTape();
        } catch (const ConvError& failure) {
            // Only the listing of the source folder fails before the run's own
            // error handling; its message belongs to the run's caller.
            winui::MessageBoxSink().Show(SourceUnreadableMessage(Text1(0).Text(), DescribeFailure(failure.failure())));
        }
    } else if (index == 1) {
        Hide();
        Unload();
    }
}

// Browse for the folder of Text1(index).
void DatInstDigForm::Command2_Click(int index) {
    frmChoiceFolder().Label1.SetCaption(index == 0 ? "旧バージョンのデータが入っている位置(フォルダー)を指定してください"
                                                   : "コンバートしたデータの保存先(フォルダー)を指定してください");
    frmChoiceFolder().Show(winui::kModal);
    if (!Module1::SelectedFolder.empty()) Text1(index).SetText(Module1::SelectedFolder);
}

// The run button is enabled exactly while both fields hold at least one character.
void DatInstDigForm::Text1_Change(int /*index*/) {
    Command1(0).SetEnabled(!Text1(0).Text().empty() && !Text1(1).Text().empty());
}

// A folder dropped on a field's row (its caption, the field and its browse
// button, across the window) fills the field as a confirmed browse would; a
// file fills the folder that holds it. Of several items the first counts.
void DatInstDigForm::Form_Drop(int /*x*/, int y, const std::vector<std::string>& paths) {
    for (int index : {0, 1}) {
        const winui::TwipsRect caption = Find<winui::Label>("Label5", index == 0 ? 0 : 4).Spec().rect;
        const winui::TwipsRect button = Command2(index).Spec().rect;
        if (y < caption.top || y >= button.top + button.height || paths.empty()) continue;
        const std::string folder = winui::FolderOfDroppedItem(paths.front());
        if (!folder.empty()) Text1(index).SetText(folder);
    }
}

DatInstDigForm& frmDatInstDig() {
    static std::unique_ptr<DatInstDigForm> instance;
    if (!instance || !instance->IsLoaded()) instance = std::make_unique<DatInstDigForm>();
    return *instance;
}

}  // namespace talvoren
