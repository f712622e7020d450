// talvoren-convert on Windows: wide arguments, so folder names in any script
// arrive intact, converted to the program's UTF-8.
#include <vector>

#include "cli/console.h"
#include "cli/driver.h"
#include "platform/files/interrupt_cleanup.h"
#include "platform/win32/wide_text.h"

int wmain(int argc, wchar_t** argv) {
    // The progress line goes too, so the shell's prompt starts on a clean line.
    talvoren::RemoveTemporaryFileOnInterrupt(talvoren::BlankColumnsOnInterrupt);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(talvoren::Narrow(argv[i]));
    return talvoren::RunDriver(arguments, talvoren::WriteConsoleText,
                               talvoren::IsTerminal(talvoren::ConsoleStream::Error));
}
