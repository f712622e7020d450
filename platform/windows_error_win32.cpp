#include "platform/windows_error_win32.h"

#include <windows.h>

#include "platform/wide_text.h"

namespace talvoren::winui {
namespace {

std::string SystemText(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
    return Narrow(text);
}

}  // namespace

WindowsError::WindowsError(const std::string& operation, unsigned long code)
    : std::runtime_error(operation + ": " + SystemText(code) + " (" + std::to_string(code) + ")"),
      code_(code) {}

void ThrowLastError(const std::string& operation) {
    throw WindowsError(operation, GetLastError());
}

}  // namespace talvoren::winui
