#include "core/run/folder_check.h"

#include <algorithm>
#include <memory>
#include <new>
#include <tuple>
#include <unordered_set>
#include <vector>

#include "core/convert/conv_tape_file.h"
#include "core/run/folder_text.h"
#include "core/texts/failure.h"
#include "core/texts/failure_description.h"
#include "core/texts/message_texts.h"

namespace talvoren {
namespace {

// Where a check's conversion goes: nowhere.
class DiscardedOutput final : public OutputFile {
public:
    void Write(const char*, std::size_t) override {}
    void WaitForWrites() noexcept override {}
    void Finish() override {}
    void Commit() override {}
};

bool IdLess(const FileId& a, const FileId& b) {
    return std::tie(a.volume, a.index_high, a.index_low) < std::tie(b.volume, b.index_high, b.index_low);
}

FolderProblem ProblemAt(std::string path, const ConvError& error) {
    return {std::move(path), error.failure().line, DescribeCause(error.failure())};
}

class FolderCheck {
public:
    FolderCheck(std::string source_folder, std::optional<std::string> destination_folder, const FileList& files,
                FileSystem& fs)
        : source_folder_(std::move(source_folder)),
          destination_folder_(std::move(destination_folder)),
          files_(files),
          fs_(fs) {}

    // Returns how many files would fail.
    std::size_t Check(const ProblemSink& problems) {
        std::size_t failing = 0;
        for (std::size_t index = 0; index < files_.ListCount(); ++index) {
            if (const auto problem = ProblemOf(index)) {
                problems(*problem);
                ++failing;
            }
        }
        return failing;
    }

private:
    // The first problem a run would meet in the file at `index`, in the
    // run's order: the source's open, the destination folder, the reading,
    // the destination name.
    std::optional<FolderProblem> ProblemOf(std::size_t index) {
        const std::string& name = files_.List(index);
        const std::string source = source_folder_ + name;
        try {
            const std::unique_ptr<InputFile> input = fs_.OpenForReading(source);
            if (destination_folder_ && index == 0) {
                try {
                    CheckFolders();
                } catch (const ConvError& error) {
                    // Every name would meet it: the run stops at the first.
                    FolderProblem problem = ProblemAt(*destination_folder_ + name, error);
                    destination_folder_.reset();
                    return problem;
                }
            }
            DiscardedOutput discarded;
            ConvTapeFile(*input, discarded);
        } catch (const ConvError& error) {
            return ProblemAt(source, error);
        } catch (const std::bad_alloc&) {
            return ProblemAt(source, FailureOf(FailureCode::OutOfMemory));
        }
        if (!destination_folder_) return std::nullopt;
        try {
            CheckName(name);
        } catch (const ConvError& error) {
            return ProblemAt(*destination_folder_ + name, error);
        }
        return std::nullopt;
    }

    // The destination folder as the run finds it at its first file: there,
    // not the source folder under another text, and whether it folds case.
    void CheckFolders() {
        const auto source = fs_.Identify(source_folder_);
        const auto destination = fs_.Identify(*destination_folder_);
        if (!destination) throw FailureOf(FailureCode::NotFound);
        if (source && *source == *destination) throw FailureOf(FailureCode::SameAsSource);
        const FolderProbe probe = fs_.ProbeFolder(*destination_folder_, source_folder_);
        if (probe.shared) throw FailureOf(FailureCode::SameAsSource);
        folds_case_ = probe.folds_case;
        for (std::size_t index = 0; index < files_.ListCount(); ++index) {
            if (const auto id = fs_.Identify(source_folder_ + files_.List(index))) sources_.push_back(*id);
        }
        std::sort(sources_.begin(), sources_.end(), IdLess);
    }

    void CheckName(const std::string& name) {
        if (folds_case_ && !folded_names_.insert(FoldedCase(name)).second) {
            throw FailureOf(FailureCode::WrittenThisRun);
        }
        fs_.CheckDestination(*destination_folder_ + name, [this](const FileId& id) {
            if (std::binary_search(sources_.begin(), sources_.end(), id, IdLess)) {
                throw FailureOf(FailureCode::SameAsSource);
            }
        });
    }

    const std::string source_folder_;
    // Reset once the folder itself would fail a run: no name is looked at then.
    std::optional<std::string> destination_folder_;
    const FileList& files_;
    FileSystem& fs_;
    bool folds_case_ = false;
    std::unordered_set<std::string> folded_names_;
    std::vector<FileId> sources_;
};

}  // namespace

RunEnd CheckFolder(const std::string& source_text, const std::optional<std::string>& destination_text, FileList& files,
                   FileSystem& fs, MessageSink& sink, const ProblemSink& problems) {
    if (const auto refused =
            RefuseBeforeConverting(source_text, destination_text ? &*destination_text : nullptr, files, sink)) {
        return *refused;
    }
    std::optional<std::string> destination;
    if (destination_text) destination = NormalisedFolder(*destination_text, fs.Separator());
    FolderCheck check(NormalisedFolder(source_text, fs.Separator()), destination, files, fs);
    const std::size_t failing = check.Check(problems);
    sink.Show(CheckSummaryMessage(files.ListCount(), failing));
    return failing == 0 ? RunEnd::Completed : RunEnd::Failed;
}

}  // namespace talvoren
