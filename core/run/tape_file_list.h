// Which files a run picks: the names of a folder's plain files that end in
// "Tp.csv" (a "tape": one legacy record file), in an order that ignores
// letter case, so that a folder lists the same on Windows and on POSIX.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/run/file_system.h"

namespace talvoren {

// True when the whole name ends in "Tp.csv", ignoring letter case.
bool MatchesTapePattern(const std::string& name);

// Sorts names ignoring ASCII letter case; names that differ only in case
// keep a fixed order (byte order).
void SortIgnoringCase(std::vector<std::string>& names);

// A host's listing: the names of the plain files of `folder` (no folders,
// hidden or system files) that `wanted` accepts, in any order. Throws
// ConvError when the folder cannot be listed.
using NameFilter = std::function<bool(const std::string& name)>;
using PlainFileListing = std::function<std::vector<std::string>(const std::string& folder, const NameFilter& wanted)>;

// The file list of a run over a host's listing. An empty folder text lists
// no files.
std::unique_ptr<FileList> MakeTapeFileList(PlainFileListing listing);

}  // namespace talvoren
