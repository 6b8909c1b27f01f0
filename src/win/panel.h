// Containers: a panel (a docking area with an optional bevel and a centred caption) and a
// group box (a framed, captioned group of controls).
#pragma once

#include "win/control.h"

namespace quaff::win {

class Panel : public WinControl {
public:
    enum class Bevel { None, Raised, Lowered };

    explicit Panel(Component* owner);

    Bevel GetBevel() const { return bevel_; }
    void SetBevel(Bevel bevel);

protected:
    void GetCreateParams(CreateParams& params) override;
    void Paint(HDC dc) override;

private:
    Bevel bevel_ = Bevel::Raised;
};

class GroupBox : public WinControl {
public:
    explicit GroupBox(Component* owner);

protected:
    void GetCreateParams(CreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace quaff::win
