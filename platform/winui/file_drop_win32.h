// Files and folders dropped onto a window from Explorer (WM_DROPFILES): where
// they landed and what they were, and the folder a dropped item stands for.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace talvoren::winui {

struct FileDrop {
    POINT at{};                      // in the client area of the window dropped on, in pixels
    std::vector<std::string> paths;  // full paths, in Explorer's order
};

// Reads the drop and releases it, as its receiver must.
FileDrop TakeDrop(HDROP drop);

// A folder stands for itself, a file for the folder that holds it, in the
// form a confirmed folder choice has: a drive's root ends in "\", no other
// folder does. Empty when the item can't be looked at (gone meanwhile).
std::string FolderOfDroppedItem(const std::string& path);

}  // namespace talvoren::winui
