// Popup menus under Wine: the real menu shown by a right-click on a picture, with its check
// marks, bold default item and separators, and the chosen item's click delivered by the
// posted command after the menu has closed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "win/form.h"
#include "win/image.h"
#include "win/menu.h"
#include "win/timer.h"
#include "win_test_support.h"

using namespace quaff::win;
using quaff::test::PumpPending;
using quaff::test::PumpUntil;

namespace {

// Five items, the fourth a separator.
struct TestMenu {
    TestMenu() : menu(nullptr) {
        const char* captions[] = {"First", "Second", "Third", "-", "Fifth"};
        for (const char* caption : captions) {
            auto* item = new MenuItem(&menu);
            item->SetCaption(caption);
            item->OnClick = [this](Component* sender) { clicked.push_back(sender); };
            menu.Items().Add(item);
            items.push_back(item);
        }
    }
    PopupMenu menu;
    std::vector<MenuItem*> items;
    std::vector<Component*> clicked;
};

void PostCommand(PopupMenu& menu, UINT command) {
    PostMessageA(menu.WindowHandle(), WM_COMMAND, command, 0);
    PumpPending();
}

TEST(PopupMenu, PostedCommandRunsTheItemsClick) {
    TestMenu m;
    PostCommand(m.menu, m.items[2]->Command());
    ASSERT_EQ(m.clicked.size(), 1u);
    EXPECT_EQ(m.clicked[0], m.items[2]);
}

TEST(PopupMenu, CommandsOfSubItemsAndOfGoneItems) {
    TestMenu m;
    auto* sub = new MenuItem(&m.menu);
    sub->OnClick = [&](Component* s) { m.clicked.push_back(s); };
    m.items[0]->Add(sub);
    PostCommand(m.menu, sub->Command());
    ASSERT_EQ(m.clicked.size(), 1u);
    EXPECT_EQ(m.clicked[0], sub);

    // An item freed between the showing and the command is not clicked.
    const UINT gone = m.items[4]->Command();
    delete m.items[4];
    EXPECT_EQ(m.menu.Items().Count(), 4);
    PostCommand(m.menu, gone);
    EXPECT_EQ(m.clicked.size(), 1u);
}

TEST(MenuItem, CommandNumbersAreDistinct) {
    TestMenu a, b;
    std::vector<UINT> seen;
    for (auto* t : {&a, &b})
        for (MenuItem* item : t->items) {
            for (UINT s : seen) EXPECT_NE(item->Command(), s);
            seen.push_back(item->Command());
        }
}

struct ShownItem {
    std::string text;
    UINT type, state;
};

// What the open menu holds, read from the real menu window.
std::vector<ShownItem> ReadOpenMenu() {
    std::vector<ShownItem> shown;
    HWND window = FindWindowA("#32768", nullptr);
    if (!window) return shown;
    auto menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof(text);
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        shown.push_back({text, info.fType, info.fState});
    }
    return shown;
}

TEST(PopupMenu, RightClickOnAPictureShowsItsMenuAsDesigned) {
    Form form(nullptr);
    auto* image = new Image(&form);
    image->SetParent(&form);
    image->SetBounds(0, 0, 100, 100);
    TestMenu m;
    m.items[0]->SetDefault(true);
    m.items[1]->SetChecked(true);
    m.items[2]->SetEnabled(false);
    m.items[4]->SetVisible(false);
    image->SetContextMenu(&m.menu);
    form.Show();

    // The menu runs its own loop; a timer inside it reads the open menu and closes it.
    std::vector<ShownItem> shown;
    Timer reader(nullptr);
    reader.SetInterval(20);
    reader.OnTimer = [&](Component*) {
        if (!FindWindowA("#32768", nullptr)) return;
        reader.SetEnabled(false);
        shown = ReadOpenMenu();
        EndMenu();
    };
    POINT pt{10, 10};
    ClientToScreen(image->Handle(), &pt);
    SendMessageA(image->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(image->Handle()),
                 MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(m.menu.PopupComponent(), image);
    ASSERT_EQ(shown.size(), 4u);  // the hidden item is left out
    EXPECT_EQ(shown[0].text, "First");
    EXPECT_TRUE(shown[0].state & MFS_DEFAULT);
    EXPECT_FALSE(shown[0].state & MFS_CHECKED);
    EXPECT_TRUE(shown[1].state & MFS_CHECKED);
    EXPECT_TRUE(shown[2].state & MFS_GRAYED);
    EXPECT_TRUE(shown[3].type & MFT_SEPARATOR);
    EXPECT_TRUE(m.clicked.empty());  // closed without a choice

    // Without AutoPopup the right-click shows nothing.
    m.menu.SetAutoPopup(false);
    shown.clear();
    reader.SetEnabled(true);
    SendMessageA(image->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(image->Handle()),
                 MAKELPARAM(pt.x, pt.y));
    EXPECT_TRUE(shown.empty());

    // A right-click on the title bar of a window with the same menu gets Windows' own there.
    m.menu.SetAutoPopup(true);
    form.SetContextMenu(&m.menu);
    m.menu.SetPopupComponent(nullptr);
    reader.SetEnabled(true);
    RECT frame;
    GetWindowRect(form.Handle(), &frame);
    SendMessageA(form.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form.Handle()),
                 MAKELPARAM(frame.left + 40, frame.top + GetSystemMetrics(SM_CYFRAME) + 4));
    EXPECT_EQ(m.menu.PopupComponent(), nullptr);
    for (const ShownItem& item : shown) EXPECT_NE(item.text, "First");
}

TEST(PopupMenu, MenuFreedBeforeTheControlIsForgotten) {
    Form form(nullptr);
    auto* image = new Image(&form);
    auto* menu = new PopupMenu(nullptr);
    image->SetContextMenu(menu);
    delete menu;
    EXPECT_EQ(image->ContextMenu(), nullptr);
}

}  // namespace
