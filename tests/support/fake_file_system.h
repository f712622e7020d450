// The file system double of the run's tests. Files live in memory, or, given
// an inner file system, are the host's own; either way every call is logged,
// open files are counted, and any operation on one path can be made to fail.
// In memory, letter case can be folded and the two folders shared, as a
// probe of such folders reports them.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/run/file_system.h"
#include "core/texts/failure.h"

namespace talvoren::test {

enum class FileOperation { OpenForReading, Read, CreateReplacement, Write, Commit };

// Throws what a failing operation throws.
using Raise = std::function<void()>;
inline Raise Fails(Failure failure) {
    return [failure] { throw ConvError(failure); };
}
inline Raise RunsOutOfMemory() {
    return [] { throw std::bad_alloc(); };
}

class FakeFileSystem : public FileSystem {
public:
    // Files in memory: `contents` are the inputs, `written` the committed outputs.
    FakeFileSystem() = default;
    // The host's files through `inner`.
    explicit FakeFileSystem(FileSystem& inner) : inner_(&inner) {}

    // Makes `operation` on `path` raise. A Read fails at the `at`th read of
    // the file (1 the first); a Write at the one that completes `at` bytes,
    // or at the first write when `at` is 0.
    void FailOn(FileOperation operation, std::string path, Raise raise, std::size_t at = 0) {
        faults_.push_back({operation, std::move(path), std::move(raise), at});
    }

    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override {
        log.push_back("open input " + path);
        RaiseIf(FileOperation::OpenForReading, path, 0);
        std::unique_ptr<InputFile> inner = inner_ ? inner_->OpenForReading(path) : nullptr;
        Opened(path);
        return std::make_unique<Input>(*this, path, std::move(inner));
    }
    std::unique_ptr<OutputFile> CreateReplacement(const std::string& path, const ExistingFileCheck& check) override {
        log.push_back("open output " + path);
        RaiseIf(FileOperation::CreateReplacement, path, 0);
        std::unique_ptr<OutputFile> inner = inner_ ? inner_->CreateReplacement(path, check) : nullptr;
        Opened(path);
        return std::make_unique<Output>(*this, path, check, std::move(inner));
    }
    void CheckDestination(const std::string& path, const ExistingFileCheck& check) override {
        log.push_back("check " + path);
        if (inner_) return inner_->CheckDestination(path, check);
        if (written.count(Key(path)) != 0) check(IdOf(path));
    }
    // In memory, only written files have an identity.
    std::optional<FileId> Identify(const std::string& path) override {
        if (inner_) return inner_->Identify(path);
        if (written.count(Key(path)) == 0) return std::nullopt;
        return IdOf(path);
    }
    FolderProbe ProbeFolder(const std::string& folder, const std::string& other_folder) override {
        if (inner_) return inner_->ProbeFolder(folder, other_folder);
        return {shared_folders, fold_case};
    }
    void Flush(const std::string& folder) override {
        log.push_back("flush " + folder);
        if (inner_) inner_->Flush(folder);
    }
    char Separator() const override { return inner_ ? inner_->Separator() : '\\'; }

    // The name under which a file is kept in memory.
    std::string Key(std::string path) const {
        if (fold_case) {
            for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return path;
    }

    std::map<std::string, std::string> contents;
    std::map<std::string, std::string> written;  // by Key()
    bool fold_case = false;
    bool shared_folders = false;

    std::vector<std::string> log;
    // Files opened and not yet closed; a finished output counts as closed.
    int opened = 0;
    int closed = 0;
    int most_open_at_once = 0;
    std::vector<std::string> opened_paths;  // in order

private:
    struct Fault {
        FileOperation operation;
        std::string path;
        Raise raise;
        std::size_t at;
    };

    class Input final : public InputFile {
    public:
        Input(FakeFileSystem& fs, std::string path, std::unique_ptr<InputFile> inner)
            : fs_(fs), path_(std::move(path)), inner_(std::move(inner)) {}
        ~Input() override {
            fs_.log.push_back("close input " + path_);
            ++fs_.closed;
        }
        std::size_t Read(char* buffer, std::size_t capacity) override {
            fs_.RaiseIf(FileOperation::Read, path_, ++reads_);
            if (inner_) return inner_->Read(buffer, capacity);
            const std::string& data = fs_.contents[path_];
            const std::size_t count = std::min(capacity, data.size() - offset_);
            data.copy(buffer, count, offset_);
            offset_ += count;
            return count;
        }

    private:
        FakeFileSystem& fs_;
        std::string path_;
        std::unique_ptr<InputFile> inner_;
        std::size_t reads_ = 0;
        std::size_t offset_ = 0;
    };

    class Output final : public OutputFile {
    public:
        Output(FakeFileSystem& fs, std::string path, const ExistingFileCheck& check, std::unique_ptr<OutputFile> inner)
            : fs_(fs), path_(std::move(path)), check_(check), inner_(std::move(inner)) {}
        ~Output() override {
            fs_.log.push_back("destroy output " + path_);
            if (!finished_) ++fs_.closed;
        }
        void Write(const char* data, std::size_t size) override {
            fs_.RaiseIfWrite(path_, written_, size);
            if (inner_) {
                inner_->Write(data, size);
            } else {
                data_.append(data, size);
            }
            written_ += size;
        }
        void WaitForWrites() noexcept override {
            if (inner_) inner_->WaitForWrites();
        }
        void Finish() override {
            fs_.log.push_back("finish output " + path_);
            if (inner_) inner_->Finish();
            finished_ = true;
            ++fs_.closed;
        }
        std::optional<FileId> CommittedId() const override { return inner_ ? inner_->CommittedId() : std::nullopt; }
        // A fault here comes before the new file takes its name, as a rename
        // refused by a network drive would.
        void Commit() override {
            fs_.log.push_back("commit output " + path_);
            fs_.RaiseIf(FileOperation::Commit, path_, 0);
            if (inner_) return inner_->Commit();
            if (fs_.written.count(fs_.Key(path_)) != 0) check_(fs_.IdOf(path_));
            fs_.written[fs_.Key(path_)] = data_;
        }

    private:
        FakeFileSystem& fs_;
        std::string path_;
        ExistingFileCheck check_;
        std::unique_ptr<OutputFile> inner_;
        std::string data_;
        std::size_t written_ = 0;
        bool finished_ = false;
    };

    void Opened(const std::string& path) {
        ++opened;
        most_open_at_once = std::max(most_open_at_once, opened - closed);
        opened_paths.push_back(path);
    }

    void RaiseIf(FileOperation operation, const std::string& path, std::size_t count) const {
        for (const Fault& fault : faults_) {
            if (fault.operation == operation && fault.path == path && fault.at == count) fault.raise();
        }
    }

    void RaiseIfWrite(const std::string& path, std::size_t written_before, std::size_t size) const {
        for (const Fault& fault : faults_) {
            if (fault.operation != FileOperation::Write || fault.path != path) continue;
            if (fault.at == 0 ? written_before == 0 : written_before + size == fault.at) fault.raise();
        }
    }

    FileId IdOf(const std::string& path) const {
        FileId id;
        id.index_low = std::hash<std::string>()(Key(path));
        return id;
    }

    FileSystem* inner_ = nullptr;
    std::vector<Fault> faults_;
};

}  // namespace talvoren::test
