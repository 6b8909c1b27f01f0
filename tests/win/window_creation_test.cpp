// A window that cannot be made, for real under Wine: the error, naming the class asked for,
// reaches whoever asked for the window, whatever kind of window of ours it is.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/errors.h"
#include "tray/simple_timer.h"
#include "tray/tray_icon.h"
#include "win/form.h"
#include "win/message_window.h"
#include "win/timer.h"

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
        const auto* cs = code == HCBT_CREATEWND ? reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs : nullptr;
        if (cs && !IS_INTRESOURCE(cs->lpszClass) && lstrcmpiW(cs->lpszClass, refused_) == 0) return 1;
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline const wchar_t* refused_ = nullptr;
    HHOOK hook_;
};

// A standard control with the class and the parent window it is told.
class Asked : public WinControl {
public:
    Asked(Form* form, const char* className, HWND parentWindow)
        : WinControl(form), className_(className), parentWindow_(parentWindow) {
        SetParent(form);
    }

protected:
    void GetCreateParams(CreateParams& params) override {
        WinControl::GetCreateParams(params);
        params.className = className_;
        params.parentWindow = parentWindow_;
    }

private:
    const char* className_;
    HWND parentWindow_;
};

TEST(WindowCreation, AWindowThatCannotBeMadeThrowsToWhoeverAskedForIt) {
    HWND notAWindow = nullptr;  // a window that was
    {
        Form gone(nullptr);
        notAWindow = gone.Handle();
    }
    Form form(nullptr);
    struct Case {
        const char* name;
        const wchar_t* refused;  // null: nothing refused
        const char* className;   // the class the error names
        std::function<void()> make;
    };
    const Case cases[] = {
        {"a class never registered", nullptr, "QuaffNoSuchClass",
         [&] { Asked(&form, "QuaffNoSuchClass", form.Handle()).Handle(); }},
        {"a parent that is not a window", nullptr, "Edit",
         [&] { Asked(&form, "Edit", notAWindow).Handle(); }},
        {"a form", L"QuaffControl", "QuaffControl", [] { Form(nullptr).Handle(); }},
        {"a message window", L"QuaffUtilWindow", "QuaffUtilWindow",
         [] { MessageWindow([](HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }); }},
        {"a timer", L"QuaffUtilWindow", "QuaffUtilWindow", [] { Timer(nullptr); }},
        {"a simple timer", L"QuaffUtilWindow", "QuaffUtilWindow", [] { quaff::tray::TSimpleTimer(); }},
        {"a tray icon", L"QuaffUtilWindow", "QuaffUtilWindow", [] { quaff::tray::TTrayIcon(nullptr); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        {
            Refusal refusal(c.refused ? c.refused : L"");
            try {
                c.make();
            } catch (const quaff::Error& e) {
                error = e.what();
            }
        }
        EXPECT_EQ(error.rfind(std::string("Error creating window of class ") + c.className, 0), 0u)
            << error;
        EXPECT_EQ(quaff::tray::TTrayIcon::TrayWindow(), nullptr);
    }
    // Refused once, made the next time.
    quaff::tray::TTrayIcon icon(nullptr);
    EXPECT_TRUE(IsWindow(quaff::tray::TTrayIcon::TrayWindow()));
}

}  // namespace
