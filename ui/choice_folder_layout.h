// The folder chooser's window and controls as designed, in twips.
#pragma once

#include "platform/layout.h"

namespace talvoren {

const winui::FormSpec& ChoiceFolderLayout();

}  // namespace talvoren
