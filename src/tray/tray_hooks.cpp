// The procedures the tray icon puts in front of the application window's and its owner
// form's window procedures: putting the icon back when the shell's taskbar is re-created,
// minimising the application to the tray, and the start-up decision about the main form.
#include "tray/tray_icon.h"
#include "tray/tray_platform.h"
#include "win/application.h"
#include "win/form.h"

namespace quaff::tray {

bool TTrayIcon::OwnerIsWindowed() const {
    return dynamic_cast<win::WinControl*>(Owner()) != nullptr;
}

// Several tray icons may hook the same windows; each hook is taken out on its own, in any
// order, without cutting out hooks installed after it.
void TTrayIcon::HookApplicationWindow() {
    if (HWND app = win::Application::Instance().Handle())
        applicationHook_.Install(app, [this](HWND h, UINT m, WPARAM w, LPARAM l, LRESULT& r) {
            return ApplicationWindowProc(h, m, w, l, r);
        });
}

void TTrayIcon::UnhookApplicationWindow() { applicationHook_.Remove(); }

// Asking for the owner's window makes it now; an owner that cannot get one fails the
// construction.
void TTrayIcon::HookOwnerWindow() {
    if (auto* owner = dynamic_cast<win::WinControl*>(Owner()))
        ownerHook_.Install(owner->Handle(), [this](HWND h, UINT m, WPARAM w, LPARAM l, LRESULT& r) {
            return OwnerWindowProc(h, m, w, l, r);
        });
}

void TTrayIcon::UnhookOwnerWindow() { ownerHook_.Remove(); }

bool TTrayIcon::ApplicationWindowProc(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
    const win::Liveness self = Life();
    win::Application& app = win::Application::Instance();
    if (message == WM_SIZE && wParam == SIZE_MINIMIZED && minimizeToTray_) {
        MinimizeAppToTray();
        if (!self.Alive()) return false;
    }
    if (message == WM_WINDOWPOSCHANGED && mainFormCheckPending_ && app.MainForm()) {
        if (app.MainForm()->Style() == win::Form::FormStyle::MDIForm) {
            bool showMainForm = true;
            if (OnStartup) OnStartup(this, showMainForm);
            if (!self.Alive()) return false;
            if (!showMainForm) HideTaskbarButton();
        }
        mainFormCheckPending_ = false;
    }
    const UINT taskbarCreated = TaskbarCreatedMessage();
    if (taskbarCreated != 0 && message == taskbarCreated) ShellRecreated();
    return false;
}

bool TTrayIcon::OwnerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT& result) {
    win::Application& app = win::Application::Instance();
    if (message == WM_SHOWWINDOW) {
        if (wParam == TRUE && lParam == 0) {
            win::Seam<TrayPlatform>::Current().SetForegroundWindow(app.Handle());
            win::Seam<TrayPlatform>::Current().SetForegroundWindow(hwnd);
        } else if (wParam == FALSE && lParam == SW_PARENTCLOSING && !app.Terminated()) {
            return TryMinimizeToTray(result);
        }
    } else if (message == WM_SYSCOMMAND && wParam == SC_MINIMIZE) {
        if (TryMinimizeToTray(result)) return true;
        // Minimising the main form is minimising the application: without a handler to
        // take it over, it goes to the tray all the same.
        if (minimizeToTray_ && Owner() == app.MainForm()) {
            MinimizeAppToTray();
            result = 1;
            return true;
        }
    }
    return false;
}

bool TTrayIcon::TryMinimizeToTray(LRESULT& result) {
    if (!minimizeToTray_ || !OnMinimizeToTray) return false;
    const win::Liveness self = Life();
    OnMinimizeToTray(this);
    if (self.Alive()) MinimizeAppToTray();
    result = 1;
    return true;
}

void TTrayIcon::MinimizeAppToTray() {
    const win::Liveness self = Life();
    HideMainWindow();
    if (self.Alive()) SetIconVisible(true);
}

void TTrayIcon::HideMainWindow() {
    win::Form* mainForm = win::Application::Instance().MainForm();
    if (!OwnerIsWindowed() || !mainForm) return;
    mainForm->SetVisible(false);
    HideTaskbarButton();
}

void TTrayIcon::HideTaskbarButton() {
    HWND app = win::Application::Instance().Handle();
    if (IsWindowVisible(app)) ShowWindow(app, SW_HIDE);
}

void TTrayIcon::StartupCheck() {
    const win::Liveness self = Life();
    bool showMainForm = true;
    if (OnStartup) OnStartup(this, showMainForm);
    if (!self.Alive() || showMainForm) return;
    win::Application::Instance().SetShowMainForm(false);
    HideMainWindow();
}

}  // namespace quaff::tray
