// Twips to pixels and back: exact at 96 DPI, rounded to the nearest pixel elsewhere,
// and edges that touch in twips still touch in pixels.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/winui/twips.h"

namespace talvoren::winui {
namespace {

TEST(Twips, ConvertToPixelsAtTheWindowsDpi) {
    struct Case {
        int twips, dpi, pixels;
    };
    const Case cases[] = {
        {0, 96, 0},    {15, 96, 1},    {9780, 96, 652},  {4305, 96, 287},  {-30, 96, -2},
        {-15, 96, -1}, {7, 96, 0},     {8, 96, 1},       {-7, 96, 0},      {-8, 96, -1},
        {15, 144, 2},  {-15, 144, -2}, {1440, 144, 144}, {5220, 120, 435}, {4470, 192, 596},
        {1, 1440, 1},  {975, 96, 65},  {930, 96, 62},    {45, 96, 3},      {1425, 168, 166},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi << " DPI";
    }
}

// Where a drop lands: the system gives pixels, the handlers take twips.
TEST(Twips, PixelsConvertToTwipsRoundedToTheNearest) {
    struct Case {
        int pixels, dpi, twips;
    };
    const Case cases[] = {
        {652, 96, 9780}, {-2, 96, -30}, {435, 120, 5220}, {7, 168, 60},
        {1, 168, 9},     {-1, 168, -9}, {1, 192, 8},      {-1, 192, -8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PixelsToTwips(c.pixels, c.dpi), c.twips) << c.pixels << " pixels at " << c.dpi << " DPI";
    }
}

TEST(Twips, LargeValuesDoNotOverflow) {
    EXPECT_EQ(TwipsToPixels(2'000'000'000, 1440), 2'000'000'000);
    EXPECT_EQ(TwipsToPixels(-2'000'000'000, 720), -1'000'000'000);
}

TEST(Twips, RectanglesConvertTheirEdgesSoNeighboursStillTouch) {
    for (int dpi : {96, 120, 144, 168, 192, 288}) {
        const PixelRect left = ToPixels({0, 0, 1005, 330}, dpi);
        const PixelRect right = ToPixels({1005, 0, 1005, 330}, dpi);
        EXPECT_EQ(left.left + left.width, right.left) << dpi;
        EXPECT_LE(std::abs(left.width - right.width), 1) << dpi;
    }
    EXPECT_EQ(ToPixels({-30, -15, 9765, 885}, 96), (PixelRect{-2, -1, 651, 59}));
    EXPECT_EQ(ToPixels({105, 915, 4995, 3030}, 144), (PixelRect{11, 92, 499, 303}));
}

}  // namespace
}  // namespace talvoren::winui
