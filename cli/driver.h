// talvoren-convert SOURCE DESTINATION: the folder run without a window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/console.h"

namespace talvoren {

enum ExitStatus : int {
    kExitCompleted = 0,
    kExitFailed = 1,   // a conversion failed, or the source folder could not be listed
    kExitRefused = 2,  // identical folder texts, no matching files, a folder text missing
    kExitUsage = 64,
};

using ConsolePrinter = std::function<void(ConsoleStream, const std::string&)>;

// Runs the driver on `arguments` (without the program name). The run's one
// message goes to `print`: information on standard output, critical on
// standard error, one line per line of the message. With `progress_on_error`
// (standard error is a terminal), a run that lasts over a second shows a
// progress line there, erased before the message. Returns the exit status.
int RunDriver(const std::vector<std::string>& arguments, const ConsolePrinter& print, bool progress_on_error = false);

}  // namespace talvoren
