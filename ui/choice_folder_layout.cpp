#include "ui/choice_folder_layout.h"

#include "app/resource_ids.h"

namespace talvoren {

using winui::ControlKind;
using winui::kNoIndex;
using winui::Row;

const winui::FormLayout& ChoiceFolderLayout() {
    static const winui::FormLayout layout = [] {
        winui::FormLayout form;
        form.caption = "フォルダーの選択";
        form.client_width = 5220;
        form.client_height = 4470;
        form.position = winui::StartPosition::WindowsDefault;
        form.in_taskbar = false;
        form.icon_resource = TALVOREN_ICON_GROUP;
        form.close_clicks = {"Command1", 1};  // the close box acts as Cancel
        form.controls = {
            // The caller replaces this design text before every showing.
            Row(ControlKind::Label, "Label1", kNoIndex, {120, 195, 4695, 210}, 3,
                "インストールしたいデータのあるフォルダーを選択してください"),
            Row(ControlKind::DriveList, "Drive1", kNoIndex, {105, 540, 5025, 300}, 0),
            Row(ControlKind::DirList, "Dir1", kNoIndex, {105, 915, 4995, 3030}, 1),
            Row(ControlKind::CommandButton, "Command1", 0, {2580, 4050, 1215, 330}, 2, "OK"),
            Row(ControlKind::CommandButton, "Command1", 1, {3885, 4050, 1215, 330}, 4, "キャンセル"),
        };
        return form;
    }();
    return layout;
}

}  // namespace talvoren
