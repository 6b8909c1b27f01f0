// A single-line text field: text, maximum length, change event and modified flag.
#pragma once

#include <string>

#include "win/control.h"

namespace quaff::win {

class Edit : public WinControl {
public:
    explicit Edit(Component* owner);

    // The text as the field holds it now.
    virtual std::string Text() const;
    // Puts a text into the field; not a modification by the user.
    virtual void SetText(const std::string& text);
    // The same without clearing Modified (the program's change of the text).
    void SetCaption(std::string caption) override;

    // At most this many characters can be typed (0: no limit).
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);

    // Set when the user changes the text; cleared by SetText.
    bool Modified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }

    // Raised after every change of the text, the program's as well as the user's.
    NotifyEvent OnChange;

protected:
    void GetCreateParams(CreateParams& params) override;
    void HandleCreated() override;
    void CommandNotify(WORD code) override;

    // Caret position, selection start and end, in characters.
    void GetSelection(size_t& start, size_t& end) const;
    void SetSelection(size_t start, size_t end);

private:
    int maxLength_ = 0;
    bool modified_ = false;
    int programmatic_ = 0;  // nesting of program changes in progress
};

}  // namespace quaff::win
