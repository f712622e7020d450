// The folder conversion run over a file list, a file system and a message sink.
#include "core/folder_run.h"

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

#include "core/conv_tape_file.h"
#include "core/failure.h"
#include "core/run_messages.h"

namespace talvoren {
namespace {

std::string Normalised(const std::string& folder_text, char separator) {
    if (!folder_text.empty() && folder_text.back() == separator) return folder_text;
    return folder_text + separator;
}

// Identities of the listed source files, taken the first time a destination
// file already exists: a run into a fresh folder never needs them.
class SourceIdentities {
public:
    SourceIdentities(const std::string& source_folder, const FileList& files, FileSystem& fs)
        : source_folder_(source_folder), files_(files), fs_(fs) {}

    bool Contains(const FileId& id) {
        if (!taken_) Take();
        return std::binary_search(ids_.begin(), ids_.end(), id, Less);
    }

private:
    // Sorted: a rerun into a folder of earlier results checks every file, and
    // a scan per file would grow with the square of the file count.
    static bool Less(const FileId& a, const FileId& b) {
        return std::tie(a.volume, a.index_high, a.index_low) < std::tie(b.volume, b.index_high, b.index_low);
    }

    void Take() {
        taken_ = true;
        for (std::size_t index = 0; index < files_.ListCount(); ++index) {
            // A file that vanished since the listing cannot be emptied through another name.
            if (const auto id = fs_.Identify(source_folder_ + files_.List(index))) ids_.push_back(*id);
        }
        std::sort(ids_.begin(), ids_.end(), Less);
    }

    const std::string& source_folder_;
    const FileList& files_;
    FileSystem& fs_;
    bool taken_ = false;
    std::vector<FileId> ids_;
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
          is_source_([this](const FileId& id) { return sources_.Contains(id); }) {}

    RunEnd Convert(MessageSink& sink) {
        std::size_t index = 0;
        progress_.Started(files_.ListCount());
        try {
            for (; index < files_.ListCount(); ++index) ConvertOne(files_.List(index));
        } catch (const ConvError& error) {
            output_.reset();
            input_.reset();
            const std::string& name = files_.List(index);
            sink.Show(ConversionFailedMessage(source_folder_ + name, destination_folder_ + name,
                                              DescribeFailure(error.failure())));
            return RunEnd::Failed;
        }
        sink.Show(CompletedMessage());
        return RunEnd::Completed;
    }

private:
    void ConvertOne(const std::string& name) {
        input_ = fs_.OpenForReading(source_folder_ + name);
        output_ = fs_.OpenForWriting(destination_folder_ + name, is_source_);
        ProgressInput reported(*input_, progress_);
        ConvTapeFile(reported, *output_);
        output_->Close();
        output_.reset();
        input_.reset();
        progress_.FileConverted();
    }

    const std::string source_folder_;
    const std::string destination_folder_;
    const FileList& files_;
    FileSystem& fs_;
    RunProgress& progress_;
    SourceIdentities sources_;
    const IsSourceFile is_source_;
    // Destroyed destination first, then source, also on the failure path.
    std::unique_ptr<InputFile> input_;
    std::unique_ptr<OutputFile> output_;
};

}  // namespace

RunEnd ConvertFolder(const std::string& source_text, const std::string& destination_text, FileList& files,
                     FileSystem& fs, MessageSink& sink, RunProgress& progress) {
    files.SetPath(source_text);
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
    const char separator = fs.Separator();
    FolderRun run(Normalised(source_text, separator), Normalised(destination_text, separator), files, fs, progress);
    return run.Convert(sink);
}

}  // namespace talvoren
