#include "win/application.h"

#include <commctrl.h>
#include <objbase.h>

#include "core/errors.h"
#include "win/handles.h"
#include "win/seam.h"
#include "win/window_class.h"

namespace quaff::win {

Application& Application::Instance() {
    static Application app;
    return app;
}

void Application::Initialize() {
    if (!comJoined_)
        comJoined_ =
            SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    if (handle_) return;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &BoundWindowProc<Application, &Application::WindowMessage>;
    wc.hIcon = LoadIconA(Module(), "MAINICON");
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    RegisterWindowClassOnce(wc);
    // Hidden: the program shows no taskbar button of its own.
    handle_ = CreateWindowOrThrow(
        {.className = kWindowClass,
         .caption = title_,
         .style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
         .object = this});
}

void Application::Finalize() {
    if (comJoined_) CoUninitialize();
    comJoined_ = false;
}

void Application::SetTitle(std::string title) {
    title_ = std::move(title);
    if (handle_) SetWindowTextA(handle_, title_.c_str());
}

void Application::Run() {
    while (!terminated_ && HandleMessage()) {}
}

void Application::Terminate() {
    if (!terminated_) {
        terminated_ = true;
        PostQuitMessage(0);
    }
}

void Application::ResetTerminated() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    terminated_ = false;
}

// The loops take messages as UTF-16: a character typed in any script reaches the edit
// controls whole (the ANSI calls would hand it over through the keyboard's code page).
bool Application::HandleMessage() {
    MSG msg;
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        terminated_ = true;
        PostQuitMessage(0);  // so the loop that encloses this one ends as well
        return false;
    }
    // Dialog keys (Tab, Enter, Escape) for the window that has the focus.
    HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (top && IsDialogMessageW(top, &msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void Application::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (top && IsDialogMessageW(top, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Application::HandleException(const std::exception& e) noexcept {
    try {
        ShowErrorText(e.what());
    } catch (...) {}
}

void Application::HandleException(std::exception_ptr error) noexcept {
    if (!error) return;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        ShowErrorText("Unknown error");
    }
}

void Application::ShowErrorText(std::string_view message) noexcept {
    try {
        ++openErrorBoxes_;
        const ScopeExit closed([this] { --openErrorBoxes_; });
        Seam<ErrorSink>::Current().Show(ErrorBoxText(message));
    } catch (...) {}
}

void ErrorSink::Show(const std::string& text) {
    const Application& app = Application::Instance();
    // Owned by the window in front (a modal form, when one is shown), so the box comes up
    // above it and not hidden behind it; with none, the box is modal to the whole program.
    HWND owner = GetActiveWindow();
    if (owner && !IsWindowVisible(owner)) owner = nullptr;
    UINT flags = MB_OK | MB_ICONSTOP | MB_SETFOREGROUND | (owner ? MB_APPLMODAL : MB_TASKMODAL);
    MessageBoxA(owner, text.c_str(), app.title_.c_str(), flags);
}

LRESULT Application::WindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        Terminate();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace quaff::win
