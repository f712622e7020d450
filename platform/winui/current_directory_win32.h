// The process's current directory, however long: a program declared
// long-path aware may be started in a folder deeper than MAX_PATH.
#pragma once

#include <string>

namespace talvoren::winui {

// Throws WindowsError when the system can't tell it.
std::wstring CurrentDirectory();

}  // namespace talvoren::winui
