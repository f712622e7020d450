// Talvoren.exe: starts the windowing runtime, shows the main window centred
// on the screen and dispatches events until the main window is unloaded.
#include <windows.h>

#include <exception>

#include "platform/winui/message_box_win32.h"
#include "platform/winui/message_loop_win32.h"
#include "ui/dat_inst_dig_form.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace talvoren;
    winui::StartRuntime();
    try {
        // The folder chooser is created by the first browse, not here; it is
        // released with the process once the main window has been unloaded.
        return winui::RunUntilUnloaded(frmDatInstDig());
    } catch (const std::exception& failure) {
        // The main window could not be made (its picture or a control missing).
        winui::ReportFailure(failure);
        return 1;
    }
}
