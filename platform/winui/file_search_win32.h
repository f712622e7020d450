// A directory search as the main window's ChkFile makes it.
#pragma once

#include <string>

namespace talvoren::winui {

// True when a search for `pattern` (a path or a wildcard) finds at least one
// entry that is neither a folder, nor hidden, nor a system file. A pattern
// whose folder is missing finds nothing; other failures throw WindowsError.
bool AnyPlainFileMatches(const std::string& pattern);

}  // namespace talvoren::winui
