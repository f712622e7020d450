#include "platform/winui/message_box_win32.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace talvoren::winui {

namespace {

int StyleOf(MessageIcon icon) { return icon == MessageIcon::Critical ? MB_ICONERROR : MB_ICONINFORMATION; }

void ShowMessageBox(HWND owner, const std::string& prompt, int style, const std::string& title) {
    const UINT flags = MB_OK | static_cast<UINT>(style) | (owner == nullptr ? MB_TASKMODAL : 0u);
    MessageBoxW(owner, Widen(prompt).c_str(), Widen(title).c_str(), flags);
}

}  // namespace

void MsgBox(const std::string& prompt, int style, const std::string& title) {
    ShowMessageBox(GetActiveWindow(), prompt, style, title);
}

void MessageBoxSink::Show(const RunMessage& message) {
    ShowMessageBox(owner_ != nullptr ? owner_ : GetActiveWindow(), message.text, StyleOf(message.icon), message.title);
}

void ReportFailure(const std::exception& failure) { MsgBox(failure.what(), StyleOf(MessageIcon::Critical), "エラー"); }

}  // namespace talvoren::winui
