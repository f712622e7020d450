// Terminal output on POSIX: the UTF-8 bytes as they are.
#include "platform/files/console.h"

#include <unistd.h>

#include <cstdio>

namespace talvoren {

void WriteConsoleText(ConsoleStream stream, const std::string& text) {
    std::FILE* file = stream == ConsoleStream::Output ? stdout : stderr;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
}

bool IsTerminal(ConsoleStream stream) {
    return isatty(stream == ConsoleStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

}  // namespace talvoren
