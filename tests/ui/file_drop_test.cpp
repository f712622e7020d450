// Folders and files dropped onto the main window, as Explorer drops them: a
// real HDROP (DROPFILES and the wide names in global memory) posted as
// WM_DROPFILES to the window, made in this process so the handle is valid.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "tests/ui/gui_driver.h"
#include "ui/dat_inst_dig_form.h"

namespace talvoren {
namespace {

HDROP MakeDrop(POINT at, const std::vector<std::wstring>& paths) {
    std::wstring names;
    for (const std::wstring& path : paths) names += path + L'\0';
    names += L'\0';
    const std::size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = at;
    header->fWide = TRUE;
    std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// Dispatches what is queued, the drop among it.
void Drain() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

POINT CentreOf(HWND control) {
    const RECT place = gui::PlaceInParent(control);
    return {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
}

TEST(FileDrop, AFolderOrAFileOnAFieldsRowFillsThatFieldWithTheFolderTheFirstItemStandsFor) {
    const std::wstring root = gui::FreshFolder(L"drop");
    const std::wstring first = root + L"\\first", second = root + L"\\second";
    gui::MakeFolder(first);
    gui::MakeFolder(second);
    const std::wstring file = second + L"\\AB01Tp.csv";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    DatInstDigForm& form = frmDatInstDig();
    form.Show();
    HWND window = FindWindowW(L"TalvorenForm", L"放送データバージョンUPコンバータ");
    ASSERT_NE(window, nullptr);
    const std::string kept = "kept";
    const auto source = form.Text1(0).Handle(), destination = form.Text1(1).Handle();
    const POINT source_caption = CentreOf(form.Find<winui::Label>("Label5", 0).Handle());
    const POINT destination_caption = CentreOf(form.Find<winui::Label>("Label5", 4).Handle());
    const POINT header = CentreOf(form.Find<winui::Label>("Label3").Handle());
    const POINT warning = CentreOf(form.Find<winui::Label>("Label9").Handle());
    const POINT run = CentreOf(form.Command1(0).Handle());
    const POINT left_of_source = {2, CentreOf(source).y};
    struct Case {
        const char* what;
        POINT at;
        std::vector<std::wstring> paths;
        std::wstring source, destination;  // the fields afterwards
        BOOL enabled = TRUE;               // FALSE as during a run or behind a modal window
    };
    const Case cases[] = {
        {"a folder on the source field", CentreOf(source), {first}, first, L"kept"},
        {"a folder on the destination field", CentreOf(destination), {second}, L"kept", second},
        {"a file on the source browse button", CentreOf(form.Command2(0).Handle()), {file}, second, L"kept"},
        {"a file on the destination caption", destination_caption, {file}, L"kept", second},
        {"several items on the source caption", source_caption, {first, second, file}, first, L"kept"},
        {"a folder left of the source field, on its row", left_of_source, {first}, first, L"kept"},
        {"a drive's root on the destination field", CentreOf(destination), {L"C:\\"}, L"kept", L"C:\\"},
        {"a file in a drive's root", CentreOf(source), {L"C:\\talvoren-drop.txt"}, L"C:\\", L"kept"},
        {"a folder on the header", header, {first}, L"kept", L"kept"},
        {"a folder on the warning under the fields", warning, {first}, L"kept", L"kept"},
        {"a folder on the run button", run, {first}, L"kept", L"kept"},
        {"an item that is gone", CentreOf(source), {root + L"\\gone"}, L"kept", L"kept"},
        {"a folder on the source field of a disabled window", CentreOf(source), {first}, L"kept", L"kept", FALSE},
    };
    CloseHandle(CreateFileW(L"C:\\talvoren-drop.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (const Case& c : cases) {
        form.Text1(0).SetText(kept);
        form.Text1(1).SetText(kept);
        EnableWindow(window, c.enabled);
        PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(c.at, c.paths)), 0);
        Drain();
        EnableWindow(window, TRUE);
        EXPECT_EQ(form.Text1(0).Text(), Narrow(c.source)) << c.what;
        EXPECT_EQ(form.Text1(1).Text(), Narrow(c.destination)) << c.what;
    }
    DeleteFileW(L"C:\\talvoren-drop.txt");

    // A drop fills the field as a browse does: the run button follows.
    form.Text1(0).SetText("");
    EXPECT_FALSE(form.Command1(0).Enabled());
    PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(CentreOf(source), {first})), 0);
    Drain();
    EXPECT_TRUE(form.Command1(0).Enabled());
    EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0) << "Explorer may drop here";
    form.Unload();
}

}  // namespace
}  // namespace talvoren
