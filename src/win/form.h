// A top-level window of the program: border styles, modal showing with a nested message
// loop, and the hooks (create, show, close) that the program's forms override.
#pragma once

#include <windows.h>

#include <utility>

#include "win/application.h"
#include "win/control.h"

namespace quaff::win {

// Modal results a button or the program sets (the values of IDOK and IDCANCEL).
constexpr int mrNone = 0;
constexpr int mrOk = IDOK;
constexpr int mrCancel = IDCANCEL;

class Form : public WinControl {
public:
    enum class BorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };
    enum class FormStyle { Normal, MDIChild, MDIForm, StayOnTop };
    // Where the form appears when first shown: as designed, or centred on the desktop.
    enum class Position { Designed, DesktopCenter };

    explicit Form(Component* owner);
    ~Form() override;

    FormStyle Style() const { return formStyle_; }
    void SetStyle(FormStyle style);
    BorderStyle GetBorderStyle() const { return borderStyle_; }
    // Takes effect at once, also while the form is shown (None: no caption, no frame).
    void SetBorderStyle(BorderStyle style);
    Position GetPosition() const { return position_; }
    void SetPosition(Position position) { position_ = position; }

    // Sets the window size so that the client area has this size (design units).
    void SetClientSize(int w, int h);

    bool Visible() const override { return WinControl::Visible(); }
    void SetVisible(bool value) override;
    void Show();
    void Hide();
    // Asks the form to close: DoClose runs, then a modal showing ends (with mrCancel when no
    // result is set) and a modeless form hides.
    void Close();

    // Shows the form and runs a nested message loop until ModalResult is nonzero, the form is
    // closed or hidden, or the application terminates (then the result is mrCancel). The
    // other windows of the thread are disabled meanwhile and enabled again after.
    int ShowModal();
    bool Modal() const { return modalLevel_ > 0; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int value) { modalResult_ = value; }

    // Asks each control, children before the next sibling, to validate what the user entered;
    // answers false at the first that refuses (it has reported and holds the focus).
    bool ValidateEdits();

    // Runs the create step once: the loaded step of every owned component, then DoCreate.
    // CreateForm does this; showing a form whose step has not run runs it first.
    void FinishCreation();

protected:
    // After the designed controls exist (the program's FormCreate).
    virtual void DoCreate() {}
    // Each time the form is shown (FormShow).
    virtual void DoShow() {}
    // When the form is asked to close (FormClose).
    virtual void DoClose() {}
    // When the form is hidden.
    virtual void DoHide() {}
    // After the client area changed size: once the user has finished dragging the frame, or
    // at once when the program or the system (maximising) changed it.
    virtual void DoResize() {}

    void Resized() override;

    void GetCreateParams(CreateParams& params) override;
    // A window made on a monitor of another DPI than it was laid out for is laid out again.
    void HandleCreated() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void StyleBits(DWORD& style, DWORD& exStyle) const;
    void PlaceForShowing();
    // Moves the window inside the work area of its monitor (its top left corner kept in view
    // when it is larger).
    void KeepInWorkArea();
    // Lays the window out at `dpi` in `rect` (WM_DPICHANGED): the same rules as when it was
    // first shown, and one DoResize for the new size.
    void RescaleTo(int dpi, const RECT& rect);
    // The control the focus goes to: the one that had it last, else the first in tab order.
    HWND FocusTarget() const;

    FormStyle formStyle_ = FormStyle::Normal;
    BorderStyle borderStyle_ = BorderStyle::Sizeable;
    Position position_ = Position::Designed;
    int modalResult_ = mrNone;
    int modalLevel_ = 0;
    bool created_ = false;
    bool placed_ = false;
    bool showing_ = false;
    bool sizing_ = false;  // the user is dragging the frame
    bool resizedWhileSizing_ = false;
    HWND lastFocus_ = nullptr;  // the child that had the focus when the form was deactivated
};

// Runs a new form's create step; when it fails the form is freed, with everything it owns,
// before the error goes on to the caller: nothing of a form that failed stays behind.
template <class F>
F* FinishOrFree(F* form) {
    try {
        form->FinishCreation();
    } catch (...) {
        delete form;
        throw;
    }
    return form;
}

// Constructs a form and runs its create step.
template <class F, class... Args>
F* CreateForm(Args&&... args) {
    return FinishOrFree(new F(std::forward<Args>(args)...));
}

// The same for the application's main form: while the application has none, the new form
// becomes the main form before its create step runs, so its components already see it then.
template <class F, class... Args>
F* CreateMainForm(Args&&... args) {
    auto* form = new F(std::forward<Args>(args)...);
    auto& app = Application::Instance();
    if (!app.MainForm()) app.SetMainForm(form);
    return FinishOrFree(form);
}

}  // namespace quaff::win
