#include "win/combo_box.h"

#include <vector>

#include "win/text.h"

namespace quaff::win {

ComboBox::ComboBox(Component* owner) : WinControl(owner) { SetTabStop(true); }

void ComboBox::GetCreateParams(CreateParams& params) {
    WinControl::GetCreateParams(params);
    params.className = "COMBOBOX";
    params.style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
}

RECT ComboBox::WindowRectFor(const RECT& bounds) const {
    // The window's height includes the dropped-down list.
    RECT r = bounds;
    const int line = bounds.bottom - bounds.top;
    r.bottom += line * dropDownCount_ + 2;
    return r;
}

void ComboBox::HandleCreated() {
    HWND h = WindowIfAny();
    for (const std::string& item : items_)
        SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (itemIndex_ >= 0)
        SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    else
        SetWindowTextA(h, Caption().c_str());
}

void ComboBox::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    if (HWND h = WindowIfAny()) {
        SendMessageA(h, CB_RESETCONTENT, 0, 0);
        HandleCreated();
    }
}

void ComboBox::AddItem(const std::string& item) {
    items_.push_back(item);
    if (HWND h = WindowIfAny())
        SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

std::string ComboBox::Text() const {
    HWND h = WindowIfAny();
    if (!h) return itemIndex_ >= 0 ? items_[static_cast<size_t>(itemIndex_)] : Caption();
    return WindowTextOf(h);
}

void ComboBox::SetText(const std::string& text) {
    itemIndex_ = -1;
    SetCaption(text);
}

int ComboBox::ItemIndex() const {
    HWND h = WindowIfAny();
    if (!h) return itemIndex_;
    const std::string text = Text();
    const auto selected = static_cast<int>(SendMessageA(h, CB_GETCURSEL, 0, 0));
    if (selected >= 0 && static_cast<size_t>(selected) < items_.size() &&
        items_[static_cast<size_t>(selected)] == text)
        return selected;
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == text) return static_cast<int>(i);
    return -1;
}

void ComboBox::SetItemIndex(int index) {
    if (index < 0 || static_cast<size_t>(index) >= items_.size()) index = -1;
    itemIndex_ = index;
    if (HWND h = WindowIfAny()) {
        SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        if (index < 0) SetWindowTextA(h, "");
    }
}

void ComboBox::CommandNotify(WORD code) {
    if (code == CBN_SELCHANGE) {
        // The field shows the chosen item only after this notification: show it now, so
        // a handler reads the new text and index.
        const auto selected = static_cast<int>(SendMessageA(WindowIfAny(), CB_GETCURSEL, 0, 0));
        if (selected >= 0 && static_cast<size_t>(selected) < items_.size())
            SetWindowTextA(WindowIfAny(), items_[static_cast<size_t>(selected)].c_str());
    }
    if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) {
        SetCaptionSilently(Text());
        if (OnChange) OnChange(this);
    }
}

}  // namespace quaff::win
