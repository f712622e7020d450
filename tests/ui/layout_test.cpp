// The windows' layout tables checked without any window: every row as
// designed, and the rules the runtime relies on (unique controls, one tab
// index each, sizes exact at 96 DPI).
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/layout.h"
#include "ui/choice_folder_layout.h"

namespace talvoren {
namespace {

using winui::ControlKind;
using winui::FormSpec;

struct Row {
    std::string name;
    int index;
    ControlKind kind;
    winui::TwipsRect rect;
    int tab_index;
    std::string text;
};

const winui::ControlSpec* Find(const FormSpec& form, const std::string& name, int index) {
    for (const auto& control : form.controls) {
        if (control.name == name && control.index == index) return &control;
    }
    return nullptr;
}

void ExpectRows(const FormSpec& form, const std::vector<Row>& rows) {
    EXPECT_EQ(form.controls.size(), rows.size());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name + "(" + std::to_string(row.index) + ")");
        const winui::ControlSpec* control = Find(form, row.name, row.index);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->kind, row.kind);
        EXPECT_EQ(control->rect.left, row.rect.left);
        EXPECT_EQ(control->rect.top, row.rect.top);
        EXPECT_EQ(control->rect.width, row.rect.width);
        EXPECT_EQ(control->rect.height, row.rect.height);
        EXPECT_EQ(control->tab_index, row.tab_index);
        EXPECT_EQ(control->text, row.text);
    }
}

// What the runtime needs of any table: each control once, each tab index
// once, and twips that are whole pixels at 96 DPI.
void ExpectSound(const FormSpec& form) {
    std::set<std::pair<std::string, int>> controls;
    std::set<int> tab_indices;
    EXPECT_EQ(form.client_width % 15, 0);
    EXPECT_EQ(form.client_height % 15, 0);
    for (const auto& control : form.controls) {
        EXPECT_TRUE(controls.insert({control.name, control.index}).second) << "twice: " << control.name;
        if (control.tab_index != winui::kNoTabIndex) {
            EXPECT_TRUE(tab_indices.insert(control.tab_index).second) << "tab index twice: " << control.tab_index;
        }
        for (int value : {control.rect.left, control.rect.top, control.rect.width, control.rect.height}) {
            EXPECT_EQ(value % 15, 0) << control.name << " is not whole pixels at 96 DPI";
        }
    }
    if (!form.close_clicks.name.empty()) {
        const auto* close = Find(form, form.close_clicks.name, form.close_clicks.index);
        ASSERT_NE(close, nullptr) << "the close box clicks a missing button";
        EXPECT_EQ(close->kind, ControlKind::CommandButton);
    }
}

TEST(ChoiceFolderLayout, WindowAsDesigned) {
    const FormSpec& form = ChoiceFolderLayout();
    EXPECT_EQ(form.caption, "フォルダーの選択");
    EXPECT_EQ(form.client_width, 5220);
    EXPECT_EQ(form.client_height, 4470);
    EXPECT_EQ(form.position, winui::StartPosition::WindowsDefault);
    EXPECT_EQ(form.close_clicks.name, "Command1") << "closing acts as Cancel";
    EXPECT_EQ(form.close_clicks.index, 1);
    ExpectSound(form);
}

TEST(ChoiceFolderLayout, ControlsAsDesignedWithThePlatformsFontsAndColours) {
    const FormSpec& form = ChoiceFolderLayout();
    ExpectRows(form, {
        {"Label1", winui::kNoIndex, ControlKind::Label, {120, 195, 4695, 210}, 3,
         "インストールしたいデータのあるフォルダーを選択してください"},
        {"Drive1", winui::kNoIndex, ControlKind::DriveList, {105, 540, 5025, 300}, 0, ""},
        {"Dir1", winui::kNoIndex, ControlKind::DirList, {105, 915, 4995, 3030}, 1, ""},
        {"Command1", 0, ControlKind::CommandButton, {2580, 4050, 1215, 330}, 2, "OK"},
        {"Command1", 1, ControlKind::CommandButton, {3885, 4050, 1215, 330}, 4, "キャンセル"},
    });
    for (const auto& control : form.controls) {
        EXPECT_FALSE(control.font || control.fore || control.back || control.transparent) << control.name;
    }
}

}  // namespace
}  // namespace talvoren
