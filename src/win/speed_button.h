// A flat picture button: no frame until pressed, a glyph bitmap holding the enabled image
// on the left and the disabled image on the right, the colour of the bitmap's bottom-left
// pixel drawn transparent. Not a tab stop.
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
    HBITMAP Glyph() const { return glyph_.get(); }
    // Images in the glyph (1 or 2).
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int value) { numGlyphs_ = value < 1 ? 1 : (value > 2 ? 2 : value); }

    NotifyEvent OnClick;
    virtual void Click();

protected:
    void GetCreateParams(CreateParams& params) override;
    void CommandNotify(WORD code) override;
    void DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    void DrawGlyph(HDC dc, const RECT& area, bool enabled, int shift) const;
    UniqueBitmap glyph_;
    int numGlyphs_ = 2;
};

}  // namespace quaff::win
