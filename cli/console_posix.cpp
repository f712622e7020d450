// Terminal output on POSIX: the UTF-8 bytes as they are.
#include "cli/console.h"

#include <errno.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace talvoren {
namespace {

int DescriptorOf(ConsoleStream stream) { return stream == ConsoleStream::Output ? STDOUT_FILENO : STDERR_FILENO; }

// Read by a signal handler.
std::atomic<std::size_t> columns_to_blank{0};
static_assert(std::atomic<std::size_t>::is_always_lock_free);

void WriteAllToStandardError(const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(STDERR_FILENO, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

}  // namespace

void WriteConsoleText(ConsoleStream stream, const std::string& text) {
    std::FILE* file = stream == ConsoleStream::Output ? stdout : stderr;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
}

bool IsTerminal(ConsoleStream stream) { return isatty(DescriptorOf(stream)) == 1; }

std::size_t TerminalColumns(ConsoleStream stream) {
    struct winsize size = {};
    if (ioctl(DescriptorOf(stream), TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

void SetColumnsToBlankOnInterrupt(std::size_t columns) { columns_to_blank.store(columns); }

void BlankColumnsOnInterrupt() {
    static const char kBlanks[] = "                                                                ";
    std::size_t left = columns_to_blank.load();
    if (left == 0) return;
    const int saved_errno = errno;
    WriteAllToStandardError("\r", 1);
    while (left > 0) {
        const std::size_t part = std::min(left, sizeof kBlanks - 1);
        WriteAllToStandardError(kBlanks, part);
        left -= part;
    }
    WriteAllToStandardError("\r", 1);
    errno = saved_errno;
}

}  // namespace talvoren
