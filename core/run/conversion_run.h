// The run as both front ends start it, the main window's run button and the
// driver: the two folder texts in, one message out, and how the run ended.
#pragma once

#include <optional>
#include <string>

#include "core/run/file_system.h"
#include "core/run/folder_check.h"
#include "core/run/folder_run.h"
#include "core/run/run_progress.h"
#include "core/texts/message_sink.h"

namespace talvoren {

// Refuses two texts equal character for character (IdenticalFolders), else
// runs ConvertFolder; a source folder that cannot be listed is reported here
// (SourceUnreadable). Exactly one message reaches `sink` on every end.
RunEnd RunConversion(const std::string& source_text, const std::string& destination_text, FileList& files,
                     FileSystem& fs, MessageSink& sink, RunProgress& progress = NoRunProgress());

// The check of a folder with the same refusals before it: CheckFolder, with
// equal texts refused when there is a destination, and a source folder that
// cannot be listed reported here.
RunEnd RunCheck(const std::string& source_text, const std::optional<std::string>& destination_text,
                FileList& files, FileSystem& fs, MessageSink& sink, const ProblemSink& problems);

}  // namespace talvoren
