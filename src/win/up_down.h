// An up-down spinner attached to an edit: minimum, maximum and position, no wrap; the
// edit shows the position.
#pragma once

#include "win/control.h"

namespace quaff::win {

class Edit;

class UpDown : public WinControl {
public:
    explicit UpDown(Component* owner);

    // The edit whose text shows the position.
    Edit* Associate() const { return associate_; }
    void SetAssociate(Edit* edit);
    // It goes just after its edit in window order, where screen readers look for its name.
    WinControl* AttachedTo() const override;

    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetRange(int min, int max);
    void SetMin(int value) { SetRange(value, max_); }
    void SetMax(int value) { SetRange(min_, value); }
    // The spinner's position (the control's own, read back from it).
    int Position() const;
    void SetPosition(int value);

protected:
    void GetCreateParams(CreateParams& params) override;
    void HandleCreated() override;
    void Notification(Component* component, Operation operation) override;

private:
    Edit* associate_ = nullptr;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

}  // namespace quaff::win
