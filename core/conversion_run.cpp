#include "core/conversion_run.h"

#include "core/failure.h"
#include "core/run_messages.h"

namespace talvoren {

RunEnd RunConversion(const std::string& source_text, const std::string& destination_text, FileList& files,
                     FileSystem& fs, MessageSink& sink, RunProgress& progress) {
    // Compared as they are: a trailing separator or letter case makes them
    // different, and the run's own checks take it from there.
    if (source_text == destination_text) {
        sink.Show(IdenticalFoldersMessage());
        return RunEnd::IdenticalFolders;
    }
    try {
        return ConvertFolder(source_text, destination_text, files, fs, sink, progress);
    } catch (const ConvError& error) {
        // Only the listing fails before the run's own error handling.
        sink.Show(SourceUnreadableMessage(source_text, error.what()));
        return RunEnd::SourceUnreadable;
    }
}

}  // namespace talvoren
