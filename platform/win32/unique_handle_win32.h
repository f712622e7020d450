// Win32 handles closed when their owner goes: a file or other kernel handle
// (CloseHandle) and a directory search (FindClose). Release hands one over.
#pragma once

#include <windows.h>

#include <utility>

namespace talvoren {

template <BOOL(WINAPI* Close)(HANDLE)>
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~OwnedHandle() {
        if (*this) Close(handle_);
    }
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

private:
    HANDLE handle_;
};

using UniqueHandle = OwnedHandle<CloseHandle>;
using UniqueFindHandle = OwnedHandle<FindClose>;

}  // namespace talvoren
