// The folder conversion run: every "*Tp.csv" of the source folder converted
// into a file of the same name in the destination folder, ended by exactly
// one message.
#pragma once

#include <optional>
#include <string>

#include "core/run/file_system.h"
#include "core/run/run_progress.h"
#include "core/texts/message_sink.h"

namespace talvoren {

// How a run ended; each end has shown its one message. The first two come
// only from the front ends' entry, RunConversion (conversion_run.h).
enum class RunEnd {
    IdenticalFolders,
    SourceUnreadable,
    NoMatchingFiles,
    SourceNotGiven,
    DestinationNotGiven,
    Completed,
    Failed,
};

// Lists `source_text` (unchanged) through `files`, checks the two texts, then
// converts the listed names in list order, each from a source file opened for
// reading into a replacement of the destination file, which takes the
// destination name only once complete and durable: finished files are
// flushed together, a bounded batch at a time, then named in list order, and
// the destination folder is flushed before the one message. The folder texts get the file system's
// separator appended unless they already end in one; nothing else about them
// is changed. There is no limit on the number of files.
//
// The first ConvError from an open, a conversion or a commit stops the run
// (running out of memory counts as one): the unfinished replacement is
// discarded, both files are closed, the files before it take their names,
// the six-line error report is shown and nothing later is touched. So files
// before the failing one are converted, and the failing one and all later
// ones keep what they held. Refused before anything is written: a
// destination that is one of the listed source files (same folder under
// another text, a link, or a folder that shows files made in the
// destination), and a destination file this run has already written from
// another listed name (also by a name that differs only in letter case where
// the destination folder ignores case).
//
// Only a failure to list the source folder escapes, as ConvError, with no
// message shown: the caller reports it (SourceUnreadableMessage).
//
// `progress` is told the file count, the bytes read and each converted file.
RunEnd ConvertFolder(const std::string& source_text, const std::string& destination_text, FileList& files,
                     FileSystem& fs, MessageSink& sink, RunProgress& progress = NoRunProgress());

// The checks before a run converts, in their order: lists `source_text`
// (unchanged) through `files`, then refuses no matching file, an empty source
// text and an empty destination text (not looked at when null), each with
// its message to `sink`. Nothing when the run may go on; a failure to list
// escapes as ConvError.
std::optional<RunEnd> RefuseBeforeConverting(const std::string& source_text, const std::string* destination_text,
                                             FileList& files, MessageSink& sink);

}  // namespace talvoren
