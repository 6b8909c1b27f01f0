// A picture area: paints its picture stretched over the whole client area (the aspect
// ratio is not kept), with halftone smoothing. A graphic to screen readers.
#pragma once

#include <utility>

#include "core/jpeg_picture.h"
#include "win/control.h"

namespace quaff::win {

class Image : public WinControl {
public:
    explicit Image(Component* owner);

    // Replaces the picture and repaints.
    void SetPicture(quaff::Picture&& picture);
    const quaff::Picture& GetPicture() const { return picture_; }
    // Moves the picture out; the area is left empty until the next SetPicture.
    quaff::Picture TakePicture() { return std::exchange(picture_, {}); }
    bool HasPicture() const { return !picture_.empty(); }

protected:
    void GetCreateParams(CreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool DrawsItself() const override { return true; }

    void Paint(HDC dc) override;

private:
    quaff::Picture picture_;
};

}  // namespace quaff::win
