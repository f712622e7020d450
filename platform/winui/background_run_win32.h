// A long run of work on a worker thread while its window stays responsive.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "core/run/run_progress.h"

namespace talvoren::winui {

// Runs `work` on a worker thread and dispatches this thread's messages until
// it ends. Meanwhile `window` keeps painting and answering the system but
// takes no input, as a window behind a modal box (no typing, no clicks, the
// close box and Alt+F4 do nothing); the pointer over it is the wait cursor,
// and once the work has lasted about a second its taskbar button shows the
// share of files done that `work` reports. Returns with the window taking
// input again, the arrow over it and the button without progress; a failure
// of `work` is rethrown here, on the window's thread.
//
// A logoff or shutdown meanwhile is held: Windows shows the user `why`, a
// short sentence, and lets them end the session anyway. If the session ends
// all the same, the file layer's unfinished temporary files are removed and
// the process ends at once, with STATUS_CONTROL_C_EXIT as the driver does.
//
// A run started on the same window while another goes (by a message the
// outer one dispatches) leaves the window as the outer run made it.
//
// `work` must not touch the window's controls except by messages, which this
// thread handles while it waits.
void RunInBackground(HWND window, const std::string& why, const std::function<void(RunProgress&)>& work);

}  // namespace talvoren::winui
