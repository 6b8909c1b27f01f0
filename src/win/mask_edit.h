// A text field with an edit mask: fixed positions that take digits, literals the caret
// passes over, and the blank character in empty positions. A field the user changed must be
// complete when the focus leaves it; Escape abandons the changes.
#pragma once

#include <optional>
#include <string>

#include "core/edit_mask.h"
#include "win/edit.h"

namespace quaff::win {

// The report when a changed field is left incomplete.
inline constexpr char kInvalidMaskInput[] =
    "Invalid input value.  Use escape key to abandon changes";

class MaskEdit : public Edit {
public:
    explicit MaskEdit(Component* owner);

    // Sets the mask ("000000.00;1;_"); the field keeps its value, shown in the new mask.
    void SetEditMask(const std::string& mask);
    const std::string& EditMaskText() const { return maskText_; }

    // The field's text: literals kept as the mask says, empty positions as blanks.
    std::string Text() const override;
    // Shows a stored value in the mask; not a modification by the user.
    void SetText(const std::string& stored) override;
    // The shown text, blank characters included.
    std::string DisplayText() const { return Edit::Text(); }

    // Restores the value the field had when it got the focus and clears Modified.
    void Reset();

    // A field the user changed and left incomplete reports it, as leaving it does: the beep,
    // kInvalidMaskInput through the application's error box, the focus back in the field.
    bool ValidateEdit() override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Shows the result of an edit; a refused one beeps.
    void Apply(const EditMask::Edit& edit);
    void TypeChar(char32_t c);
    void DeleteSelectionOr(bool backspace);
    void PasteText(const std::string& text);
    void CheckAfterExit();
    // Changed by the user and not complete.
    bool Unfinished() const;
    void ReportUnfinished();

    std::optional<EditMask> mask_;
    std::string maskText_;
    std::string valueOnEnter_;  // what Escape restores: the field as the user came to it
    bool reEnter_ = false;      // the focus comes back after a failed check: keep valueOnEnter_
    bool validating_ = false;   // an error report is in progress
    bool checkPosted_ = false;
};

}  // namespace quaff::win
