// A failed Win32 call of the windowing runtime: what was attempted and the
// system's error code, with the system's own wording of it.
#pragma once

#include <stdexcept>
#include <string>

namespace talvoren::winui {

class WindowsError : public std::runtime_error {
public:
    WindowsError(const std::string& operation, unsigned long code);
    unsigned long code() const { return code_; }

private:
    unsigned long code_;
};

// Throws WindowsError for `operation` with GetLastError().
[[noreturn]] void ThrowLastError(const std::string& operation);

}  // namespace talvoren::winui
