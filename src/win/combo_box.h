// A combo box with an editable text field and a drop-down list of items.
#pragma once

#include <string>
#include <vector>

#include "win/control.h"

namespace quaff::win {

class ComboBox : public WinControl {
public:
    explicit ComboBox(Component* owner);

    void SetItems(std::vector<std::string> items);
    void AddItem(const std::string& item);
    const std::vector<std::string>& Items() const { return items_; }

    // The item the field shows: the selected item while the text is still its text, else
    // the first item whose text equals the typed text exactly, else -1.
    int ItemIndex() const;
    // Selects an item and shows its text; -1 (or any index out of range) clears both.
    void SetItemIndex(int index);

    std::string Text() const;
    void SetText(const std::string& text);

    // Items the list shows before it scrolls.
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int value) { dropDownCount_ = value; }

    NotifyEvent OnChange;

protected:
    void GetCreateParams(CreateParams& params) override;
    void HandleCreated() override;
    void CommandNotify(WORD code) override;
    RECT WindowRectFor(const RECT& bounds) const override;

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;  // the selection while the window does not exist
    int dropDownCount_ = 8;
};

}  // namespace quaff::win
