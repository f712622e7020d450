// Event wiring by control name fails at the window's creation when no control
// has the name, instead of leaving a handler that never runs.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace talvoren
