// A text label drawn by the toolkit: font and colour, left, centred or right alignment,
// autosize to its text, and a click event.
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

    void SetCaption(std::string caption) override;

    NotifyEvent OnClick;
    virtual void Click();

    // The size of the caption in device pixels in the label's font.
    SIZE TextExtent() const;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void FontChanged() override;
    void Paint(HDC dc) override;

private:
    void AdjustSize();
    UINT DrawFlags() const;
    Alignment alignment_ = Alignment::Left;
    bool autoSize_ = true;
    bool pressed_ = false;
};

}  // namespace quaff::win
