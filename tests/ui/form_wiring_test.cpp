// Event wiring by control name fails at the window's creation when no control
// has the name, instead of leaving a handler that never runs; a handler runs
// only while its window takes input; the window shows the icon its layout
// names.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>

#include "platform/winui/form_win32.h"
#include "ui/choice_folder_layout.h"

namespace talvoren {
namespace {

class WiredForm : public winui::Form {
public:
    WiredForm(const std::string& click, const std::string& change) : Form(ChoiceFolderLayout()) {
        OnClick(click, [](int) {});
        OnChange(change, [](int) {});
    }
};

TEST(FormWiring, AHandlerForANameNoControlHasIsRefused) {
    EXPECT_NO_THROW(WiredForm("Command1", "Drive1"));
    EXPECT_THROW(WiredForm("Command9", "Drive1"), std::logic_error);
    EXPECT_THROW(WiredForm("Command1", "drive1"), std::logic_error);
}

class CountingForm : public winui::Form {
public:
    explicit CountingForm(int& clicks) : Form(ChoiceFolderLayout()) {
        OnClick("Command1", [&clicks](int) { ++clicks; });
    }
};

TEST(FormWiring, AClickSentByAnotherProgramRunsTheHandlerOnlyWhileTheWindowTakesInput) {
    struct Case {
        const char* window;
        int show;
        BOOL enabled;
        int clicks;
    };
    const Case cases[] = {
        {"shown", SW_SHOW, TRUE, 1},
        {"disabled, as during a run or behind a modal window", SW_SHOW, FALSE, 0},
        {"hidden", SW_HIDE, TRUE, 0},
    };
    for (const Case& c : cases) {
        int clicks = 0;
        CountingForm form(clicks);
        ShowWindow(form.Handle(), c.show);
        EnableWindow(form.Handle(), c.enabled);
        // The button itself stays enabled, as in a window a run disables.
        SendMessageW(form.Find<winui::CommandButton>("Command1", 0).Handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(clicks, c.clicks) << c.window;
    }
}

// The test program carries Talvoren.exe's resources, so the icon group the
// layout names is there to load.
TEST(FormWiring, TheWindowShowsTheIconItsLayoutNames) {
    winui::Form named(ChoiceFolderLayout());
    for (const WPARAM which : {ICON_BIG, ICON_SMALL}) {
        EXPECT_NE(SendMessageW(named.Handle(), WM_GETICON, which, 0), 0) << "icon " << which;
    }
    winui::FormLayout without = ChoiceFolderLayout();
    without.icon_resource = 0;
    winui::Form plain(without);
    EXPECT_EQ(SendMessageW(plain.Handle(), WM_GETICON, ICON_BIG, 0), 0);
}

}  // namespace
}  // namespace talvoren
