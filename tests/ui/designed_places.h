// Where the window tests expect a form and its controls: taken from the
// product's layout table (layout_test holds the table against the design)
// through the runtime's twips conversion, so the pixels are not typed again.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

#include "platform/winui/layout.h"
#include "platform/winui/twips.h"

namespace talvoren::gui {

// A rectangle of the table in pixels at 96 DPI; Scaled() takes it to the display's.
inline RECT PlaceAt96(const winui::TwipsRect& twips) {
    const winui::PixelRect pixels = winui::ToPixels(twips, 96);
    return {pixels.left, pixels.top, pixels.left + pixels.width, pixels.top + pixels.height};
}

inline RECT ClientAt96(const winui::FormLayout& form) {
    return PlaceAt96({0, 0, form.client_width, form.client_height});
}

inline const winui::ControlRow& RowOf(const winui::FormLayout& form, const std::string& name,
                                      int index = winui::kNoIndex) {
    for (const winui::ControlRow& row : form.controls) {
        if (row.name == name && row.index == index) return row;
    }
    throw std::logic_error("no row " + name + " in " + form.caption);
}

}  // namespace talvoren::gui
