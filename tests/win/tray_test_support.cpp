#include "tray_test_support.h"

#include <shlwapi.h>

#include <stdexcept>

#include "win/handles.h"

namespace quaff::test {

BOOL TrayRecorder::AskShell(DWORD message, NOTIFYICONDATAA* data) {
    ++shellCount;
    if (onShell) onShell(message, *data);
    const std::pair<HWND, UINT> icon{data->hWnd, data->uID};
    const bool holds = held.count(icon) != 0;
    BOOL result = !refuseShell && (message == NIM_ADD ? !holds : holds);
    if (result && passThrough) result = TrayPlatform::AskShell(message, data);
    if (result && message == NIM_ADD) held.insert(icon);
    if (result && message == NIM_DELETE) held.erase(icon);
    if (keepShellCalls) {
        ShellCall call{message, {}, result};
        memcpy(&call.data, data,
               data->cbSize <= sizeof(call.data) ? data->cbSize : sizeof(call.data));
        shell.push_back(call);
    }
    return result;
}

void TrayRecorder::RestartShell() {
    for (const auto& [window, id] : held) {
        NOTIFYICONDATAA gone{};
        gone.cbSize = tray::kIconDataSize;
        gone.hWnd = window;
        gone.uID = id;
        if (passThrough) TrayPlatform::AskShell(NIM_DELETE, &gone);
    }
    held.clear();
}

void FillImageList(win::ImageList& list, int count, int first) {
    const win::UniqueImageList himl(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, count, 1));
    win::ScreenDC screen;
    for (int i = 0; i < count; ++i) {
        win::UniqueDC dc(CreateCompatibleDC(screen.get()));
        win::UniqueBitmap image(CreateCompatibleBitmap(screen.get(), 16, 16));
        win::UniqueBitmap mask(CreateBitmap(16, 16, 1, 1, nullptr));
        win::UniqueBrush brush(CreateSolidBrush(FrameColour(first + i)));
        RECT r{0, 0, 16, 16};
        {
            const win::SelectedObject drawn(dc.get(), image.get());
            FillRect(dc.get(), &r, brush.get());
        }
        {
            const win::SelectedObject drawn(dc.get(), mask.get());
            FillRect(dc.get(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));  // all opaque
        }
        ImageList_Add(himl.get(), image.get(), mask.get());
    }
    const win::ComPtr<IStream> stream{SHCreateMemStream(nullptr, 0)};
    ImageList_Write(himl.get(), stream.get());
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    list.ReadFromStream(bytes.data(), read);
}

COLORREF IconCentreColour(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return CLR_INVALID;
    win::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    if (!colour) return CLR_INVALID;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = 16;
    bi.bmiHeader.biHeight = -16;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::uint32_t pixels[16 * 16] = {};
    win::ScreenDC screen;
    if (!GetDIBits(screen.get(), colour.get(), 0, 16, pixels, &bi, DIB_RGB_COLORS))
        return CLR_INVALID;
    const std::uint32_t p = pixels[8 * 16 + 8];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

UINT_PTR LastTimerId(const std::vector<std::string>& log, unsigned interval) {
    const std::string suffix = " " + std::to_string(interval);
    for (auto it = log.rbegin(); it != log.rend(); ++it) {
        if (it->rfind("SetTimer ", 0) == 0 && it->size() > suffix.size() &&
            it->compare(it->size() - suffix.size(), suffix.size(), suffix) == 0)
            return std::stoul(it->substr(9));
    }
    return 0;
}

}  // namespace quaff::test
