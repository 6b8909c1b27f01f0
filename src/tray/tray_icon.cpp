#include "tray/tray_icon.h"

#include <shlwapi.h>

#include <cstring>
#include <exception>

#include "tray/tray_platform.h"
#include "win/handles.h"
#include "win/image_list.h"
#include "win/menu.h"
#include "win/message_window.h"
#include "win/shared_holder.h"

namespace quaff::tray {

namespace {

win::IdentityTable<TTrayIcon>& Icons() {
    static win::IdentityTable<TTrayIcon> table;
    return table;
}

// comctl32's version as major in the high word and minor in the low word, 0 if unknown.
DWORD CommonControlsVersion() {
    HMODULE module = GetModuleHandleA("comctl32.dll");
    if (!module) module = LoadLibraryExA("comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return 0;
    auto proc = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")));
    if (!proc) return 0;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    if (FAILED(proc(&info))) return 0;
    return MAKELONG(info.dwMinorVersion, info.dwMajorVersion);
}

// How long after a refusal the icon is added again: the first time, and at most.
constexpr std::uint32_t kFirstRetryDelay = 1000;
constexpr std::uint32_t kLastRetryDelay = 60000;

}  // namespace

// The hidden window the shell sends every tray icon's notifications to.
class TTrayIconHandler {
public:
    TTrayIconHandler()
        : window([](HWND h, UINT m, WPARAM w, LPARAM l) { return Dispatch(h, m, w, l); }) {}

    static LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case kTrayCallbackMessage:
                // An identity that names no live icon (a notification still on its way when the
                // icon went) is dropped.
                if (TTrayIcon* icon = Icons().Find(static_cast<std::uint32_t>(wParam)))
                    icon->HandleNotification(lParam);
                return 0;
            // The window stays until the last tray icon goes: it neither closes on request nor
            // stands in the way of logging off or shutting down.
            case WM_DESTROY:
            case WM_CLOSE:
            case WM_QUERYENDSESSION:
            case WM_QUIT:
            case WM_ENDSESSION:
            case WM_NCDESTROY:
                return 1;
            default:
                return DefWindowProcA(hwnd, message, wParam, lParam);
        }
    }

    unsigned references = 0;
    win::MessageWindow window;
};

using TrayWindowHolder = win::SharedHolder<TTrayIconHandler>;

HWND TTrayIcon::TrayWindow() {
    TTrayIconHandler* holder = TrayWindowHolder::Get();
    return holder ? holder->window.Handle() : nullptr;
}

UINT TTrayIcon::TaskbarCreatedMessage() {
    static const UINT message =
        CommonControlsVersion() >= MAKELONG(71, 4) ? RegisterWindowMessageA("TaskbarCreated") : 0;
    return message;
}

TTrayIcon::Registration::Registration(TTrayIcon* icon) : identity(Icons().Add(icon)) {
    try {
        TrayWindowHolder::Acquire();
    } catch (...) {
        Icons().Remove(identity);
        throw;
    }
}

TTrayIcon::Registration::~Registration() {
    Icons().Remove(identity);
    TrayWindowHolder::Release();
}

// Whatever throws here, the members already made (the registration, the timers, the hooks)
// are given back by their own destructors, and the error reaches the caller.
TTrayIcon::TTrayIcon(win::Component* owner)
    : win::Component(owner), registration_(this), identity_(registration_.identity) {
    TaskbarCreatedMessage();
    icon_.OnChange = [this] { IconImageChanged(); };

    std::memset(&data_, 0, sizeof(data_));
    data_.cbSize = kIconDataSize;
    data_.hWnd = TrayWindow();
    data_.uID = identity_;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = kTrayCallbackMessage;

    cycleTimer_.SetOnTimer([this](win::Component*) { CycleTick(); });
    clickTimer_.SetOnTimer([this](win::Component*) { ClickTick(); });
    exitTimer_.SetInterval(20);
    exitTimer_.SetOnTimer([this](win::Component*) { ExitPollTick(); });
    retryTimer_.SetOnTimer([this](win::Component*) { RetryTick(); });

    SetDesignPreview(designPreview_);
    if (!Designing()) {
        HookApplicationWindow();
        if (OwnerIsWindowed()) HookOwnerWindow();
    }
}

TTrayIcon::~TTrayIcon() {
    try {
        SetIconVisible(false);
        SetDesignPreview(false);
        icon_.OnChange = nullptr;
    } catch (...) {
        // Going away regardless; the hooks and the shared window must still be released.
    }
    // Whatever was hooked is taken out, also if the design state changed since construction.
    UnhookOwnerWindow();
    UnhookApplicationWindow();
    if (iconList_) RemoveFreeNotification(iconList_);
    if (popupMenu_) RemoveFreeNotification(popupMenu_);
}

bool TTrayIcon::PrepareIconData() {
    if (Designing() && !previewApplying_ && !designPreview_) return false;
    data_.hIcon = icon_.Handle();
    std::memset(data_.szTip, 0, sizeof(data_.szTip));
    if (!hint_.empty() && showHint_) {
        const std::size_t n =
            hint_.size() < sizeof(data_.szTip) - 1 ? hint_.size() : sizeof(data_.szTip) - 1;
        std::memcpy(data_.szTip, hint_.data(), n);
    }
    return true;
}

bool TTrayIcon::TrayAdd() {
    if (!previewApplying_) iconVisible_ = true;
    if (Designing() && !previewApplying_) return false;
    if (!PrepareIconData()) return false;
    if (AddToShell()) return true;
    // A refusal while the shell holds the icon is harmless (the loaded step's add, a new
    // taskbar that kept it, minimising while it shows); otherwise the shell may not be ready.
    if (inShell_ != InShell::Held) ShellRefused();
    return false;
}

bool TTrayIcon::TrayDelete() {
    if (!previewApplying_) iconVisible_ = false;
    if (Designing() && !previewApplying_) return false;
    if (!PrepareIconData()) return false;
    inShell_ = InShell::No;
    retryTimer_.SetEnabled(false);
    return win::Seam<TrayPlatform>::Current().AskShell(NIM_DELETE, &data_) != FALSE;
}

bool TTrayIcon::TrayModify() {
    if (!PrepareIconData()) return false;
    // A refused icon is not in the notification area: a change adds it again.
    if (inShell_ == InShell::Refused) return AddAgain();
    if (win::Seam<TrayPlatform>::Current().AskShell(NIM_MODIFY, &data_) != FALSE) {
        inShell_ = InShell::Held;
        return true;
    }
    // The shell lost an icon it held (it restarted and has not said so yet). An icon it was
    // never given, or that was removed on purpose, is refused as expected and stays away.
    if (inShell_ == InShell::Held) ShellRefused();
    return false;
}

bool TTrayIcon::AddToShell() {
    if (win::Seam<TrayPlatform>::Current().AskShell(NIM_ADD, &data_) == FALSE) return false;
    Accepted();
    return true;
}

// The shell has the icon now. A new icon starts with the classic behaviour, so the version
// asked for is asked again.
void TTrayIcon::Accepted() {
    inShell_ = InShell::Held;
    retryTimer_.SetEnabled(false);
    if (notifyVersion_ == TNotifyVersion::Version3)
        win::Seam<TrayPlatform>::Current().AskShell(NIM_SETVERSION, &data_);
}

// The shell refused the icon (at sign-in it may not be ready yet, and no TaskbarCreated may
// follow for a while). While the icon is meant to show it is added again at each change and
// on a timer.
void TTrayIcon::ShellRefused() {
    inShell_ = iconVisible_ ? InShell::Refused : InShell::No;
    RetryWhileRefused();
}

// The timer runs while a refused icon has an image to show: about a second after the refusal
// first, then twice as long each time, at most a minute apart, until the shell takes it.
// Nothing runs while all is well. An icon without an image has nothing to show and is not
// pressed on the shell: the change that gives it one adds it again.
void TTrayIcon::RetryWhileRefused() {
    if (inShell_ != InShell::Refused || !data_.hIcon) {
        retryTimer_.SetEnabled(false);
    } else if (!retryTimer_.Enabled()) {
        retryTimer_.SetInterval(kFirstRetryDelay);
        retryTimer_.SetEnabled(true);
    }
}

// A new taskbar starts without the icon. One not ready yet refuses it, and it is added again
// as after any refusal; one that kept it (a TaskbarCreated that was no restart of this shell)
// refuses the add and takes a modify.
void TTrayIcon::ShellRecreated() {
    if (!iconVisible_ || !PrepareIconData()) return;
    inShell_ = InShell::Refused;
    AddAgain();
}

// A refused add can still have added the icon (a shell that answers late), which a modify
// then finds: either way the icon is there.
bool TTrayIcon::AddAgain() {
    if (AddToShell()) return true;
    if (win::Seam<TrayPlatform>::Current().AskShell(NIM_MODIFY, &data_) != FALSE) {
        Accepted();
        return true;
    }
    RetryWhileRefused();
    return false;
}

void TTrayIcon::RetryTick() {
    if (!retryTimer_.Enabled()) return;  // a tick queued before the retrying ended
    if (!PrepareIconData()) {
        retryTimer_.SetEnabled(false);
        return;
    }
    if (AddAgain() || !retryTimer_.Enabled()) return;
    const std::uint32_t longer = retryTimer_.Interval() * 2;
    retryTimer_.SetInterval(longer < kLastRetryDelay ? longer : kLastRetryDelay);
}

void TTrayIcon::SetIconVisible(bool value) {
    if (value)
        TrayAdd();
    else
        TrayDelete();
}

void TTrayIcon::SetHint(std::string hint) {
    hint_ = std::move(hint);
    TrayModify();
}

void TTrayIcon::SetShowHint(bool value) {
    showHint_ = value;
    TrayModify();
}

template <class Change>
void TTrayIcon::ChangeIconQuietly(Change change) {
    auto onChange = std::move(icon_.OnChange);
    icon_.OnChange = nullptr;
    change();
    icon_.OnChange = std::move(onChange);
}

win::IconStyle TTrayIcon::ShellIconStyle() const {
    return {win::SmallIconSize(iconDpi_ > 0 ? iconDpi_ : win::CurrentDpi()), outlineColour_,
            emptyColour_};
}

void TTrayIcon::SetIcon(const win::Icon& icon) {
    if (&icon != &icon_) sourceIcon_.Assign(icon);
    // A copy at the shell's size: the shell would blur a smaller one when it scales it up.
    ChangeIconQuietly([&] {
        if (&icon != &icon_)
            icon_.SetHandle(sourceIcon_.Handle() ? win::RestyleIcon(CopyIcon(sourceIcon_.Handle()),
                                                                    {ShellIconStyle().size}, {})
                                                 : nullptr);
    });
    TrayModify();
}

void TTrayIcon::Restyle() {
    ChangeIconQuietly([this] {
        if (iconList_)
            iconList_->GetIcon(iconIndex_, icon_, ShellIconStyle());
        else if (sourceIcon_.Handle())
            icon_.SetHandle(
                win::RestyleIcon(CopyIcon(sourceIcon_.Handle()), {ShellIconStyle().size}, {}));
    });
    TrayModify();
}

void TTrayIcon::SetGlassColours(COLORREF outline, COLORREF empty, Redraw redraw) {
    if (outline == outlineColour_ && empty == emptyColour_) return;
    outlineColour_ = outline;
    emptyColour_ = empty;
    if (iconList_ && redraw == Redraw::Now) Restyle();  // the own icon is drawn as given
}

void TTrayIcon::SetIconDpi(int dpi) {
    const int size = ShellIconStyle().size;
    iconDpi_ = dpi;
    if (ShellIconStyle().size != size && (iconList_ || sourceIcon_.Handle())) Restyle();
}

void TTrayIcon::IconImageChanged() { TrayModify(); }

void TTrayIcon::SetIconIndex(int index) {
    if (iconList_) {
        const int count = iconList_->Count();
        iconIndex_ = index < count ? index : count - 1;
        iconList_->GetIcon(iconIndex_, icon_,
                           ShellIconStyle());  // the icon's change runs TrayModify
    } else {
        iconIndex_ = 0;
    }
    TrayModify();
}

void TTrayIcon::SetIconList(win::ImageList* list) {
    // Watching the list's removal keeps the reference from outliving a list owned elsewhere.
    Watch(iconList_, list);
    SetIconIndex(0);
}

void TTrayIcon::SetPopupMenu(win::PopupMenu* menu) { Watch(popupMenu_, menu); }

void TTrayIcon::SetCycleIcons(bool value) {
    cycleIcons_ = value;
    if (value) {
        SetIconIndex(0);
        cycleTimer_.SetInterval(cycleInterval_);
        cycleTimer_.SetEnabled(true);
    } else {
        cycleTimer_.SetEnabled(false);
    }
}

void TTrayIcon::SetCycleInterval(std::uint32_t ms) {
    cycleInterval_ = ms;
    SetCycleIcons(cycleIcons_);
}

void TTrayIcon::CycleTick() {
    if (!iconList_) return;
    const win::Liveness self = Life();
    iconList_->GetIcon(iconIndex_, icon_, ShellIconStyle());
    DoCycle(NextCycleIndex());
    // The handler may have set IconIndex: cycling goes on from the index it left.
    if (self.Alive()) SetIconIndex(NextCycleIndex());
}

int TTrayIcon::NextCycleIndex() const {
    return iconList_ && iconIndex_ < iconList_->Count() - 1 ? iconIndex_ + 1 : 0;
}

void TTrayIcon::DoCycle(int nextIndex) {
    if (OnCycle) OnCycle(this, nextIndex);
}

void TTrayIcon::SetWantEnterExitEvents(bool value) {
    wantEnterExitEvents_ = value;
    exitTimer_.SetEnabled(value);
}

void TTrayIcon::SetNotifyVersion(TNotifyVersion version) {
    notifyVersion_ = version;
    data_.uVersion = version == TNotifyVersion::Version3 ? NOTIFYICON_VERSION : 0;
    win::Seam<TrayPlatform>::Current().AskShell(NIM_SETVERSION, &data_);
}

void TTrayIcon::SetDesignPreview(bool value) {
    designPreview_ = value;
    previewApplying_ = true;
    const win::ScopeExit applied([this] { previewApplying_ = false; });
    if (Designing() && icon_.Empty() && WantsDefaultIcon())
        icon_.SetHandle(CopyIcon(LoadIconA(nullptr, IDI_WINLOGO)));
    SetIconVisible(value);
}

void TTrayIcon::Loaded() {
    win::Component::Loaded();
    if (OwnerIsWindowed() && !Designing()) StartupCheck();
    TrayModify();
    SetIconVisible(iconVisible_);
    SetCycleIcons(cycleIcons_);
    SetWantEnterExitEvents(wantEnterExitEvents_);
    SetNotifyVersion(notifyVersion_);
}

void TTrayIcon::Notification(win::Component* component, win::Operation operation) {
    win::Component::Notification(component, operation);
    if (operation != win::Operation::Remove) return;
    if (component == iconList_) {
        iconList_ = nullptr;
        SetIconList(nullptr);
    }
    if (component == popupMenu_) popupMenu_ = nullptr;
}

}  // namespace quaff::tray
