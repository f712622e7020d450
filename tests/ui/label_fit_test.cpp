// Every text a user must read on a label fits its box in the font the label
// draws it with, at the display's scale: both windows are made in this
// process, which carries the program's manifest and so its DPI awareness.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "tests/ui/gui_driver.h"
#include "ui/choice_folder_form.h"
#include "ui/dat_inst_dig_form.h"

namespace talvoren {
namespace {

// The text's extent in the label's own font, against the label's client area.
::testing::AssertionResult Fits(HWND label) {
    const std::wstring text = gui::Text(label);
    HDC dc = GetDC(label);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT extent{};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    RECT box{};
    GetClientRect(label, &box);
    if (extent.right <= box.right && extent.bottom <= box.bottom) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << Narrow(text) << "\" needs " << extent.right << " x "
                                         << extent.bottom << ", its box is " << box.right << " x " << box.bottom
                                         << " at " << gui::DisplayDpi() << " DPI";
}

std::vector<HWND> LabelsWithText(HWND form) {
    std::vector<HWND> labels;
    for (HWND label : gui::Controls(form, L"Static")) {
        if (!gui::Text(label).empty()) labels.push_back(label);
    }
    return labels;
}

TEST(LabelFit, EveryLabelsTextFitsItsBoxAtTheDisplaysScale) {
    frmDatInstDig();
    HWND main = FindWindowW(L"TalvorenForm", L"放送データバージョンUPコンバータ");
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> labels = LabelsWithText(main);
    EXPECT_EQ(labels.size(), 5u) << "the title, the description, two captions and the warning";
    for (HWND label : labels) EXPECT_TRUE(Fits(label));

    // The chooser's instruction line, with each text the browse buttons give it.
    for (const char* instruction : {"旧バージョンのデータが入っている位置(フォルダー)を指定してください",
                                    "コンバートしたデータの保存先(フォルダー)を指定してください"}) {
        frmChoiceFolder().Label1.SetCaption(instruction);
        EXPECT_TRUE(Fits(frmChoiceFolder().Label1.Handle()));
    }
}

}  // namespace
}  // namespace talvoren
