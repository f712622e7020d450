#include "core/run/conversion_run.h"

#include "core/texts/failure.h"
#include "core/texts/message_texts.h"

namespace talvoren {
namespace {

// What both entries refuse before their work: two texts equal as they are
// (a trailing separator or letter case makes them different, and the work's
// own checks take it from there), and a source folder that cannot be
// listed, the only failure that escapes the work's own handling.
template <typename Work>
RunEnd Guarded(const std::string& source_text, const std::string* destination_text, MessageSink& sink,
               const Work& work) {
    if (destination_text != nullptr && source_text == *destination_text) {
        sink.Show(IdenticalFoldersMessage());
        return RunEnd::IdenticalFolders;
    }
    try {
        return work();
    } catch (const ConvError& error) {
        sink.Show(SourceUnreadableMessage(source_text, error.what()));
        return RunEnd::SourceUnreadable;
    }
}

}  // namespace

RunEnd RunConversion(const std::string& source_text, const std::string& destination_text, FileList& files,
                     FileSystem& fs, MessageSink& sink, RunProgress& progress) {
    return Guarded(source_text, &destination_text, sink,
                   [&] { return ConvertFolder(source_text, destination_text, files, fs, sink, progress); });
}

RunEnd RunCheck(const std::string& source_text, const std::optional<std::string>& destination_text,
                FileList& files, FileSystem& fs, MessageSink& sink, const ProblemSink& problems) {
    return Guarded(source_text, destination_text ? &*destination_text : nullptr, sink,
                   [&] { return CheckFolder(source_text, destination_text, files, fs, sink, problems); });
}

}  // namespace talvoren
