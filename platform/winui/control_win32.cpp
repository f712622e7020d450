#include "platform/winui/control_win32.h"

#include <algorithm>

#include "platform/win32/wide_text.h"
#include "platform/winui/windows_error_win32.h"

namespace talvoren::winui {

Control::Control(const ControlRow& row, HWND window) : row_(row), window_(window) {}

void Control::RaiseClick() {
    if (on_click_) on_click_();
}

void Control::RaiseChange() {
    if (on_change_) on_change_();
}

HWND CreateChildWindow(const ControlRow& row, HWND parent, int id, const wchar_t* window_class, DWORD style,
                       DWORD ex_style) {
    // Siblings overlap (the header band lies beneath its texts), so each one
    // clips the others and the topmost is what is seen.
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (row.visible) style |= WS_VISIBLE;
    if (!row.enabled) style |= WS_DISABLED;
    if (row.border) style |= WS_BORDER;
    const std::wstring text = row.kind == ControlKind::FileList ? std::wstring() : Widen(row.text);
    HWND window =
        CreateWindowExW(ex_style, window_class, text.c_str(), style, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) ThrowLastError("CreateWindowExW " + row.name);
    return window;
}

std::string WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void SetTextOf(HWND window, const std::string& text) {
    if (!SetWindowTextW(window, Widen(text).c_str())) ThrowLastError("SetWindowTextW");
}

// A label is one line: a text too long for its box is cut at the box's edge
// rather than broken onto a line that the box would half show.
Label::Label(const ControlRow& row, HWND parent, int id)
    : Control(row, CreateChildWindow(row, parent, id, L"STATIC", SS_LEFTNOWORDWRAP)) {}

Label::~Label() {
    if (smaller_font_ != nullptr) DeleteObject(smaller_font_);
}

void Label::SetCaption(const std::string& caption) {
    SetTextOf(Handle(), caption);
    FitText();
}

void Label::AfterLayout(int /*dpi*/) {
    form_font_ = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
    FitText();
}

namespace {

int TextWidth(HWND window, HFONT font, const std::wstring& text) {
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT extent{};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return extent.right;
}

}  // namespace

void Label::FitText() {
    if (form_font_ == nullptr) return;  // not laid out yet
    HFONT previous = smaller_font_;
    smaller_font_ = nullptr;
    HFONT font = form_font_;
    const std::wstring text = Widen(WindowText(Handle()));
    RECT box{};
    GetClientRect(Handle(), &box);
    LOGFONTW shape{};
    GetObjectW(form_font_, sizeof shape, &shape);
    // Each step scales the height by how much too wide the text still is;
    // rounding may leave it a pixel too wide, hence a few steps.
    for (int width = TextWidth(Handle(), font, text); width > box.right && shape.lfHeight < -1;
         width = TextWidth(Handle(), font, text)) {
        // Heights are negative (the em height): a smaller font is nearer zero,
        // by at least a pixel.
        shape.lfHeight = std::max<LONG>(MulDiv(shape.lfHeight, box.right, width), shape.lfHeight + 1);
        shape.lfWidth = 0;
        if (smaller_font_ != nullptr) DeleteObject(smaller_font_);
        smaller_font_ = CreateFontIndirectW(&shape);
        if (smaller_font_ == nullptr) ThrowLastError("CreateFontIndirectW " + LayoutRow().name);
        font = smaller_font_;
    }
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (previous != nullptr) DeleteObject(previous);
}

TextBox::TextBox(const ControlRow& row, HWND parent, int id)
    : Control(row,
              CreateChildWindow(row, parent, id, L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE)) {}

std::string TextBox::Text() const { return WindowText(Handle()); }

void TextBox::SetText(const std::string& text) {
    // A single-line edit reports a set text with EN_CHANGE, which raises Change.
    SetTextOf(Handle(), text);
}

void TextBox::Notify(int code) {
    if (code == EN_CHANGE) RaiseChange();
}

CommandButton::CommandButton(const ControlRow& row, HWND parent, int id)
    : Control(row, CreateChildWindow(row, parent, id, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP)) {}

void CommandButton::SetEnabled(bool enabled) { EnableWindow(Handle(), enabled ? TRUE : FALSE); }

bool CommandButton::Enabled() const { return IsWindowEnabled(Handle()) != FALSE; }

void CommandButton::Notify(int code) {
    if (code == BN_CLICKED) Click();
}

void CommandButton::Click() {
    // BM_CLICK reaches a disabled button too; a disabled button raises no Click.
    if (Enabled()) RaiseClick();
}

Picture::Picture(const ControlRow& row, HWND parent, int id)
    : Control(row, CreateChildWindow(row, parent, id, L"STATIC", SS_OWNERDRAW)),
      bitmap_(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(row.picture_resource),
                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) {
    if (bitmap_ == nullptr) ThrowLastError("LoadImageW bitmap " + std::to_string(row.picture_resource));
}

Picture::~Picture() { DeleteObject(bitmap_); }

bool Picture::Draw(const DRAWITEMSTRUCT& item) {
    BITMAP info{};
    GetObjectW(bitmap_, sizeof info, &info);
    HDC source = CreateCompatibleDC(item.hDC);
    HGDIOBJ previous = SelectObject(source, bitmap_);
    SetStretchBltMode(item.hDC, HALFTONE);
    SetBrushOrgEx(item.hDC, 0, 0, nullptr);
    const RECT& box = item.rcItem;
    StretchBlt(item.hDC, box.left, box.top, box.right - box.left, box.bottom - box.top, source, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    return true;
}

}  // namespace talvoren::winui
