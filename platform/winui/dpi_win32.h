// The DPI a window is shown at, on systems with and without per-monitor DPI.
#pragma once

#include <windows.h>

namespace talvoren::winui {

int WindowDpi(HWND window);

}  // namespace talvoren::winui
