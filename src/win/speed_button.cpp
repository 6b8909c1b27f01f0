#include "win/speed_button.h"

namespace quaff::win {

SpeedButton::SpeedButton(Component* owner) : WinControl(owner) {}

void SpeedButton::GetCreateParams(CreateParams& params) {
    WinControl::GetCreateParams(params);
    params.className = "BUTTON";
    params.style |= BS_OWNERDRAW;
    params.style &= ~static_cast<DWORD>(WS_TABSTOP);
}

void SpeedButton::SetGlyph(UniqueBitmap glyph) {
    glyph_ = std::move(glyph);
    Invalidate();
}

bool SpeedButton::LoadGlyph(HINSTANCE module, const char* name) {
    auto* bitmap =
        static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return false;
    SetGlyph(UniqueBitmap(bitmap));
    return true;
}

void SpeedButton::Click() {
    if (OnClick) OnClick(this);
}

void SpeedButton::CommandNotify(WORD code) {
    if (code == BN_CLICKED) Click();
}

void SpeedButton::DrawGlyph(HDC dc, const RECT& area, bool enabled, int shift) const {
    BITMAP info{};
    if (!glyph_ || !GetObjectA(glyph_.get(), sizeof(info), &info)) return;
    const int w = info.bmWidth / numGlyphs_;
    const int h = info.bmHeight;
    const int srcX = (!enabled && numGlyphs_ > 1) ? w : 0;
    const int x = area.left + ((area.right - area.left) - w) / 2 + shift;
    const int y = area.top + ((area.bottom - area.top) - h) / 2 + shift;

    UniqueDC src(CreateCompatibleDC(dc));
    const SelectedObject glyph(src.get(), glyph_.get());
    // The mask is white where the bitmap has its bottom-left pixel's colour.
    UniqueDC maskDc(CreateCompatibleDC(dc));
    UniqueBitmap mask(CreateBitmap(w, h, 1, 1, nullptr));
    const SelectedObject maskBits(maskDc.get(), mask.get());
    SetBkColor(src.get(), GetPixel(src.get(), 0, h - 1));
    BitBlt(maskDc.get(), 0, 0, w, h, src.get(), srcX, 0, SRCCOPY);
    // dest ^ glyph, cleared where opaque, ^ glyph again: the background shows through the
    // transparent pixels and the glyph everywhere else.
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const ScopeExit colours([dc, oldBk, oldText] {
        SetBkColor(dc, oldBk);
        SetTextColor(dc, oldText);
    });
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
}

}  // namespace quaff::win
