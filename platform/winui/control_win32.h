// The controls a form is built from, each a standard Win32 control made from
// its row of the layout table: the base every kind shares, and the simple
// kinds (label, text box, command button, picture).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/winui/layout.h"

namespace talvoren::winui {

class Control {
public:
    Control(const ControlRow& row, HWND window);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const ControlRow& LayoutRow() const { return row_; }
    HWND Handle() const { return window_; }

    // The form's handlers for this control's events, bound to its index.
    void SetClickHandler(std::function<void()> handler) { on_click_ = std::move(handler); }
    void SetChangeHandler(std::function<void()> handler) { on_change_ = std::move(handler); }

    // A WM_COMMAND notification code sent by this control to its form.
    virtual void Notify(int /*code*/) {}
    // WM_DRAWITEM for an owner-drawn control; false when it draws itself.
    virtual bool Draw(const DRAWITEMSTRUCT& /*item*/) { return false; }
    // Called after the form placed the control and gave it its font.
    virtual void AfterLayout(int /*dpi*/) {}

protected:
    void RaiseClick();
    void RaiseChange();

private:
    ControlRow row_;
    HWND window_;
    std::function<void()> on_click_;
    std::function<void()> on_change_;
};

// Creates the Win32 child window of one control; the form places it later.
HWND CreateChildWindow(const ControlRow& row, HWND parent, int id, const wchar_t* window_class, DWORD style,
                       DWORD ex_style = 0);

// One line of text. A text wider than the box is drawn in a smaller size of
// the label's font, down to what the box holds, so that it shows whole
// whatever the display's scale and the system's fonts.
class Label : public Control {
public:
    Label(const ControlRow& row, HWND parent, int id);
    ~Label() override;
    void SetCaption(const std::string& caption);
    void AfterLayout(int dpi) override;

private:
    void FitText();

    HFONT form_font_ = nullptr;     // the font the form gave the label; the form owns it
    HFONT smaller_font_ = nullptr;  // owned; set while the text needs it
};

class TextBox : public Control {
public:
    TextBox(const ControlRow& row, HWND parent, int id);
    std::string Text() const;
    // Raises Change, as an edit by the user does.
    void SetText(const std::string& text);
    void Notify(int code) override;
};

class CommandButton : public Control {
public:
    CommandButton(const ControlRow& row, HWND parent, int id);
    void SetEnabled(bool enabled);
    bool Enabled() const;
    void Notify(int code) override;
    // A click as the mouse or the keyboard gives it; a disabled button ignores it.
    void Click();
};

// A bitmap resource stretched to fill the control's box.
class Picture : public Control {
public:
    Picture(const ControlRow& row, HWND parent, int id);
    ~Picture() override;
    bool Draw(const DRAWITEMSTRUCT& item) override;

private:
    HBITMAP bitmap_;
};

// Text of any window, and setting it, at the UTF-16 boundary.
std::string WindowText(HWND window);
void SetTextOf(HWND window, const std::string& text);

}  // namespace talvoren::winui
