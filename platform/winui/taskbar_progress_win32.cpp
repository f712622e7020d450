#include "platform/winui/taskbar_progress_win32.h"

namespace talvoren::winui {

TaskbarProgress::~TaskbarProgress() {
    if (taskbar_ != nullptr) {
        taskbar_->SetProgressState(window_, TBPF_NOPROGRESS);
        taskbar_->Release();
    }
    if (com_started_) CoUninitialize();
}

void TaskbarProgress::Show(std::uint64_t done, std::uint64_t total) {
    if (!connected_) Connect();
    if (taskbar_ != nullptr) taskbar_->SetProgressValue(window_, done, total);
}

// A failure here only means no progress on the button: the run goes on.
void TaskbarProgress::Connect() {
    connected_ = true;
    // S_FALSE (already started on this thread) is undone by CoUninitialize too.
    com_started_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&taskbar_)))) {
        taskbar_ = nullptr;
        return;
    }
    if (FAILED(taskbar_->HrInit())) {
        taskbar_->Release();
        taskbar_ = nullptr;
    }
}

}  // namespace talvoren::winui
