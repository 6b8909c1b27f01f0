// The floor: the least a tray program can be. One hidden window for the shell's
// notifications, one icon added with NIM_ADD, a message loop, nothing else. The benchmarks
// set the program's start-up and memory against it, measured in the same run; it is built
// as the program is (MinGW-w64, static, the same flags). Built with QUAFF_FLOOR_COMCTL it
// also loads and initialises the common-controls library first, as every program showing
// icons from image lists must: what that library costs by itself.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

namespace {

constexpr UINT kCallbackMessage = WM_APP;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef QUAFF_FLOOR_COMCTL
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
#endif
    WNDCLASSA wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "FloorTray";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr);

    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */);
    Shell_NotifyIconA(NIM_ADD, &data);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Shell_NotifyIconA(NIM_DELETE, &data);
    DestroyWindow(window);
    return 0;
}
