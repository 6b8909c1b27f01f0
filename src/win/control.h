// A windowed control: a real Win32 window bound to its object by one window procedure.
// Bounds are kept in device pixels at the control's DPI and set and read in 96-DPI design
// units, so a layout written for 96 DPI keeps its proportions on a screen of any density, and
// follows its window to a monitor of another scale.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win/component.h"
#include "win/dpi.h"
#include "win/font_cache.h"
#include "win/window_hook.h"

namespace quaff::win {

class PopupMenu;

// Docking of a control inside its parent's client area.
enum class Align { None, Top, Bottom, Left, Right, Client };

class WinControl : public Component {
public:
    explicit WinControl(Component* owner);
    ~WinControl() override;

    // The window, created on demand (the parent's window first).
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    // The object bound to a window of this toolkit, or null.
    static WinControl* FromHandle(HWND hwnd);

    WinControl* Parent() const { return parent_; }
    void SetParent(WinControl* parent);
    // Child controls in creation order.
    const std::vector<WinControl*>& Controls() const { return controls_; }

    // Bounds in design units (position relative to the parent's client area; a form's to the
    // screen).
    void SetBounds(int x, int y, int w, int h);
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int x) { SetBounds(x, Top(), Width(), Height()); }
    void SetTop(int y) { SetBounds(Left(), y, Width(), Height()); }
    void SetWidth(int w) { SetBounds(Left(), Top(), w, Height()); }
    void SetHeight(int h) { SetBounds(Left(), Top(), Width(), h); }
    // The same in device pixels.
    RECT BoundsRect() const { return bounds_; }
    void SetBoundsRect(const RECT& r);
    // The client area's size in design units.
    int ClientWidth();
    int ClientHeight();

    // The DPI the bounds and the font are in: the window's, which every control of it shares.
    int Dpi() const { return dpi_; }
    // Lays the control and its children out again at `dpi`: bounds scaled (a top-level window
    // keeps its place), fonts and images made for it.
    void ChangeDpi(int dpi);

    Align GetAlign() const { return align_; }
    void SetAlign(Align align);

    virtual bool Visible() const { return visible_; }
    virtual void SetVisible(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);

    // The caption (window text). For edits this is the text.
    const std::string& Caption() const { return caption_; }
    virtual void SetCaption(std::string caption);

    // The font: the control's own when set, else its parent's (a form's default is
    // "MS Sans Serif" 8 pt). The face asked for is kept; the window gets a face that exists.
    const FontSpec& Font() const;
    void SetFont(const FontSpec& font);
    bool ParentFont() const { return parentFont_; }

    // Tab order among the siblings (lower first); -1 keeps creation order.
    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);

    // The menu shown on a right-click (WM_CONTEXTMENU), or null.
    win::PopupMenu* ContextMenu() const { return contextMenu_; }
    void SetContextMenu(win::PopupMenu* menu);

    bool Focused();
    void SetFocus();

    // Enter and Escape on a form (IDOK and IDCANCEL from the dialog manager) go to the first
    // visible control that takes the key: a default or a cancel button, which clicks itself
    // when enabled. Answers whether this control takes it; most take neither.
    virtual bool DialogKey(int /*key*/) { return false; }

    // Asked before the form commits what the user entered (a button that closes it with a
    // result other than Cancel): a control that holds a value the user left unfinished reports
    // it as leaving the control would, keeps the focus and answers false. Most controls have
    // nothing to check.
    virtual bool ValidateEdit() { return true; }

    // The control this one names for screen readers (a label's field), which it goes just
    // before in window order, where they look for a field's name; or the control it belongs
    // to (a spinner's field), which it goes just after. Neither changes the tab order.
    virtual WinControl* NamedControl() const { return nullptr; }
    virtual WinControl* AttachedTo() const { return nullptr; }

    // Lays the docked children out again in the client area.
    void Realign();
    // Redraws the control.
    void Invalidate();

protected:
    struct CreateParams {
        const char* className = nullptr;  // null: the toolkit's own class
        DWORD style = 0;
        DWORD exStyle = 0;
        HWND parentWindow = nullptr;
    };
    // Describes the window to create; a subclass adds its class and style bits.
    virtual void GetCreateParams(CreateParams& params);
    // Runs once the window exists (font, text and state already applied).
    virtual void HandleCreated() {}
    // Messages of the window. The default handles layout, reflection of child notifications
    // and the context menu, then passes on to DefaultHandler.
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    // The standard control's own procedure (subclassed controls) or DefWindowProcA.
    LRESULT DefaultHandler(UINT msg, WPARAM wp, LPARAM lp);

    // Notifications reflected from the parent: WM_COMMAND's code, WM_NOTIFY, owner drawing.
    virtual void CommandNotify(WORD /*code*/) {}
    virtual bool NotifyNotify(NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
    virtual void DrawItem(const DRAWITEMSTRUCT& /*item*/) {}

    // Draws the client area of a window of the toolkit's own class (WM_PAINT, and
    // WM_PRINTCLIENT for captures). The default draws nothing: the class background shows.
    virtual void Paint(HDC /*dc*/) {}
    // Called after the size changed (docked children are already placed).
    virtual void Resized() {}
    // Called when the font in effect changed (own or inherited); the window has it already.
    virtual void FontChanged();
    // Called after the DPI changed, the bounds already scaled: applies them and the font.
    virtual void DpiChanged();
    // Whether the toolkit paints the window with Paint: its own class always; a standard
    // control that stands in for its role (a label is static text) but is drawn here too.
    virtual bool DrawsItself() const { return !subclassed_; }
    // The rectangle handed to the window for these bounds (a drop-down combo box adds the
    // height of its list).
    virtual RECT WindowRectFor(const RECT& bounds) const { return bounds; }

    // Changes style bits of the existing window and lets it redraw its frame.
    void UpdateStyle(DWORD add, DWORD remove, bool ex = false);

    // Sets the kept caption without touching the window (the window changed it).
    void SetCaptionSilently(std::string caption);

    // The HFONT for Font(), shared between controls of the same font.
    HFONT FontHandle() const;
    // The window handle when it exists, else null; never creates it.
    HWND WindowIfAny() const { return handle_; }

private:
    friend class Form;
    static void RegisterClassOnce();
    // Every message of the window, from our class's procedure or the standard control's hook.
    LRESULT Route(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    void CreateHandle();
    void DestroyHandle();
    void ApplyFontToWindow();
    void OrderTabs();
    void ApplyBounds();
    bool ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    HWND handle_ = nullptr;
    bool subclassed_ = false;  // a standard control, whose own procedure is the default
    WindowHook subclass_;
    bool creating_ = false;
    bool destroying_ = false;
    WinControl* parent_ = nullptr;
    std::vector<WinControl*> controls_;
    RECT bounds_{0, 0, 0, 0};
    Align align_ = Align::None;
    bool visible_ = true;
    bool enabled_ = true;
    std::string caption_;
    FontSpec font_;
    bool parentFont_ = true;
    int dpi_ = CurrentDpi();
    int tabOrder_ = -1;
    bool tabStop_ = false;
    win::PopupMenu* contextMenu_ = nullptr;
    bool aligning_ = false;
    int id_ = 0;

protected:
    void Notification(Component* component, Operation operation) override;
};

}  // namespace quaff::win
