// The folder chooser's window and controls as designed, in twips.
#pragma once

#include "platform/winui/layout.h"

namespace talvoren {

const winui::FormLayout& ChoiceFolderLayout();

}  // namespace talvoren
