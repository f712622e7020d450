// talvoren-convert on POSIX: the arguments are taken as UTF-8 bytes.
#include <vector>

#include "cli/console.h"
#include "cli/driver.h"
#include "platform/files/interrupt_cleanup.h"

int main(int argc, char** argv) {
    // The progress line goes too, so the shell's prompt starts on a clean line.
    talvoren::RemoveTemporaryFileOnInterrupt(talvoren::BlankColumnsOnInterrupt);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return talvoren::RunDriver(arguments, talvoren::WriteConsoleText,
                               talvoren::IsTerminal(talvoren::ConsoleStream::Error));
}
