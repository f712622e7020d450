#include "platform/winui/form_win32.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "platform/winui/dir_list_win32.h"
#include "platform/winui/dpi_win32.h"
#include "platform/winui/drive_list_win32.h"
#include "platform/winui/file_drop_win32.h"
#include "platform/winui/file_list_box_win32.h"
#include "platform/winui/form_class_win32.h"
#include "platform/winui/message_box_win32.h"
#include "platform/winui/message_loop_win32.h"
#include "platform/winui/twips.h"
#include "platform/win32/wide_text.h"
#include "platform/winui/windows_error_win32.h"

namespace talvoren::winui {
namespace {

constexpr wchar_t kOwnerClass[] = L"TalvorenOwner";
constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL, which the dialog manager sends
// Posted to a form that was activated while a modal form of the program
// disables it: the modal form is brought forward once the activation is over.
constexpr UINT kBringModalForward = WM_APP + 1;

void RegisterWindowClass(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = procedure;
    form.hInstance = GetModuleHandleW(nullptr);
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = name;
    if (RegisterClassExW(&form) == 0) ThrowLastError("RegisterClassExW");
}

void RegisterClasses(WNDPROC form_procedure) {
    static const bool registered = [form_procedure] {
        RegisterWindowClass(kFormClass, form_procedure);
        RegisterWindowClass(kOwnerClass, DefWindowProcW);
        return true;
    }();
    (void)registered;
}

// Windows that stay off the taskbar are owned by one hidden window, as the
// taskbar shows only unowned windows.
HWND HiddenOwner() {
    static HWND owner = [] {
        HWND window = CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        if (window == nullptr) ThrowLastError("CreateWindowExW owner");
        return window;
    }();
    return owner;
}

std::unique_ptr<Control> MakeControl(const ControlRow& row, HWND parent, int id) {
    switch (row.kind) {
    case ControlKind::Label:
        return std::make_unique<Label>(row, parent, id);
    case ControlKind::TextBox:
        return std::make_unique<TextBox>(row, parent, id);
    case ControlKind::CommandButton:
        return std::make_unique<CommandButton>(row, parent, id);
    case ControlKind::Picture:
        return std::make_unique<Picture>(row, parent, id);
    case ControlKind::DriveList:
        return std::make_unique<DriveListBox>(row, parent, id);
    case ControlKind::DirList:
        return std::make_unique<DirListBox>(row, parent, id);
    case ControlKind::FileList:
        return std::make_unique<FileListBox>(row, parent, id);
    }
    throw std::logic_error("unknown control kind of " + row.name);
}

COLORREF ToColorRef(const Rgb& colour) { return RGB(colour.r, colour.g, colour.b); }

bool Contains(const TwipsRect& outer, const TwipsRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && inner.left + inner.width <= outer.left + outer.width &&
           inner.top + inner.height <= outer.top + outer.height;
}

// The window's default font: the system's message font, at 9 pt.
HFONT MakeDefaultFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = -MulDiv(9, dpi, 72);
    font.lfWidth = 0;
    return CreateFontIndirectW(&font);
}

HFONT MakeFont(const FontLook& look, int dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(look.centipoints, dpi, 7200);
    font.lfWeight = look.weight;
    font.lfCharSet = static_cast<BYTE>(look.charset);
    const std::wstring face = Widen(look.face);
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

// Disables one of the thread's windows that takes input now, noting it in the
// list behind `disabled` so that it is enabled again afterwards.
BOOL CALLBACK DisableOther(HWND other, LPARAM disabled) {
    if (IsWindowVisible(other) && IsWindowEnabled(other)) {
        EnableWindow(other, FALSE);
        reinterpret_cast<std::vector<HWND>*>(disabled)->push_back(other);
    }
    return TRUE;
}

// Stops at the thread's form that takes input while the others are disabled.
BOOL CALLBACK StopAtEnabledForm(HWND window, LPARAM found) {
    if (!IsFormWindow(window) || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Both sizes from the group: the small one is drawn for the title bar, not
// shrunk from the large one.
void SetIcon(HWND window, int resource) {
    HINSTANCE program = GetModuleHandleW(nullptr);
    const wchar_t* group = MAKEINTRESOURCEW(resource);
    for (const auto& [which, side] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        const int pixels = GetSystemMetrics(side);
        HANDLE icon = LoadImageW(program, group, IMAGE_ICON, pixels, pixels, LR_SHARED);
        SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

int TabOrder(const ControlRow& row) { return row.tab_index == kNoTabIndex ? INT_MAX : row.tab_index; }

}  // namespace

int RunUntilUnloaded(Form& startup) {
    startup.Show();
    PumpMessagesUntil([&startup] { return !startup.IsLoaded(); });
    return 0;
}

Form::Form(FormLayout layout) : layout_(std::move(layout)) {
    RegisterClasses(&Form::WindowProc);
    // A fixed dialog frame: no sizing border, no minimise or maximise box.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD ex_style = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | (layout_.in_taskbar ? WS_EX_APPWINDOW : 0);
    HWND owner = layout_.in_taskbar ? nullptr : HiddenOwner();
    CreateWindowExW(ex_style, kFormClass, Widen(layout_.caption).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) ThrowLastError("CreateWindowExW " + layout_.caption);
    if (layout_.icon_resource != 0) SetIcon(window_, layout_.icon_resource);
    dpi_ = WindowDpi(window_);
    CreateControls();
    ApplyLayout();
    FitClientArea();
    if (layout_.position == StartPosition::CenterScreen) CenterOnScreen();
}

Form::~Form() {
    if (window_ != nullptr) DestroyWindow(window_);
    controls_.clear();
    for (HFONT font : fonts_) DeleteObject(font);
    for (auto& entry : brushes_) DeleteObject(entry.second);
}

void Form::CreateControls() {
    std::vector<std::size_t> order(layout_.controls.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return TabOrder(layout_.controls[a]) < TabOrder(layout_.controls[b]);
    });
    // Created in tab order: the dialog manager moves the focus in creation order.
    for (std::size_t position : order) {
        const int id = kFirstControlId + static_cast<int>(position);
        controls_.push_back(MakeControl(layout_.controls[position], window_, id));
    }
    for (const auto& control : controls_) {
        if (control->LayoutRow().behind) {
            SetWindowPos(control->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

void Form::ApplyLayout() {
    std::vector<HFONT> previous = std::move(fonts_);
    fonts_ = {MakeDefaultFont(dpi_)};
    for (const auto& control : controls_) {
        const ControlRow& row = control->LayoutRow();
        HFONT font = fonts_.front();
        if (row.font) {
            font = MakeFont(*row.font, dpi_);
            fonts_.push_back(font);
        }
        const PixelRect place = ToPixels(row.rect, dpi_);
        SetWindowPos(control->Handle(), nullptr, place.left, place.top, place.width, place.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        control->AfterLayout(dpi_);
    }
    for (HFONT font : previous) DeleteObject(font);
    InvalidateRect(window_, nullptr, TRUE);
}

void Form::FitClientArea() {
    RECT frame{}, client{};
    GetWindowRect(window_, &frame);
    GetClientRect(window_, &client);
    const int width = TwipsToPixels(layout_.client_width, dpi_) + (frame.right - frame.left) - client.right;
    const int height = TwipsToPixels(layout_.client_height, dpi_) + (frame.bottom - frame.top) - client.bottom;
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::CenterOnScreen() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT frame{};
    GetWindowRect(window_, &frame);
    const RECT& screen = monitor.rcMonitor;
    const int left = screen.left + ((screen.right - screen.left) - (frame.right - frame.left)) / 2;
    const int top = screen.top + ((screen.bottom - screen.top) - (frame.bottom - frame.top)) / 2;
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show(Modality modality) {
    if (window_ == nullptr) throw std::logic_error("Show of an unloaded window: " + layout_.caption);
    if (modality == Modality::Modeless) {
        Reveal();
        return;
    }
    // Until this window hides, the program's other windows take no input.
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), &DisableOther, reinterpret_cast<LPARAM>(&disabled));
    HWND previous = disabled.empty() ? nullptr : GetActiveWindow();
    Reveal();
    PumpMessagesUntil([this] { return window_ == nullptr || !IsWindowVisible(window_); });
    for (HWND other : disabled) {
        if (IsWindow(other)) EnableWindow(other, TRUE);
    }
    if (previous != nullptr && IsWindow(previous)) SetActiveWindow(previous);
}

void Form::Reveal() {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetActiveWindow(window_);
}

void Form::Hide() {
    if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
}

void Form::Unload() {
    if (window_ != nullptr) DestroyWindow(window_);
}

void Form::OnClick(const std::string& name, Handler handler) {
    for (Control* control : ControlsNamed(name)) {
        const int index = control->LayoutRow().index;
        control->SetClickHandler([this, handler, index] {
            if (TakesInput()) handler(index);
        });
    }
}

void Form::OnChange(const std::string& name, Handler handler) {
    for (Control* control : ControlsNamed(name)) {
        const int index = control->LayoutRow().index;
        control->SetChangeHandler([this, handler, index] {
            if (TakesInput()) handler(index);
        });
    }
}

// A handler for a name no control has would never run: say so at once.
std::vector<Control*> Form::ControlsNamed(const std::string& name) const {
    std::vector<Control*> named;
    for (const auto& control : controls_) {
        if (control->LayoutRow().name == name) named.push_back(control.get());
    }
    if (named.empty()) throw std::logic_error("no control named " + name + " in " + layout_.caption);
    return named;
}

void Form::OnDrop(DropHandler handler) {
    on_drop_ = [this, handler = std::move(handler)](int x, int y, const std::vector<std::string>& paths) {
        if (TakesInput()) handler(x, y, paths);
    };
    DragAcceptFiles(window_, TRUE);
}

bool Form::TakesInput() const { return window_ != nullptr && IsWindowVisible(window_) && IsWindowEnabled(window_); }

Control* Form::FindControl(const std::string& name, int index) const {
    for (const auto& control : controls_) {
        if (control->LayoutRow().name == name && control->LayoutRow().index == index) return control.get();
    }
    return nullptr;
}

Control* Form::ControlOf(HWND window) const {
    for (const auto& control : controls_) {
        if (control->Handle() == window) return control.get();
    }
    return nullptr;
}

HWND Form::FirstFocusable() const {
    for (const auto& control : controls_) {
        HWND window = control->Handle();
        const bool tab_stop = (GetWindowLongPtrW(window, GWL_STYLE) & WS_TABSTOP) != 0;
        if (tab_stop && IsWindowVisible(window) && IsWindowEnabled(window)) return window;
    }
    return nullptr;
}

HBRUSH Form::Brush(COLORREF colour) {
    auto found = brushes_.find(colour);
    if (found == brushes_.end()) found = brushes_.emplace(colour, CreateSolidBrush(colour)).first;
    return found->second;
}

LRESULT Form::ColourStatic(const Control& control, HDC dc) {
    const ControlRow& row = control.LayoutRow();
    if (!row.fore && !row.back && !row.transparent) {
        return DefWindowProcW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(control.Handle()));
    }
    COLORREF back = GetSysColor(COLOR_BTNFACE);
    if (row.back) {
        back = ToColorRef(*row.back);
    } else if (row.transparent) {
        // A transparent label shows the colour of the band it lies on.
        for (const auto& other : controls_) {
            const ControlRow& beneath = other->LayoutRow();
            if (other.get() != &control && beneath.back && !beneath.transparent && Contains(beneath.rect, row.rect)) {
                back = ToColorRef(*beneath.back);
            }
        }
    }
    SetTextColor(dc, row.fore ? ToColorRef(*row.fore) : GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, back);
    return reinterpret_cast<LRESULT>(Brush(back));
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) return DefWindowProcW(window, message, wparam, lparam);
    try {
        return form->OnMessage(message, wparam, lparam);
    } catch (const std::exception& failure) {
        // A failure no handler dealt with must not cross the system's frames.
        ReportFailure(failure);
        return 0;
    }
}

LRESULT Form::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_COMMAND:
        if (Control* control = ControlOf(reinterpret_cast<HWND>(lparam))) {
            control->Notify(HIWORD(wparam));
        } else if (lparam == 0 && LOWORD(wparam) == IDOK) {
            // Enter comes from the dialog manager as IDOK without a control.
            // No button is the default: Enter presses the focused button, as
            // Space does, and nothing else. Escape (IDCANCEL) does nothing.
            if (auto* button = dynamic_cast<CommandButton*>(ControlOf(GetFocus()))) button->Click();
        }
        return 0;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
        Control* control = ControlOf(item->hwndItem);
        return control != nullptr && control->Draw(*item) ? TRUE : FALSE;
    }
    case WM_MEASUREITEM:
        // Owner-drawn lists are measured once their font is known (AfterLayout).
        reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->itemHeight = 16;
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (Control* control = ControlOf(reinterpret_cast<HWND>(lparam))) {
            return ColourStatic(*control, reinterpret_cast<HDC>(wparam));
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wparam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && IsChild(window_, focus)) last_focus_ = focus;
        } else if (!IsWindowEnabled(window_)) {
            // The taskbar or Alt+Tab activates a window a modal form disables;
            // the modal form must come forward, or it seems lost behind others.
            PostMessageW(window_, kBringModalForward, 0, 0);
        } else {
            const bool usable = last_focus_ != nullptr && IsWindow(last_focus_) && IsWindowVisible(last_focus_) &&
                                IsWindowEnabled(last_focus_);
            HWND focus = usable ? last_focus_ : FirstFocusable();
            if (focus != nullptr) SetFocus(focus);
        }
        return 0;
    case WM_DROPFILES: {
        const FileDrop drop = TakeDrop(reinterpret_cast<HDROP>(wparam));
        if (on_drop_) on_drop_(PixelsToTwips(drop.at.x, dpi_), PixelsToTwips(drop.at.y, dpi_), drop.paths);
        return 0;
    }
    case WM_SETCURSOR:
        // A click on a window a modal form disables.
        if (static_cast<short>(LOWORD(lparam)) == HTERROR &&
            (HIWORD(lparam) == WM_LBUTTONDOWN || HIWORD(lparam) == WM_RBUTTONDOWN)) {
            PostMessageW(window_, kBringModalForward, 0, 0);
        }
        break;
    case kBringModalForward: {
        HWND modal = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &StopAtEnabledForm, reinterpret_cast<LPARAM>(&modal));
        if (modal != nullptr && modal != window_) {
            SetForegroundWindow(modal);
            BringWindowToTop(modal);
        }
        return 0;
    }
    case WM_CLOSE:
        if (!layout_.close_clicks.name.empty()) {
            Find<CommandButton>(layout_.close_clicks.name, layout_.close_clicks.index).Click();
            return 0;
        }
        break;
    case WM_DPICHANGED: {
        dpi_ = HIWORD(wparam);
        const auto* suggested = reinterpret_cast<const RECT*>(lparam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ApplyLayout();
        FitClientArea();
        return 0;
    }
    case WM_NCDESTROY: {
        HWND window = window_;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        return DefWindowProcW(window, message, wparam, lparam);
    }
    }
    return DefWindowProcW(window_, message, wparam, lparam);
}

}  // namespace talvoren::winui
