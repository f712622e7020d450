// Twips (1/1440 inch) and pixels at a window's DPI: 15 twips to the pixel at 96 DPI.
#pragma once

#include "platform/winui/layout.h"

namespace talvoren::winui {

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const PixelRect& a, const PixelRect& b) {
        return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
    }
};

// twips × dpi / 1440, rounded to the nearest pixel, halves away from zero.
int TwipsToPixels(int twips, int dpi);

// The other way, for a point the system gives in pixels: pixels × 1440 / dpi,
// rounded likewise.
int PixelsToTwips(int pixels, int dpi);

// Converts the edges rather than the sizes, so controls that touch in twips
// still touch in pixels at any DPI.
PixelRect ToPixels(const TwipsRect& rect, int dpi);

}  // namespace talvoren::winui
