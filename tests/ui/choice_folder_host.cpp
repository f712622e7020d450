// Test host of the folder chooser: shows it modally the given number of times
// (default 1), each time with a numbered instruction line, and prints
// SelectedFolder after each showing as a UTF-8 line "SelectedFolder=<value>".
// A second argument is a folder made current first, for folders too deep to
// be given to a new process as its current one.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "platform/winui/message_loop_win32.h"
#include "ui/choice_folder_form.h"
#include "ui/module1.h"

int wmain(int argc, wchar_t** argv) {
    using namespace talvoren;
    const int showings = argc > 1 ? _wtoi(argv[1]) : 1;
    if (argc > 2 && !SetCurrentDirectoryW(argv[2])) {
        std::fprintf(stderr, "SetCurrentDirectoryW: %lu\n", GetLastError());
        return 1;
    }
    _setmode(_fileno(stdout), _O_BINARY);  // lines end in "\n" alone
    winui::StartRuntime();
    for (int showing = 1; showing <= showings; ++showing) {
        frmChoiceFolder().Label1.SetCaption("テスト用の指示 " + std::to_string(showing));
        frmChoiceFolder().Show(winui::Modality::Modal);
        const std::string line = "SelectedFolder=" + Module1::SelectedFolder + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fflush(stdout);
    }
    return 0;
}
