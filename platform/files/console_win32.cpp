// Terminal output on Windows: WriteConsoleW to a console; UTF-8 bytes with
// CR LF line ends when the stream is redirected to a file or a pipe.
#include "platform/files/console.h"

#include <windows.h>

#include "platform/files/wide_text.h"

namespace talvoren {
namespace {

HANDLE StandardHandle(ConsoleStream stream) {
    return GetStdHandle(stream == ConsoleStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

std::string WithCrLf(const std::string& text) {
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') result += '\r';
        result += c;
    }
    return result;
}

}  // namespace

void WriteConsoleText(ConsoleStream stream, const std::string& text) {
    const HANDLE handle = StandardHandle(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide = Widen(text);
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const std::string bytes = WithCrLf(text);
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool IsTerminal(ConsoleStream stream) {
    DWORD mode = 0;
    return GetConsoleMode(StandardHandle(stream), &mode) != FALSE;
}

}  // namespace talvoren
