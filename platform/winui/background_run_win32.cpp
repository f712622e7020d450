#include "platform/winui/background_run_win32.h"

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <exception>
#include <thread>

#include "platform/files/interrupt_cleanup.h"
#include "platform/win32/wide_text.h"
#include "platform/winui/message_loop_win32.h"
#include "platform/winui/taskbar_progress_win32.h"

namespace talvoren::winui {
namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr wchar_t kBusyProperty[] = L"TalvorenBusy";  // set while the outermost run on the window goes
constexpr UINT_PTR kProgressTimer = 0x7A1;
constexpr UINT kProgressTickMs = 250;
constexpr auto kProgressAfter = std::chrono::seconds(1);

// The files done: counted on the worker thread, read on the window's.
class FileTally final : public RunProgress {
public:
    void Started(std::size_t file_count) override { total_ = file_count; }
    void FileConverted() override { ++done_; }
    std::size_t Total() const { return total_; }
    std::size_t Done() const { return done_; }

private:
    std::atomic<std::size_t> total_{0};
    std::atomic<std::size_t> done_{0};
};

struct Busy {
    explicit Busy(HWND window) : taskbar(window) {}
    FileTally tally;
    TaskbarProgress taskbar;
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::atomic<bool> finished{false};
};

// The window's messages while the work runs, before its own procedure.
LRESULT CALLBACK BusyWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR /*id*/,
                                DWORD_PTR data) {
    Busy& busy = *reinterpret_cast<Busy*>(data);
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
    case WM_CLOSE:
        // A disabled window gets no close box click or Alt+F4, but the
        // taskbar and other programs can still ask it to close.
        return 0;
    case WM_QUERYENDSESSION:
        // Holds a logoff or shutdown; Windows shows the reason given at the start.
        return FALSE;
    case WM_ENDSESSION:
        if (wparam == FALSE) return 0;  // called off: the run goes on
        // The session ends anyway, and the worker with the process, wherever
        // it is: what it was writing must not stay under a temporary name.
        RemovePendingTemporaryFiles();
        ExitProcess(STATUS_CONTROL_C_EXIT);
    case WM_TIMER:
        if (wparam != kProgressTimer) break;
        if (std::chrono::steady_clock::now() - busy.start >= kProgressAfter && busy.tally.Total() > 0) {
            busy.taskbar.Show(busy.tally.Done(), busy.tally.Total());
        }
        return 0;
    }
    return DefSubclassProc(window, message, wparam, lparam);
}

bool PointerOver(HWND window) {
    POINT pointer{};
    RECT frame{};
    return GetCursorPos(&pointer) && GetWindowRect(window, &frame) && PtInRect(&frame, pointer);
}

// The window's look, input and hold on the session while the work runs,
// undone on every way out. A run nested in another leaves them to the outer one.
class BusyWindow {
public:
    BusyWindow(HWND window, Busy& busy, const std::string& why)
        : window_(window), outermost_(GetPropW(window, kBusyProperty) == nullptr) {
        if (!outermost_) return;
        SetPropW(window_, kBusyProperty, reinterpret_cast<HANDLE>(&busy));
        was_enabled_ = EnableWindow(window, FALSE) == FALSE;
        // Keys go to the focused control even in a disabled window under some
        // systems (Wine): no control keeps the focus while the work runs.
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) {
            focus_ = focus;
            SetFocus(nullptr);
        }
        SetWindowSubclass(window_, BusyWindowProc, kSubclassId, reinterpret_cast<DWORD_PTR>(&busy));
        SetTimer(window_, kProgressTimer, kProgressTickMs, nullptr);
        // Where this fails (Wine shows no reason), the window's answer to
        // WM_QUERYENDSESSION still holds the session.
        ShutdownBlockReasonCreate(window_, Widen(why).c_str());
        // The pointer rests where the run was started: show the wait cursor
        // without waiting for it to move.
        if (PointerOver(window_)) SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    }
    ~BusyWindow() {
        if (!outermost_) return;
        RemovePropW(window_, kBusyProperty);
        ShutdownBlockReasonDestroy(window_);
        KillTimer(window_, kProgressTimer);
        RemoveWindowSubclass(window_, BusyWindowProc, kSubclassId);
        if (was_enabled_) EnableWindow(window_, TRUE);
        if (focus_ != nullptr && IsWindow(focus_)) SetFocus(focus_);
        // Nor does the wait cursor wait for a move to go: the run's message
        // box comes up under a resting pointer.
        if (PointerOver(window_)) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

private:
    HWND window_;
    const bool outermost_;
    bool was_enabled_ = false;
    HWND focus_ = nullptr;
};

}  // namespace

void RunInBackground(HWND window, const std::string& why, const std::function<void(RunProgress&)>& work) {
    Busy busy(window);
    std::exception_ptr failure;
    {
        const BusyWindow look(window, busy, why);
        std::thread worker([&] {
            try {
                work(busy.tally);
            } catch (...) {
                failure = std::current_exception();  // rethrown on the window's thread below
            }
            busy.finished = true;
            PostMessageW(window, WM_NULL, 0, 0);  // wakes the loop below to see it
        });
        // Nothing here posts WM_QUIT; were one to end the loop early, the
        // join would wait out the run.
        PumpMessagesUntil([&busy] { return busy.finished.load(); });
        worker.join();
    }
    if (failure) std::rethrow_exception(failure);
}

}  // namespace talvoren::winui
