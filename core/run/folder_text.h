// The two rules the run applies to names as text: the trailing separator of
// a folder text, and letter case as folders that ignore it see it.
#pragma once

#include <string>

namespace talvoren {

// `folder_text` followed by `separator` unless it already ends in one; a text
// ending in '/' still gets '\\' on Windows (the file opened is the same, and
// a report shows the text as the user gave it).
std::string NormalisedFolder(const std::string& folder_text, char separator);

// `name` with a-z made A-Z, as file systems that ignore letter case fold the
// plain letters; every other byte unchanged.
std::string FoldedCase(std::string name);

}  // namespace talvoren
