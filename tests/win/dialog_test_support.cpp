#include "dialog_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "win/form.h"
#include "win/handles.h"
#include "win/timer.h"
#include "win_test_support.h"

namespace quaff::test {

int ShowModalWith(win::Form& form, const std::function<void()>& action) {
    win::Timer act(nullptr), guard(nullptr);
    act.SetInterval(1);
    act.OnTimer = [&](win::Component*) {
        act.SetEnabled(false);
        action();
    };
    // Only a failing test waits for this.
    guard.SetInterval(20000);
    guard.OnTimer = [&](win::Component*) {
        guard.SetEnabled(false);
        ADD_FAILURE() << "the dialog was left open";
        form.Close();
    };
    return form.ShowModal();
}

void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

std::string WindowText(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void PressKey(WPARAM key) {
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageA(GetFocus(), WM_KEYUP, key, 1u << 31 | 1u << 30 | 1);
}

HWND FindThreadDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            char cls[16] = {};
            GetClassNameA(h, cls, sizeof cls);
            if (std::string(cls) != "#32770" || !IsWindowVisible(h)) return TRUE;
            *reinterpret_cast<HWND*>(lp) = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

MessageBoxAnswer::MessageBoxAnswer() : timer_(nullptr) {
    timer_.SetInterval(10);
    timer_.OnTimer = [this](win::Component*) {
        const HWND box = FindThreadDialog();
        if (!box || FindWindowExA(box, nullptr, "SysTreeView32", nullptr)) return;
        // The message is the box's longest static text (the icon is a static without one).
        std::string text;
        for (HWND c = FindWindowExA(box, nullptr, "Static", nullptr); c;
             c = FindWindowExA(box, c, "Static", nullptr)) {
            if (const std::string shown = WindowText(c); shown.size() > text.size()) text = shown;
        }
        texts_.push_back(text);
        Click(GetDlgItem(box, IDOK));
    };
}

namespace {

int RowBytes(int width) { return (width * 3 + 3) & ~3; }

// A folder named the Unix way (the tests run under Wine) as the Windows side names it.
std::string WindowsPath(std::string dir) {
    if (dir.empty() || dir.front() != '/') return dir;
    using ToDos = WCHAR*(CDECL*)(const char*);
    const auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    if (WCHAR* wide = toDos ? toDos(dir.c_str()) : nullptr) {
        char narrow[MAX_PATH * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
        HeapFree(GetProcessHeap(), 0, wide);
        if (narrow[0]) return narrow;
    }
    for (char& c : dir)
        if (c == '/') c = '\\';
    return "Z:" + dir;  // the whole Unix file system, in a standard prefix
}

}  // namespace

COLORREF Capture::Pixel(int x, int y) const {
    const size_t at =
        (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return RGB(bgr[at + 2], bgr[at + 1], bgr[at]);
}

Capture CaptureWindow(HWND window) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();
    GdiFlush();
    RECT r;
    GetClientRect(window, &r);
    Capture c;
    c.width = r.right - r.left;
    c.height = r.bottom - r.top;
    if (c.width <= 0 || c.height <= 0) return {};

    HDC source = GetDC(window);
    const win::ScopeExit released([window, source] { ReleaseDC(window, source); });
    const win::UniqueDC memory(CreateCompatibleDC(source));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = c.width;
    info.bmiHeader.biHeight = -c.height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const win::UniqueBitmap bitmap(
        CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits) {
        const win::SelectedObject target(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, c.width, c.height, source, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* src = static_cast<const uint8_t*>(bits);
        c.bgr.resize(static_cast<size_t>(c.width) * static_cast<size_t>(c.height) * 3);
        for (int y = 0; y < c.height; ++y)
            std::copy_n(src + static_cast<size_t>(y) * static_cast<size_t>(RowBytes(c.width)),
                        static_cast<size_t>(c.width) * 3,
                        c.bgr.begin() + static_cast<ptrdiff_t>(y) * c.width * 3);
    }
    if (c.bgr.empty()) return {};
    return c;
}

bool WriteBmp(const Capture& c, const std::string& path) {
    if (c.width <= 0 || c.height <= 0) return false;
    const int row = RowBytes(c.width);
    const DWORD imageSize = static_cast<DWORD>(row) * static_cast<DWORD>(c.height);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + imageSize;
    info.biSize = sizeof(info);
    info.biWidth = c.width;
    info.biHeight = c.height;  // bottom row first, as viewers expect
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageSize;

    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!out) return false;
    bool ok = std::fwrite(&file, sizeof(file), 1, out.get()) == 1 &&
              std::fwrite(&info, sizeof(info), 1, out.get()) == 1;
    std::vector<uint8_t> line(static_cast<size_t>(row), 0);
    for (int y = c.height - 1; ok && y >= 0; --y) {
        std::copy_n(c.bgr.begin() + static_cast<ptrdiff_t>(y) * c.width * 3, c.width * 3,
                    line.begin());
        ok = std::fwrite(line.data(), line.size(), 1, out.get()) == 1;
    }
    return std::fclose(out.release()) == 0 && ok;
}

std::string SaveScreenshot(HWND window, const std::string& fileName) {
    const char* dir = std::getenv("QUAFF_SCREENSHOT_DIR");
    if (!dir || !*dir) return {};
    std::string path = WindowsPath(dir);
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    path += fileName;
    return WriteBmp(CaptureWindow(window), path) ? path : std::string();
}

}  // namespace quaff::test
