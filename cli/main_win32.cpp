// talvoren-convert on Windows: wide arguments, so folder names in any script
// arrive intact, converted to the program's UTF-8.
#include <vector>

#include "cli/driver.h"
#include "platform/files/interrupt_cleanup.h"
#include "platform/win32/wide_text.h"

int wmain(int argc, wchar_t** argv) {
    talvoren::RemoveTemporaryFileOnInterrupt();
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(talvoren::Narrow(argv[i]));
    return talvoren::RunDriver(arguments, talvoren::WriteConsoleText,
                               talvoren::IsTerminal(talvoren::ConsoleStream::Error));
}
