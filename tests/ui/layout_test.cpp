// The windows' layout tables checked without any window: the rules the
// runtime relies on (unique controls, one tab index each, sizes exact at 96
// DPI) and what the real windows can't show from outside (fonts, colours,
// states). Rectangles, texts and tab order are checked on the real windows.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <utility>

#include "app/resource_ids.h"
#include "platform/winui/layout.h"
#include "ui/choice_folder_layout.h"
#include "ui/dat_inst_dig_layout.h"

namespace talvoren {
namespace {

using winui::ControlKind;
using winui::FormLayout;

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

TEST(ChoiceFolderLayout, ControlsUseThePlatformsFontsAndColours) {
    for (const auto& control : ChoiceFolderLayout().controls) {
        EXPECT_FALSE(control.font || control.fore || control.back || control.transparent) << control.name;
    }
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

TEST(DatInstDigLayout, FontsColoursAndStatesAsDesigned) {
    const FormLayout& form = DatInstDigLayout();
    const winui::FontLook title{"ＭＳ Ｐゴシック", 700, 1425, 128};
    const winui::FontLook step{"ＭＳ Ｐゴシック", 700, 900, 128};
    struct Look {
        std::string name;
        int index;
        std::optional<winui::FontLook> font;
        std::optional<winui::Rgb> fore, back;
        bool transparent, border, visible, enabled, behind;
        int picture;
    };
    const winui::Rgb white{255, 255, 255}, red{255, 0, 0}, light_yellow{255, 255, 128};
    const Look looks[] = {
        {"Label1", winui::kNoIndex, {}, {}, white, false, false, true, true, true, 0},
        {"Label2", winui::kNoIndex, title, {}, {}, true, false, true, true, false, 0},
        {"Image1", winui::kNoIndex, {}, {}, {}, false, false, true, true, false, TALVOREN_IMAGE1_BITMAP},
        {"Label3", winui::kNoIndex, {}, {}, {}, true, false, true, true, false, 0},
        {"Label4", 0, {}, {}, {}, false, true, true, true, false, 0},
        {"Label5", 0, step, {}, {}, false, false, true, true, false, 0},
        {"Text1", 0, {}, {}, {}, false, false, true, true, false, 0},
        {"Command2", 0, {}, {}, {}, false, false, true, true, false, 0},
        {"Label5", 4, step, {}, {}, false, false, true, true, false, 0},
        {"Text1", 1, {}, {}, {}, false, false, true, true, false, 0},
        {"Command2", 1, {}, {}, {}, false, false, true, true, false, 0},
        {"Label9", winui::kNoIndex, step, red, light_yellow, false, false, true, true, false, 0},
        {"File1", winui::kNoIndex, {}, {}, {}, false, false, false, true, false, 0},
        {"Label4", 2, {}, {}, {}, false, true, true, true, false, 0},
        {"Command1", 0, {}, {}, {}, false, false, true, false, false, 0},
        {"Command1", 1, {}, {}, {}, false, false, true, true, false, 0},
    };
    auto same_font = [](const std::optional<winui::FontLook>& a, const std::optional<winui::FontLook>& b) {
        if (!a || !b) return !a && !b;
        return a->face == b->face && a->weight == b->weight && a->centipoints == b->centipoints &&
               a->charset == b->charset;
    };
    auto same_colour = [](const std::optional<winui::Rgb>& a, const std::optional<winui::Rgb>& b) {
        if (!a || !b) return !a && !b;
        return a->r == b->r && a->g == b->g && a->b == b->b;
    };
    for (const Look& look : looks) {
        SCOPED_TRACE(look.name + "(" + std::to_string(look.index) + ")");
        const winui::ControlRow* control = Find(form, look.name, look.index);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(same_font(control->font, look.font));
        EXPECT_TRUE(same_colour(control->fore, look.fore));
        EXPECT_TRUE(same_colour(control->back, look.back));
        EXPECT_EQ(control->transparent, look.transparent);
        EXPECT_EQ(control->border, look.border);
        EXPECT_EQ(control->visible, look.visible);
        EXPECT_EQ(control->enabled, look.enabled);
        EXPECT_EQ(control->behind, look.behind);
        EXPECT_EQ(control->picture_resource, look.picture);
    }
}

}  // namespace
}  // namespace talvoren
