// The check of a folder before converting it: every listed file read as a
// run reads it, every problem a run would meet listed, nothing written.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/run/file_system.h"
#include "core/run/folder_run.h"
#include "core/texts/message_sink.h"

namespace talvoren {

// One file a run would fail on: the path as the run's report names it, the
// 1-based line of a refused record (0 when the cause is no line's), and the
// cause in the words of the run's report.
struct FolderProblem {
    std::string path;
    std::uint64_t line = 0;
    std::string cause;
};

using ProblemSink = std::function<void(const FolderProblem&)>;

// Makes the checks a run makes before it converts (no matching file, a
// folder text missing; the destination's only when there is one), each
// answered by its message to `sink`; then reads every listed file of
// `source_text` with the run's reader, in list order, and tells `problems`
// of each file's first problem. With a destination it also looks, after a
// file reads well, at its destination name as a run would before replacing
// it: the folder and its alias checks, what stands at the name, a name that
// letter case makes one with an earlier one. Ends with one summary message
// to `sink`: Completed when every file would convert, Failed when one or
// more would not. Nothing is written anywhere but a probe file in the
// destination folder, made and removed at once. As in ConvertFolder, only a
// failure to list the source folder escapes, as ConvError.
RunEnd CheckFolder(const std::string& source_text, const std::optional<std::string>& destination_text,
                   FileList& files, FileSystem& fs, MessageSink& sink, const ProblemSink& problems);

}  // namespace talvoren
