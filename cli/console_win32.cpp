// Terminal output on Windows: WriteConsoleW to a console; UTF-8 bytes with
// CR LF line ends when the stream is redirected to a file or a pipe.
#include "cli/console.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <mutex>

#include "platform/win32/wide_text.h"

namespace talvoren {
namespace {

// Held by every write, and for good by the control handler's blanking: the
// handler runs on a thread of its own, and no text of the run may follow
// the blanks onto the console.
std::mutex console_lock;
std::atomic<std::size_t> columns_to_blank{0};

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
    const std::lock_guard<std::mutex> hold(console_lock);
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

std::size_t TerminalColumns(ConsoleStream stream) {
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (!GetConsoleScreenBufferInfo(StandardHandle(stream), &info) || info.dwSize.X <= 0) return 0;
    return static_cast<std::size_t>(info.dwSize.X);
}

void SetColumnsToBlankOnInterrupt(std::size_t columns) { columns_to_blank.store(columns); }

void BlankColumnsOnInterrupt() {
    static const wchar_t kBlanks[] = L"                                                                ";
    console_lock.lock();  // never released: the process ends next
    std::size_t left = columns_to_blank.load();
    const HANDLE handle = StandardHandle(ConsoleStream::Error);
    DWORD mode = 0;
    if (left == 0 || !GetConsoleMode(handle, &mode)) return;
    DWORD written = 0;
    WriteConsoleW(handle, L"\r", 1, &written, nullptr);
    while (left > 0) {
        const std::size_t part = std::min(left, std::size(kBlanks) - 1);
        WriteConsoleW(handle, kBlanks, static_cast<DWORD>(part), &written, nullptr);
        left -= part;
    }
    WriteConsoleW(handle, L"\r", 1, &written, nullptr);
}

}  // namespace talvoren
