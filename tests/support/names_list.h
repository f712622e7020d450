// A file list double: fixed names whatever folder it is set to, and the
// folder texts it was set to, for a test to read.
#pragma once

#include <string>
#include <vector>

#include "core/run/file_system.h"

namespace talvoren::test {

class NamesList final : public FileList {
public:
    explicit NamesList(std::vector<std::string> names) : names_(std::move(names)) {}
    // The names `listed` holds now, kept whatever happens to its folder later.
    static NamesList Of(const FileList& listed) {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < listed.ListCount(); ++i) names.push_back(listed.List(i));
        return NamesList(std::move(names));
    }

    void SetPath(const std::string& folder) override { paths_set.push_back(folder); }
    std::size_t ListCount() const override { return names_.size(); }
    const std::string& List(std::size_t index) const override { return names_.at(index); }

    std::vector<std::string> paths_set;

private:
    std::vector<std::string> names_;
};

}  // namespace talvoren::test
