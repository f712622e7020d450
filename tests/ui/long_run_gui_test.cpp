// A long run from the main window, held open by a slow file layer (the host
// slow_run_host): the window answers at every check and is never reported
// hung, takes no input by any way, holds a logoff, shows the wait cursor over
// itself, and exactly one message follows, under the arrow; a session that
// ends anyway leaves no temporary file. And a run nested in another, on a
// window of this process.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <set>
#include <string>

#include "platform/win32/wide_text.h"
#include "platform/winui/background_run_win32.h"
#include "tests/ui/gui_driver.h"

namespace talvoren::gui {
namespace {

constexpr int kSlowOpenMs = 50;  // as slow_run_host opens each source file

struct SlowRunWindow {
    explicit SlowRunWindow(const std::wstring& arguments = L"")
        : program(ProgramFolder() + L"\\slow_run_host.exe", arguments, L"") {
        form = WaitForWindow(program.Id(), L"TalvorenForm", L"放送データバージョンUPコンバータ");
        if (form == nullptr) return;
        source = Controls(form, L"Edit").at(0);
        destination = Controls(form, L"Edit").at(1);
        run = ControlWithText(form, L"Button", L"変換実行");
        cancel = ControlWithText(form, L"Button", L"キャンセル");
        for (HWND button : Controls(form, L"Button")) {
            if (Text(button) == L"参照(&B)") browses.push_back(button);
        }
    }

    Program program;
    HWND form = nullptr, source = nullptr, destination = nullptr, run = nullptr, cancel = nullptr;
    std::vector<HWND> browses;
};

// A source folder whose run lasts about `seconds` through the slow layer.
std::wstring SlowSource(const std::wstring& name, double seconds) {
    const std::wstring folder = FreshFolder(name);
    const int files = static_cast<int>(seconds * 1000 / kSlowOpenMs);
    for (int i = 0; i < files; ++i) WriteBytes(folder + L"\\F" + std::to_wstring(1000 + i) + L"Tp.csv", "A,1\r\n");
    return folder;
}

LRESULT AskToEndTheSession(HWND form) { return Send(form, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF); }

POINT CentreOf(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    return {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
}

// Real input, as the mouse and the keyboard give it to whichever window
// the system routes it to.
void SendClickAt(POINT at) {
    SetCursorPos(at.x, at.y);
    INPUT clicks[2]{};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
}

void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
    for (const auto& [key, down] : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        SendInput(1, &input, sizeof input);
    }
}

HCURSOR CursorShown() {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    return info.hCursor;
}

TEST(LongRunGui, TheWindowAnswersAndTakesNoInputThroughoutAndOneMessageFollows) {
    const std::wstring source = SlowSource(L"long-run-source", 6.5);
    const std::wstring destination = FreshFolder(L"long-run-destination");
    SlowRunWindow window;
    ASSERT_NE(window.form, nullptr);
    SetText(window.source, source);
    SetText(window.destination, destination);

    struct Attempt {
        const char* name;
        std::function<void()> make;
    };
    // Keys first: under Wine a click on a disabled window's frame hands the
    // activation to the desktop, whose Alt+F4 would end the whole session.
    const Attempt attempts[] = {
        {"Alt+F4",
         [] {
             SendKeys({{VK_MENU, true}, {VK_F4, true}, {VK_F4, false}, {VK_MENU, false}});
         }},
        {"typing",
         [] {
             SendKeys({{'Q', true}, {'Q', false}, {VK_BACK, true}, {VK_BACK, false}});
         }},
        {"Enter and Escape",
         [] {
             SendKeys({{VK_RETURN, true}, {VK_RETURN, false}, {VK_ESCAPE, true}, {VK_ESCAPE, false}});
         }},
        {"a click on Cancel", [&] { SendClickAt(CentreOf(window.cancel)); }},
        {"a click on the close box",
         [&] {
             RECT frame{};
             GetWindowRect(window.form, &frame);
             SendClickAt({frame.right - 12, frame.top + GetSystemMetrics(SM_CYCAPTION) / 2});
         }},
        {"WM_CLOSE from another program", [&] { PostMessageW(window.form, WM_CLOSE, 0, 0); }},
        {"Close on the taskbar button", [&] { PostMessageW(window.form, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        // Another program or an accessibility tool (a UI Automation invoke)
        // reaches the buttons and fields of a disabled window all the same.
        {"BM_CLICK on Run", [&] { Click(window.run); }},
        {"BM_CLICK on both browse buttons",
         [&] {
             for (HWND browse : window.browses) Click(browse);
         }},
        {"BM_CLICK on Cancel", [&] { Click(window.cancel); }},
        {"WM_SETTEXT emptying the source field",
         [&] {
             SetText(window.source, L"");
             EXPECT_TRUE(IsWindowEnabled(window.run)) << "the field's Change was handled during the run";
         }},
        {"a logoff asking first", [&] { EXPECT_EQ(AskToEndTheSession(window.form), 0) << "the logoff is not held"; }},
        {"a logoff called off", [&] { PostMessageW(window.form, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF); }},
    };

    const auto started = std::chrono::steady_clock::now();
    Click(window.run);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(window.form); })) << "the run takes the window's input";
    int checks = 0;
    std::size_t next_attempt = 0;
    const char* last_attempt = "none yet";
    HWND box = nullptr;
    while ((box = FindVisibleWindow(window.program.Id(), L"#32770", L"")) == nullptr &&
           std::chrono::steady_clock::now() - started < kTimeout) {
        DWORD_PTR answer = 0;
        EXPECT_NE(SendMessageTimeoutW(window.form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer), 0)
            << "check " << checks << ", last input: " << last_attempt;
        EXPECT_FALSE(IsHungAppWindow(window.form)) << "check " << checks;
        EXPECT_EQ(FindVisibleWindow(window.program.Id(), L"TalvorenForm", L"フォルダーの選択"), nullptr)
            << "a chooser opened, last input: " << last_attempt;
        if (next_attempt < std::size(attempts)) {
            last_attempt = attempts[next_attempt].name;
            attempts[next_attempt++].make();
        } else if (FindVisibleWindow(window.program.Id(), L"#32770", L"") == nullptr) {
            EXPECT_FALSE(IsWindowEnabled(window.form)) << "check " << checks;
        }
        ++checks;
        Sleep(200);
    }
    ASSERT_NE(box, nullptr) << "the run ended with no message";
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << "the run was not long";
    EXPECT_EQ(next_attempt, std::size(attempts));

    const MessageBoxSeen seen = WaitForMessageBox(window.program.Id());
    EXPECT_EQ(seen.text, L"変換が完了しました。");
    EXPECT_EQ(GetWindow(seen.window, GW_OWNER), window.form);
    Dismiss(seen);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(window.form) != FALSE; })) << "input again after the message";
    EXPECT_EQ(FindVisibleWindow(window.program.Id(), L"#32770", L""), nullptr) << "exactly one message";
    EXPECT_EQ(Text(window.destination), destination) << "nothing typed reached a field";
    EXPECT_FALSE(IsWindowEnabled(window.run)) << "the run button follows the emptied source field again";
    EXPECT_NE(AskToEndTheSession(window.form), 0) << "the logoff is still held after the run";
    EXPECT_TRUE(window.program.Running()) << "nothing closed the window";

    Click(window.cancel);
    EXPECT_EQ(window.program.WaitForExit(), 0u);
    EXPECT_EQ(window.program.ReadLine(), "run");
    EXPECT_EQ(window.program.ReadLine(), "") << "a second run started";
}

TEST(LongRunGui, ASessionEndingDuringARunAnywayRemovesTheUnfinishedTemporaryFile) {
    const std::wstring source = SlowSource(L"session-end-source", 0.5);
    const std::wstring destination = FreshFolder(L"session-end-destination");
    WriteBytes(destination + L"\\F1000Tp.csv", "older\r\n");
    // The host's run writes the first file and never puts it in place.
    SlowRunWindow window(L"hold");
    ASSERT_NE(window.form, nullptr);
    SetText(window.source, source);
    SetText(window.destination, destination);
    Click(window.run);
    ASSERT_TRUE(WaitFor([&] { return Names(destination).size() == 2; })) << "no temporary file appeared";

    PostMessageW(window.form, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(window.program.WaitForExit(), static_cast<DWORD>(STATUS_CONTROL_C_EXIT));
    EXPECT_EQ(Names(destination), std::set<std::wstring>{L"F1000Tp.csv"});
    EXPECT_EQ(ReadBytes(destination + L"\\F1000Tp.csv"), "older\r\n");
}

TEST(LongRunGui, TheWaitCursorShowsOnlyWhileFilesAreConverted) {
    // The pointer rests, unmoved from before the run until its message box is
    // up: a cursor left behind would stay until the mouse moves.
    struct Case {
        const char* where;
        std::function<POINT(const SlowRunWindow&)> rest;
    };
    const Case cases[] = {
        {"on the message box, in the window's middle", [](const SlowRunWindow& w) { return CentreOf(w.form); }},
        {"on the window beside the message box", [](const SlowRunWindow& w) { return CentreOf(w.cancel); }},
    };
    for (const Case& c : cases) {
        const std::wstring source = SlowSource(L"cursor-source", 1.5);
        SlowRunWindow window;
        ASSERT_NE(window.form, nullptr);
        SetText(window.source, source);
        SetText(window.destination, FreshFolder(L"cursor-destination"));
        const POINT rest = c.rest(window);
        SetCursorPos(rest.x, rest.y);
        HCURSOR arrow = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (arrow = CursorShown()) != nullptr; }));

        Click(window.run);
        EXPECT_TRUE(WaitFor([&] { return CursorShown() != arrow; })) << "no wait cursor during the run, " << c.where;
        const MessageBoxSeen box = WaitForMessageBox(window.program.Id());
        ASSERT_NE(box.window, nullptr);
        Sleep(300);  // a cursor the system would set late has been set by now
        EXPECT_EQ(CursorShown(), arrow) << "the wait cursor outlasted the run, " << c.where;
        Dismiss(box);
        Click(window.cancel);
        EXPECT_EQ(window.program.WaitForExit(), 0u);
    }
}

// Calls the function its user data points to at kRunNested, as a handler
// would; counts the WM_CLOSE that reach it.
constexpr UINT kRunNested = WM_APP + 1;

struct NestingWindow {
    std::function<void()> on_run_nested;
    int closes = 0;
};

LRESULT CALLBACK NestingWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<NestingWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message == kRunNested) self->on_run_nested();
    if (self != nullptr && message == WM_CLOSE) ++self->closes;
    if (message == kRunNested || message == WM_CLOSE) return 0;
    return DefWindowProcW(window, message, wparam, lparam);
}

TEST(LongRunGui, ARunNestedInAnotherLeavesTheWindowHeldUntilTheOuterRunEnds) {
    WNDCLASSW plain{};
    plain.lpfnWndProc = NestingWindowProc;
    plain.hInstance = GetModuleHandleW(nullptr);
    plain.lpszClassName = L"TalvorenTestNesting";
    RegisterClassW(&plain);
    HWND window = CreateWindowExW(0, plain.lpszClassName, L"nesting", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    NestingWindow nesting;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&nesting));
    auto expect_held = [&](const char* when) {
        EXPECT_FALSE(IsWindowEnabled(window)) << when;
        EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0) << when;
        SendMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(nesting.closes, 0) << when;
    };
    HANDLE outer_may_end = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    nesting.on_run_nested = [&] {
        expect_held("during the outer run");
        winui::RunInBackground(window, "inner", [](RunProgress&) {});
        expect_held("after the nested run");
        SetEvent(outer_may_end);
    };
    PostMessageW(window, kRunNested, 0, 0);
    winui::RunInBackground(window, "outer", [&](RunProgress&) { WaitForSingleObject(outer_may_end, INFINITE); });
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_NE(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0) << "still held after the outer run";
    DestroyWindow(window);
    CloseHandle(outer_may_end);
}

}  // namespace
}  // namespace talvoren::gui
