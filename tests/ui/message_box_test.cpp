// The message box as the run's messages reach it: the prompt's lines, the
// title and the icon of each style, seen in the box itself. The box is shown
// by a second thread of this process, so the icon handles can be compared.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "core/texts/message_sink.h"
#include "platform/win32/wide_text.h"
#include "platform/winui/message_box_win32.h"
#include "tests/ui/gui_driver.h"

namespace talvoren {
namespace {

struct Seen {
    std::wstring title;
    std::wstring text;
    HICON icon = nullptr;
    bool only_ok = false;
};

Seen ShowAndRead(const RunMessage& message) {
    std::thread shower([&message] { winui::MessageBoxSink().Show(message); });
    Seen seen;
    const gui::MessageBoxSeen box = gui::WaitForMessageBox(GetCurrentProcessId());
    if (box.window != nullptr) {
        seen.title = box.title;
        seen.text = box.text;
        for (HWND child = GetWindow(box.window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child)) {
                seen.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            }
        }
        seen.only_ok = GetDlgItem(box.window, IDOK) != nullptr && GetDlgItem(box.window, IDCANCEL) == nullptr &&
                       GetDlgItem(box.window, IDYES) == nullptr;
        gui::Dismiss(box);
    }
    shower.join();
    return seen;
}

TEST(MsgBox, ShowsPromptTitleAndTheIconOfItsStyleWithOkOnly) {
    struct Case {
        RunMessage message;
        LPCWSTR icon;
    };
    const Case cases[] = {
        {{"変換が完了しました。", MessageIcon::Information, "完了"}, IDI_ASTERISK},
        {{"変換中に問題が発生しました。\r\n\r\n変換元ファイル：C:\\old\\AB01Tp.csv", MessageIcon::Critical, "エラー"},
         IDI_HAND},
    };
    for (const Case& c : cases) {
        const Seen seen = ShowAndRead(c.message);
        EXPECT_EQ(seen.title, Widen(c.message.title));
        EXPECT_EQ(seen.text, Widen(c.message.text));
        EXPECT_EQ(seen.icon, LoadIconW(nullptr, c.icon)) << c.message.title;
        EXPECT_TRUE(seen.only_ok);
    }
}

}  // namespace
}  // namespace talvoren
