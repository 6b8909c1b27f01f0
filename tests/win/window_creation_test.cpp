// A window that cannot be made, for real under Wine: the error, naming the class asked for,
// reaches whoever asked for the window, whatever kind of window of ours it is.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/errors.h"
#include "tray/simple_timer.h"
#include "tray/tray_icon.h"
#include "win/edit.h"
#include "win/form.h"
#include "win/message_window.h"

using namespace quaff::win;

namespace {

// The system refuses every window of one class while this lives (its creation hook).
class Refusal {
public:
    explicit Refusal(const wchar_t* className) {
        refused_ = className;
        hook_ = SetWindowsHookExW(WH_CBT, &Proc, nullptr, GetCurrentThreadId());
    }
    ~Refusal() { UnhookWindowsHookEx(hook_); }

private:
    static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
        const auto* cs =
            code == HCBT_CREATEWND ? reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs : nullptr;
        if (cs && !IS_INTRESOURCE(cs->lpszClass)) {
            // A common control's class may come with its version ("6.0.0.0!Edit").
            const wchar_t* name = wcsrchr(cs->lpszClass, L'!');
            if (lstrcmpiW(name ? name + 1 : cs->lpszClass, refused_) == 0) return 1;
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline const wchar_t* refused_ = nullptr;
    HHOOK hook_;
};

TEST(WindowCreation, AWindowThatCannotBeMadeThrowsToWhoeverAskedForIt) {
    struct Case {
        const wchar_t* refused;
        const char* className;  // as the error names it
        std::function<void()> make;
    };
    Form form(nullptr);
    form.Handle();
    const Case cases[] = {
        {L"Edit", "EDIT",
         [&] {
             Edit edit(&form);
             edit.SetParent(&form);
             edit.Handle();
         }},
        {L"QuaffControl", "QuaffControl", [] { Form(nullptr).Handle(); }},
        {L"QuaffUtilWindow", "QuaffUtilWindow",
         [] {
             MessageWindow(
                 [](HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); });
         }},
        {L"QuaffUtilWindow", "QuaffUtilWindow", [] { quaff::tray::TSimpleTimer(); }},
        {L"QuaffUtilWindow", "QuaffUtilWindow", [] { quaff::tray::TTrayIcon(nullptr); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        std::string error;
        {
            Refusal refusal(c.refused);
            try {
                c.make();
            } catch (const quaff::Error& e) {
                error = e.what();
            }
        }
        EXPECT_EQ(error, std::string("Error creating window of class ") + c.className);
        EXPECT_EQ(quaff::tray::TTrayIcon::TrayWindow(), nullptr);
    }
    // Refused once, made the next time.
    quaff::tray::TTrayIcon icon(nullptr);
    EXPECT_TRUE(IsWindow(quaff::tray::TTrayIcon::TrayWindow()));
}

// A window destroyed under its object is bound to nothing: a later window given the same
// handle must not find the object of the old one.
TEST(WindowCreation, AWindowThatIsGoneIsBoundToNothing) {
    Form form(nullptr);
    Edit edit(&form);
    edit.SetParent(&form);
    for (WinControl* c : {static_cast<WinControl*>(&edit), static_cast<WinControl*>(&form)}) {
        const HWND h = c->Handle();
        ASSERT_EQ(WinControl::FromHandle(h), c);
        DestroyWindow(h);
        EXPECT_EQ(WinControl::FromHandle(h), nullptr) << (c == &form ? "form" : "edit");
    }
}

}  // namespace
