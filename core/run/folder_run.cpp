// The folder conversion run over a file list, a file system and a message sink.
#include "core/run/folder_run.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <new>
#include <optional>
#include <tuple>
#include <unordered_set>
#include <vector>

#include "core/convert/conv_tape_file.h"
#include "core/run/folder_text.h"
#include "core/texts/failure.h"
#include "core/texts/message_texts.h"

namespace talvoren {
namespace {

// Finished files wait for one flush of their folder before they take their
// names: a flush costs a disk round trip whether it carries one small file
// or many. Bounded, so that the files held open and the data a failure
// waits for stay small.
constexpr std::size_t kFilesPerFlush = 128;
constexpr std::uint64_t kBytesPerFlush = 64u << 20;

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
        const std::size_t count = files_.ListCount();
        progress_.Started(count);
        std::optional<std::string> failure = Attempt([&] {
            for (std::size_t index = 0; index < count; ++index) ConvertOne(index);
            NameFinished();
            at_ = count - 1;
            fs_.Flush(destination_folder_);
        });
        if (!failure) {
            sink.Show(CompletedMessage());
            return RunEnd::Completed;
        }
        std::size_t failed = at_;
        // An unfinished destination removes its temporary file, and so does
        // every finished one from the failing file on: their names keep what
        // they held before the run. The files before it take their names,
        // durable, before the report.
        output_.reset();
        input_.reset();
        DropFinishedFrom(failed);
        if (auto later = Attempt([&] {
                NameFinished();
                fs_.Flush(destination_folder_);
            })) {
            if (at_ < failed) {
                failed = at_;
                failure = std::move(later);
                DropFinishedFrom(failed);
            }
        }
        const std::string& name = files_.List(failed);
        sink.Show(ConversionFailedMessage(source_folder_ + name, destination_folder_ + name, *failure));
        return RunEnd::Failed;
    }

private:
    // Runs `step`; returns the description of its failure, if any.
    template <typename Step>
    static std::optional<std::string> Attempt(const Step& step) {
        try {
            step();
            return std::nullopt;
        } catch (const ConvError& error) {
            return std::string(error.what());
        } catch (const std::bad_alloc&) {
            return std::string(FailureOf(FailureCode::OutOfMemory).what());
        }
    }

    void ConvertOne(std::size_t index) {
        at_ = index;
        const std::string& name = files_.List(index);
        input_ = fs_.OpenForReading(source_folder_ + name);
        if (index == 0) CheckFolders();
        // Where letter case is folded, a second name equal to an earlier one
        // but for case would reach the file just written from it.
        if (folds_case_ && !folded_names_.insert(FoldedCase(name)).second) {
            throw FailureOf(FailureCode::WrittenThisRun);
        }
        output_ = fs_.CreateReplacement(destination_folder_ + name, check_existing_);
        ProgressInput reported(*input_, progress_);
        ConvTapeFile(reported, *output_);
        output_->Finish();
        input_.reset();
        finished_.push_back({index, std::move(output_)});
        finished_bytes_ += reported.bytes_read();
        progress_.FileConverted();
        if (finished_.size() >= kFilesPerFlush || finished_bytes_ >= kBytesPerFlush) NameFinished();
    }

    // Refuses two texts of one folder before anything is made: by identity
    // when it shows, else by a probe file in the destination, which also
    // tells whether the destination folds letter case.
    void CheckFolders() {
        const auto source = fs_.Identify(source_folder_);
        const auto destination = fs_.Identify(destination_folder_);
        if (source && destination && *source == *destination) throw FailureOf(FailureCode::SameAsSource);
        const FolderProbe probe = fs_.ProbeFolder(destination_folder_, source_folder_);
        if (probe.shared) throw FailureOf(FailureCode::SameAsSource);
        folds_case_ = probe.folds_case;
    }

    // One flush makes the finished files durable; then they take their
    // names in list order.
    void NameFinished() {
        if (finished_.empty()) return;
        at_ = finished_.front().index;
        fs_.Flush(destination_folder_);
        while (!finished_.empty()) {
            Finished& next = finished_.front();
            at_ = next.index;
            next.output->Commit();
            written_.CountUpTo(next.index + 1, next.output->CommittedId());
            finished_.pop_front();
        }
        finished_bytes_ = 0;
    }

    void DropFinishedFrom(std::size_t index) {
        while (!finished_.empty() && finished_.back().index >= index) finished_.pop_back();
    }

    void CheckExisting(const FileId& id) {
        if (sources_.Contains(id)) throw FailureOf(FailureCode::SameAsSource);
        // Two listed names can lead to one destination file (letter case on a
        // folder that ignores it): the second must not replace the first.
        if (written_.Contains(id)) throw FailureOf(FailureCode::WrittenThisRun);
    }

    struct Finished {
        std::size_t index;
        std::unique_ptr<OutputFile> output;
    };

    const std::string source_folder_;
    const std::string destination_folder_;
    const FileList& files_;
    FileSystem& fs_;
    RunProgress& progress_;
    ListedIdentities sources_;
    ListedIdentities written_;
    const ExistingFileCheck check_existing_;
    bool folds_case_ = false;
    std::unordered_set<std::string> folded_names_;
    // The file the run is at: being converted, flushed or named.
    std::size_t at_ = 0;
    // Finished outputs waiting for their names, in list order; destroyed
    // before the file system, as every output must be.
    std::deque<Finished> finished_;
    std::uint64_t finished_bytes_ = 0;
    // Destroyed destination first, then source, also on the failure path.
    std::unique_ptr<InputFile> input_;
    std::unique_ptr<OutputFile> output_;
};

}  // namespace

std::optional<RunEnd> RefuseBeforeConverting(const std::string& source_text, const std::string* destination_text,
                                             FileList& files, MessageSink& sink) {
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
    if (destination_text != nullptr && destination_text->empty()) {
        sink.Show(DestinationNotGivenMessage());
        return RunEnd::DestinationNotGiven;
    }
    return std::nullopt;
}

RunEnd ConvertFolder(const std::string& source_text, const std::string& destination_text, FileList& files,
                     FileSystem& fs, MessageSink& sink, RunProgress& progress) {
    if (const auto refused = RefuseBeforeConverting(source_text, &destination_text, files, sink)) return *refused;
    FolderRun run(NormalisedFolder(source_text, fs.Separator()), NormalisedFolder(destination_text, fs.Separator()),
                  files, fs, progress);
    return run.Convert(sink);
}

}  // namespace talvoren
