#include "core/run/folder_text.h"

namespace talvoren {

std::string NormalisedFolder(const std::string& folder_text, char separator) {
    if (!folder_text.empty() && folder_text.back() == separator) return folder_text;
    return folder_text + separator;
}

std::string FoldedCase(std::string name) {
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
}

}  // namespace talvoren
