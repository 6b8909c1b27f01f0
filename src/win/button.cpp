#include "win/button.h"

#include "win/form.h"

namespace quaff::win {

Button::Button(Component* owner) : WinControl(owner) { SetTabStop(true); }

Form* Button::ParentForm() const {
    for (WinControl* p = Parent(); p; p = p->Parent())
        if (auto* form = dynamic_cast<Form*>(p)) return form;
    return nullptr;
}

void Button::Click() {
    if (modalResult_ != mrNone) {
        Form* form = ParentForm();
        // A click moves the focus before it arrives, and the field's own leave check runs only
        // once the focus has settled: the check must happen here, before anything is taken.
        if (form && modalResult_ != mrCancel && !form->ValidateEdits()) return;
        if (form) form->SetModalResult(modalResult_);
    }
    if (OnClick) OnClick(this);
}

bool Button::DialogKey(int key) {
    if (!(key == IDOK ? default_ : key == IDCANCEL && cancel_)) return false;
    if (Enabled()) Click();
    return true;
}

void Button::SetDefault(bool value) {
    default_ = value;
    if (HWND h = WindowIfAny())
        SendMessageA(h, BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void Button::GetCreateParams(CreateParams& params) {
    WinControl::GetCreateParams(params);
    params.className = "BUTTON";
    params.style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void Button::CommandNotify(WORD code) {
    if (code == BN_CLICKED) Click();
}

LRESULT Button::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GETDLGCODE) {
        // A focused button takes Enter itself, as a focused button does in a dialog.
        LRESULT code = DefaultHandler(msg, wp, lp) & ~(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
        return code | (Focused() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    }
    return WinControl::WndProc(msg, wp, lp);
}

}  // namespace quaff::win
