#include "win/menu.h"

#include <algorithm>

#include "win/handles.h"
#include "win/message_window.h"

namespace quaff::win {

namespace {

// Command numbers travel in WM_COMMAND's low word: 1 to 0xFFFF, reused after a wrap.
UINT NextCommand() {
    static UINT next = 0;
    next = next >= 0xFFFF ? 1 : next + 1;
    return next;
}

void AppendItems(HMENU menu, const MenuItem& parent) {
    UINT position = 0;
    for (int i = 0; i < parent.Count(); ++i) {
        const MenuItem& item = *parent.Item(i);
        if (!item.Visible()) continue;
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE;
        info.wID = item.Command();
        if (item.IsSeparator()) {
            info.fType = MFT_SEPARATOR;
        } else {
            info.fType = MFT_STRING;
            info.fMask |= MIIM_STRING;
            info.dwTypeData = const_cast<char*>(item.Caption().c_str());
            info.fState = (item.Checked() ? MFS_CHECKED : 0) | (item.Enabled() ? 0 : MFS_GRAYED) |
                          (item.Default() ? MFS_DEFAULT : 0);
            if (item.Count() > 0) {
                HMENU sub = CreatePopupMenu();
                AppendItems(sub, item);
                info.fMask |= MIIM_SUBMENU;
                info.hSubMenu = sub;  // destroyed with its parent menu
            }
        }
        InsertMenuItemA(menu, position++, TRUE, &info);
    }
}

}  // namespace

MenuItem::MenuItem(Component* owner) : Component(owner), command_(NextCommand()) {}

MenuItem::~MenuItem() {
    if (parentItem_) parentItem_->Remove(this);
    for (MenuItem* item : items_) item->parentItem_ = nullptr;
}

void MenuItem::Click() {
    if (OnClick) OnClick(this);
}

void MenuItem::Add(MenuItem* item) {
    if (!item || item == this) return;
    if (item->parentItem_) item->parentItem_->Remove(item);
    items_.push_back(item);
    item->parentItem_ = this;
}

void MenuItem::Remove(MenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parentItem_ = nullptr;
}

MenuItem* MenuItem::FindCommand(UINT command) {
    if (command_ == command) return this;
    for (MenuItem* item : items_)
        if (MenuItem* found = item->FindCommand(command)) return found;
    return nullptr;
}

PopupMenu::PopupMenu(Component* owner) : Component(owner), items_(new MenuItem(this)) {}

PopupMenu::~PopupMenu() {
    // The window goes first: no command can arrive for items being destroyed.
    window_.reset();
}

HWND PopupMenu::WindowHandle() {
    if (!window_)
        window_ = std::make_unique<MessageWindow>(
            [this](HWND h, UINT m, WPARAM w, LPARAM l) { return HandleMessage(h, m, w, l); });
    return window_->Handle();
}

void PopupMenu::SetPopupComponent(Component* component) {
    if (popupComponent_ && popupComponent_ != this) RemoveFreeNotification(popupComponent_);
    popupComponent_ = component;
    if (component && component != this) FreeNotification(component);
}

void PopupMenu::Notification(Component* component, Operation operation) {
    Component::Notification(component, operation);
    if (operation == Operation::Remove && component == popupComponent_) popupComponent_ = nullptr;
}

void PopupMenu::Popup(int x, int y) {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) return;
    AppendItems(menu.get(), *items_);
    // The choice comes back as a WM_COMMAND posted to the menu's window, handled after this
    // returns, as with any menu.
    TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, WindowHandle(), nullptr);
}

LRESULT PopupMenu::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && HIWORD(wp) == 0 && lp == 0) {
        // An item destroyed since the menu was shown is simply not found.
        if (MenuItem* item = items_->FindCommand(LOWORD(wp)); item && item != items_) item->Click();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace quaff::win
