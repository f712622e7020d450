// The driver's text on the terminal: UTF-8 in; on Windows a console gets it
// through the wide output, so any script shows whatever the code page.
#pragma once

#include <cstddef>
#include <string>

namespace talvoren {

enum class ConsoleStream { Output, Error };

// Writes `text` (UTF-8, lines ended by '\n') to standard output or error.
void WriteConsoleText(ConsoleStream stream, const std::string& text);

// True when the stream goes to a terminal (a console on Windows), not to a
// file or a pipe.
bool IsTerminal(ConsoleStream stream);

// The width of the stream's terminal in columns (of a console's screen
// buffer on Windows); 0 when it is no terminal or its width is unknown.
std::size_t TerminalColumns(ConsoleStream stream);

// How many columns at the start of standard error's current line hold text
// that must not outlive the process (the driver's progress line); 0 for
// none. An interruption blanks them (BlankColumnsOnInterrupt) so that the
// shell's prompt starts on a clean line. Set it before such text is written
// and clear it after the text is erased.
void SetColumnsToBlankOnInterrupt(std::size_t columns);

// For the interrupt handler alone (the driver hands it to
// RemoveTemporaryFileOnInterrupt): blanks those columns and returns to the
// line's start. On POSIX it is async-signal-safe (no allocation, no lock,
// write(2) only); on Windows the console then takes no more text from this
// process, which is about to end.
void BlankColumnsOnInterrupt();

}  // namespace talvoren
