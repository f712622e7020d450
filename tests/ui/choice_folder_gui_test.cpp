// The folder chooser driven as a user drives it, through its test host:
// answers of OK and Cancel, where each showing starts, opening folders, the
// drive fallback, the keyboard, and the window's geometry at the display's scale.
#include <gtest/gtest.h>

#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "tests/ui/designed_places.h"
#include "tests/ui/gui_driver.h"
#include "ui/choice_folder_layout.h"

namespace talvoren::gui {
namespace {

const std::wstring kCaption = L"フォルダーの選択";

// A drive letter of this session, the highest one free, standing for a
// folder for as long as the object lives; for a folder that does not exist,
// a drive without a readable medium.
class DosDrive {
public:
    static constexpr const wchar_t* kNoMedium = L"C:\\talvoren-drive-without-medium";

    explicit DosDrive(const std::wstring& target) {
        const DWORD used = GetLogicalDrives();
        for (wchar_t letter = L'Y'; letter > L'D'; --letter) {
            if ((used & (1u << (letter - L'A'))) == 0) {
                device_ = {letter, L':'};
                break;
            }
        }
        // The raw form names the folder itself, as subst does.
        target_ = L"\\??\\" + target;
        defined_ = !device_.empty() &&
                   DefineDosDeviceW(DDD_RAW_TARGET_PATH | DDD_NO_BROADCAST_SYSTEM, device_.c_str(), target_.c_str());
    }
    ~DosDrive() {
        if (defined_) {
            DefineDosDeviceW(
                DDD_RAW_TARGET_PATH | DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE | DDD_NO_BROADCAST_SYSTEM,
                device_.c_str(), target_.c_str());
        }
    }
    bool Defined() const { return defined_; }
    wchar_t Letter() const { return static_cast<wchar_t>(std::towlower(device_[0])); }
    std::wstring Root() const { return device_ + L"\\"; }

private:
    std::wstring target_;
    std::wstring device_;
    bool defined_ = false;
};

class Chooser {
public:
    Chooser(int showings, const std::wstring& directory,
            const std::wstring& host = ProgramFolder() + L"\\choice_folder_host.exe",
            const std::wstring& arguments = L"")
        : program(host, std::to_wstring(showings) + arguments, directory) {
        Appear();
    }

    // Waits for the next showing and finds its controls.
    void Appear() {
        form = WaitForWindow(program.Id(), L"TalvorenForm", kCaption);
        ASSERT_NE(form, nullptr);
        label = Controls(form, L"Static").at(0);
        drive = Controls(form, L"ComboBox").at(0);
        dir = Controls(form, L"ListBox").at(0);
        ok = ControlWithText(form, L"Button", L"OK");
        cancel = ControlWithText(form, L"Button", L"キャンセル");
    }

    // Presses a button and returns the answer the host printed once the
    // showing had ended.
    std::string Answer(HWND button) {
        Click(button);
        const std::string line = program.ReadLine();
        const std::string prefix = "SelectedFolder=";
        EXPECT_EQ(line.substr(0, prefix.size()), prefix);
        return line.substr(std::min(prefix.size(), line.size()));
    }

    int Entry(const std::wstring& name) {
        const std::vector<std::wstring> texts = ListTexts(dir);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (texts[i] == name) return static_cast<int>(i);
        }
        ADD_FAILURE() << "no entry " << Narrow(name);
        return -1;
    }

    int DriveEntry(wchar_t letter) {
        const std::vector<std::wstring> texts = ComboTexts(drive);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (!texts[i].empty() && texts[i][0] == letter) return static_cast<int>(i);
        }
        return -1;
    }

    // The last entry marked open: the open directory's own entry.
    std::wstring OpenEntry() {
        const std::vector<std::wstring> texts = ListTexts(dir);
        const std::vector<LPARAM> data = ListData(dir);
        std::wstring open;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if ((data[i] & 0x10000) != 0) open = texts[i];
        }
        return open;
    }

    Program program;
    HWND form = nullptr, label = nullptr, drive = nullptr, dir = nullptr, ok = nullptr, cancel = nullptr;
};

// A folder with three subfolders, one of them with a subfolder of its own, and
// a hidden one that the list leaves out.
std::wstring Tree(const std::wstring& name) {
    const std::wstring root = FreshFolder(name);
    for (const wchar_t* sub : {L"gamma", L"alpha", L"Beta", L"alpha\\inner", L".hidden"}) {
        MakeFolder(root + L"\\" + sub);
    }
    return root;
}

std::vector<std::wstring> ChainOf(const std::wstring& path) {
    std::vector<std::wstring> chain{path.substr(0, 3)};
    std::size_t start = 3;
    while (start < path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        chain.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return chain;
}

TEST(ChoiceFolderGui, FirstShowingListsTheCurrentDirectoryAndAnswersIt) {
    const std::wstring folder = Tree(L"first-showing");
    Chooser chooser(1, folder);
    EXPECT_EQ(Text(chooser.label), L"テスト用の指示 1");
    EXPECT_TRUE(WaitFor([&] { return FocusIn(chooser.form) == chooser.drive; }))
        << "the drive list has the focus at the first showing";
    EXPECT_EQ(ComboSelection(chooser.drive).substr(0, 2), L"z:");

    std::vector<std::wstring> expected = ChainOf(folder);
    const std::size_t chain = expected.size();
    for (const wchar_t* sub : {L"alpha", L"Beta", L"gamma"}) expected.push_back(sub);
    EXPECT_EQ(ListTexts(chooser.dir), expected);
    const std::vector<LPARAM> data = ListData(chooser.dir);
    for (std::size_t i = 0; i < data.size(); ++i) {
        const bool open = i < chain;
        const LPARAM depth = open ? static_cast<LPARAM>(i) : static_cast<LPARAM>(chain);
        EXPECT_EQ(data[i], depth | (open ? 0x10000 : 0)) << "entry " << i;
    }
    EXPECT_EQ(ListSelection(chooser.dir), static_cast<int>(chain) - 1) << "the open folder is highlighted";

    EXPECT_EQ(chooser.Answer(chooser.ok), Narrow(folder));
    EXPECT_EQ(chooser.program.WaitForExit(), 0u);
}

TEST(ChoiceFolderGui, EveryDriveIsListedWithLetterColonAndLabel) {
    Chooser chooser(1, Tree(L"drives"));
    const std::vector<std::wstring> drives = ComboTexts(chooser.drive);
    ASSERT_GE(drives.size(), 2u);
    for (const std::wstring& entry : drives) {
        ASSERT_GE(entry.size(), 2u);
        EXPECT_TRUE(entry[0] >= L'a' && entry[0] <= L'z' && entry[1] == L':') << Narrow(entry);
        const bool labelled = entry.size() >= 5 && entry.substr(2, 2) == L" [" && entry.back() == L']';
        EXPECT_TRUE(entry.size() == 2 || labelled) << Narrow(entry);
    }
    EXPECT_GE(chooser.DriveEntry(L'c'), 0);
    EXPECT_GE(chooser.DriveEntry(L'z'), 0);
    chooser.Answer(chooser.cancel);
}

TEST(ChoiceFolderGui, OkCancelAndCloseAnswerAndEachShowingStartsWhereTheLastWasLeft) {
    const std::wstring folder = Tree(L"showings");
    Chooser chooser(4, folder);
    const HWND first_window = chooser.form;

    // 1: open a subfolder by double-click; OK answers it.
    DoubleClick(chooser.dir, chooser.Entry(L"alpha"));
    ASSERT_TRUE(WaitFor([&] { return chooser.OpenEntry() == L"alpha"; }));
    EXPECT_EQ(chooser.Answer(chooser.ok), Narrow(folder + L"\\alpha"));

    // 2: starts on alpha; open its subfolder with Enter, then cancel: the
    // answer is empty although the earlier OK had answered a folder.
    chooser.Appear();
    EXPECT_EQ(chooser.form, first_window) << "one chooser, hidden between showings";
    EXPECT_EQ(Text(chooser.label), L"テスト用の指示 2");
    EXPECT_EQ(chooser.OpenEntry(), L"alpha");
    SendMessageW(chooser.dir, LB_SETCURSEL, static_cast<WPARAM>(chooser.Entry(L"inner")), 0);
    PressEnter(chooser.dir);
    ASSERT_TRUE(WaitFor([&] { return chooser.OpenEntry() == L"inner"; }));
    EXPECT_EQ(chooser.Answer(chooser.cancel), "");

    // 3: the cancelled showing's move is kept; the close box acts as Cancel.
    chooser.Appear();
    EXPECT_EQ(chooser.OpenEntry(), L"inner");
    PostMessageW(chooser.form, WM_CLOSE, 0, 0);
    EXPECT_EQ(chooser.program.ReadLine(), "SelectedFolder=");

    // 4: still there after closing; OK answers where it was left.
    chooser.Appear();
    EXPECT_EQ(chooser.form, first_window);
    EXPECT_EQ(chooser.Answer(chooser.ok), Narrow(folder + L"\\alpha\\inner"));
    EXPECT_EQ(chooser.program.WaitForExit(), 0u);
}

TEST(ChoiceFolderGui, OpeningAParentAndTheRootAndAHighlightedEntryIsNotTheAnswer) {
    const std::wstring folder = Tree(L"parents");
    Chooser chooser(3, folder + L"\\alpha\\inner");

    // The parent's entry in the chain opens the parent.
    DoubleClick(chooser.dir, chooser.Entry(L"alpha"));
    ASSERT_TRUE(WaitFor([&] { return chooser.OpenEntry() == L"alpha"; }));
    EXPECT_EQ(ListTexts(chooser.dir).back(), L"inner") << "the parent lists its subfolder again";
    EXPECT_EQ(chooser.Answer(chooser.ok), Narrow(folder + L"\\alpha"));

    // A subfolder that is only highlighted is not the answer: the open one is.
    chooser.Appear();
    Highlight(chooser.dir, chooser.Entry(L"inner"));
    ASSERT_TRUE(WaitFor([&] { return ListSelection(chooser.dir) == chooser.Entry(L"inner"); }));
    EXPECT_EQ(chooser.OpenEntry(), L"alpha");
    EXPECT_EQ(chooser.Answer(chooser.ok), Narrow(folder + L"\\alpha"));

    // The root answers with its "\".
    chooser.Appear();
    DoubleClick(chooser.dir, 0);
    ASSERT_TRUE(WaitFor([&] { return chooser.OpenEntry() == L"Z:\\"; }));
    EXPECT_EQ(chooser.Answer(chooser.ok), "Z:\\");
}

TEST(ChoiceFolderGui, ChoosingADriveMovesToItsCurrentDirectory) {
    Chooser chooser(1, Tree(L"other-drive"));
    Choose(chooser.drive, chooser.DriveEntry(L'c'));
    ASSERT_TRUE(WaitFor([&] { return chooser.OpenEntry() == L"C:\\"; })) << Narrow(chooser.OpenEntry());
    EXPECT_EQ(chooser.Answer(chooser.ok), "C:\\");
}

TEST(ChoiceFolderGui, ADriveWithoutAReadableMediumFallsBackToTheProgramsDriveSilently) {
    const std::wstring folder = Tree(L"unreadable-drive");
    const DosDrive unreadable(DosDrive::kNoMedium);
    ASSERT_TRUE(unreadable.Defined()) << "DefineDosDeviceW: " << GetLastError();
    Chooser chooser(2, folder);
    ASSERT_GE(chooser.DriveEntry(unreadable.Letter()), 0);
    // Away from the program's drive first, so the fallback is seen to move back.
    Choose(chooser.drive, chooser.DriveEntry(L'c'));
    ASSERT_TRUE(WaitFor([&] { return chooser.OpenEntry() == L"C:\\"; }));
    EXPECT_EQ(chooser.Answer(chooser.ok), "C:\\");

    chooser.Appear();
    EXPECT_EQ(chooser.OpenEntry(), L"C:\\");
    Choose(chooser.drive, chooser.DriveEntry(unreadable.Letter()));
    // The program's drive (z:) is selected again and its current directory,
    // the host's working folder, is open.
    ASSERT_TRUE(WaitFor([&] { return ComboSelection(chooser.drive).substr(0, 2) == L"z:"; }));
    ASSERT_TRUE(WaitFor([&] { return chooser.OpenEntry() == ChainOf(folder).back(); }));
    EXPECT_EQ(FindVisibleWindow(chooser.program.Id(), L"#32770", L""), nullptr) << "no message";
    EXPECT_TRUE(IsWindowVisible(chooser.form));
    EXPECT_EQ(chooser.Answer(chooser.ok), Narrow(folder));
}

TEST(ChoiceFolderGui, WhenTheProgramsDriveCannotServeEitherBothListsStayWhereTheyWere) {
    const std::wstring folder = Tree(L"fallback-fails");
    const DosDrive unreadable(DosDrive::kNoMedium);
    ASSERT_TRUE(unreadable.Defined()) << "DefineDosDeviceW: " << GetLastError();
    Chooser chooser(1, folder + L"\\alpha");
    Choose(chooser.drive, chooser.DriveEntry(L'c'));
    ASSERT_TRUE(WaitFor([&] { return chooser.OpenEntry() == L"C:\\"; }));
    // The program's drive z: can't serve either: its current folder has gone.
    const std::wstring moved = FreshFolder(L"fallback-fails-moved");
    RemoveDirectoryW(moved.c_str());
    ASSERT_TRUE(MoveFileW(folder.c_str(), moved.c_str())) << "MoveFileW: " << GetLastError();

    Choose(chooser.drive, chooser.DriveEntry(unreadable.Letter()));
    // Once the drive list is back on c:, the handler has finished.
    EXPECT_TRUE(WaitFor([&] { return ComboSelection(chooser.drive).substr(0, 2) == L"c:"; }))
        << Narrow(ComboSelection(chooser.drive));
    EXPECT_EQ(chooser.OpenEntry(), L"C:\\");
    EXPECT_EQ(FindVisibleWindow(chooser.program.Id(), L"#32770", L""), nullptr) << "no message";
    EXPECT_EQ(chooser.Answer(chooser.ok), "C:\\");
}

TEST(ChoiceFolderGui, StartedInAFolderDeeperThan260CharactersListsAndAnswersIt) {
    std::wstring folder = FreshFolder(L"deep");
    while (folder.size() <= 300) {
        folder += L"\\" + std::wstring(40, L'd');
        MakeFolder(folder);
    }
    MakeFolder(folder + L"\\inside");
    // A new process can't be given so deep a current folder: the host moves there.
    Chooser chooser(1, ProgramFolder(), ProgramFolder() + L"\\choice_folder_host.exe", L" \"" + folder + L"\"");
    EXPECT_EQ(chooser.OpenEntry(), std::wstring(40, L'd'));
    EXPECT_EQ(ListTexts(chooser.dir).back(), L"inside");
    EXPECT_EQ(chooser.Answer(chooser.ok), Narrow(folder));
}

TEST(ChoiceFolderGui, TabFollowsTheTabIndexAndEnterOrEscapeAreNotOkOrCancel) {
    const std::wstring folder = Tree(L"keyboard");
    Chooser chooser(1, folder);
    ASSERT_TRUE(WaitFor([&] { return FocusIn(chooser.form) == chooser.drive; }));
    const std::vector<HWND> order = {chooser.dir, chooser.ok, chooser.cancel, chooser.drive};
    for (HWND next : order) {
        HWND focus = FocusIn(chooser.form);
        PostMessageW(focus, WM_KEYDOWN, VK_TAB, 0x000F0001);
        PostMessageW(focus, WM_KEYUP, VK_TAB, 0xC00F0001);
        EXPECT_TRUE(WaitFor([&] { return FocusIn(chooser.form) == next; })) << "focus did not reach the next control";
    }
    // Focus is on the drive list: Escape and Enter there neither cancel nor answer.
    PostMessageW(chooser.drive, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(chooser.drive, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    EXPECT_EQ(chooser.Answer(chooser.ok), Narrow(folder)) << "OK answered, not an earlier Escape";
}

TEST(ChoiceFolderGui, WindowAndControlsHaveTheirDesignedRectanglesAtTheDisplaysScale) {
    Chooser chooser(1, Tree(L"geometry"));
    const SIZE client = ClientSize(chooser.form);
    const winui::FormLayout& layout = ChoiceFolderLayout();
    EXPECT_TRUE(PlacedAt({0, 0, client.cx, client.cy}, Scaled(ClientAt96(layout)))) << "client area";
    const LONG_PTR style = GetWindowLongPtrW(chooser.form, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0) << "a fixed dialog frame";
    EXPECT_NE(style & WS_SYSMENU, 0) << "a close box";
    struct Expected {
        HWND control;
        const char* name;
        int index;
    };
    const Expected table[] = {
        {chooser.label, "Label1", winui::kNoIndex},
        {chooser.drive, "Drive1", winui::kNoIndex},
        {chooser.dir, "Dir1", winui::kNoIndex},
        {chooser.ok, "Command1", 0},
        {chooser.cancel, "Command1", 1},
    };
    for (const Expected& row : table) {
        const RECT designed = PlaceAt96(RowOf(layout, row.name, row.index).rect);
        EXPECT_TRUE(PlacedAt(PlaceInParent(row.control), Scaled(designed))) << row.name << "(" << row.index << ")";
    }
    chooser.Answer(chooser.cancel);
}

}  // namespace
}  // namespace talvoren::gui
