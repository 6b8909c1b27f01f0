#include "win/form.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "core/errors.h"
#include "win/fit_text.h"
#include "win/handles.h"

namespace quaff::win {

namespace {

// Disables the thread's other visible windows for a modal showing and enables them again
// afterwards (those that still exist), so clicks go to the modal form only.
class DisabledWindows {
public:
    explicit DisabledWindows(HWND keep) : keep_(keep) {
        EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
        for (HWND w : windows_) EnableWindow(w, FALSE);
    }
    ~DisabledWindows() { Restore(); }
    DisabledWindows(const DisabledWindows&) = delete;
    DisabledWindows& operator=(const DisabledWindows&) = delete;

    void Restore() {
        for (HWND w : windows_)
            if (IsWindow(w)) EnableWindow(w, TRUE);
        windows_.clear();
    }

private:
    static BOOL CALLBACK Collect(HWND w, LPARAM lp) {
        auto* self = reinterpret_cast<DisabledWindows*>(lp);
        try {
            if (w != self->keep_ && IsWindowVisible(w) && IsWindowEnabled(w))
                self->windows_.push_back(w);
            return TRUE;
        } catch (...) {
            return FALSE;  // out of memory: disable what was collected so far
        }
    }
    HWND keep_;
    std::vector<HWND> windows_;
};

// Sends the message to every window under `parent`.
void ForwardToChildren(HWND parent, UINT msg, WPARAM wp, LPARAM lp) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        SendMessageA(c, msg, wp, lp);
        ForwardToChildren(c, msg, wp, lp);
    }
}

// Hands the key to the first visible control, children before the next sibling, that takes
// it; answers whether one did.
bool PressDialogKey(WinControl& parent, int key) {
    for (WinControl* c : std::vector<WinControl*>(parent.Controls()))
        if ((c->Visible() && c->DialogKey(key)) || PressDialogKey(*c, key)) return true;
    return false;
}

}  // namespace

Form::Form(Component* owner) : WinControl(owner) {
    visible_ = false;
    SetBounds(100, 100, 320, 240);
    BeginLoading();
}

Form::~Form() {
    auto& app = Application::Instance();
    if (app.MainForm() == this) app.SetMainForm(nullptr);
    // Owned components (a tray icon hooking this window) go while this is still a Form.
    DestroyComponents();
}

void Form::FinishCreation() {
    if (created_) return;
    created_ = true;
    EndLoading();
    DoCreate();
}

void Form::StyleBits(DWORD& style, DWORD& exStyle) const {
    style = WS_CLIPCHILDREN;
    exStyle = WS_EX_CONTROLPARENT;
    switch (borderStyle_) {
        case BorderStyle::None:
            style |= WS_POPUP;
            break;
        case BorderStyle::Single:
            style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
            break;
        case BorderStyle::Sizeable:
            style |= WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
            break;
        case BorderStyle::Dialog:
            style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
            exStyle |= WS_EX_DLGMODALFRAME;
            break;
        case BorderStyle::ToolWindow:
            style |= WS_CAPTION | WS_SYSMENU;
            exStyle |= WS_EX_TOOLWINDOW;
            break;
        case BorderStyle::SizeToolWin:
            style |= WS_CAPTION | WS_THICKFRAME | WS_SYSMENU;
            exStyle |= WS_EX_TOOLWINDOW;
            break;
    }
    if (formStyle_ == FormStyle::StayOnTop) exStyle |= WS_EX_TOPMOST;
}

void Form::GetCreateParams(CreateParams& params) {
    params.className = nullptr;
    StyleBits(params.style, params.exStyle);
    if (!Enabled()) params.style |= WS_DISABLED;
    // Forms are owned by the hidden application window: no taskbar button of their own,
    // and they stay above it.
    params.parentWindow = Application::Instance().Handle();
}

void Form::SetStyle(FormStyle style) {
    formStyle_ = style;
    if (HWND h = WindowIfAny())
        SetWindowPos(h, style == FormStyle::StayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Form::SetBorderStyle(BorderStyle style) {
    borderStyle_ = style;
    HWND h = WindowIfAny();
    if (!h) return;
    DWORD bits, exBits;
    StyleBits(bits, exBits);
    const DWORD keep = WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE;
    DWORD old = static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE));
    SetWindowLongPtrA(h, GWL_STYLE, static_cast<LONG_PTR>(bits | (old & keep)));
    SetWindowLongPtrA(h, GWL_EXSTYLE, static_cast<LONG_PTR>(exBits));
    SetWindowPos(h, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Realign();
}

void Form::SetClientSize(int w, int h) {
    DWORD style, exStyle;
    StyleBits(style, exStyle);
    RECT r{0, 0, ScaleDpi(w, Dpi()), ScaleDpi(h, Dpi())};
    // The frame at the window's DPI (Windows 10 1607 and later; before, the system's).
    using ForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto forDpi = reinterpret_cast<ForDpi>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi")));
    if (!forDpi || !forDpi(&r, style, FALSE, exStyle, static_cast<UINT>(Dpi())))
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    RECT b = BoundsRect();
    SetBoundsRect(RECT{b.left, b.top, b.left + (r.right - r.left), b.top + (r.bottom - r.top)});
}

void Form::PlaceForShowing() {
    if (placed_) return;
    placed_ = true;
    FitTextToRoom(*this);
    if (position_ == Position::DesktopCenter) {
        RECT b = BoundsRect(), work;
        const int w = b.right - b.left, h = b.bottom - b.top;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        b.left = work.left + ((work.right - work.left) - w) / 2;
        b.top = work.top + ((work.bottom - work.top) - h) / 2;
        SetBoundsRect(RECT{b.left, b.top, b.left + w, b.top + h});
    }
    KeepInWorkArea();
}

void Form::KeepInWorkArea() {
    // A designed place meant for a larger screen (or scaled up with the DPI) would leave part
    // of the window off its monitor.
    RECT b = BoundsRect();
    const int w = b.right - b.left, h = b.bottom - b.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoA(MonitorFromRect(&b, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        b.left = std::max(std::min(b.left, work.right - w), work.left);
        b.top = std::max(std::min(b.top, work.bottom - h), work.top);
    }
    b.right = b.left + w;
    b.bottom = b.top + h;
    SetBoundsRect(b);
}

void Form::HandleCreated() {
    const int dpi = WindowDpi(WindowIfAny());
    if (dpi != Dpi()) ChangeDpi(dpi);
}

void Form::RescaleTo(int dpi, const RECT& rect) {
    // Sized several times on the way; the form hears of the new size once, at the end (or,
    // while the user drags it to another monitor, when the drag ends).
    const bool dragging = std::exchange(sizing_, true);
    if (!dragging) resizedWhileSizing_ = false;
    ChangeDpi(dpi);
    SetBoundsRect(rect);
    FitTextToRoom(*this);
    KeepInWorkArea();
    sizing_ = dragging;
    if (!dragging && resizedWhileSizing_) DoResize();
}

HWND Form::FocusTarget() const {
    const HWND h = WindowIfAny();
    if (lastFocus_ && IsWindow(lastFocus_) && IsChild(h, lastFocus_) &&
        IsWindowEnabled(lastFocus_) && IsWindowVisible(lastFocus_))
        return lastFocus_;
    return GetNextDlgTabItem(h, nullptr, FALSE);
}

void Form::SetVisible(bool value) {
    if (!value) {
        if (!visible_) return;
        visible_ = false;
        lastFocus_ = nullptr;  // shown again, the form starts at its first control
        if (HWND h = WindowIfAny()) ShowWindow(h, SW_HIDE);
        DoHide();
        return;
    }
    FinishCreation();
    HWND h = Handle();
    if (visible_ && IsWindowVisible(h)) return;
    PlaceForShowing();
    // A failing show hook is reported once the window is up: the form still opens.
    std::exception_ptr showError;
    try {
        DoShow();
    } catch (...) {
        showError = std::current_exception();
    }
    visible_ = true;
    ShowWindow(h, SW_SHOW);
    // The focus on the first control, and shown: a window opened with the mouse would
    // otherwise hide the focus rectangle until the first key.
    if (!IsChild(h, GetFocus()))
        if (HWND first = FocusTarget()) ::SetFocus(first);
    SendMessageA(h, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    if (showError) Application::Instance().HandleException(showError);
}

void Form::Show() { SetVisible(true); }

void Form::Hide() { SetVisible(false); }

void Form::Close() {
    DoClose();
    if (modalLevel_ > 0) {
        if (modalResult_ == mrNone) modalResult_ = mrCancel;
        return;
    }
    Hide();
    auto& app = Application::Instance();
    if (app.MainForm() == this) app.Terminate();
}

void Form::Resized() {
    if (sizing_)
        resizedWhileSizing_ = true;
    else
        DoResize();
}

int Form::ShowModal() {
    if (modalLevel_ > 0 || (visible_ && WindowIfAny() && IsWindowVisible(WindowIfAny())))
        throw Error("Cannot make a visible window modal");
    FinishCreation();
    auto& app = Application::Instance();
    if (app.Terminated()) return mrCancel;

    HWND h = Handle();
    const Liveness self = Life();
    modalResult_ = mrNone;
    ++modalLevel_;
    {
        DisabledWindows disabled(h);
        // Modal no more once the showing ends, however it ends; a form destroyed inside its
        // own showing is not touched.
        const ScopeExit ended([this, self] {
            if (self.Alive()) --modalLevel_;
        });
        Show();
        while (self.Alive() && modalResult_ == mrNone && visible_ && !app.Terminated()) {
            if (!app.HandleMessage()) break;
        }
        if (!self.Alive()) return mrCancel;  // destroyed inside its own showing: touch nothing
        // Enable the others before hiding, so activation returns to the window below.
        disabled.Restore();
    }
    const int result = modalResult_ != mrNone ? modalResult_ : mrCancel;
    Hide();
    modalResult_ = result;
    return result;
}

LRESULT Form::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            Close();
            return 0;
        case WM_COMMAND:
            // Enter and Escape from the dialog manager arrive as IDOK and IDCANCEL.
            if ((HIWORD(wp) == BN_CLICKED || lp == 0) &&
                (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) && PressDialogKey(*this, LOWORD(wp)))
                return 0;
            break;
        case WM_ENTERSIZEMOVE:
            sizing_ = true;
            resizedWhileSizing_ = false;
            break;
        case WM_EXITSIZEMOVE:
            sizing_ = false;
            if (resizedWhileSizing_) DoResize();
            break;
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(WindowIfAny(), focus)) lastFocus_ = focus;
            } else if (HWND to = FocusTarget()) {
                ::SetFocus(to);
                return 0;
            }
            break;
        case WM_SETFOCUS:
            // The form itself takes no keys: the focus goes on to a control.
            if (HWND to = FocusTarget()) {
                ::SetFocus(to);
                return 0;
            }
            break;
        case WM_DPICHANGED:
            RescaleTo(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_SETTINGCHANGE:
            if (wp != SPI_SETHIGHCONTRAST) break;
            [[fallthrough]];
        case WM_SYSCOLORCHANGE:
            // High contrast on or off, or other system colours: everything is drawn again in
            // them. The standard controls hear of it from their parent, as Windows expects.
            if (msg == WM_SYSCOLORCHANGE) ForwardToChildren(WindowIfAny(), msg, wp, lp);
            RedrawWindow(WindowIfAny(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
            break;
        default:
            break;
    }
    return WinControl::WndProc(msg, wp, lp);
}

namespace {

bool ValidateTree(WinControl& parent) {
    for (WinControl* c : std::vector<WinControl*>(parent.Controls()))
        if (!c->ValidateEdit() || !ValidateTree(*c)) return false;
    return true;
}

}  // namespace

bool Form::ValidateEdits() { return ValidateTree(*this); }

}  // namespace quaff::win
