#include "win/image.h"

#include "win/handles.h"

namespace quaff::win {

Image::Image(Component* owner) : WinControl(owner) {}

void Image::GetCreateParams(CreateParams& params) {
    WinControl::GetCreateParams(params);
    // A picture static is what screen readers know as a graphic; drawn here. SS_NOTIFY: the
    // picture gets its clicks (its context menu).
    params.className = "STATIC";
    params.style |= SS_BITMAP | SS_NOTIFY;
}

void Image::SetPicture(quaff::Picture&& picture) {
    picture_ = std::move(picture);
    Invalidate();
}

LRESULT Image::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) return 1;  // Paint covers everything
    return WinControl::WndProc(msg, wp, lp);
}

void Image::Paint(HDC dc) {
    RECT r;
    GetClientRect(WindowIfAny(), &r);
    const size_t needed = static_cast<size_t>(picture_.width > 0 ? picture_.width : 0) *
                          static_cast<size_t>(picture_.height > 0 ? picture_.height : 0);
    if (needed == 0 || picture_.pixels.size() < needed) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = picture_.width;
    bmi.bmiHeader.biHeight = -picture_.height;  // rows top-down
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    const ScopeExit restored([dc, oldMode] { SetStretchBltMode(dc, oldMode); });
    SetBrushOrgEx(dc, 0, 0, nullptr);  // required after choosing HALFTONE
    StretchDIBits(dc, 0, 0, r.right - r.left, r.bottom - r.top, 0, 0, picture_.width,
                  picture_.height, picture_.pixels.data(), &bmi, DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace quaff::win
