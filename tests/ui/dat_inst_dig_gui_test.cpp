// Talvoren.exe driven as a user drives it: the main window at start, the run
// button rule, the refusal of identical folders, browsing into the fields,
// real runs over temporary folders with their one message each, and the
// ways the program ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "core/texts/failure.h"
#include "core/texts/failure_description.h"
#include "core/texts/message_texts.h"
#include "platform/win32/wide_text.h"
#include "tests/ui/designed_places.h"
#include "tests/ui/gui_driver.h"
#include "ui/dat_inst_dig_layout.h"

namespace talvoren::gui {
namespace {

const std::wstring kCaption = L"放送データバージョンUPコンバータ";
const std::wstring kChooserCaption = L"フォルダーの選択";

class MainWindow {
public:
    explicit MainWindow(const std::wstring& directory = L"")
        : program(ProgramFolder() + L"\\..\\..\\app\\Talvoren.exe", L"", directory) {
        form = WaitForWindow(program.Id(), L"TalvorenForm", kCaption);
        if (form == nullptr) return;
        const std::vector<HWND> edits = Controls(form, L"Edit");
        source = edits.at(0);  // the upper field
        destination = edits.at(1);
        std::vector<HWND> browses;
        for (HWND button : Controls(form, L"Button")) {
            if (Text(button) == L"参照(&B)") browses.push_back(button);
        }
        browse_source = browses.at(0);
        browse_destination = browses.at(1);
        run = ControlWithText(form, L"Button", L"変換実行");
        cancel = ControlWithText(form, L"Button", L"キャンセル");
    }

    void Fill(const std::wstring& source_text, const std::wstring& destination_text) {
        SetText(source, source_text);
        SetText(destination, destination_text);
    }

    // Presses Run and returns the one message box the run ends with, dismissed.
    // While it is shown it belongs to the main window, which takes no input.
    MessageBoxSeen RunAndDismiss() {
        Click(run);
        MessageBoxSeen box = WaitForMessageBox(program.Id());
        EXPECT_EQ(GetWindow(box.window, GW_OWNER), form);
        EXPECT_FALSE(IsWindowEnabled(form));
        Dismiss(box);
        EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(form) != FALSE; }));
        EXPECT_EQ(FindVisibleWindow(program.Id(), L"#32770", L""), nullptr) << "exactly one message";
        return box;
    }

    // Browses for a field: the chooser as it appears, with its controls.
    HWND Browse(HWND button) {
        Click(button);
        return WaitForWindow(program.Id(), L"TalvorenForm", kChooserCaption);
    }

    Program program;
    HWND form = nullptr, source = nullptr, destination = nullptr;
    HWND browse_source = nullptr, browse_destination = nullptr, run = nullptr, cancel = nullptr;
};

// Two legacy files (one with Shift-JIS text bytes) and one the pattern leaves out.
const std::string kLegacyA = "\"ABC\",12\r\n\"A,B\",-7\r\n";
const std::string kUpgradedA = "ABC, 12,0\r\nA,B,-7,0\r\n";
const std::string kLegacyB = "\"\x83\x65\x83\x58\x83\x67\",0\r\n\"\",32767\r\n";
const std::string kUpgradedB = "\x83\x65\x83\x58\x83\x67, 0,0\r\n, 32767,0\r\n";

std::wstring SourceFolder(const std::wstring& name) {
    const std::wstring folder = FreshFolder(name);
    WriteBytes(folder + L"\\AB01Tp.csv", kLegacyA);
    WriteBytes(folder + L"\\CD02Tp.csv", kLegacyB);
    WriteBytes(folder + L"\\notes.txt", "not a legacy file\r\n");
    return folder;
}

void ExpectSourceUntouched(const std::wstring& folder) {
    EXPECT_EQ(ReadBytes(folder + L"\\AB01Tp.csv"), kLegacyA);
    EXPECT_EQ(ReadBytes(folder + L"\\CD02Tp.csv"), kLegacyB);
    EXPECT_EQ(Names(folder), (std::set<std::wstring>{L"AB01Tp.csv", L"CD02Tp.csv", L"notes.txt"}));
}

TEST(DatInstDigGui, StartsCentredWithEmptyFieldsTheRunButtonDisabledAndFocusOnTheDestination) {
    MainWindow window;
    ASSERT_NE(window.form, nullptr);
    EXPECT_EQ(Text(window.source), L"");
    EXPECT_EQ(Text(window.destination), L"");
    EXPECT_FALSE(IsWindowEnabled(window.run));
    EXPECT_TRUE(IsWindowEnabled(window.cancel));
    EXPECT_TRUE(IsWindowEnabled(window.browse_source));
    EXPECT_TRUE(IsWindowEnabled(window.browse_destination));
    EXPECT_TRUE(WaitFor([&] { return FocusIn(window.form) == window.destination; })) << "focus on the destination";

    const LONG_PTR style = GetWindowLongPtrW(window.form, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0) << "a fixed dialog frame";
    EXPECT_NE(style & WS_SYSMENU, 0) << "a close box";
    EXPECT_NE(GetWindowLongPtrW(window.form, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0) << "in the taskbar";
    RECT frame{};
    GetWindowRect(window.form, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window.form, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& screen = monitor.rcMonitor;
    EXPECT_LE(std::abs((frame.left - screen.left) - (screen.right - frame.right)), 1) << "centred across";
    EXPECT_LE(std::abs((frame.top - screen.top) - (screen.bottom - frame.bottom)), 1) << "centred down";
    EXPECT_EQ(FindVisibleWindow(window.program.Id(), L"TalvorenForm", kChooserCaption), nullptr);

    Click(window.cancel);
    EXPECT_EQ(window.program.WaitForExit(), 0u);
}

// The window class a control of each kind is made of, as GetClassName gives it in lower case.
std::wstring KindOf(winui::ControlKind kind) {
    switch (kind) {
    case winui::ControlKind::Label:
    case winui::ControlKind::Picture:
        return L"static";
    case winui::ControlKind::TextBox:
        return L"edit";
    case winui::ControlKind::CommandButton:
        return L"button";
    case winui::ControlKind::DriveList:
        return L"combobox";
    case winui::ControlKind::DirList:
    case winui::ControlKind::FileList:
        return L"listbox";
    }
    return L"?";
}

TEST(DatInstDigGui, WindowAndEveryControlHaveTheirDesignedRectanglesAtTheDisplaysScale) {
    MainWindow window;
    ASSERT_NE(window.form, nullptr);
    const winui::FormLayout& layout = DatInstDigLayout();
    const SIZE client = ClientSize(window.form);
    EXPECT_TRUE(PlacedAt({0, 0, client.cx, client.cy}, Scaled(ClientAt96(layout)))) << "client area";

    struct Control {
        std::wstring kind, text;
        RECT place;  // at 96 DPI
        bool visible;
    };
    std::vector<Control> seen;
    for (HWND child = GetWindow(window.form, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = L"";
        GetClassNameW(child, name, 64);
        std::wstring kind = name;
        std::transform(kind.begin(), kind.end(), kind.begin(), [](wchar_t c) { return std::towlower(c); });
        seen.push_back({kind, Text(child), PlaceInParent(child), IsWindowVisible(child) != FALSE});
    }
    // What each row of the table makes: its window class, and the text only
    // a caption shows (a file list's pattern is not its window text).
    std::vector<Control> designed;
    for (const winui::ControlRow& row : layout.controls) {
        const bool captioned = row.kind == winui::ControlKind::Label || row.kind == winui::ControlKind::CommandButton;
        designed.push_back({KindOf(row.kind), captioned ? Widen(row.text) : L"", PlaceAt96(row.rect), row.visible});
    }
    EXPECT_EQ(seen.size(), designed.size());
    for (const Control& control : designed) {
        // Each designed control is one of the window's, and none is counted twice.
        auto match = std::find_if(seen.begin(), seen.end(), [&](const Control& other) {
            return other.kind == control.kind && other.text == control.text && other.visible == control.visible &&
                   PlacedAt(other.place, Scaled(control.place));
        });
        EXPECT_NE(match, seen.end()) << "no " << Narrow(control.kind) << " \"" << Narrow(control.text) << "\" at "
                                     << Describe(Scaled(control.place));
        if (match != seen.end()) seen.erase(match);
    }
    Click(window.cancel);
    EXPECT_EQ(window.program.WaitForExit(), 0u);
}

TEST(DatInstDigGui, TabFollowsTheDesignedOrderAndSkipsTheDisabledRunButton) {
    MainWindow window;
    ASSERT_NE(window.form, nullptr);
    ASSERT_TRUE(WaitFor([&] { return FocusIn(window.form) == window.destination; }));
    auto press_tab = [&](HWND expected) {
        HWND focus = FocusIn(window.form);
        PostMessageW(focus, WM_KEYDOWN, VK_TAB, 0x000F0001);
        PostMessageW(focus, WM_KEYUP, VK_TAB, 0xC00F0001);
        EXPECT_TRUE(WaitFor([&] { return FocusIn(window.form) == expected; }))
            << "focus on \"" << Narrow(Text(FocusIn(window.form))) << "\"";
    };
    for (HWND next :
         {window.source, window.browse_destination, window.browse_source, window.cancel, window.destination}) {
        press_tab(next);
    }
    window.Fill(L"a", L"b");
    for (HWND next : {window.source, window.browse_destination, window.browse_source, window.cancel, window.run,
                      window.destination}) {
        press_tab(next);
    }
    Click(window.cancel);
    EXPECT_EQ(window.program.WaitForExit(), 0u);
}

TEST(DatInstDigGui, TheRunButtonIsEnabledExactlyWhileBothFieldsHoldText) {
    MainWindow window;
    ASSERT_NE(window.form, nullptr);
    struct Step {
        HWND field;
        const wchar_t* text;
        bool enabled;
    };
    const Step steps[] = {
        {window.source, L"C:\\old", false}, {window.destination, L"D:\\new", true}, {window.source, L"", false},
        {window.source, L" ", true},        {window.destination, L"", false},       {window.destination, L"x", true},
        {window.destination, L"\\", true},  {window.source, L"\\", true},
    };
    for (const Step& step : steps) {
        SetText(step.field, step.text);
        EXPECT_EQ(IsWindowEnabled(window.run) != FALSE, step.enabled)
            << "source \"" << Narrow(Text(window.source)) << "\", destination \"" << Narrow(Text(window.destination))
            << "\"";
    }

    // A click that reaches the disabled button starts nothing. The browse
    // clicked after it is handled after it, so once the chooser is up the run
    // would have shown its message.
    SetText(window.destination, L"");
    ASSERT_FALSE(IsWindowEnabled(window.run));
    Click(window.run);
    HWND chooser = window.Browse(window.browse_source);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(FindVisibleWindow(window.program.Id(), L"#32770", L""), nullptr);
    Click(ControlWithText(chooser, L"Button", L"キャンセル"));
    WaitUntilHidden(chooser);
    EXPECT_EQ(Text(window.source), L"\\") << "Cancel keeps the field";
    Click(window.cancel);
    EXPECT_EQ(window.program.WaitForExit(), 0u);
}

// Each run ends with the one message core makes for its outcome, shown as
// it is made (title, text, icon), and leaves the folders as it should; the
// window goes on with both fields as they were.
TEST(DatInstDigGui, EachOutcomeEndsWithItsOneMessageAndLeavesTheFoldersAsItShould) {
    struct Folders {
        std::wstring source, destination;
    };
    struct Outcome {
        const char* run;
        std::function<Folders()> make;
        std::function<RunMessage(const Folders&)> message;
        std::function<void(const Folders&)> leaves;
    };
    const std::string not_found = FailureOf(FailureCode::NotFound).what();
    const Outcome outcomes[] = {
        {"identical folder texts",
         [] {
             const std::wstring folder = SourceFolder(L"identical");
             return Folders{folder, folder};
         },
         [](const Folders&) { return IdenticalFoldersMessage(); },
         [](const Folders& folders) { ExpectSourceUntouched(folders.source); }},
        {"a conversion over an older file",
         [] {
             const Folders folders{SourceFolder(L"convert-source"), FreshFolder(L"convert-destination")};
             WriteBytes(folders.destination + L"\\CD02Tp.csv", "an older file of the same name, replaced\r\n");
             return folders;
         },
         [](const Folders&) { return CompletedMessage(); },
         [](const Folders& folders) {
             EXPECT_EQ(ReadBytes(folders.destination + L"\\AB01Tp.csv"), kUpgradedA);
             EXPECT_EQ(ReadBytes(folders.destination + L"\\CD02Tp.csv"), kUpgradedB);
             EXPECT_EQ(Names(folders.destination), (std::set<std::wstring>{L"AB01Tp.csv", L"CD02Tp.csv"}));
             ExpectSourceUntouched(folders.source);
         }},
        {"a source without matching files",
         [] {
             const std::wstring source = FreshFolder(L"no-files-source");
             WriteBytes(source + L"\\notes.txt", "x");
             return Folders{source, FreshFolder(L"no-files-destination")};
         },
         [](const Folders&) { return NoMatchingFilesMessage(); },
         [](const Folders& folders) { EXPECT_TRUE(Names(folders.destination).empty()); }},
        {"a missing destination: the report names the first file",
         [] {
             return Folders{SourceFolder(L"missing-destination-source"),
                            FreshFolder(L"missing-destination") + L"\\not-there"};
         },
         [&not_found](const Folders& folders) {
             return ConversionFailedMessage(Narrow(folders.source + L"\\AB01Tp.csv"),
                                            Narrow(folders.destination + L"\\AB01Tp.csv"), not_found);
         },
         [](const Folders& folders) {
             ExpectSourceUntouched(folders.source);
             EXPECT_EQ(GetFileAttributesW(folders.destination.c_str()), INVALID_FILE_ATTRIBUTES)
                 << "no folder is created";
         }},
        {"a source folder that cannot be listed",
         [] {
             return Folders{FreshFolder(L"unlisted") + L"\\not-there", FreshFolder(L"unlisted-destination")};
         },
         [&not_found](const Folders& folders) { return SourceUnreadableMessage(Narrow(folders.source), not_found); },
         [](const Folders&) {}},
    };
    for (const Outcome& outcome : outcomes) {
        SCOPED_TRACE(outcome.run);
        const Folders folders = outcome.make();
        MainWindow window;
        ASSERT_NE(window.form, nullptr);
        window.Fill(folders.source, folders.destination);
        const MessageBoxSeen box = window.RunAndDismiss();
        const RunMessage expected = outcome.message(folders);
        EXPECT_EQ(box.title, Widen(expected.title));
        EXPECT_EQ(box.text, Widen(expected.text));
        EXPECT_TRUE(box.icon_shown);
        outcome.leaves(folders);
        EXPECT_EQ(Text(window.source), folders.source);
        EXPECT_EQ(Text(window.destination), folders.destination);
        EXPECT_TRUE(IsWindowEnabled(window.run)) << "the run leaves the button as it was";
        Click(window.cancel);
        EXPECT_EQ(window.program.WaitForExit(), 0u);
    }
}

TEST(DatInstDigGui, TextsDifferingByATrailingBackslashOrLetterCaseReachTheRunWhichLeavesTheSourceIntact) {
    const std::wstring folder = SourceFolder(L"same-folder");
    std::wstring upper = folder;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](wchar_t c) { return std::towupper(c); });
    ASSERT_NE(upper, folder);
    MainWindow window;
    ASSERT_NE(window.form, nullptr);
    for (const std::wstring& destination : {folder + L"\\", upper}) {
        window.Fill(folder, destination);
        const MessageBoxSeen box = window.RunAndDismiss();
        EXPECT_EQ(box.title, L"エラー");
        EXPECT_EQ(box.text.substr(0, 14), L"変換中に問題が発生しました。") << Narrow(box.text);
        EXPECT_NE(box.text.find(L"変換元ファイル：" + folder + L"\\AB01Tp.csv"), std::wstring::npos)
            << Narrow(box.text);
        ExpectSourceUntouched(folder);
    }
    Click(window.cancel);
    EXPECT_EQ(window.program.WaitForExit(), 0u);
}

TEST(DatInstDigGui, BrowseFillsEitherFieldWithTheChosenFolderAndCancelKeepsTheField) {
    const std::wstring folder = FreshFolder(L"browse");
    MakeFolder(folder + L"\\alpha");
    MainWindow window(folder);
    ASSERT_NE(window.form, nullptr);

    HWND chooser = window.Browse(window.browse_source);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(Text(Controls(chooser, L"Static").at(0)),
              L"旧バージョンのデータが入っている位置(フォルダー)を指定してください");
    EXPECT_FALSE(IsWindowEnabled(window.form)) << "the main window takes no input while the chooser is shown";
    Click(ControlWithText(chooser, L"Button", L"OK"));
    EXPECT_TRUE(WaitFor([&] { return Text(window.source) == folder; })) << Narrow(Text(window.source));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(window.form) != FALSE; }));
    EXPECT_FALSE(IsWindowEnabled(window.run)) << "one field alone";

    EXPECT_EQ(window.Browse(window.browse_destination), chooser) << "the same chooser serves every browse";
    EXPECT_EQ(Text(Controls(chooser, L"Static").at(0)), L"コンバートしたデータの保存先(フォルダー)を指定してください");
    HWND list = Controls(chooser, L"ListBox").at(0);
    const std::vector<std::wstring> entries = ListTexts(list);
    DoubleClick(list, static_cast<int>(std::find(entries.begin(), entries.end(), L"alpha") - entries.begin()));
    // alpha, opened, is the last entry and marked open.
    ASSERT_TRUE(WaitFor([&] { return (ListData(list).back() & 0x10000) != 0; }));
    Click(ControlWithText(chooser, L"Button", L"OK"));
    EXPECT_TRUE(WaitFor([&] { return Text(window.destination) == folder + L"\\alpha"; }))
        << Narrow(Text(window.destination));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(window.run) != FALSE; }));

    window.Browse(window.browse_destination);
    Click(ControlWithText(chooser, L"Button", L"キャンセル"));
    WaitUntilHidden(chooser);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(window.form) != FALSE; }));
    EXPECT_EQ(Text(window.destination), folder + L"\\alpha");
    EXPECT_TRUE(IsWindowEnabled(window.run));

    // After the chooser was used, Cancel still ends the whole program.
    Click(window.cancel);
    EXPECT_EQ(window.program.WaitForExit(), 0u);
}

// Handles what the system sends this test's own windows while it waits.
bool PumpedWaitFor(const std::function<bool()>& condition) {
    return WaitFor([&] {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        return condition();
    });
}

// True when the chooser is the window a user sees at its centre.
bool ChooserOnTop(HWND chooser) {
    RECT place{};
    GetWindowRect(chooser, &place);
    const POINT centre{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    return GetAncestor(WindowFromPoint(centre), GA_ROOT) == chooser;
}

TEST(DatInstDigGui, ActivatingTheMainWindowByTheTaskbarOrAClickBringsTheShownChooserForward) {
    MainWindow window;
    ASSERT_NE(window.form, nullptr);
    HWND chooser = window.Browse(window.browse_source);
    ASSERT_NE(chooser, nullptr);
    RECT chooser_place{}, form_place{};
    GetWindowRect(chooser, &chooser_place);
    GetWindowRect(window.form, &form_place);
    // Another program's window covers the chooser exactly.
    WNDCLASSW plain{};
    plain.lpfnWndProc = DefWindowProcW;
    plain.hInstance = GetModuleHandleW(nullptr);
    plain.lpszClassName = L"TalvorenTestCover";
    RegisterClassW(&plain);
    HWND cover =
        CreateWindowExW(0, plain.lpszClassName, L"cover", WS_POPUP | WS_VISIBLE, chooser_place.left, chooser_place.top,
                        chooser_place.right - chooser_place.left, chooser_place.bottom - chooser_place.top, nullptr,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(cover, nullptr);
    // A point of the main window that neither covers.
    POINT on_form{form_place.right - 20, form_place.bottom - 20};
    if (PtInRect(&chooser_place, on_form)) on_form = {form_place.left + 20, form_place.bottom - 20};
    ASSERT_FALSE(PtInRect(&chooser_place, on_form));

    auto covered = [&] {
        SetForegroundWindow(cover);
        SetWindowPos(cover, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return PumpedWaitFor([&] { return GetForegroundWindow() == cover && !ChooserOnTop(chooser); });
    };
    struct Way {
        const char* what;
        std::function<void()> activate;
    };
    const Way ways[] = {
        {"activation, as the taskbar and Alt+Tab do", [&] { SetForegroundWindow(window.form); }},
        {"a click on the main window",
         [&] {
             SetCursorPos(on_form.x, on_form.y);
             INPUT click[2] = {};
             click[0].type = click[1].type = INPUT_MOUSE;
             click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
             click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
             SendInput(2, click, sizeof(INPUT));
         }},
    };
    for (const Way& way : ways) {
        ASSERT_TRUE(covered()) << "the cover did not come forward";
        way.activate();
        EXPECT_TRUE(PumpedWaitFor([&] { return GetForegroundWindow() == chooser && ChooserOnTop(chooser); }))
            << way.what;
    }
    DestroyWindow(cover);
    EXPECT_FALSE(IsWindowEnabled(window.form)) << "the chooser is still modal";
    Click(ControlWithText(chooser, L"Button", L"キャンセル"));
    WaitUntilHidden(chooser);
    Click(window.cancel);
    EXPECT_EQ(window.program.WaitForExit(), 0u);
}

TEST(DatInstDigGui, ClosingTheWindowEndsTheProgramAsCancelDoes) {
    MainWindow window;
    ASSERT_NE(window.form, nullptr);
    PostMessageW(window.form, WM_CLOSE, 0, 0);
    EXPECT_EQ(window.program.WaitForExit(), 0u);
}

}  // namespace
}  // namespace talvoren::gui
