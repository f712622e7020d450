// The program's message loops: the outer one of the application and the
// nested ones of modal windows share this pump.
#pragma once

#include <functional>

namespace talvoren::winui {

// Dispatches the thread's messages until `done` holds, checking it before
// each wait. A form's keyboard input goes through the dialog manager first
// (Tab and Shift+Tab, access keys). WM_QUIT ends the pump and is posted again
// for the loop outside; the result is then false.
bool PumpMessagesUntil(const std::function<bool()>& done);

// Prepares the runtime on this thread: common controls, and no system prompt
// for a drive without a medium (the drive list handles that itself).
void StartRuntime();

}  // namespace talvoren::winui
