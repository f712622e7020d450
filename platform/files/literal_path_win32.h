// Paths in the form the file system takes literally: "\\?\" before the
// absolute folder, the name appended as it is. So "NUL.Tp.csv" or
// "CON.Tp.csv" is the file of that name, not a device, and long paths work.
#pragma once

#include <string>

namespace talvoren {

// `path` is a folder text ending in '\' or '/', then a bare file name (or
// nothing). The folder is made absolute and normalised once; the name is
// left untouched. A drive-relative folder ("C:", "C:data") is resolved the
// way the rest of Windows resolves it; the run always hands over "C:\".
std::wstring LiteralPath(const std::string& path);

}  // namespace talvoren
