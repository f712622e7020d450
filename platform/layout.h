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

struct FontSpec {
    std::string face;  // UTF-8
    int weight = 400;  // 700 is bold
    int centipoints = 900;  // 1425 is 14.25 pt
    int charset = 1;  // 128 is Shift-JIS
};

struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
};

constexpr int kNoTabIndex = -1;
constexpr int kNoIndex = -1;  // a control that is not part of a control array

struct ControlSpec {
    std::string name;
    int index = kNoIndex;
    ControlKind kind = ControlKind::Label;
    TwipsRect rect;
    int tab_index = kNoTabIndex;
    std::string text;  // caption, design text, or a file list's pattern
    std::optional<FontSpec> font;  // unset: the window's default font
    std::optional<Rgb> fore;
    std::optional<Rgb> back;  // unset: the dialog colour, or what lies beneath when transparent
    bool transparent = false;
    bool border = false;  // a single-line border
    bool visible = true;
    bool enabled = true;
    bool behind = false;  // drawn beneath every control that overlaps it
    int picture_resource = 0;  // a picture's bitmap resource (RT_BITMAP)

    ControlSpec& Font(FontSpec f) { font = std::move(f); return *this; }
    ControlSpec& Fore(Rgb c) { fore = c; return *this; }
    ControlSpec& Back(Rgb c) { back = c; return *this; }
    ControlSpec& Transparent() { transparent = true; return *this; }
    ControlSpec& Border() { border = true; return *this; }
    ControlSpec& Hidden() { visible = false; return *this; }
    ControlSpec& Disabled() { enabled = false; return *this; }
    ControlSpec& Behind() { behind = true; return *this; }
    ControlSpec& PictureResource(int id) { picture_resource = id; return *this; }
};

inline ControlSpec Row(ControlKind kind, std::string name, int index, TwipsRect rect,
                       int tab_index, std::string text = {}) {
    ControlSpec spec;
    spec.name = std::move(name);
    spec.index = index;
    spec.kind = kind;
    spec.rect = rect;
    spec.tab_index = tab_index;
    spec.text = std::move(text);
    return spec;
}

enum class StartPosition { WindowsDefault, CenterScreen };

struct ControlRef {
    std::string name;
    int index = kNoIndex;
};

struct FormSpec {
    std::string caption;
    int client_width = 0;  // twips
    int client_height = 0;
    StartPosition position = StartPosition::WindowsDefault;
    bool in_taskbar = true;
    // The title bar's close box clicks this button, so closing acts as it does.
    ControlRef close_clicks;
    std::vector<ControlSpec> controls;
};

}  // namespace talvoren::winui
