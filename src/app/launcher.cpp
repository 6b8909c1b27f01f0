#include "app/launcher.h"

#include <exception>
#include <utility>

#include "about/about_form.h"
#include "app/taskbar_theme.h"
#include "core/artwork.h"
#include "core/earnings.h"
#include "core/errors.h"
#include "monitor/monitor_form.h"
#include "resources/resource_names.h"
#include "settings/settings.h"
#include "settings/settings_form.h"
#include "tray/tray_icon.h"
#include "win/application.h"
#include "win/handles.h"
#include "win/icon_style.h"
#include "win/locale.h"
#include "win/menu.h"
#include "win/timer.h"

namespace quaff::app {

using monitor::TfrmMain;
using win::Application;
using win::Component;

TfrmLaunch* frmLaunch = nullptr;
TfrmMain* frmMain = nullptr;
settings::TfrmSettings* frmSettings = nullptr;
about::TfrmAbout* frmAbout = nullptr;

namespace {

win::MenuItem* AddItem(win::PopupMenu* menu, const char* name, const char* caption) {
    auto* item = new win::MenuItem(menu);
    item->SetName(name);
    item->SetCaption(caption);
    menu->Items().Add(item);
    return item;
}

// A dialog that exists only while shown: `ref` names it meanwhile (the guard reads it), and it
// is freed and `ref` cleared on every path. Answers the modal result.
template <class Dialog>
int ShowWhileOpen(TfrmLaunch* owner, Dialog*& ref) {
    ref = new Dialog(owner);
    const win::ScopeExit freed([&ref] {
        delete ref;
        ref = nullptr;
    });
    ref->FinishCreation();
    return ref->ShowModal();
}

}  // namespace

TfrmLaunch::TfrmLaunch(Component* owner) : Form(owner) {
    // As designed: caption "frmLaunch", 176 by 161, never visible.
    SetName("frmLaunch");
    SetCaption("frmLaunch");
    SetBounds(192, 114, 176, 161);

    PopupMenu1 = new win::PopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    stuff1 = AddItem(PopupMenu1, "stuff1", "Drink Stuff...");
    Settings1 = AddItem(PopupMenu1, "Settings1", "Settings...");
    exit1 = AddItem(PopupMenu1, "exit1", "Exit");
    N1 = AddItem(PopupMenu1, "N1", "-");
    About1 = AddItem(PopupMenu1, "About1", "About...");
    stuff1->OnClick = [this](Component* s) { stuff1Click(s); };
    // The settings item is bound to the handler named after the tray's double-click, and the
    // tray's double-click to the monitor command.
    Settings1->OnClick = [this](Component* s) { TrayIcon1DblClick(s); };
    exit1->OnClick = [this](Component* s) { exit1Click(s); };
    About1->OnClick = [this](Component* s) { About1Click(s); };

    // The tray icon's designed values, in the order they are applied: the initial icon (the
    // empty large glass) and IconVisible put it in the notification area at once, with no tip.
    TrayIcon1 = new tray::TTrayIcon(this);
    TrayIcon1->SetName("TrayIcon1");
    TrayIcon1->SetCycleInterval(0);
    // The notification area's scale: the launcher's window is on its monitor.
    TrayIcon1->SetIconDpi(win::WindowDpi(Handle()));
    taskbar_ = app::CurrentTaskbar();
    StyleGlass();
    {
        win::Icon initial;
        initial.LoadFromResource(Application::Instance().Module(), QUAFF_RES_TRAY_ICON, 16);
        // The empty large glass, its outline as the icon sets draw it on this taskbar.
        initial.SetHandle(win::RestyleIcon(initial.Handle() ? CopyIcon(initial.Handle()) : nullptr,
                                           {0, TrayIcon1->OutlineColour()},
                                           {GlassOutline(Measure::Full), {}}));
        TrayIcon1->SetIcon(initial);
    }
    TrayIcon1->SetIconVisible(true);
    TrayIcon1->SetIconIndex(0);
    TrayIcon1->SetPopupMenu(PopupMenu1);
    TrayIcon1->OnDblClick = [this](Component* s) { stuff1Click(s); };

    Timer1 = new win::Timer(this);
    Timer1->SetName("Timer1");
    Timer1->SetInterval(2000);
    Timer1->OnTimer = [this](Component* s) { Timer1Timer(s); };
    Timer1->SetEnabled(true);
}

// The icon leaves the notification area first, as it last showed: the monitor window, freed
// after it with the launcher's other components, holds the icon's image lists.
TfrmLaunch::~TfrmLaunch() {
    frmMain = nullptr;
    delete std::exchange(TrayIcon1, nullptr);
    if (frmLaunch == this) frmLaunch = nullptr;
}

LRESULT TfrmLaunch::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (TrayIcon1 && app::IsThemeChange(msg, wp, lp)) {
        taskbar_ = app::CurrentTaskbar();
        StyleGlass();
    }
    if (TrayIcon1 && msg == WM_DPICHANGED) TrayIcon1->SetIconDpi(HIWORD(wp));
    if (msg == WM_ENDSESSION && wp) {
        // The session ends: Windows may end the process as soon as this returns, so the icon
        // leaves the tray now. A period under way is resumed at the next sign-in.
        if (TrayIcon1) TrayIcon1->SetIconVisible(false);
        CloseKeepingPeriod();
        return 0;
    }
    return Form::WndProc(msg, wp, lp);
}

void TfrmLaunch::StyleGlass(tray::TTrayIcon::Redraw redraw) {
    const app::TrayGlass glass = app::TaskbarGlass(taskbar_, glassDrink_);
    TrayIcon1->SetGlassColours(glass.outline, glass.empty, redraw);
}

void TfrmLaunch::FormCreate() {
    frmMain = new TfrmMain(this);
    frmMain->FinishCreation();
    SelectIconSet();
    TrayIcon1->SetIconIndex(15);
    frmMain->ResumePeriod();
}

void TfrmLaunch::SelectIconSet() {
    TBeer beer;
    LoadSettings(beer);
    glassDrink_ = IconSetByNumber(beer.IconSet).drink;
    // The list set next shows its image in the drink's colours: no call of its own for them.
    StyleGlass(tray::TTrayIcon::Redraw::WithNextImage);
    TrayIcon1->SetIconList(frmMain->IconSet(beer.IconSet));
}

void TfrmLaunch::UpdateTray() {
    if (!frmMain || !frmMain->Running()) return;
    frmMain->UpdateStuff();
    SelectIconSet();
    TrayIcon1->SetIconIndex(frmMain->GetIconNumber(frmMain->AmountEarned()));
    TrayIcon1->SetHint(DrinksHint(frmMain->DrinkCount(), win::UserFormats()));
}

void TfrmLaunch::Timer1Timer(Component*) {
    try {
        UpdateTray();
        reportedTickError_.reset();
    } catch (const std::exception& e) {
        // A setting that stays wrong fails every tick: it is reported once, in one box. The
        // next tick tries again and says nothing until the error changes, the user starts a
        // new period or saves the settings, or a tick has gone right in between. While any box
        // of the program is open (this one, a picture's, a field's) the report waits: the
        // ticks run inside that box's loop, and a second box would open on top of it.
        const TickError error{e.what(), frmMain ? frmMain->PeriodsBegun() : 0};
        Application& app = Application::Instance();
        if (app.OpenErrorBoxes() > 0 || reportedTickError_ == error) return;
        reportedTickError_ = error;
        app.HandleException(e);
    }
}

bool TfrmLaunch::AWindowIsOpen() const {
    return (frmMain && frmMain->Visible()) || frmSettings || frmAbout;
}

void TfrmLaunch::stuff1Click(Component*) {
    if (!frmMain || AWindowIsOpen()) return;
    frmMain->ShowModal();
}

void TfrmLaunch::TrayIcon1DblClick(Component*) {
    // Saved settings may mend (or change) an error the tick reported: it is told again.
    if (!AWindowIsOpen() && ShowWhileOpen(this, frmSettings) == win::mrOk)
        reportedTickError_.reset();
}

void TfrmLaunch::About1Click(Component*) {
    if (!AWindowIsOpen()) ShowWhileOpen(this, frmAbout);
}

void TfrmLaunch::exit1Click(Component*) {
    // The user's Exit ends the period; the next start is idle. Told before the program ends
    // when the registry keeps it, since the next start would resume it.
    if (!ClearCountingPeriod())
        Application::Instance().HandleException(Error(monitor::kPeriodNotCleared));
    Quit();
}

void TfrmLaunch::CloseKeepingPeriod() { Quit(); }

void TfrmLaunch::Quit() {
    // The monitor window is let go at once (no tick or command sees it any more) and freed with
    // the launcher: not inside its own modal showing, which terminating the application ends,
    // and not before the tray icon, whose image lists it holds.
    frmMain = nullptr;
    Application::Instance().Terminate();
}

}  // namespace quaff::app
