// The message box: modal, OK only, owned by the program's active window so
// that window takes no input while it is shown.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

#include "core/texts/message_sink.h"

namespace talvoren::winui {

// `style` is the icon's style value: 16 critical, 64 information.
void MsgBox(const std::string& prompt, int style, const std::string& title);

// Shows the run's messages as message boxes, owned by `owner`, or by the
// program's active window when no owner is given.
class MessageBoxSink : public MessageSink {
public:
    explicit MessageBoxSink(HWND owner = nullptr) : owner_(owner) {}
    void Show(const RunMessage& message) override;

private:
    HWND owner_;
};

// A failure that no handler dealt with: shown as a critical message, after
// which the program goes on.
void ReportFailure(const std::exception& failure);

}  // namespace talvoren::winui
