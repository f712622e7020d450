// The driver's text on the terminal: UTF-8 in; on Windows a console gets it
// through the wide output, so any script shows whatever the code page.
#pragma once

#include <string>

namespace talvoren {

enum class ConsoleStream { Output, Error };

// Writes `text` (UTF-8, lines ended by '\n') to standard output or error.
void WriteConsoleText(ConsoleStream stream, const std::string& text);

// True when the stream goes to a terminal (a console on Windows), not to a
// file or a pipe.
bool IsTerminal(ConsoleStream stream);

}  // namespace talvoren
