// The hidden launcher: the application's main form, never shown. It owns the tray icon, the
// tray menu and the two-second tick that refreshes the glass and its tip while counting, and
// opens the monitor window, the settings dialog and the about box.
#pragma once

#include <optional>
#include <string>

#include "core/glass_contrast.h"
#include "tray/tray_icon.h"
#include "win/form.h"

namespace quaff::win {
class MenuItem;
class PopupMenu;
class Timer;
}  // namespace quaff::win

namespace quaff::monitor {
class TfrmMain;
}
namespace quaff::settings {
class TfrmSettings;
}
namespace quaff::about {
class TfrmAbout;
}

namespace quaff::app {

class TfrmLaunch : public win::Form {
public:
    explicit TfrmLaunch(win::Component* owner);
    ~TfrmLaunch() override;

    // Designed components.
    tray::TTrayIcon* TrayIcon1;
    win::PopupMenu* PopupMenu1;
    win::MenuItem* stuff1;
    win::MenuItem* Settings1;
    win::MenuItem* exit1;
    win::MenuItem* N1;
    win::MenuItem* About1;
    win::Timer* Timer1;

    // Event handlers.
    void FormCreate();
    void Timer1Timer(win::Component* sender);
    void stuff1Click(win::Component* sender);
    void TrayIcon1DblClick(win::Component* sender);
    void About1Click(win::Component* sender);
    void exit1Click(win::Component* sender);

    // Ends the program as Exit does but keeps a counting period under way for the next start
    // to resume: the end of the Windows session, and the installer closing it for an update.
    void CloseKeepingPeriod();

    // The counting tick itself; errors propagate (Timer1Timer reports them).
    void UpdateTray();

protected:
    void DoCreate() override { FormCreate(); }
    // The hidden launcher is a top-level window: it gets the system's broadcasts, among them
    // the change of the taskbar's light or dark theme.
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // A window of the program is shown: the window-opening commands do nothing then.
    bool AWindowIsOpen() const;
    // Selects the icon set the stored settings name, on the tray icon.
    void SelectIconSet();
    // Gives the tray the colours the glass takes on the taskbar as it is now.
    void StyleGlass(tray::TTrayIcon::Redraw redraw = tray::TTrayIcon::Redraw::Now);

    // The taskbar as last told (read again when its look changes) and the drink of the set
    // the tray shows: the glass's colours follow from them.
    std::optional<Taskbar> taskbar_;
    Drink glassDrink_ = Drink::Bitter;

    // Ends the message loop (and a modal showing under way), freeing the monitor window.
    void Quit();

    // The tick error last reported, and in which period.
    struct TickError {
        std::string message;
        unsigned period;
        bool operator==(const TickError&) const = default;
    };
    std::optional<TickError> reportedTickError_;
};

// Program-wide references, as the launcher keeps them.
extern TfrmLaunch* frmLaunch;
extern monitor::TfrmMain* frmMain;
extern settings::TfrmSettings* frmSettings;
extern about::TfrmAbout* frmAbout;

}  // namespace quaff::app
