#include "platform/files/literal_path_win32.h"

#include <windows.h>

#include "platform/files/os_error.h"
#include "platform/win32/wide_text.h"

namespace talvoren {
namespace {

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

std::wstring FullPath(const std::wstring& folder) {
    DWORD size = GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr);
    for (;;) {
        if (size == 0) throw LastOsError();
        std::wstring full(size, L'\0');
        const DWORD length = GetFullPathNameW(folder.c_str(), size, full.data(), nullptr);
        if (length < size) {
            full.resize(length);
            return full;
        }
        size = length;  // the current folder changed in between
    }
}

}  // namespace

std::wstring LiteralPath(const std::string& path) {
    const std::wstring wide = Widen(path);
    const std::size_t separator = wide.find_last_of(L"\\/");
    const std::wstring name = separator == std::wstring::npos ? wide : wide.substr(separator + 1);
    const std::wstring folder = separator == std::wstring::npos ? L".\\" : wide.substr(0, separator + 1);
    // Already literal: leave it alone.
    if (StartsWith(folder, L"\\\\?\\") || StartsWith(folder, L"\\\\.\\")) return folder + name;
    std::wstring full = FullPath(folder);
    if (full.empty() || (full.back() != L'\\' && full.back() != L'/')) full += L'\\';
    if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2) + name;
    return L"\\\\?\\" + full + name;
}

}  // namespace talvoren
