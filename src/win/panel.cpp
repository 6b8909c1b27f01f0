#include "win/panel.h"

#include "win/font_cache.h"
#include "win/handles.h"
#include "win/text.h"

namespace quaff::win {

Panel::Panel(Component* owner) : WinControl(owner) {}

void Panel::SetBevel(Bevel bevel) {
    bevel_ = bevel;
    Invalidate();
}

void Panel::GetCreateParams(CreateParams& params) {
    WinControl::GetCreateParams(params);
    params.style |= WS_CLIPCHILDREN;
    params.exStyle |= WS_EX_CONTROLPARENT;  // Tab moves into the panel's controls
}

void Panel::Paint(HDC dc) {
    RECT r;
    GetClientRect(WindowIfAny(), &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (bevel_ != Bevel::None)
        DrawEdge(dc, &r, bevel_ == Bevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    if (!Caption().empty()) {
        const SelectedObject font(dc, FontHandle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, TextColor(Font()));
        DrawAnyText(dc, Caption(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

GroupBox::GroupBox(Component* owner) : WinControl(owner) {}

void GroupBox::GetCreateParams(CreateParams& params) {
    WinControl::GetCreateParams(params);
    params.className = "BUTTON";
    params.style |= BS_GROUPBOX | WS_CLIPCHILDREN;
    params.exStyle |= WS_EX_CONTROLPARENT;
}

LRESULT GroupBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) {
        // The standard group box draws only its frame and caption; as a container it must
        // also clear the area inside, which its clipped parent leaves alone.
        RECT r;
        GetClientRect(WindowIfAny(), &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    return WinControl::WndProc(msg, wp, lp);
}

}  // namespace quaff::win
