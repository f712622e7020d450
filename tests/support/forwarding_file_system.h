// A file system double that hands every call to another one; a test double
// overrides only the calls it changes.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "core/run/file_system.h"

namespace talvoren::test {

class ForwardingFileSystem : public FileSystem {
public:
    explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}
    explicit ForwardingFileSystem(std::unique_ptr<FileSystem> owned) : owned_(std::move(owned)), inner_(*owned_) {}

    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override { return inner_.OpenForReading(path); }
    std::unique_ptr<OutputFile> CreateReplacement(const std::string& path, const ExistingFileCheck& check) override {
        return inner_.CreateReplacement(path, check);
    }
    void CheckDestination(const std::string& path, const ExistingFileCheck& check) override {
        inner_.CheckDestination(path, check);
    }
    std::optional<FileId> Identify(const std::string& path) override { return inner_.Identify(path); }
    FolderProbe ProbeFolder(const std::string& folder, const std::string& other_folder) override {
        return inner_.ProbeFolder(folder, other_folder);
    }
    void Flush(const std::string& folder) override { inner_.Flush(folder); }
    char Separator() const override { return inner_.Separator(); }

private:
    const std::unique_ptr<FileSystem> owned_;
    FileSystem& inner_;
};

}  // namespace talvoren::test
