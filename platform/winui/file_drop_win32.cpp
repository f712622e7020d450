#include "platform/winui/file_drop_win32.h"

#include "platform/win32/wide_text.h"

namespace talvoren::winui {

FileDrop TakeDrop(HDROP drop) {
    FileDrop taken;
    DragQueryPoint(drop, &taken.at);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        taken.paths.push_back(Narrow(path));
    }
    DragFinish(drop);
    return taken;
}

std::string FolderOfDroppedItem(const std::string& path) {
    std::wstring folder = Widen(path);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        const std::size_t last = folder.find_last_of(L'\\');
        if (last == std::wstring::npos) return {};
        folder.erase(last);
    }
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    return Narrow(folder);
}

}  // namespace talvoren::winui
