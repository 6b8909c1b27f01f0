// A flat picture button: no frame until pressed, a glyph bitmap holding the enabled image
// on the left and the disabled image on the right, the colour of the bitmap's bottom-left
// pixel drawn transparent. The glyph, drawn for 96 DPI, is shown at the button's DPI, scaled
// crisply; in high contrast as a shape in the system's text colour. A tab stop with a focus
// rectangle; Space or Enter clicks it; its caption, not drawn, is its name to screen readers.
#pragma once

#include "win/control.h"
#include "win/handles.h"

namespace quaff::win {

class SpeedButton : public WinControl {
public:
    explicit SpeedButton(Component* owner);

    // Takes the glyph bitmap (two images side by side).
    void SetGlyph(UniqueBitmap glyph);
    // Loads the glyph from a BITMAP resource; answers false (glyph unchanged) when missing.
    bool LoadGlyph(HINSTANCE module, const char* name);
    // The glyph as drawn at the button's DPI.
    HBITMAP Glyph() const { return shown_ ? shown_.get() : glyph_.get(); }
    // Images in the glyph (1 or 2).
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int value);

    NotifyEvent OnClick;
    virtual void Click();

protected:
    void GetCreateParams(CreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void CommandNotify(WORD code) override;
    void DrawItem(const DRAWITEMSTRUCT& item) override;
    void DpiChanged() override;

private:
    void FitGlyph();
    void DrawGlyph(HDC dc, const RECT& area, bool enabled, int shift) const;
    UniqueBitmap glyph_;
    UniqueBitmap shown_;  // the glyph scaled to the DPI, when that is not 96
    int numGlyphs_ = 2;
};

}  // namespace quaff::win
