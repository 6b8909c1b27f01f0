// A small program that puts one tray icon in the notification area and reports on stdout
// what the user does with it, for the end-to-end test in a real tray host:
//   ready id=<identity> frame=<index> colour=<rrggbb>
//   click | dblclick | down <L|R|M> | item <caption>
//   bye
// The icon shows one frame of a generated sixteen-image list (one plain colour per frame);
// the menu has "First", "Second" and "Quit"; "Quit" ends the program.
#include <windows.h>

#include <cstdio>
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

}  // namespace

int main(int argc, char** argv) {
    const int frame = argc > 1 ? std::atoi(argv[1]) : 5;
    win::Application& app = win::Application::Instance();
    app.SetTitle("tray_probe");
    app.Initialize();
    app.SetShowMainForm(false);

    auto* launcher = win::CreateMainForm<win::Form>(nullptr);
    auto* list = new win::ImageList(launcher);
    test::FillImageList(*list, 16);

    auto* menu = new win::PopupMenu(launcher);
    for (const char* caption : {"First", "Second", "Quit"}) {
        auto* item = new win::MenuItem(menu);
        item->SetCaption(caption);
        const std::string name = caption;
        item->OnClick = [name, &app](win::Component*) {
            Say("item " + name);
            if (name == "Quit") app.Terminate();
        };
        menu->Items().Add(item);
    }

    auto* tray = new tray::TTrayIcon(launcher);
    tray->SetIconList(list);
    tray->SetIconIndex(frame);
    tray->SetHint("tray probe");
    tray->SetPopupMenu(menu);
    tray->OnClick = [](win::Component*) { Say("click"); };
    tray->OnDblClick = [](win::Component*) { Say("dblclick"); };
    tray->OnMouseDown = [](win::Component*, tray::TMouseButton b, tray::TShiftState, int, int) {
        Say(std::string("down ") + (b == tray::TMouseButton::mbLeft    ? "L"
                                    : b == tray::TMouseButton::mbRight ? "R"
                                                                       : "M"));
    };
    tray->SetIconVisible(true);

    char colour[8];
    const COLORREF c = test::FrameColour(tray->IconIndex());
    std::snprintf(colour, sizeof(colour), "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    Say("ready id=" + std::to_string(tray->Identity()) + " frame=" + std::to_string(tray->IconIndex()) +
        " colour=" + colour);

    app.Run();
    delete launcher;  // takes the tray icon out of the notification area
    Say("bye");
    return 0;
}
