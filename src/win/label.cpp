#include "win/label.h"

#include "win/font_cache.h"
#include "win/handles.h"
#include "win/text.h"

namespace quaff::win {

Label::Label(Component* owner) : WinControl(owner) {}

void Label::SetAlignment(Alignment alignment) {
    alignment_ = alignment;
    Invalidate();
}

void Label::SetAutoSize(bool value) {
    autoSize_ = value;
    AdjustSize();
}

void Label::SetCaption(std::string caption) {
    WinControl::SetCaption(std::move(caption));
    AdjustSize();
    Invalidate();
}

void Label::FontChanged() {
    WinControl::FontChanged();
    AdjustSize();
}

UINT Label::DrawFlags() const {
    UINT flags = DT_EXPANDTABS | DT_NOCLIP;
    if (alignment_ == Alignment::Center) flags |= DT_CENTER;
    if (alignment_ == Alignment::Right) flags |= DT_RIGHT;
    return flags;
}

SIZE Label::TextExtent() const {
    ScreenDC screen;
    const SelectedObject font(screen.get(), FontHandle());
    RECT r{0, 0, 0, 0};
    // An empty caption still has the height of a line.
    const std::string text = Caption().empty() ? std::string(" ") : Caption();
    DrawAnyText(screen.get(), text, r, DrawFlags() | DT_CALCRECT);
    SIZE size{r.right - r.left, r.bottom - r.top};
    if (Caption().empty()) size.cx = 0;
    return size;
}

void Label::AdjustSize() {
    const SIZE text = TextExtent();
    RECT b = BoundsRect();
    if (!autoSize_) {
        // A label designed with a width only is one line high.
        if (b.bottom == b.top && GetAlign() == Align::None) {
            b.bottom = b.top + text.cy;
            SetBoundsRect(b);
        }
        return;
    }
    const Align align = GetAlign();
    if (align != Align::Top && align != Align::Bottom && align != Align::Client)
        b.right = b.left + text.cx;
    if (align != Align::Left && align != Align::Right && align != Align::Client)
        b.bottom = b.top + text.cy;
    const RECT current = BoundsRect();
    if (!EqualRect(&b, &current)) SetBoundsRect(b);
}

void Label::Click() {
    if (OnClick) OnClick(this);
}

LRESULT Label::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            pressed_ = true;
            SetCapture(WindowIfAny());
            return 0;
        case WM_LBUTTONUP: {
            const bool wasPressed = pressed_;
            pressed_ = false;
            if (GetCapture() == WindowIfAny()) ReleaseCapture();
            RECT r;
            GetClientRect(WindowIfAny(), &r);
            POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            if (wasPressed && PtInRect(&r, pt)) Click();
            return 0;
        }
        case WM_CAPTURECHANGED:
            pressed_ = false;
            break;
        default:
            break;
    }
    return WinControl::WndProc(msg, wp, lp);
}

void Label::Paint(HDC dc) {
    RECT r;
    GetClientRect(WindowIfAny(), &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const SelectedObject font(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Enabled() ? TextColor(Font()) : GetSysColor(COLOR_GRAYTEXT));
    DrawAnyText(dc, Caption(), r, DrawFlags());
}

}  // namespace quaff::win
