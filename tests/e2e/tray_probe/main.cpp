// A small program that puts two tray icons, A and B, in the notification area and reports on
// stdout what the user does with each, for the end-to-end test in a real tray host:
//   ready <A|B> id=<identity> frame=<index> colour=<rrggbb>
//   <A|B> click | <A|B> dblclick | <A|B> down <L|R|M> | <A|B> item <caption>
//   <A|B> freed
//   bye
// Each icon shows one frame of a generated sixteen-image list (one plain colour per frame):
// A the frame given first, B the one given second. Each has a menu of its own with "First",
// "Second", "Free" and "Quit": "Free" frees that icon, "Quit" ends the program.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tray/tray_icon.h"
#include "tray_test_support.h"
#include "win/application.h"
#include "win/form.h"
#include "win/image_list.h"
#include "win/menu.h"

using namespace quaff;

namespace {

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

const char* ButtonName(tray::TMouseButton b) {
    return b == tray::TMouseButton::mbLeft ? "L" : b == tray::TMouseButton::mbRight ? "R" : "M";
}

// One icon on the launcher, with its own menu; the icon is freed by the menu's "Free".
void AddIcon(const std::string& name, win::Form* launcher, win::ImageList* list, int frame) {
    auto* tray = new tray::TTrayIcon(launcher);
    auto* menu = new win::PopupMenu(launcher);
    for (const char* caption : {"First", "Second", "Free", "Quit"}) {
        auto* item = new win::MenuItem(menu);
        item->SetCaption(caption);
        const std::string choice = caption;
        item->OnClick = [name, choice, tray](win::Component*) {
            Say(name + " item " + choice);
            if (choice == "Free") {
                delete tray;
                Say(name + " freed");
            } else if (choice == "Quit") {
                win::Application::Instance().Terminate();
            }
        };
        menu->Items().Add(item);
    }

    tray->SetIconList(list);
    tray->SetIconIndex(frame);
    tray->SetHint("tray probe " + name);
    tray->SetPopupMenu(menu);
    tray->OnClick = [name](win::Component*) { Say(name + " click"); };
    tray->OnDblClick = [name](win::Component*) { Say(name + " dblclick"); };
    tray->OnMouseDown = [name](win::Component*, tray::TMouseButton b, tray::TShiftState, int, int) {
        Say(name + " down " + ButtonName(b));
    };
    tray->SetIconVisible(true);

    char colour[8];
    const COLORREF c = test::FrameColour(tray->IconIndex());
    std::snprintf(colour, sizeof(colour), "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    Say("ready " + name + " id=" + std::to_string(tray->Identity()) +
        " frame=" + std::to_string(tray->IconIndex()) + " colour=" + colour);
}

}  // namespace

int main(int argc, char** argv) {
    win::Application& app = win::Application::Instance();
    app.SetTitle("tray_probe");
    app.Initialize();
    app.SetShowMainForm(false);

    auto* launcher = win::CreateMainForm<win::Form>(nullptr);
    auto* list = new win::ImageList(launcher);
    test::FillImageList(*list, 16);
    AddIcon("A", launcher, list, argc > 1 ? std::atoi(argv[1]) : 5);
    AddIcon("B", launcher, list, argc > 2 ? std::atoi(argv[2]) : 12);

    app.Run();
    delete launcher;  // takes the icons still there out of the notification area
    Say("bye");
    return 0;
}
