// A tmpfs of a few kilobytes mounted on a folder for one test, so that a
// disk really fills up part way through a file (Linux, as root with mount
// rights; elsewhere Mount() answers false and the test skips).
#pragma once

#include <sys/mount.h>
#include <unistd.h>

#include <string>

namespace talvoren {

class SmallTmpfs {
public:
    explicit SmallTmpfs(std::string folder) : folder_(std::move(folder)) {}
    ~SmallTmpfs() {
        if (mounted_) umount(folder_.c_str());
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool Mount(const char* size = "size=64k") {
        mounted_ = geteuid() == 0 && mount("tmpfs", folder_.c_str(), "tmpfs", 0, size) == 0;
        return mounted_;
    }

private:
    std::string folder_;
    bool mounted_ = false;
};

}  // namespace talvoren
