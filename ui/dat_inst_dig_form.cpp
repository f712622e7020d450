#include "ui/dat_inst_dig_form.h"

#include <memory>
#include <vector>

#include "core/run/conversion_run.h"
#include "platform/files/host_files.h"
#include "platform/winui/background_run_win32.h"
#include "platform/winui/file_drop_win32.h"
#include "platform/winui/file_search_win32.h"
#include "platform/winui/message_box_win32.h"
#include "ui/choice_folder_form.h"
#include "ui/dat_inst_dig_layout.h"
#include "ui/module1.h"

namespace talvoren {
namespace {

// What Windows shows a user who logs off or shuts down during a run.
constexpr char kRunHoldsSession[] = "放送データを変換しています。完了までお待ちください。";

// The run's messages, kept as the worker thread gives them and shown on the
// window's thread once the run has ended.
class HeldMessages final : public MessageSink {
public:
    void Show(const RunMessage& message) override { held_.push_back(message); }
    void ShowOn(MessageSink& sink) const {
        for (const RunMessage& message : held_) sink.Show(message);
    }

private:
    std::vector<RunMessage> held_;
};

}  // namespace

DatInstDigForm::DatInstDigForm() : Form(DatInstDigLayout()), File1(Find<winui::FileListBox>("File1")) {
    OnClick("Command1", [this](int index) { Command1_Click(index); });
    OnClick("Command2", [this](int index) { Command2_Click(index); });
    OnChange("Text1", [this](int index) { Text1_Change(index); });
    OnDrop([this](int x, int y, const std::vector<std::string>& paths) { Form_Drop(x, y, paths); });
}

void DatInstDigForm::ConvTape() {
    // Read once, here: the worker never reaches the window's controls.
    const std::string source = Text1(0).Text();
    const std::string destination = Text1(1).Text();
    const std::unique_ptr<FileList> names = MakeHostFileList();
    const std::unique_ptr<FileSystem> files = FileLayer();
    HeldMessages messages;
    winui::RunInBackground(Handle(), kRunHoldsSession, [&](RunProgress& progress) {
        RunConversion(source, destination, *names, *files, messages, progress);
    });
    // Another program may have set a field during the run, whose Change the
    // window refused with the rest of its input.
    Text1_Change(0);
    File1.ShowNames(*names);
    winui::MessageBoxSink message_box(Handle());
    messages.ShowOn(message_box);
}

std::unique_ptr<FileSystem> DatInstDigForm::FileLayer() const { return MakeHostFileSystem(); }

bool DatInstDigForm::ChkFile(const std::string& pattern) { return winui::AnyPlainFileMatches(pattern); }

// Run (0) or Cancel (1).
void DatInstDigForm::Command1_Click(int index) {
    if (index == 0) {
        ConvTape();
    } else if (index == 1) {
        Hide();
        Unload();
    }
}

// Browse for the folder of Text1(index).
void DatInstDigForm::Command2_Click(int index) {
    frmChoiceFolder().Label1.SetCaption(index == 0
                                            ? "旧バージョンのデータが入っている位置(フォルダー)を指定してください"
                                            : "コンバートしたデータの保存先(フォルダー)を指定してください");
    frmChoiceFolder().Show(winui::Modality::Modal);
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
        const winui::TwipsRect caption = Find<winui::Label>("Label5", index == 0 ? 0 : 4).LayoutRow().rect;
        const winui::TwipsRect button = Command2(index).LayoutRow().rect;
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
