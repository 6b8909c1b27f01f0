// The procedures the tray icon puts in front of the application window's and its owner
// form's window procedures: putting the icon back when the shell's taskbar is re-created,
// minimising the application to the tray, and the start-up decision about the main form.
#include <array>
#include <exception>
#include <stdexcept>
#include <utility>

#include "tray/tray_icon.h"
#include "tray/tray_platform.h"
#include "win/application.h"
#include "win/form.h"

namespace quaff::tray {

// A window procedure bound to one component. Each slot is a distinct function, so several
// tray icons can chain on the same window, each calling the procedure it replaced.
struct TrayHookAccess {
    struct Slot {
        TTrayIcon* icon = nullptr;
        bool owner = false;         // the owner form's hook, else the application window's
        WNDPROC previous = nullptr;  // kept after release for any caller still holding us
    };
    static constexpr std::size_t kSlots = 64;
    static std::array<Slot, kSlots>& Slots() {
        static std::array<Slot, kSlots> slots;
        return slots;
    }

    static LRESULT Run(std::size_t n, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        const Slot slot = Slots()[n];
        if (!slot.icon) {
            return slot.previous ? CallWindowProcA(slot.previous, hwnd, message, wParam, lParam)
                                 : DefWindowProcA(hwnd, message, wParam, lParam);
        }
        return slot.owner
                   ? slot.icon->OwnerWindowProc(hwnd, message, wParam, lParam, slot.previous)
                   : slot.icon->ApplicationWindowProc(hwnd, message, wParam, lParam, slot.previous);
    }

    template <std::size_t N>
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        return Run(N, hwnd, message, wParam, lParam);
    }

    template <std::size_t... N>
    static constexpr std::array<WNDPROC, sizeof...(N)> MakeProcs(std::index_sequence<N...>) {
        return {&Proc<N>...};
    }
    static WNDPROC ProcOf(int n) {
        static constexpr auto procs = MakeProcs(std::make_index_sequence<kSlots>());
        return procs[static_cast<std::size_t>(n)];
    }

    // Puts a bound procedure in front of the window's; answers false (and hooks nothing)
    // when all slots are taken or there is no window.
    static bool Install(TTrayIcon* icon, bool owner, HWND window, TTrayIcon::Hook& hook) {
        if (!window) return false;
        for (std::size_t n = 0; n < kSlots; ++n) {
            Slot& s = Slots()[n];
            if (s.icon) continue;
            hook.window = window;
            hook.previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
            hook.slot = static_cast<int>(n);
            s = Slot{icon, owner, hook.previous};
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ProcOf(hook.slot)));
            return true;
        }
        return false;
    }

    // Puts back the procedure seen at hooking time, without looking at what is installed
    // now; a window already destroyed is left alone.
    static void Remove(TTrayIcon::Hook& hook) {
        if (hook.slot >= 0) {
            if (hook.window && hook.previous)
                SetWindowLongPtrA(hook.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook.previous));
            Slots()[static_cast<std::size_t>(hook.slot)].icon = nullptr;
        }
        hook = TTrayIcon::Hook{};
    }

    // Runs the component's own part of a hooked message; an error is reported and the
    // message still goes on to the procedure behind.
    template <typename F>
    static void Guarded(F&& f) {
        try {
            f();
        } catch (const std::exception& e) {
            win::Application::Instance().HandleException(e);
        } catch (...) {
            win::Application::Instance().HandleException(std::runtime_error("Unknown error"));
        }
    }
};

bool TTrayIcon::OwnerIsWindowed() const { return dynamic_cast<win::WinControl*>(Owner()) != nullptr; }

void TTrayIcon::HookApplicationWindow() {
    TrayHookAccess::Install(this, false, win::Application::Instance().Handle(), applicationHook_);
}

void TTrayIcon::UnhookApplicationWindow() { TrayHookAccess::Remove(applicationHook_); }

void TTrayIcon::HookOwnerWindow() {
    auto* owner = dynamic_cast<win::WinControl*>(Owner());
    if (owner) TrayHookAccess::Install(this, true, owner->Handle(), ownerHook_);
}

void TTrayIcon::UnhookOwnerWindow() { TrayHookAccess::Remove(ownerHook_); }

LRESULT TTrayIcon::ApplicationWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         WNDPROC previous) {
    const std::uint32_t self = identity_;
    TrayHookAccess::Guarded([&] {
        win::Application& app = win::Application::Instance();
        if (message == WM_SIZE && wParam == SIZE_MINIMIZED && minimizeToTray_) {
            MinimizeAppToTray();
            if (!Alive(self)) return;
        }
        if (message == WM_WINDOWPOSCHANGED && mainFormCheckPending_ && app.MainForm()) {
            if (app.MainForm()->Style() == win::Form::FormStyle::MDIForm) {
                bool showMainForm = true;
                if (OnStartup) OnStartup(this, showMainForm);
                if (!Alive(self)) return;
                if (!showMainForm) HideTaskbarButton();
            }
            mainFormCheckPending_ = false;
        }
        const UINT taskbarCreated = TaskbarCreatedMessage();
        if (taskbarCreated != 0 && message == taskbarCreated && iconVisible_) TrayAdd();
    });
    if (message == WM_NCDESTROY && Alive(self)) applicationHook_.window = nullptr;
    return CallWindowProcA(previous, hwnd, message, wParam, lParam);
}

LRESULT TTrayIcon::OwnerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                   WNDPROC previous) {
    const std::uint32_t self = identity_;
    bool handled = false;
    LRESULT result = 0;
    TrayHookAccess::Guarded([&] {
        win::Application& app = win::Application::Instance();
        if (message == WM_SHOWWINDOW) {
            if (wParam == TRUE && lParam == 0) {
                Platform().SetForegroundWindow(app.Handle());
                Platform().SetForegroundWindow(hwnd);
            } else if (wParam == FALSE && lParam == SW_PARENTCLOSING && !app.Terminated()) {
                handled = TryMinimizeToTray(result);
            }
        } else if (message == WM_SYSCOMMAND && wParam == SC_MINIMIZE) {
            handled = TryMinimizeToTray(result);
        }
    });
    if (handled) return result;
    if (message == WM_NCDESTROY && Alive(self)) ownerHook_.window = nullptr;
    return CallWindowProcA(previous, hwnd, message, wParam, lParam);
}

bool TTrayIcon::TryMinimizeToTray(LRESULT& result) {
    if (!minimizeToTray_ || !OnMinimizeToTray) return false;
    const std::uint32_t self = identity_;
    OnMinimizeToTray(this);
    if (Alive(self)) MinimizeAppToTray();
    result = 1;
    return true;
}

void TTrayIcon::MinimizeAppToTray() {
    const std::uint32_t self = identity_;
    HideMainWindow();
    if (Alive(self)) SetIconVisible(true);
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
    const std::uint32_t self = identity_;
    bool showMainForm = true;
    if (OnStartup) OnStartup(this, showMainForm);
    if (!Alive(self) || showMainForm) return;
    win::Application::Instance().SetShowMainForm(false);
    HideMainWindow();
}

}  // namespace quaff::tray
