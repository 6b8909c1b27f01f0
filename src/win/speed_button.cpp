#include "win/speed_button.h"

#include "win/high_contrast.h"
#include "win/icon_style.h"

namespace quaff::win {

SpeedButton::SpeedButton(Component* owner) : WinControl(owner) { SetTabStop(true); }

void SpeedButton::GetCreateParams(CreateParams& params) {
    WinControl::GetCreateParams(params);
    params.className = "BUTTON";
    params.style |= BS_OWNERDRAW;
}

void SpeedButton::SetGlyph(UniqueBitmap glyph) {
    glyph_ = std::move(glyph);
    FitGlyph();
}

void SpeedButton::SetNumGlyphs(int value) {
    numGlyphs_ = value < 1 ? 1 : (value > 2 ? 2 : value);
    FitGlyph();
}

bool SpeedButton::LoadGlyph(HINSTANCE module, const char* name) {
    auto* bitmap =
        static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return false;
    SetGlyph(UniqueBitmap(bitmap));
    return true;
}

void SpeedButton::FitGlyph() {
    BITMAP info{};
    shown_.reset();
    if (glyph_ && GetObjectA(glyph_.get(), sizeof(info), &info))
        shown_ = FitGlyphs(glyph_.get(), numGlyphs_, ScaleDpi(info.bmHeight, Dpi()));
    Invalidate();
}

void SpeedButton::DpiChanged() {
    WinControl::DpiChanged();
    FitGlyph();
}

void SpeedButton::Click() {
    if (OnClick) OnClick(this);
}

void SpeedButton::CommandNotify(WORD code) {
    if (code == BN_CLICKED) Click();
}

LRESULT SpeedButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_GETDLGCODE:
            // A focused button takes Enter itself (the dialog manager then clicks it).
            if (Focused()) return DefaultHandler(msg, wp, lp) | DLGC_DEFPUSHBUTTON;
            break;
        case BM_SETSTYLE:
            return 0;  // the dialog manager's default-button styles would end the owner drawing
        default:
            break;
    }
    return WinControl::WndProc(msg, wp, lp);
}

void SpeedButton::DrawGlyph(HDC dc, const RECT& area, bool enabled, int shift) const {
    BITMAP info{};
    if (!Glyph() || !GetObjectA(Glyph(), sizeof(info), &info)) return;
    const int w = info.bmWidth / numGlyphs_;
    const int h = info.bmHeight;
    const int srcX = (!enabled && numGlyphs_ > 1) ? w : 0;
    const int x = area.left + ((area.right - area.left) - w) / 2 + shift;
    const int y = area.top + ((area.bottom - area.top) - h) / 2 + shift;

    UniqueDC src(CreateCompatibleDC(dc));
    const SelectedObject glyph(src.get(), Glyph());
    // The mask is white where the bitmap has its bottom-left pixel's colour.
    UniqueDC maskDc(CreateCompatibleDC(dc));
    UniqueBitmap mask(CreateBitmap(w, h, 1, 1, nullptr));
    const SelectedObject maskBits(maskDc.get(), mask.get());
    SetBkColor(src.get(), GetPixel(src.get(), 0, h - 1));
    BitBlt(maskDc.get(), 0, 0, w, h, src.get(), srcX, 0, SRCCOPY);
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const ScopeExit colours([dc, oldBk, oldText] {
        SetBkColor(dc, oldBk);
        SetTextColor(dc, oldText);
    });
    if (HighContrast()) {
        // The shape in the system's text colour: the designed colours may vanish on the
        // user's background. Where the mask is white the background stays (ROP "S ? D : P").
        const SelectedObject ink(dc, GetSysColorBrush(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        BitBlt(dc, x, y, w, h, maskDc.get(), 0, 0, 0x00B8074A);
        return;
    }
    // dest ^ glyph, cleared where opaque, ^ glyph again: the background shows through the
    // transparent pixels and the glyph everywhere else.
    BitBlt(dc, x, y, w, h, src.get(), srcX, 0, SRCINVERT);
    BitBlt(dc, x, y, w, h, maskDc.get(), 0, 0, SRCAND);
    BitBlt(dc, x, y, w, h, src.get(), srcX, 0, SRCINVERT);
}

void SpeedButton::DrawItem(const DRAWITEMSTRUCT& item) {
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool enabled = (item.itemState & ODS_DISABLED) == 0;
    if (pressed) DrawEdge(item.hDC, &r, BDR_SUNKENOUTER, BF_RECT);
    DrawGlyph(item.hDC, r, enabled, pressed ? 1 : 0);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = r;
        InflateRect(&focus, -2, -2);
        SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(item.hDC, GetSysColor(COLOR_BTNFACE));
        DrawFocusRect(item.hDC, &focus);
    }
}

}  // namespace quaff::win
