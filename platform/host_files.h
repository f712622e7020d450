// The host's file layer and folder listing behind core's interfaces: POSIX or
// Win32, whichever the build is for.
#pragma once

#include <memory>

#include "core/file_system.h"

namespace talvoren {

std::unique_ptr<FileSystem> MakeHostFileSystem();

// Lists "*Tp.csv" by the whole long name ignoring letter case, leaving out
// folders, hidden and system files (POSIX: names starting with '.', anything
// but a regular file); names are sorted ignoring case.
std::unique_ptr<FileList> MakeHostFileList();

}  // namespace talvoren
