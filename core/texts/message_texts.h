// Every message of the folder run and of the checks made before it starts,
// with its icon and title; the window and the driver show them unchanged.
#pragma once

#include <cstddef>
#include <string>

#include "core/texts/message_sink.h"

namespace talvoren {

// The two folder texts are equal character for character.
RunMessage IdenticalFoldersMessage();

RunMessage NoMatchingFilesMessage();
RunMessage SourceNotGivenMessage();
RunMessage DestinationNotGivenMessage();
RunMessage CompletedMessage();

// The six-line error report: both files of the failing index, then the
// failure's description.
RunMessage ConversionFailedMessage(const std::string& source_file, const std::string& destination_file,
                                   const std::string& description);

// The last line of a check: how many files were read, how many would fail.
RunMessage CheckSummaryMessage(std::size_t checked, std::size_t failing);

// The source folder text could not be listed: the caller of the run reports it.
RunMessage SourceUnreadableMessage(const std::string& folder_text, const std::string& description);

}  // namespace talvoren
