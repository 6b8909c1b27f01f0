// Popup menus: items with captions, check marks, a bold default item and click handlers, and
// a menu that shows them at a screen point. The chosen item's click runs after the menu has
// closed, from the WM_COMMAND the menu posts to its own hidden window.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "win/component.h"

namespace quaff::win {

class MessageWindow;

class MenuItem : public Component {
public:
    explicit MenuItem(Component* owner);
    ~MenuItem() override;

    // "-" makes the item a separator.
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption) { caption_ = std::move(caption); }
    bool IsSeparator() const { return caption_ == "-"; }

    bool Checked() const { return checked_; }
    void SetChecked(bool value) { checked_ = value; }
    // The default item is drawn bold.
    bool Default() const { return default_; }
    void SetDefault(bool value) { default_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { visible_ = value; }

    NotifyEvent OnClick;
    // Runs OnClick with this item as Sender.
    virtual void Click();

    // Sub-items (the top-level items of a popup menu are the sub-items of its Items()).
    // An item added here is removed again when it is destroyed.
    void Add(MenuItem* item);
    void Remove(MenuItem* item);
    int Count() const { return static_cast<int>(items_.size()); }
    MenuItem* Item(int index) const { return items_.at(static_cast<size_t>(index)); }
    MenuItem* ParentItem() const { return parentItem_; }

    // The command number that identifies the item in WM_COMMAND (unique in the process).
    UINT Command() const { return command_; }
    // This item or a sub-item with the command number, or null.
    MenuItem* FindCommand(UINT command);

private:
    std::string caption_;
    bool checked_ = false;
    bool default_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    std::vector<MenuItem*> items_;
    MenuItem* parentItem_ = nullptr;
    UINT command_;
};

class PopupMenu : public Component {
public:
    explicit PopupMenu(Component* owner);
    ~PopupMenu() override;

    // When false the menu is not shown automatically (by a control's right-click or the tray).
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }

    MenuItem& Items() { return *items_; }

    // The component whose action showed the menu last.
    Component* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(Component* component);

    // Shows the menu at the screen point and returns when it has closed. The chosen item's
    // click runs afterwards, when the posted command is handled.
    void Popup(int x, int y);

    // The hidden window that receives the menu's commands, made when first asked for (at the
    // first showing): a menu that is never shown costs no window.
    HWND WindowHandle();

protected:
    void Notification(Component* component, Operation operation) override;

private:
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    bool autoPopup_ = true;
    MenuItem* items_;  // owned by this menu
    Component* popupComponent_ = nullptr;
    std::unique_ptr<MessageWindow> window_;
};

}  // namespace quaff::win
