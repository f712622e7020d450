#include "platform/winui/windows_error_win32.h"

#include <windows.h>

#include "platform/win32/system_message_win32.h"

namespace talvoren::winui {

WindowsError::WindowsError(const std::string& operation, unsigned long code)
    : std::runtime_error(operation + ": " + SystemMessage(code) + " (" + std::to_string(code) + ")"), code_(code) {}

void ThrowLastError(const std::string& operation) { throw WindowsError(operation, GetLastError()); }

}  // namespace talvoren::winui
