// The file list's pattern "*Tp.csv" and its order, shared by both hosts so
// that a folder lists the same on Windows and on POSIX.
#pragma once

#include <string>
#include <vector>

namespace talvoren {

// True when the whole name ends in "Tp.csv", ignoring letter case.
bool MatchesTapePattern(const std::string& name);

// Sorts names ignoring ASCII letter case; names that differ only in case
// keep a fixed order (byte order).
void SortIgnoringCase(std::vector<std::string>& names);

}  // namespace talvoren
