#include "platform/win32/system_message_win32.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace talvoren {

std::string SystemMessage(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0) return "Windows error " + std::to_string(code);
    std::wstring text(buffer, length);
    LocalFree(buffer);
    // The texts end in a line break, which would split a line of a report.
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return Narrow(text);
}

}  // namespace talvoren
