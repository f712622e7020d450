// The folder listing on POSIX: regular files (or links to them) whose names
// match "*Tp.csv"; names starting with '.' count as hidden.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

#include "platform/os_error.h"
#include "platform/tape_file_name.h"

namespace talvoren {
namespace {

bool IsRegularFile(DIR* dir, const dirent& entry) {
    if (entry.d_type == DT_REG) return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
    struct stat status;
    return fstatat(dirfd(dir), entry.d_name, &status, 0) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

std::vector<std::string> ListTapeFiles(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) throw LastOsError();
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (entry == nullptr) break;
        const std::string name = entry->d_name;
        if (name[0] == '.' || !MatchesTapePattern(name) || !IsRegularFile(dir, *entry)) continue;
        names.push_back(name);
    }
    const int read_error = errno;
    closedir(dir);
    if (read_error != 0) throw OsError(read_error);
    return names;
}

}  // namespace talvoren
