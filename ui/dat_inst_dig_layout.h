// The main conversion window and its controls as designed, in twips.
#pragma once

#include "platform/winui/layout.h"

namespace talvoren {

const winui::FormLayout& DatInstDigLayout();

}  // namespace talvoren
