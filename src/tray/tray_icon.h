// TTrayIcon: keeps one icon with a tip in the notification area. The image is the own Icon
// or one image of an image list (which can be stepped through on a timer); mouse actions on
// the icon become events and can pop up a menu; hooks on the application window and the
// owner form put the icon back after the shell restarts and can minimise the application to
// the tray. All tray icons of the process share one hidden window that the shell notifies.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <string>

#include "tray/simple_timer.h"
#include "win/component.h"
#include "win/icon.h"
#include "win/icon_style.h"
#include "win/window_hook.h"

namespace quaff::win {
class ImageList;
class PopupMenu;
}  // namespace quaff::win

namespace quaff::tray {

// The icon's notification data in the shell's V2 ANSI layout: the balloon fields, no GUID.
constexpr DWORD kIconDataSize = NOTIFYICONDATAA_V2_SIZE;
static_assert(kIconDataSize == (sizeof(void*) == 8 ? 504 : 488), "V2 ANSI notification data");

// The message the shell sends to the shared tray window: wParam the icon identity,
// lParam what happened.
constexpr UINT kTrayCallbackMessage = 2048;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// A set of these bits.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1u << 0;
constexpr TShiftState ssAlt = 1u << 1;
constexpr TShiftState ssCtrl = 1u << 2;
constexpr TShiftState ssLeft = 1u << 3;
constexpr TShiftState ssRight = 1u << 4;
constexpr TShiftState ssMiddle = 1u << 5;
constexpr TShiftState ssDouble = 1u << 6;

using TMouseEvent = std::function<void(win::Component* sender, TMouseButton button,
                                       TShiftState shift, int x, int y)>;
using TMouseMoveEvent =
    std::function<void(win::Component* sender, TShiftState shift, int x, int y)>;
using TCycleEvent = std::function<void(win::Component* sender, int nextIndex)>;
using TStartupEvent = std::function<void(win::Component* sender, bool& showMainForm)>;

// How the shell is asked to report: classic, or the version-3 behaviour.
enum class TNotifyVersion { Classic = 0, Version3 = 1 };

class TTrayIcon : public win::Component {
public:
    explicit TTrayIcon(win::Component* owner);
    ~TTrayIcon() override;

    // Properties. Every setter acts at once, also while designed values are being applied.
    bool DesignPreview() const { return designPreview_; }
    void SetDesignPreview(bool value);
    win::ImageList* IconList() const { return iconList_; }
    void SetIconList(win::ImageList* list);
    bool CycleIcons() const { return cycleIcons_; }
    void SetCycleIcons(bool value);
    std::uint32_t CycleInterval() const { return cycleInterval_; }
    void SetCycleInterval(std::uint32_t ms);
    // When false, mouse notifications raise no events (balloon notifications still do).
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    win::Icon& Icon() { return icon_; }
    // Copies the image of `icon` into the own icon.
    void SetIcon(const win::Icon& icon);
    bool IconVisible() const { return iconVisible_; }
    void SetIconVisible(bool value);
    int IconIndex() const { return iconIndex_; }
    void SetIconIndex(int index);
    win::PopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(win::PopupMenu* menu);
    bool LeftPopup() const { return leftPopup_; }
    void SetLeftPopup(bool value) { leftPopup_ = value; }
    bool WantEnterExitEvents() const { return wantEnterExitEvents_; }
    void SetWantEnterExitEvents(bool value);
    bool MinimizeToTray() const { return minimizeToTray_; }
    void SetMinimizeToTray(bool value) { minimizeToTray_ = value; }

    TNotifyVersion NotifyVersion() const { return notifyVersion_; }
    void SetNotifyVersion(TNotifyVersion version);

    // The colours the images of IconList draw their outline and their empty inside in
    // (CLR_NONE: as drawn), for a dark or high-contrast taskbar. A change shows the image again
    // in them at once, in one shell call; with Redraw::WithNextImage it waits for the list or
    // index the caller sets next, whose image is drawn in them anyway.
    enum class Redraw { Now, WithNextImage };
    COLORREF OutlineColour() const { return outlineColour_; }
    COLORREF EmptyColour() const { return emptyColour_; }
    void SetGlassColours(COLORREF outline, COLORREF empty, Redraw redraw = Redraw::Now);
    // The DPI of the notification area, whose small-icon size the icon is given at (0: the
    // system's). A change that changes the size shows the image again, in one shell call.
    int IconDpi() const { return iconDpi_; }
    void SetIconDpi(int dpi);

    // Events; Sender is always this component.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TCycleEvent OnCycle;
    TStartupEvent OnStartup;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TNotifyEvent OnMinimizeToTray;
    TNotifyEvent OnBalloonHintClick;
    TNotifyEvent OnBalloonHintHide;
    TNotifyEvent OnBalloonHintTimeout;

    // Asked in design state only: whether an icon without an image previews as the standard
    // Windows logo.
    virtual bool WantsDefaultIcon() { return true; }
    // Shell calls; each answers whether the shell accepted it.
    virtual bool TrayAdd();
    virtual bool TrayDelete();
    virtual bool TrayModify();
    // Refreshes the icon handle and tip in the notification data; answers whether a shell
    // call may be made now.
    bool PrepareIconData();

    // The identity the shell reports this icon by (the notification data's uID).
    std::uint32_t Identity() const { return identity_; }
    // The hidden window all tray icons share, or nullptr while there is none.
    static HWND TrayWindow();
    // The registered "TaskbarCreated" message, 0 when the common controls are too old.
    static UINT TaskbarCreatedMessage();

protected:
    void Loaded() override;
    void Notification(win::Component* component, win::Operation operation) override;

    virtual void DoClick();
    virtual void DoDblClick();
    virtual void DoCycle(int nextIndex);
    virtual void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DoMouseMove(TShiftState shift, int x, int y);
    virtual void DoMouseEnter();
    virtual void DoMouseExit();
    virtual void MinimizeAppToTray();

private:
    friend class TTrayIconHandler;

    // The shared window's reference and this component's entry in the identity table that
    // maps the shell's notifications to it: taken first and given back last, also when
    // construction fails part way.
    struct Registration {
        explicit Registration(TTrayIcon* icon);
        ~Registration();
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;
        const std::uint32_t identity;
    };

    void IconImageChanged();
    // The icon the shell gets: the small-icon size of the notification area, the colours.
    win::IconStyle ShellIconStyle() const;
    // Makes the image shown again in that style and gives it to the shell.
    void Restyle();
    // Runs `change` on the own icon without its change notification.
    template <class Change>
    void ChangeIconQuietly(Change change);
    // Shell calls behind TrayAdd and TrayModify, and adding the icon again after a refusal.
    bool AddToShell();
    void Accepted();
    void ShellRefused();
    void ShellRecreated();
    bool AddAgain();
    void RetryWhileRefused();
    void RetryTick();
    void CycleTick();
    int NextCycleIndex() const;
    void ClickTick();
    void ExitPollTick();

    // Mouse notifications (tray_mouse.cpp).
    void HandleNotification(LPARAM code);
    TShiftState CurrentShiftState();
    POINT ReadCursor();
    void PopupAtCursor();
    void RunDefaultItem();

    // Window hooks (tray_hooks.cpp).
    void HookApplicationWindow();
    void UnhookApplicationWindow();
    void HookOwnerWindow();
    void UnhookOwnerWindow();
    // Each answers whether it took the message over (result set); else it goes on.
    bool ApplicationWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result);
    bool OwnerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool TryMinimizeToTray(LRESULT& result);
    void HideMainWindow();
    void HideTaskbarButton();
    void StartupCheck();
    bool OwnerIsWindowed() const;

    Registration registration_;
    bool enabled_ = true;
    win::Icon icon_;
    win::Icon sourceIcon_;          // the own icon as given, which icon_ shows at the shell's size
    const std::uint32_t identity_;  // the registration's
    bool iconVisible_ = false;
    std::string hint_;
    bool showHint_ = true;
    win::PopupMenu* popupMenu_ = nullptr;
    bool leftPopup_ = false;
    bool minimizeToTray_ = false;
    bool clickStarted_ = false;
    bool clickReady_ = false;
    TSimpleTimer cycleTimer_;
    TSimpleTimer clickTimer_;
    TSimpleTimer exitTimer_;
    TSimpleTimer retryTimer_;  // runs only while the shell refuses an icon meant to show
    // Where the icon stands with the shell, as far as known: not given to it (never added, or
    // removed on purpose), held by it, or refused while meant to show.
    enum class InShell { No, Held, Refused };
    InShell inShell_ = InShell::No;
    int lastMoveX_ = 0;
    int lastMoveY_ = 0;
    bool cursorOutside_ = true;
    bool wantEnterExitEvents_ = false;
    TNotifyVersion notifyVersion_ = TNotifyVersion::Classic;
    bool doubleClickSeen_ = false;
    int iconIndex_ = 0;
    bool designPreview_ = false;
    bool previewApplying_ = false;
    bool mainFormCheckPending_ = true;
    win::ImageList* iconList_ = nullptr;
    bool cycleIcons_ = false;
    std::uint32_t cycleInterval_ = 0;
    COLORREF outlineColour_ = CLR_NONE;
    COLORREF emptyColour_ = CLR_NONE;
    int iconDpi_ = 0;
    win::WindowHook applicationHook_;
    win::WindowHook ownerHook_;
    NOTIFYICONDATAA data_;
};

}  // namespace quaff::tray
