// The program's own folder, as the chooser's drive fallback needs it.
#pragma once

#include <string>

namespace talvoren::winui {

// The folder of the running executable, drive letter and colon first; it ends
// in "\" only at a drive's root.
std::string AppPath();

}  // namespace talvoren::winui
