// Ends as the window does when a Windows session ends during a run: three
// finished replacements wait for their names and a fourth is being written
// in the folder given ("0Tp.csv" to "3Tp.csv"); it removes the pending
// temporary files and ends the process at once.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/files/host_files.h"
#include "platform/files/interrupt_cleanup.h"
#include "platform/win32/wide_text.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 64;
    const std::string folder = talvoren::Narrow(argv[1]) + "\\";
    const auto fs = talvoren::MakeHostFileSystem();
    std::vector<std::unique_ptr<talvoren::OutputFile>> outputs;
    for (int i = 0; i < 4; ++i) {
        outputs.push_back(fs->CreateReplacement(folder + std::to_string(i) + "Tp.csv", [](const talvoren::FileId&) {}));
        outputs.back()->Write("new", 3);
        if (i < 3) outputs.back()->Finish();
    }
    talvoren::RemovePendingTemporaryFiles();
    ExitProcess(STATUS_CONTROL_C_EXIT);
}
