// The host's file layer and folder listing behind core's interfaces: POSIX or
// Win32, whichever the build is for.
#pragma once

#include <memory>

#include "core/run/file_system.h"

namespace talvoren {

std::unique_ptr<FileSystem> MakeHostFileSystem();

// The run's file list (core/run/tape_file_list.h) over the host's listing, which
// leaves out folders, hidden and system files (POSIX: names starting with
// '.', anything but a regular file).
std::unique_ptr<FileList> MakeHostFileList();

}  // namespace talvoren
