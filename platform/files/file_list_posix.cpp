// The folder listing on POSIX: regular files (or links to them); names
// starting with '.' count as hidden.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "core/run/tape_file_list.h"
#include "platform/files/host_files.h"
#include "platform/files/os_error.h"

namespace talvoren {
namespace {

bool IsRegularFile(DIR* dir, const dirent& entry) {
    if (entry.d_type == DT_REG) return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
    struct stat status;
    return fstatat(dirfd(dir), entry.d_name, &status, 0) == 0 && S_ISREG(status.st_mode);
}

std::vector<std::string> ListPlainFiles(const std::string& folder, const NameFilter& wanted) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) throw LastOsError();
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (entry == nullptr) break;
        const std::string name = entry->d_name;
        if (name[0] == '.' || !wanted(name) || !IsRegularFile(dir.get(), *entry)) continue;
        names.push_back(name);
    }
    if (errno != 0) throw LastOsError();
    return names;
}

}  // namespace

std::unique_ptr<FileList> MakeHostFileList() { return MakeTapeFileList(ListPlainFiles); }

}  // namespace talvoren
