#include "win/label.h"

#include <algorithm>

#include "win/font_cache.h"
#include "win/handles.h"
#include "win/high_contrast.h"
#include "win/text.h"

namespace quaff::win {

Label::Label(Component* owner) : WinControl(owner) {}

void Label::GetCreateParams(CreateParams& params) {
    WinControl::GetCreateParams(params);
    // The standard class is what screen readers know as static text, and the window just
    // before a field that they take the field's name from. SS_NOTIFY: clicks reach the label.
    params.className = "STATIC";
    params.style |= SS_NOTIFY;
}

void Label::SetAlignment(Alignment alignment) {
    alignment_ = alignment;
    Invalidate();
}

void Label::SetAutoSize(bool value) {
    autoSize_ = value;
    AdjustSize();
}

void Label::SetFocusControl(WinControl* control) { Watch(focusControl_, control); }

void Label::Notification(Component* component, Operation operation) {
    WinControl::Notification(component, operation);
    if (operation == Operation::Remove && component == focusControl_) focusControl_ = nullptr;
}

void Label::SetCaption(std::string caption) {
    const bool changed = caption != Caption();
    WinControl::SetCaption(std::move(caption));
    AdjustSize();
    Invalidate();
    // Windows announces a window's new text for the window, not for the static text a
    // screen reader reads (the client object), and Wine not at all.
    if (changed && WindowIfAny())
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, WindowIfAny(), OBJID_CLIENT, CHILDID_SELF);
}

void Label::FontChanged() {
    WinControl::FontChanged();
    AdjustSize();
}

void Label::DpiChanged() {
    WinControl::DpiChanged();
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
        case WM_GETDLGCODE: {
            // A focused link takes Enter itself, as a focused button does, instead of the
            // form's default button.
            const auto* key = reinterpret_cast<const MSG*>(lp);
            if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
                return DefaultHandler(msg, wp, lp) | DLGC_WANTMESSAGE;
            break;
        }
        case WM_KEYDOWN:
            if (wp == VK_RETURN) Click();
            return 0;
        case WM_KEYUP:
            if (wp == VK_SPACE) Click();
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
            Invalidate();
            break;
        case WM_ERASEBKGND:
            return 1;  // Paint covers everything
        default:
            break;
    }
    return WinControl::WndProc(msg, wp, lp);
}

COLORREF Label::InkColour() const {
    if (!Enabled()) return GetSysColor(COLOR_GRAYTEXT);
    // In high contrast a link takes the user's colour for links.
    if (HighContrast() && OnClick) return GetSysColor(COLOR_HOTLIGHT);
    return TextColor(Font());
}

void Label::Paint(HDC dc) {
    RECT r;
    GetClientRect(WindowIfAny(), &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const SelectedObject font(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, InkColour());
    DrawAnyText(dc, Caption(), r, DrawFlags());
    const auto uiState = SendMessageA(WindowIfAny(), WM_QUERYUISTATE, 0, 0);
    if (Focused() && !(uiState & UISF_HIDEFOCUS)) {
        // Around the text, as a focused link shows it.
        const SIZE text = TextExtent();
        const LONG left = alignment_ == Alignment::Left    ? r.left
                          : alignment_ == Alignment::Right ? r.right - text.cx
                                                           : (r.left + r.right - text.cx) / 2;
        RECT box{std::max(r.left, left - 1), r.top, std::min(r.right, left + text.cx + 1),
                 std::min(r.bottom, r.top + text.cy)};
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        DrawFocusRect(dc, &box);
    }
}

}  // namespace quaff::win
