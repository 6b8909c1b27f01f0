// What the shell reports about the mouse on the icon, turned into the component's events:
// presses and releases, single clicks told from double-clicks by the click timer, entering
// and leaving by a 20 ms poll of the cursor, and the popup menu with its default item.
#include <exception>

#include "tray/tray_icon.h"
#include "tray/tray_platform.h"
#include "win/application.h"
#include "win/control.h"
#include "win/menu.h"

namespace quaff::tray {

TShiftState TTrayIcon::CurrentShiftState() {
    auto down = [](int key) {
        return (win::Seam<TrayPlatform>::Current().GetAsyncKeyState(key) & 0x8000) != 0;
    };
    TShiftState shift = 0;
    if (down(VK_SHIFT)) shift |= ssShift;
    if (down(VK_CONTROL)) shift |= ssCtrl;
    if (down(VK_MENU)) shift |= ssAlt;
    return shift;
}

// The shell's notification carries no position. When the cursor cannot be read the last
// position seen over the icon stands in, so a failed read is not taken for a move away.
POINT TTrayIcon::ReadCursor() {
    POINT p;
    if (!win::Seam<TrayPlatform>::Current().GetCursorPos(&p)) p = POINT{lastMoveX_, lastMoveY_};
    return p;
}

// Any event handler may destroy the component; after each one the rest of the steps run
// only while it still exists.
void TTrayIcon::HandleNotification(LPARAM code) {
    const win::Liveness self = Life();
    auto mouse = [&](TShiftState button) -> std::pair<TShiftState, POINT> {
        TShiftState shift = CurrentShiftState() | button;
        return {shift, ReadCursor()};
    };

    switch (code) {
        case NIN_BALLOONHIDE:
            if (OnBalloonHintHide) OnBalloonHintHide(this);
            return;
        case NIN_BALLOONTIMEOUT:
            if (OnBalloonHintTimeout) OnBalloonHintTimeout(this);
            return;
        case NIN_BALLOONUSERCLICK:
            if (OnBalloonHintClick) OnBalloonHintClick(this);
            return;
        default:
            break;
    }
    if (!enabled_) return;

    switch (code) {
        case WM_MOUSEMOVE: {
            if (wantEnterExitEvents_ && cursorOutside_) {
                DoMouseEnter();
                if (!self.Alive()) return;
                cursorOutside_ = false;
            }
            auto [shift, p] = mouse(0);
            DoMouseMove(shift, p.x, p.y);
            if (!self.Alive()) return;
            lastMoveX_ = p.x;
            lastMoveY_ = p.y;
            return;
        }
        case WM_LBUTTONDOWN: {
            if (OnDblClick) {
                // Restarted at every press: a single click is reported once the double-click
                // time after the last press has passed without a second one.
                clickTimer_.SetInterval(win::Seam<TrayPlatform>::Current().GetDoubleClickTime());
                clickTimer_.SetEnabled(true);
            }
            auto [shift, p] = mouse(ssLeft);
            DoMouseDown(TMouseButton::mbLeft, shift, p.x, p.y);
            if (!self.Alive()) return;
            clickStarted_ = true;
            if (leftPopup_) PopupAtCursor();
            return;
        }
        case WM_LBUTTONUP: {
            auto [shift, p] = mouse(ssLeft);
            if (clickStarted_) clickReady_ = true;
            if (clickStarted_ && !clickTimer_.Enabled()) {
                clickStarted_ = false;
                clickReady_ = false;
                DoClick();
                if (!self.Alive()) return;
            }
            clickStarted_ = false;
            DoMouseUp(TMouseButton::mbLeft, shift, p.x, p.y);
            return;
        }
        case WM_LBUTTONDBLCLK:
            clickReady_ = false;
            // Only a click still held back is replaced; with none pending nothing would clear
            // the flag, and it would swallow the next single click.
            doubleClickSeen_ = clickTimer_.Enabled();
            DoDblClick();
            if (self.Alive()) RunDefaultItem();
            return;
        case WM_RBUTTONDOWN: {
            auto [shift, p] = mouse(ssRight);
            DoMouseDown(TMouseButton::mbRight, shift, p.x, p.y);
            if (self.Alive()) PopupAtCursor();
            return;
        }
        case WM_RBUTTONUP:
            if (notifyVersion_ == TNotifyVersion::Classic) {
                auto [shift, p] = mouse(ssRight);
                DoMouseUp(TMouseButton::mbRight, shift, p.x, p.y);
            }
            return;
        case WM_MBUTTONDOWN: {
            auto [shift, p] = mouse(ssMiddle);
            DoMouseDown(TMouseButton::mbMiddle, shift, p.x, p.y);
            return;
        }
        case WM_MBUTTONUP: {
            auto [shift, p] = mouse(ssMiddle);
            DoMouseUp(TMouseButton::mbMiddle, shift, p.x, p.y);
            return;
        }
        case WM_CONTEXTMENU:
        case NIN_SELECT:
        case NIN_KEYSELECT:
            if (notifyVersion_ == TNotifyVersion::Version3) {
                auto [shift, p] = mouse(ssRight);
                DoMouseUp(TMouseButton::mbRight, shift, p.x, p.y);
            }
            return;
        default:
            // Among others the right and middle double-clicks and the balloon being shown.
            return;
    }
}

void TTrayIcon::ClickTick() {
    const win::Liveness self = Life();
    clickTimer_.SetEnabled(false);
    if (!doubleClickSeen_ && clickReady_) {
        clickReady_ = false;
        DoClick();
        if (!self.Alive()) return;
    }
    doubleClickSeen_ = false;
}

void TTrayIcon::ExitPollTick() {
    if (cursorOutside_) return;
    POINT p;
    if (!win::Seam<TrayPlatform>::Current().GetCursorPos(&p)) return;
    if (p.x != lastMoveX_ || p.y != lastMoveY_) {
        cursorOutside_ = true;
        DoMouseExit();
    }
}

void TTrayIcon::PopupAtCursor() {
    if (!popupMenu_ || !popupMenu_->AutoPopup()) return;
    POINT p;
    if (!win::Seam<TrayPlatform>::Current().GetCursorPos(&p)) return;
    const win::Liveness self = Life();
    win::Application& app = win::Application::Instance();
    // The menu closes when the user clicks elsewhere only if our thread is in front.
    win::Seam<TrayPlatform>::Current().SetForegroundWindow(app.Handle());
    app.ProcessMessages();
    // Anything may have happened meanwhile, the menu or the component may be gone.
    if (!self.Alive() || !popupMenu_) return;
    popupMenu_->SetPopupComponent(this);
    popupMenu_->Popup(p.x, p.y);
    if (!self.Alive()) return;
    // Lets the menu close properly when the user switches away without choosing. An owner
    // whose window is gone gets none: showing the menu makes no window.
    auto* owner = dynamic_cast<win::WinControl*>(Owner());
    if (owner && owner->HandleAllocated())
        win::Seam<TrayPlatform>::Current().Post(owner->Handle(), WM_NULL, 0, 0);
}

void TTrayIcon::RunDefaultItem() {
    if (!popupMenu_ || !popupMenu_->AutoPopup() || leftPopup_) return;
    win::MenuItem& items = popupMenu_->Items();
    win::MenuItem* chosen = nullptr;
    for (int i = items.Count() - 1; i >= 0; --i)
        if (items.Item(i)->Default()) chosen = items.Item(i);
    if (chosen) chosen->Click();
}

void TTrayIcon::DoClick() {
    if (OnClick) OnClick(this);
}
void TTrayIcon::DoDblClick() {
    if (OnDblClick) OnDblClick(this);
}
void TTrayIcon::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TTrayIcon::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TTrayIcon::DoMouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TTrayIcon::DoMouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}
void TTrayIcon::DoMouseExit() {
    if (OnMouseExit) OnMouseExit(this);
}

}  // namespace quaff::tray
