// A window and its controls described as plain data, in twips: the tables in
// ui/ are written in these terms and the Win32 form runtime builds from them.
// No OS header here, so the tables can be checked without any window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace talvoren::winui {

enum class ControlKind { Label, TextBox, CommandButton, Picture, DriveList, DirList, FileList };

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

struct FontLook {
    std::string face;       // UTF-8
    int weight = 400;       // 700 is bold
    int centipoints = 900;  // 1425 is 14.25 pt
    int charset = 1;        // 128 is Shift-JIS
};

struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
};

constexpr int kNoTabIndex = -1;
constexpr int kNoIndex = -1;  // a control that is not part of a control array

struct ControlRow {
    std::string name;
    int index = kNoIndex;
    ControlKind kind = ControlKind::Label;
    TwipsRect rect;
    int tab_index = kNoTabIndex;
    std::string text;              // caption, design text, or a file list's pattern
    std::optional<FontLook> font;  // unset: the window's default font
    std::optional<Rgb> fore;
    std::optional<Rgb> back;  // unset: the dialog colour, or what lies beneath when transparent
    bool transparent = false;
    bool border = false;  // a single-line border
    bool visible = true;
    bool enabled = true;
    bool behind = false;       // drawn beneath every control that overlaps it
    int picture_resource = 0;  // a picture's bitmap resource (RT_BITMAP)

    // The builder: one setter a line.
    // clang-format off
    ControlRow& Font(FontLook f) { font = std::move(f); return *this; }
    ControlRow& Fore(Rgb c) { fore = c; return *this; }
    ControlRow& Back(Rgb c) { back = c; return *this; }
    ControlRow& Transparent() { transparent = true; return *this; }
    ControlRow& Border() { border = true; return *this; }
    ControlRow& Hidden() { visible = false; return *this; }
    ControlRow& Disabled() { enabled = false; return *this; }
    ControlRow& Behind() { behind = true; return *this; }
    ControlRow& PictureResource(int id) { picture_resource = id; return *this; }
    // clang-format on
};

inline ControlRow Row(ControlKind kind, std::string name, int index, TwipsRect rect, int tab_index,
                      std::string text = {}) {
    ControlRow row;
    row.name = std::move(name);
    row.index = index;
    row.kind = kind;
    row.rect = rect;
    row.tab_index = tab_index;
    row.text = std::move(text);
    return row;
}

enum class StartPosition { WindowsDefault, CenterScreen };

struct ControlRef {
    std::string name;
    int index = kNoIndex;
};

struct FormLayout {
    std::string caption;
    int client_width = 0;  // twips
    int client_height = 0;
    StartPosition position = StartPosition::WindowsDefault;
    bool in_taskbar = true;
    int icon_resource = 0;  // the title bar's and taskbar's icon (RT_GROUP_ICON); 0 for none
    // The title bar's close box clicks this button, so closing acts as it does.
    ControlRef close_clicks;
    std::vector<ControlRow> controls;
};

}  // namespace talvoren::winui
