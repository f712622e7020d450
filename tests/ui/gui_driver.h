// Drives another process's windows the way a user does: finds them by class
// and caption, clicks with posted BM_CLICK, types with WM_SETTEXT, reads texts
// and rectangles back. Every wait polls for its condition up to a generous
// timeout instead of sleeping a fixed time.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <vector>

namespace talvoren::gui {

constexpr auto kTimeout = std::chrono::seconds(30);

// A program under test, started with its standard output on a pipe.
class Program {
public:
    Program(const std::wstring& exe, const std::wstring& arguments, const std::wstring& directory);
    ~Program();  // ends the program if it still runs
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD Id() const { return process_.dwProcessId; }
    // The next line of output (UTF-8, without its "\n"); fails the test on timeout.
    std::string ReadLine();
    // Waits for the process to end; returns its exit code.
    DWORD WaitForExit();
    bool Running() const;

private:
    PROCESS_INFORMATION process_{};
    HANDLE output_ = nullptr;
    std::string pending_;
};

// The visible top-level window of process `pid` with this class and caption.
HWND WaitForWindow(DWORD pid, const std::wstring& window_class, const std::wstring& caption);
// Nothing when there is none now.
HWND FindVisibleWindow(DWORD pid, const std::wstring& window_class, const std::wstring& caption);
void WaitUntilHidden(HWND window);

// Child controls of `form` with this class, top to bottom then left to right.
std::vector<HWND> Controls(HWND form, const std::wstring& window_class);
HWND ControlWithText(HWND form, const std::wstring& window_class, const std::wstring& text);

// The window's answer to a message sent to it; fails the test on timeout.
LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
std::wstring Text(HWND window);
void SetText(HWND edit, const std::wstring& text);
void Click(HWND button);
// The control's rectangle in its parent's client coordinates.
RECT PlaceInParent(HWND control);
SIZE ClientSize(HWND window);
// The control holding the keyboard focus in the thread owning `window`.
HWND FocusIn(HWND window);

std::vector<std::wstring> ListTexts(HWND list);
std::vector<LPARAM> ListData(HWND list);
int ListSelection(HWND list);
// Highlights an entry as a single click does, without opening it.
void Highlight(HWND list, int entry);
// A double-click on the entry, through the list's own mouse handling.
void DoubleClick(HWND list, int entry);
// Enter pressed in the list.
void PressEnter(HWND list);
std::vector<std::wstring> ComboTexts(HWND combo);
std::wstring ComboSelection(HWND combo);
// Picks an entry of a drop-down list as the user does: the selection and its notification.
void Choose(HWND combo, int entry);

// A message box (#32770) of process `pid`: its title, its text and whether
// it shows an icon. Which icon can't be told from outside under Wine: icon
// handles are private to their process.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
    bool icon_shown = false;
};
MessageBoxSeen WaitForMessageBox(DWORD pid);
void Dismiss(const MessageBoxSeen& box);

// Waits until `condition` holds; false on timeout.
template <class Condition>
bool WaitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + kTimeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        Sleep(20);
    }
    return true;
}

// The DPI the display is set to: TALVOREN_DPI (scripts/with-xvfb sets the
// prefix to it), 96 when unset. The test program asks to be per-monitor DPI
// aware, as the programs it reads pixels from are.
int DisplayDpi();
// A rectangle of the 96-DPI design at the display's DPI, edge by edge.
RECT Scaled(const RECT& at_96);
std::string Describe(const RECT& rect);
// Within a pixel of `expected` at a scaled display, exactly at 96 DPI.
::testing::AssertionResult PlacedAt(const RECT& seen, const RECT& expected);

// A folder next to the test program, made afresh (and emptied) for one test.
std::wstring FreshFolder(const std::wstring& name);
void MakeFolder(const std::wstring& path);
// The folder of the running test program.
std::wstring ProgramFolder();
// A file's bytes ("<missing>" when it can't be read), and writing them anew.
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
// The names in a folder, without "." and "..".
std::set<std::wstring> Names(const std::wstring& folder);

}  // namespace talvoren::gui
