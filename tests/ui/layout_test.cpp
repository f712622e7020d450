// The windows' layout tables checked without any window: the rules the
// runtime relies on (unique controls, one tab index each, sizes exact at 96
// DPI), and every row against the design, written here once. The window
// tests take their rectangles and texts from the product's tables, so a
// mistyped value there is caught here; they check that the windows show
// what the tables say.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/resource_ids.h"
#include "platform/winui/layout.h"
#include "ui/choice_folder_layout.h"
#include "ui/dat_inst_dig_layout.h"

namespace talvoren {
namespace {

using winui::ControlKind;
using winui::ControlRow;
using winui::FormLayout;
using winui::kNoIndex;
using winui::kNoTabIndex;
using winui::Row;

const winui::ControlRow* Find(const FormLayout& form, const std::string& name, int index) {
    for (const auto& control : form.controls) {
        if (control.name == name && control.index == index) return &control;
    }
    return nullptr;
}

// What the runtime needs of any table: each control once, each tab index
// once, and twips that are whole pixels at 96 DPI.
void ExpectSound(const FormLayout& form) {
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

bool Same(const std::optional<winui::FontLook>& a, const std::optional<winui::FontLook>& b) {
    if (!a || !b) return !a && !b;
    return a->face == b->face && a->weight == b->weight && a->centipoints == b->centipoints && a->charset == b->charset;
}

bool Same(const std::optional<winui::Rgb>& a, const std::optional<winui::Rgb>& b) {
    if (!a || !b) return !a && !b;
    return a->r == b->r && a->g == b->g && a->b == b->b;
}

// Every control of `form` as `designed` has it, and no other.
void ExpectControlsAsDesigned(const FormLayout& form, const std::vector<ControlRow>& designed) {
    EXPECT_EQ(form.controls.size(), designed.size());
    for (const ControlRow& want : designed) {
        SCOPED_TRACE(want.name + "(" + std::to_string(want.index) + ")");
        const ControlRow* row = Find(form, want.name, want.index);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->kind, want.kind);
        EXPECT_EQ(row->rect.left, want.rect.left);
        EXPECT_EQ(row->rect.top, want.rect.top);
        EXPECT_EQ(row->rect.width, want.rect.width);
        EXPECT_EQ(row->rect.height, want.rect.height);
        EXPECT_EQ(row->tab_index, want.tab_index);
        EXPECT_EQ(row->text, want.text);
        EXPECT_TRUE(Same(row->font, want.font)) << "font";
        EXPECT_TRUE(Same(row->fore, want.fore)) << "text colour";
        EXPECT_TRUE(Same(row->back, want.back)) << "back colour";
        EXPECT_EQ(row->transparent, want.transparent);
        EXPECT_EQ(row->border, want.border);
        EXPECT_EQ(row->visible, want.visible);
        EXPECT_EQ(row->enabled, want.enabled);
        EXPECT_EQ(row->behind, want.behind);
        EXPECT_EQ(row->picture_resource, want.picture_resource);
    }
}

TEST(ChoiceFolderLayout, WindowAsDesigned) {
    const FormLayout& form = ChoiceFolderLayout();
    EXPECT_EQ(form.caption, "フォルダーの選択");
    EXPECT_EQ(form.client_width, 5220);
    EXPECT_EQ(form.client_height, 4470);
    EXPECT_EQ(form.position, winui::StartPosition::WindowsDefault);
    EXPECT_EQ(form.icon_resource, TALVOREN_ICON_GROUP);
    EXPECT_EQ(form.close_clicks.name, "Command1") << "closing acts as Cancel";
    EXPECT_EQ(form.close_clicks.index, 1);
    ExpectSound(form);
}

// The platform's fonts and colours throughout.
TEST(ChoiceFolderLayout, ControlsAsDesigned) {
    ExpectControlsAsDesigned(
        ChoiceFolderLayout(),
        {
            Row(ControlKind::Label, "Label1", kNoIndex, {120, 195, 4695, 210}, 3,
                "インストールしたいデータのあるフォルダーを選択してください"),
            Row(ControlKind::DriveList, "Drive1", kNoIndex, {105, 540, 5025, 300}, 0),
            Row(ControlKind::DirList, "Dir1", kNoIndex, {105, 915, 4995, 3030}, 1),
            Row(ControlKind::CommandButton, "Command1", 0, {2580, 4050, 1215, 330}, 2, "OK"),
            Row(ControlKind::CommandButton, "Command1", 1, {3885, 4050, 1215, 330}, 4, "キャンセル"),
        });
}

TEST(DatInstDigLayout, WindowAsDesigned) {
    const FormLayout& form = DatInstDigLayout();
    EXPECT_EQ(form.caption, "放送データバージョンUPコンバータ");
    EXPECT_EQ(form.client_width, 9780);
    EXPECT_EQ(form.client_height, 4305);
    EXPECT_EQ(form.position, winui::StartPosition::CenterScreen);
    EXPECT_TRUE(form.in_taskbar);
    EXPECT_EQ(form.icon_resource, TALVOREN_ICON_GROUP);
    EXPECT_EQ(form.close_clicks.name, "Command1") << "closing acts as Cancel";
    EXPECT_EQ(form.close_clicks.index, 1);
    ExpectSound(form);
}

TEST(DatInstDigLayout, ControlsAsDesigned) {
    const winui::FontLook title{"ＭＳ Ｐゴシック", 700, 1425, 128};
    const winui::FontLook step{"ＭＳ Ｐゴシック", 700, 900, 128};
    const winui::Rgb white{255, 255, 255}, red{255, 0, 0}, light_yellow{255, 255, 128};
    ExpectControlsAsDesigned(
        DatInstDigLayout(),
        {
            Row(ControlKind::Label, "Label1", kNoIndex, {-30, -15, 9765, 885}, 0).Back(white).Behind(),
            Row(ControlKind::Label, "Label2", kNoIndex, {150, 75, 4755, 330}, 1, "放送データバージョンUPコンバータ")
                .Font(title)
                .Transparent(),
            Row(ControlKind::Picture, "Image1", kNoIndex, {8805, -30, 975, 930}, kNoTabIndex)
                .PictureResource(TALVOREN_IMAGE1_BITMAP),
            Row(ControlKind::Label, "Label3", kNoIndex, {420, 525, 8280, 285}, 2,
                "運賃表示器アプリの旧バージョンの放送データをVer4用の放送データへまとめてコンバートします。")
                .Transparent(),
            Row(ControlKind::Label, "Label4", 0, {0, 870, 9765, 45}, 3).Border(),
            Row(ControlKind::Label, "Label5", 0, {375, 1365, 7620, 240}, 8,
                "１．旧バージョンの放送データ(*.Tp.csv)が入っている位置(フォルダー)を指定してください")
                .Font(step),
            Row(ControlKind::TextBox, "Text1", 0, {525, 1635, 7530, 315}, 5),
            Row(ControlKind::CommandButton, "Command2", 0, {8115, 1650, 1050, 330}, 10, "参照(&B)"),
            Row(ControlKind::Label, "Label5", 4, {360, 2265, 6165, 240}, 7,
                "２．コンバートした放送データの保存先(フォルダー)を指定してください")
                .Font(step),
            Row(ControlKind::TextBox, "Text1", 1, {525, 2535, 7530, 315}, 4),
            Row(ControlKind::CommandButton, "Command2", 1, {8115, 2550, 1050, 330}, 9, "参照(&B)"),
            Row(ControlKind::Label, "Label9", kNoIndex, {540, 2955, 8775, 225}, 6,
                "※コンバート先のフォルダーに同じファイル名が存在する場合には、上書きされますのでご注意ください。")
                .Font(step)
                .Fore(red)
                .Back(light_yellow),
            Row(ControlKind::FileList, "File1", kNoIndex, {225, 3315, 2100, 270}, 14, "*Tp.csv").Hidden(),
            Row(ControlKind::Label, "Label4", 2, {-30, 3720, 9780, 45}, 13).Border(),
            Row(ControlKind::CommandButton, "Command1", 0, {6705, 3840, 1140, 375}, 12, "変換実行").Disabled(),
            Row(ControlKind::CommandButton, "Command1", 1, {7965, 3840, 1140, 375}, 11, "キャンセル"),
        });
}

}  // namespace
}  // namespace talvoren
