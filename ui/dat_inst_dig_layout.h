// The main conversion window and its controls as designed, in twips.
#pragma once

#include "platform/layout.h"

namespace talvoren {

// The picture of Image1: a bitmap resource (RT_BITMAP) of the executable.
constexpr int kImage1Bitmap = 101;

const winui::FormSpec& DatInstDigLayout();

}  // namespace talvoren
