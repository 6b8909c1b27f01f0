#include "win/control.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "core/errors.h"
#include "win/application.h"
#include "win/font_cache.h"
#include "win/handles.h"
#include "win/menu.h"
#include "win/window_class.h"

namespace quaff::win {

namespace {

const char kClassName[] = "QuaffControl";

}  // namespace

void WinControl::RegisterClassOnce() {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &BoundWindowProc<WinControl, &WinControl::Route>;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    RegisterWindowClassOnce(wc);
}

namespace {

// Child-window identifiers; 1 and 2 stay free for IDOK and IDCANCEL.
int NextControlId() {
    static int next = 100;
    if (next >= 0xFFFF) next = 100;
    return next++;
}

const FontSpec& DefaultFont() {
    static const FontSpec font;
    return font;
}

// Docking order among siblings of one side: the one nearest that side as placed, then the
// one created first.
bool DockedBefore(Align align, const RECT& a, const RECT& b) {
    switch (align) {
        case Align::Top:
            return a.top < b.top;
        case Align::Bottom:
            return a.bottom > b.bottom;
        case Align::Left:
            return a.left < b.left;
        case Align::Right:
            return a.right > b.right;
        default:
            return false;
    }
}

}  // namespace

WinControl::WinControl(Component* owner) : Component(owner), id_(NextControlId()) {}

WinControl::~WinControl() {
    // Owned components (a tray icon hooking this window, child controls) go while the
    // window still exists.
    DestroyComponents();
    if (parent_) {
        auto& siblings = parent_->controls_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    destroying_ = true;
    DestroyHandle();
    for (WinControl* child : controls_) child->parent_ = nullptr;
}

WinControl* WinControl::FromHandle(HWND hwnd) { return BoundObject<WinControl>(hwnd); }

HWND WinControl::Handle() {
    if (!handle_) CreateHandle();
    return handle_;
}

void WinControl::GetCreateParams(CreateParams& params) {
    params.className = nullptr;
    params.style = WS_CHILD | WS_CLIPSIBLINGS;
    if (visible_) params.style |= WS_VISIBLE;
    if (!enabled_) params.style |= WS_DISABLED;
    if (tabStop_) params.style |= WS_TABSTOP;
    params.exStyle = 0;
    params.parentWindow = parent_ ? parent_->Handle() : nullptr;
}

void WinControl::CreateHandle() {
    if (creating_) return;
    creating_ = true;
    const ScopeExit created([this] { creating_ = false; });

    CreateParams params;
    GetCreateParams(params);
    if ((params.style & WS_CHILD) && !params.parentWindow)
        throw Error("Control '" + Name() + "' has no parent window");
    if (handle_) return;  // creating the parent created this one too

    RegisterClassOnce();
    const bool own = params.className == nullptr;
    HMENU id =
        (params.style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)) : nullptr;
    // Our own class binds the object on WM_NCCREATE from the creation parameter; a standard
    // control is bound and hooked once it exists, and keeps its procedure as the default
    // handler. It is a UTF-16 window, hooked as one: a typed character in any script reaches
    // its own procedure whole (through an ANSI procedure it would be cut down to the
    // keyboard's code page).
    HWND hwnd = CreateWindowOrThrow({.className = own ? kClassName : params.className,
                                     .caption = caption_,
                                     .style = params.style,
                                     .exStyle = params.exStyle,
                                     .rect = WindowRectFor(bounds_),
                                     .parent = params.parentWindow,
                                     .menu = id,
                                     .object = own ? this : nullptr});
    handle_ = hwnd;
    if (!own) {
        subclassed_ = true;
        BindWindow<WinControl>(hwnd, this);
        subclass_.Install(hwnd, [this](HWND h, UINT m, WPARAM w, LPARAM l, LRESULT& result) {
            result = Route(h, m, w, l);
            if (m == WM_NCDESTROY) UnbindWindow(h);
            return true;
        });
    }

    ApplyFontToWindow();
    HandleCreated();
    for (WinControl* child : std::vector<WinControl*>(controls_)) child->Handle();
    OrderTabs();
    Realign();
}

void WinControl::DestroyHandle() {
    if (!handle_) return;
    HWND hwnd = handle_;
    DestroyWindow(hwnd);  // WM_NCDESTROY clears handle_ (and the children's)
    handle_ = nullptr;
}

void WinControl::UpdateStyle(DWORD add, DWORD remove, bool ex) {
    if (!handle_) return;
    int index = ex ? GWL_EXSTYLE : GWL_STYLE;
    LONG_PTR style = GetWindowLongPtrA(handle_, index);
    style = (style & ~static_cast<LONG_PTR>(remove)) | static_cast<LONG_PTR>(add);
    SetWindowLongPtrA(handle_, index, style);
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT WinControl::Route(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) handle_ = hwnd;
    if (msg == WM_NCDESTROY) {
        const LRESULT result = DefaultHandler(msg, wp, lp);
        if (handle_ == hwnd) handle_ = nullptr;
        return result;
    }
    if (destroying_) return DefaultHandler(msg, wp, lp);
    return Guarded(LRESULT{0}, [&] { return Dispatch(msg, wp, lp); });
}

LRESULT WinControl::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (ReflectToChild(msg, wp, lp, result)) return result;
    return WndProc(msg, wp, lp);
}

bool WinControl::ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_COMMAND:
            if (lp != 0) {
                WinControl* child = FromHandle(reinterpret_cast<HWND>(lp));
                if (child && child != this) {
                    child->CommandNotify(HIWORD(wp));
                    result = 0;
                    return true;
                }
            }
            return false;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lp);
            WinControl* child = header ? FromHandle(header->hwndFrom) : nullptr;
            return child && child != this && child->NotifyNotify(header, result);
        }
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            WinControl* child = item ? FromHandle(item->hwndItem) : nullptr;
            if (!child || child == this) return false;
            child->DrawItem(*item);
            result = TRUE;
            return true;
        }
        default:
            return false;
    }
}

LRESULT WinControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE:
        case WM_MOVE: {
            LRESULT r = DefaultHandler(msg, wp, lp);
            // Keep the bounds in step with what the user or the system did to the window.
            RECT wr;
            GetWindowRect(handle_, &wr);
            HWND parentWindow =
                (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD) ? GetParent(handle_) : nullptr;
            if (parentWindow)
                MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&wr), 2);
            bounds_ = wr;
            if (msg == WM_SIZE) {
                Realign();
                Resized();
            }
            return r;
        }
        case WM_PAINT:
            if (!DrawsItself()) break;  // a standard control paints itself
            {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(handle_, &ps);
                Paint(dc);
                EndPaint(handle_, &ps);
            }
            return 0;
        case WM_PRINTCLIENT:
            if (!DrawsItself()) break;
            Paint(reinterpret_cast<HDC>(wp));
            return 0;
        case WM_CONTEXTMENU:
            // A right-click inside the control itself, or the keyboard's request (Shift+F10,
            // the menu key) in it or passed up from the focused control inside it. A click on
            // its frame or title bar gets what Windows gives there (the window's own menu).
            if (contextMenu_ && contextMenu_->AutoPopup() &&
                (lp == -1 || (reinterpret_cast<HWND>(wp) == handle_ &&
                              DefWindowProcA(handle_, WM_NCHITTEST, 0, lp) == HTCLIENT))) {
                POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
                if (lp == -1) {  // from the keyboard: the focused control's top left corner
                    pt = POINT{0, 0};
                    const HWND from = reinterpret_cast<HWND>(wp);
                    ClientToScreen(from && IsWindow(from) ? from : handle_, &pt);
                }
                contextMenu_->SetPopupComponent(this);
                contextMenu_->Popup(pt.x, pt.y);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefaultHandler(msg, wp, lp);
}

LRESULT WinControl::DefaultHandler(UINT msg, WPARAM wp, LPARAM lp) {
    if (!handle_) return 0;
    return subclassed_ ? WindowHook::PassOn(handle_, msg, wp, lp)
                       : DefWindowProcA(handle_, msg, wp, lp);
}

void WinControl::SetParent(WinControl* parent) {
    if (parent == parent_ || parent == this) return;
    if (parent_) {
        auto& siblings = parent_->controls_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        if (align_ != Align::None) parent_->Realign();
    }
    parent_ = parent;
    if (parent_) parent_->controls_.push_back(this);
    if (parent_) ChangeDpi(parent_->dpi_);
    if (handle_) {
        if (parent_ && parent_->handle_) {
            ::SetParent(handle_, parent_->handle_);
            parent_->OrderTabs();
        } else {
            DestroyHandle();
        }
    } else if (parent_ && parent_->handle_) {
        Handle();
        parent_->OrderTabs();
    }
    if (parentFont_) FontChanged();
    if (parent_ && align_ != Align::None) parent_->Realign();
}

void WinControl::SetBounds(int x, int y, int w, int h) {
    const int dpi = dpi_;
    SetBoundsRect(RECT{ScaleDpi(x, dpi), ScaleDpi(y, dpi), ScaleDpi(x, dpi) + ScaleDpi(w, dpi),
                       ScaleDpi(y, dpi) + ScaleDpi(h, dpi)});
}

void WinControl::SetBoundsRect(const RECT& r) {
    bounds_ = r;
    ApplyBounds();
    if (parent_ && align_ != Align::None) parent_->Realign();
}

void WinControl::ApplyBounds() {
    if (!handle_) return;
    const RECT wr = WindowRectFor(bounds_);
    SetWindowPos(handle_, nullptr, wr.left, wr.top, wr.right - wr.left, wr.bottom - wr.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

int WinControl::Left() const { return UnscaleDpi(bounds_.left, dpi_); }
int WinControl::Top() const { return UnscaleDpi(bounds_.top, dpi_); }
int WinControl::Width() const { return UnscaleDpi(bounds_.right - bounds_.left, dpi_); }
int WinControl::Height() const { return UnscaleDpi(bounds_.bottom - bounds_.top, dpi_); }

int WinControl::ClientWidth() {
    RECT r;
    GetClientRect(Handle(), &r);
    return UnscaleDpi(r.right - r.left, dpi_);
}

int WinControl::ClientHeight() {
    RECT r;
    GetClientRect(Handle(), &r);
    return UnscaleDpi(r.bottom - r.top, dpi_);
}

void WinControl::ChangeDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_) return;
    const int old = std::exchange(dpi_, dpi);
    const auto scaled = [dpi, old](LONG v) { return static_cast<LONG>(MulDiv(v, dpi, old)); };
    const LONG w = scaled(bounds_.right - bounds_.left), h = scaled(bounds_.bottom - bounds_.top);
    // A top-level window stays where it is on the screen; the caller moves it.
    if (parent_) bounds_.left = scaled(bounds_.left), bounds_.top = scaled(bounds_.top);
    bounds_.right = bounds_.left + w;
    bounds_.bottom = bounds_.top + h;
    for (WinControl* child : controls_) child->ChangeDpi(dpi);
    DpiChanged();
}

void WinControl::DpiChanged() {
    ApplyFontToWindow();
    ApplyBounds();
}

void WinControl::SetAlign(Align align) {
    if (align == align_) return;
    align_ = align;
    if (parent_) parent_->Realign();
}

void WinControl::Realign() {
    if (!handle_ || aligning_) return;
    aligning_ = true;
    const ScopeExit aligned([this] { aligning_ = false; });

    RECT area;
    GetClientRect(handle_, &area);
    for (Align side : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
        std::vector<WinControl*> docked;
        for (WinControl* c : controls_)
            if (c->align_ == side && c->visible_) docked.push_back(c);
        std::stable_sort(docked.begin(), docked.end(), [side](WinControl* a, WinControl* b) {
            return DockedBefore(side, a->bounds_, b->bounds_);
        });
        for (WinControl* c : docked) {
            const int w = c->bounds_.right - c->bounds_.left;
            const int h = c->bounds_.bottom - c->bounds_.top;
            // A docked control keeps its own depth even when the area is too small for it,
            // so a window made small for a moment does not lose its layout.
            RECT r = area;
            switch (side) {
                case Align::Top:
                    r.bottom = area.top + h;
                    area.top = r.bottom;
                    break;
                case Align::Bottom:
                    r.top = area.bottom - h;
                    area.bottom = r.top;
                    break;
                case Align::Left:
                    r.right = area.left + w;
                    area.left = r.right;
                    break;
                case Align::Right:
                    r.left = area.right - w;
                    area.right = r.left;
                    break;
                default:
                    r.right = std::max(r.left, r.right);
                    r.bottom = std::max(r.top, r.bottom);
                    break;
            }
            if (!EqualRect(&r, &c->bounds_)) {
                c->bounds_ = r;
                c->ApplyBounds();
            }
        }
    }
}

void WinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void WinControl::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    if (handle_) ShowWindow(handle_, value ? SW_SHOWNA : SW_HIDE);
    if (parent_ && align_ != Align::None) parent_->Realign();
}

void WinControl::SetEnabled(bool value) {
    enabled_ = value;
    if (!handle_) return;
    // A control disabled while it has the focus hands it on to the next control, as the
    // dialog manager does for Tab: the keyboard is never left with nowhere to go.
    const HWND focus = GetFocus();
    if (!value && focus && (focus == handle_ || IsChild(handle_, focus))) {
        const HWND top = GetAncestor(handle_, GA_ROOT);
        if (HWND next = GetNextDlgTabItem(top, handle_, FALSE); next && next != handle_)
            ::SetFocus(next);
    }
    EnableWindow(handle_, value);
}

void WinControl::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    if (handle_) SetWindowTextA(handle_, caption_.c_str());
}

void WinControl::SetCaptionSilently(std::string caption) { caption_ = std::move(caption); }

const FontSpec& WinControl::Font() const {
    if (!parentFont_) return font_;
    return parent_ ? parent_->Font() : DefaultFont();
}

void WinControl::SetFont(const FontSpec& font) {
    font_ = font;
    parentFont_ = false;
    FontChanged();
}

void WinControl::FontChanged() {
    ApplyFontToWindow();
    for (WinControl* child : controls_)
        if (child->parentFont_) child->FontChanged();
}

HFONT WinControl::FontHandle() const { return SharedFont(Font(), dpi_); }

void WinControl::ApplyFontToWindow() {
    if (!handle_) return;
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
    Invalidate();
}

void WinControl::SetTabOrder(int order) {
    tabOrder_ = order;
    if (parent_) parent_->OrderTabs();
}

void WinControl::SetTabStop(bool value) {
    tabStop_ = value;
    if (handle_) {
        if (value)
            UpdateStyle(WS_TABSTOP, 0);
        else
            UpdateStyle(0, WS_TABSTOP);
    }
}

void WinControl::OrderTabs() {
    if (!handle_) return;
    // The dialog manager tabs through siblings in window order: lay them out by tab order.
    std::vector<WinControl*> order(controls_);
    std::stable_sort(order.begin(), order.end(), [](WinControl* a, WinControl* b) {
        int ka = a->tabOrder_ < 0 ? INT_MAX : a->tabOrder_;
        int kb = b->tabOrder_ < 0 ? INT_MAX : b->tabOrder_;
        return ka < kb;
    });
    // Screen readers name a field after the static text just before it in window order; a
    // control that belongs to another goes just after it. Neither takes the focus.
    for (WinControl* c : controls_) {
        WinControl* const before = c->NamedControl();
        WinControl* const anchor = before ? before : c->AttachedTo();
        if (!anchor || anchor == c || anchor->parent_ != this) continue;
        order.erase(std::find(order.begin(), order.end(), c));
        const auto at = std::find(order.begin(), order.end(), anchor);
        order.insert(before ? at : at + 1, c);
    }
    HWND after = HWND_TOP;
    for (WinControl* c : order) {
        if (!c->handle_) continue;
        SetWindowPos(c->handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = c->handle_;
    }
}

void WinControl::SetContextMenu(win::PopupMenu* menu) { Watch(contextMenu_, menu); }

void WinControl::Notification(Component* component, Operation operation) {
    Component::Notification(component, operation);
    if (operation == Operation::Remove && component == contextMenu_) contextMenu_ = nullptr;
}

bool WinControl::Focused() { return handle_ && GetFocus() == handle_; }

void WinControl::SetFocus() { ::SetFocus(Handle()); }

}  // namespace quaff::win
