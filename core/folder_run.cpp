// The folder conversion run over a file list, a file system and a message sink.
#include "core/folder_run.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <tuple>
#include <vector>

#include "core/conv_tape_file.h"
#include "core/failure.h"
#include "core/run_messages.h"

namespace talvoren {
namespace {

std::string Normalised(const std::string& folder_text, const FileSystem& fs) {
    if (!folder_text.empty() && fs.IsSeparator(folder_text.back())) return folder_text;
    return folder_text + fs.Separator();
}

bool IdLess(const FileId& a, const FileId& b) {
    return std::tie(a.volume, a.index_high, a.index_low) < std::tie(b.volume, b.index_high, b.index_low);
}

// Identities of the files that the first `count` listed names lead to in one
// folder, taken only when asked, which is only when a destination name is
// already taken: a run into a fresh folder never asks. The run keeps two: the
// source files (all names), and the destination files it has written.
class ListedIdentities {
public:
    ListedIdentities(const std::string& folder, const FileList& files, FileSystem& fs)
        : folder_(folder), files_(files), fs_(fs) {}

    // The first `count` names count from now on. `last`, when known, is the
    // identity of the last of them, which then needs no look at its name.
    void CountUpTo(std::size_t count, const std::optional<FileId>& last = std::nullopt) {
        count_ = count;
        if (last && identified_ + 1 == count) {
            Keep(*last);
            identified_ = count;
        }
    }

    bool Contains(const FileId& id) {
        for (; identified_ < count_; ++identified_) {
            // A file that vanished since the listing cannot be reached through another name.
            if (const auto found = fs_.Identify(folder_ + files_.List(identified_))) Keep(*found);
        }
        // A sorted part and a short unsorted tail, merged now and then: a
        // rerun over earlier results asks once per file, and neither a scan
        // of all nor a tree of nodes would do (time, memory).
        if (ids_.size() - sorted_ > kUnsortedTail) {
            std::sort(ids_.begin() + sorted_, ids_.end(), IdLess);
            std::inplace_merge(ids_.begin(), ids_.begin() + sorted_, ids_.end(), IdLess);
            sorted_ = ids_.size();
        }
        return std::binary_search(ids_.begin(), ids_.begin() + sorted_, id, IdLess) ||
               std::find(ids_.begin() + sorted_, ids_.end(), id) != ids_.end();
    }

private:
    // At most one identity per listed name: room for all at the first, rather
    // than a vector that doubles past them and holds two copies as it does.
    void Keep(const FileId& id) {
        if (ids_.capacity() == 0) ids_.reserve(files_.ListCount());
        ids_.push_back(id);
    }

    static constexpr std::size_t kUnsortedTail = 64;
    const std::string& folder_;
    const FileList& files_;
    FileSystem& fs_;
    std::size_t count_ = 0;
    std::size_t identified_ = 0;
    std::vector<FileId> ids_;
    std::size_t sorted_ = 0;
};

class FolderRun {
public:
    FolderRun(std::string source_folder, std::string destination_folder, const FileList& files, FileSystem& fs,
              RunProgress& progress)
        : source_folder_(std::move(source_folder)),
          destination_folder_(std::move(destination_folder)),
          files_(files),
          fs_(fs),
          progress_(progress),
          sources_(source_folder_, files, fs),
          written_(destination_folder_, files, fs),
          check_existing_([this](const FileId& id) { CheckExisting(id); }) {
        sources_.CountUpTo(files.ListCount());
    }

    RunEnd Convert(MessageSink& sink) {
        std::size_t index = 0;
        std::string description;
        progress_.Started(files_.ListCount());
        try {
            for (; index < files_.ListCount(); ++index) ConvertOne(index);
        } catch (const ConvError& error) {
            description = error.what();
        } catch (const std::bad_alloc&) {
            description = FailureOf(FailureCode::OutOfMemory).what();
        }
        if (index == files_.ListCount()) {
            sink.Show(CompletedMessage());
            return RunEnd::Completed;
        }
        // An uncommitted destination removes its temporary file: the
        // destination name keeps what it held before the run.
        output_.reset();
        input_.reset();
        const std::string& name = files_.List(index);
        sink.Show(ConversionFailedMessage(source_folder_ + name, destination_folder_ + name, description));
        return RunEnd::Failed;
    }

private:
    void ConvertOne(std::size_t index) {
        const std::string& name = files_.List(index);
        input_ = fs_.OpenForReading(source_folder_ + name);
        // Identities cannot see every alias (an overlay, a network share): a
        // file made in the destination that shows in the source folder can.
        if (index == 0 && fs_.SharesFolder(destination_folder_, source_folder_)) {
            throw FailureOf(FailureCode::SameAsSource);
        }
        output_ = fs_.CreateReplacement(destination_folder_ + name, check_existing_);
        ProgressInput reported(*input_, progress_);
        ConvTapeFile(reported, *output_);
        output_->Commit();
        written_.CountUpTo(index + 1, output_->CommittedId());
        output_.reset();
        input_.reset();
        progress_.FileConverted();
    }

    void CheckExisting(const FileId& id) {
        if (sources_.Contains(id)) throw FailureOf(FailureCode::SameAsSource);
        // Two listed names can lead to one destination file (letter case on a
        // folder that ignores it): the second must not replace the first.
        if (written_.Contains(id)) throw FailureOf(FailureCode::WrittenThisRun);
    }

    const std::string source_folder_;
    const std::string destination_folder_;
    const FileList& files_;
    FileSystem& fs_;
    RunProgress& progress_;
    ListedIdentities sources_;
    ListedIdentities written_;
    const ExistingFileCheck check_existing_;
    // Destroyed destination first, then source, also on the failure path.
    std::unique_ptr<InputFile> input_;
    std::unique_ptr<OutputFile> output_;
};

}  // namespace

RunEnd ConvertFolder(const std::string& source_text, const std::string& destination_text, FileList& files,
                     FileSystem& fs, MessageSink& sink, RunProgress& progress) {
    try {
        files.SetPath(source_text);
    } catch (const std::bad_alloc&) {
        throw FailureOf(FailureCode::OutOfMemory);
    }
    if (files.ListCount() == 0) {
        sink.Show(NoMatchingFilesMessage());
        return RunEnd::NoMatchingFiles;
    }
    if (source_text.empty()) {
        sink.Show(SourceNotGivenMessage());
        return RunEnd::SourceNotGiven;
    }
    if (destination_text.empty()) {
        sink.Show(DestinationNotGivenMessage());
        return RunEnd::DestinationNotGiven;
    }
    FolderRun run(Normalised(source_text, fs), Normalised(destination_text, fs), files, fs, progress);
    return run.Convert(sink);
}

}  // namespace talvoren
