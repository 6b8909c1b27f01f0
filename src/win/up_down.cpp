#include "win/up_down.h"

#include <commctrl.h>

#include <algorithm>

#include "win/edit.h"

namespace quaff::win {

UpDown::UpDown(Component* owner) : WinControl(owner) {}

void UpDown::GetCreateParams(CreateParams& params) {
    WinControl::GetCreateParams(params);
    params.className = UPDOWN_CLASSA;
    // Placed where designed, beside its edit (no alignment that would resize the edit);
    // no UDS_WRAP: the position stops at the ends.
    params.style |= UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
}

void UpDown::HandleCreated() {
    HWND h = WindowIfAny();
    SendMessageA(h, UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    if (associate_) {
        // Keep the edit's text: the buddy gets the position only when the user spins.
        SendMessageA(h, UDM_SETBUDDY, reinterpret_cast<WPARAM>(associate_->Handle()), 0);
    }
    SendMessageA(h, UDM_SETPOS32, 0, static_cast<LPARAM>(position_));
}

void UpDown::SetAssociate(Edit* edit) {
    Watch(associate_, edit);
    if (HWND h = WindowIfAny())
        SendMessageA(h, UDM_SETBUDDY, edit ? reinterpret_cast<WPARAM>(edit->Handle()) : 0, 0);
}

WinControl* UpDown::AttachedTo() const { return associate_; }

void UpDown::SetRange(int min, int max) {
    min_ = min;
    max_ = max;
    position_ = std::clamp(position_, std::min(min, max), std::max(min, max));
    if (HWND h = WindowIfAny())
        SendMessageA(h, UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
}

int UpDown::Position() const {
    HWND h = WindowIfAny();
    if (!h) return position_;
    BOOL failed = FALSE;
    const int pos =
        static_cast<int>(SendMessageA(h, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    return pos;
}

void UpDown::SetPosition(int value) {
    position_ = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
    if (HWND h = WindowIfAny()) SendMessageA(h, UDM_SETPOS32, 0, static_cast<LPARAM>(position_));
}

void UpDown::Notification(Component* component, Operation operation) {
    WinControl::Notification(component, operation);
    if (operation == Operation::Remove && component == associate_) associate_ = nullptr;
}

}  // namespace quaff::win
