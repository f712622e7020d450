#include "platform/winui/twips.h"

#include <cstdint>

namespace talvoren::winui {

int TwipsToPixels(int twips, int dpi) {
    const std::int64_t scaled = std::int64_t{twips} * dpi;
    const std::int64_t half = scaled < 0 ? -720 : 720;
    return static_cast<int>((scaled + half) / 1440);
}

int PixelsToTwips(int pixels, int dpi) {
    const std::int64_t scaled = std::int64_t{pixels} * 1440;
    const std::int64_t half = (scaled < 0 ? -dpi : dpi) / 2;
    return static_cast<int>((scaled + half) / dpi);
}

PixelRect ToPixels(const TwipsRect& rect, int dpi) {
    const int left = TwipsToPixels(rect.left, dpi);
    const int top = TwipsToPixels(rect.top, dpi);
    return {left, top, TwipsToPixels(rect.left + rect.width, dpi) - left,
            TwipsToPixels(rect.top + rect.height, dpi) - top};
}

}  // namespace talvoren::winui
