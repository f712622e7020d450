// The file list's pattern "*Tp.csv", its order and the list itself, shared by
// both hosts so that a folder lists the same on Windows and on POSIX.
#pragma once

#include <string>
#include <vector>

namespace talvoren {

// True when the whole name ends in "Tp.csv", ignoring letter case.
bool MatchesTapePattern(const std::string& name);

// Sorts names ignoring ASCII letter case; names that differ only in case
// keep a fixed order (byte order).
void SortIgnoringCase(std::vector<std::string>& names);

// The names of the matching files in `folder`, unsorted; one per host
// (file_list_posix.cpp, file_list_win32.cpp). Throws ConvError when the
// folder cannot be listed.
std::vector<std::string> ListTapeFiles(const std::string& folder);

}  // namespace talvoren
