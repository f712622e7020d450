#include "platform/message_box_win32.h"

#include <windows.h>

#include "platform/wide_text.h"

namespace talvoren::winui {

void MsgBox(const std::string& prompt, int style, const std::string& title) {
    HWND owner = GetActiveWindow();
    const UINT flags = MB_OK | static_cast<UINT>(style) | (owner == nullptr ? MB_TASKMODAL : 0u);
    MessageBoxW(owner, Widen(prompt).c_str(), Widen(title).c_str(), flags);
}

void MessageBoxSink::Show(const RunMessage& message) {
    MsgBox(message.text, static_cast<int>(message.icon), message.title);
}

void ReportFailure(const std::exception& failure) {
    MsgBox(failure.what(), static_cast<int>(MessageIcon::Critical), "エラー");
}

}  // namespace talvoren::winui
