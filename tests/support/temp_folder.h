// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards. Names and paths are UTF-8 with the host's
// separator, as the program's own strings are.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace talvoren {

class TempFolder {
public:
    TempFolder() {
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::filesystem::path candidate = base / ("talvoren-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) {
                path_ = candidate;
                return;
            }
        }
        throw std::runtime_error("no temporary folder could be made");
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, without a trailing separator.
    std::string Path() const { return path_.u8string(); }
    // The path of `name` (a name or a relative path with '/') inside the folder.
    std::string PathOf(const std::string& name) const { return Native(name).u8string(); }
    std::filesystem::path Native(const std::string& name) const {
        return (path_ / std::filesystem::u8path(name)).make_preferred();
    }

    std::string MakeFolder(const std::string& name) const {
        std::filesystem::create_directories(Native(name));
        return PathOf(name);
    }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream file(Native(name), std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file.flush()) throw std::runtime_error("cannot write " + name);
    }
    std::string Read(const std::string& name) const {
        std::ifstream file(Native(name), std::ios::binary);
        if (!file) throw std::runtime_error("cannot read " + name);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(Native(name)); }
    // The names in folder `name`, sorted: a test sees every file a run left there.
    std::vector<std::string> List(const std::string& name) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Native(name))) {
            names.push_back(entry.path().filename().u8string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

}  // namespace talvoren
