// The share of work done, shown on a window's taskbar button (the taskbar
// progress of Windows 7 and later). Where the taskbar offers no progress (an
// older system, Wine), nothing is shown and nothing fails.
#pragma once

#include <windows.h>
#include <shobjidl.h>

#include <cstdint>

namespace talvoren::winui {

class TaskbarProgress {
public:
    explicit TaskbarProgress(HWND window) : window_(window) {}
    ~TaskbarProgress();  // the button as it was: no progress
    TaskbarProgress(const TaskbarProgress&) = delete;
    TaskbarProgress& operator=(const TaskbarProgress&) = delete;

    // Must be called on the window's thread; the taskbar is reached at the first call.
    void Show(std::uint64_t done, std::uint64_t total);

private:
    void Connect();

    HWND window_;
    bool connected_ = false;
    bool com_started_ = false;
    ITaskbarList3* taskbar_ = nullptr;
};

}  // namespace talvoren::winui
