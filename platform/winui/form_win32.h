// A window built from its layout table: the controls with their fonts and
// colours, one window procedure that routes each control's events to the
// form's handlers with the control-array index, and the window's life:
// Show (modal or not), Hide, Unload.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/winui/control_win32.h"
#include "platform/winui/layout.h"

namespace talvoren::winui {

// A modal window holds the program's other windows until it is hidden.
enum class Modality { Modeless, Modal };

class Form {
public:
    using Handler = std::function<void(int index)>;
    // Where files or folders were dropped (twips in the client area), and their full paths.
    using DropHandler = std::function<void(int x, int y, const std::vector<std::string>& paths)>;

    // Creates the window, hidden, with every control of `layout`.
    explicit Form(FormLayout layout);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Shows the window; a modal one keeps the program's other windows from
    // input, and Show returns once it is hidden or unloaded.
    void Show(Modality modality = Modality::Modeless);
    void Hide();
    // Destroys the window; the object stays, unloaded.
    void Unload();
    bool IsLoaded() const { return window_ != nullptr; }
    HWND Handle() const { return window_; }

    // The control `name`, or `name(index)` of a control array.
    template <class T>
    T& Find(const std::string& name, int index = kNoIndex) const {
        if (auto* control = dynamic_cast<T*>(FindControl(name, index))) return *control;
        throw std::logic_error("no such control: " + name + "(" + std::to_string(index) + ")");
    }

protected:
    // Binds `handler` to every control named `name`; throws std::logic_error
    // when there is none, so a misspelt name fails at the window's creation.
    // Handlers run only while the window takes input (see TakesInput).
    void OnClick(const std::string& name, Handler handler);
    void OnChange(const std::string& name, Handler handler);
    // Accepts files and folders dropped from Explorer onto the window.
    void OnDrop(DropHandler handler);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
    void CreateControls();
    void ApplyLayout();
    void FitClientArea();
    void CenterOnScreen();
    void Reveal();
    HWND FirstFocusable() const;
    Control* FindControl(const std::string& name, int index) const;
    std::vector<Control*> ControlsNamed(const std::string& name) const;
    Control* ControlOf(HWND window) const;
    // Shown and enabled: no run going in the window, no modal window of the
    // program over it. A disabled window's controls still take a click or a
    // text sent by another program or an accessibility tool (BM_CLICK, a UI
    // Automation invoke, WM_SETTEXT); such events raise no handler.
    bool TakesInput() const;
    LRESULT ColourStatic(const Control& control, HDC dc);
    HBRUSH Brush(COLORREF colour);

    FormLayout layout_;
    HWND window_ = nullptr;
    int dpi_ = 96;
    std::vector<std::unique_ptr<Control>> controls_;  // in tab order, which is also the z-order
    std::vector<HFONT> fonts_;                        // the default font first, then each control's own
    std::map<COLORREF, HBRUSH> brushes_;
    HWND last_focus_ = nullptr;
    DropHandler on_drop_;
};

// Shows the start-up window and dispatches events until it is unloaded.
// Returns the process's exit code.
int RunUntilUnloaded(Form& startup);

}  // namespace talvoren::winui
