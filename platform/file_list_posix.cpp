// The folder listing on POSIX: regular files (or links to them) whose names
// match "*Tp.csv"; names starting with '.' count as hidden.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

#include "platform/host_files.h"
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

std::vector<std::string> ListFolder(const std::string& folder) {
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

class PosixFileList : public FileList {
public:
    void SetPath(const std::string& folder) override {
        names_.clear();
        if (folder.empty()) return;
        std::vector<std::string> names = ListFolder(folder);
        SortIgnoringCase(names);
        names_ = std::move(names);
    }
    std::size_t ListCount() const override { return names_.size(); }
    const std::string& List(std::size_t index) const override { return names_.at(index); }

private:
    std::vector<std::string> names_;
};

}  // namespace

std::unique_ptr<FileList> MakeHostFileList() { return std::make_unique<PosixFileList>(); }

}  // namespace talvoren
