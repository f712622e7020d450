// Module1, the program's one standard module: the value the folder chooser
// leaves behind for its caller.
#pragma once

#include <string>

namespace talvoren::Module1 {

// Empty at start. The chooser's OK writes the open directory's full path, its
// Cancel (and closing it) the empty text; only the main window reads it,
// right after a modal showing of the chooser. Nothing clears it before one.
extern std::string SelectedFolder;

}  // namespace talvoren::Module1
