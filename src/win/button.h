// A push button: OnClick, a modal result it gives its form, and the Enter (Default) and
// Escape (Cancel) keys of the form.
#pragma once

#include "win/control.h"

namespace quaff::win {

class Form;

class Button : public WinControl {
public:
    explicit Button(Component* owner);

    NotifyEvent OnClick;
    // Sets the form's modal result (when nonzero), then runs OnClick. A button that commits
    // the form (a modal result other than Cancel) first has the form validate its edits, and
    // does nothing when one refuses: however it is pressed (Enter, Space, a click, a mnemonic),
    // a field the user left unfinished is never taken as it stands.
    virtual void Click();

    int ModalResult() const { return modalResult_; }
    void SetModalResult(int value) { modalResult_ = value; }
    // Enter clicks the form's default button, Escape its cancel button.
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }

    // The form this button sits on, or null.
    Form* ParentForm() const;

    // A default button takes Enter, a cancel button Escape.
    bool DialogKey(int key) override;

protected:
    void GetCreateParams(CreateParams& params) override;
    void CommandNotify(WORD code) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int modalResult_ = 0;
    bool default_ = false;
    bool cancel_ = false;
};

}  // namespace quaff::win
