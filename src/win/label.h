// A text label: static text to screen readers (the standard class, drawn here), font and
// colour, left, centred or right alignment, autosize to its text, and a click event. A label
// names the field it is placed just before; a label that can be clicked is a link that Tab
// reaches and Enter or Space clicks.
#pragma once

#include "win/control.h"

namespace quaff::win {

class Label : public WinControl {
public:
    enum class Alignment { Left, Center, Right };

    explicit Label(Component* owner);

    Alignment GetAlignment() const { return alignment_; }
    void SetAlignment(Alignment alignment);
    // With AutoSize the label takes the size of its text (only the width when docked left
    // or right, only the height when docked top or bottom). Without it, a label given a
    // width but no height is one line of its font high.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);

    // The field this label names; it goes just before it in window order.
    WinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(WinControl* control);
    WinControl* NamedControl() const override { return focusControl_; }

    // A changed text is announced to screen readers as the label's new name.
    void SetCaption(std::string caption) override;

    NotifyEvent OnClick;
    virtual void Click();

    // The size of the caption in device pixels in the label's font.
    SIZE TextExtent() const;

protected:
    void GetCreateParams(CreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void FontChanged() override;
    void DpiChanged() override;
    bool DrawsItself() const override { return true; }
    void Paint(HDC dc) override;
    void Notification(Component* component, Operation operation) override;

private:
    void AdjustSize();
    UINT DrawFlags() const;
    COLORREF InkColour() const;
    Alignment alignment_ = Alignment::Left;
    bool autoSize_ = true;
    bool pressed_ = false;
    WinControl* focusControl_ = nullptr;
};

}  // namespace quaff::win
