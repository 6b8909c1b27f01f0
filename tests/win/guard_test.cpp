// Every edge where Windows calls into the program stops an exception of any kind there: it is
// reported through the application's error box and the call answers as on an error, so
// nothing crosses into Windows and the program goes on.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "win/application.h"
#include "win/form.h"
#include "win/message_window.h"
#include "win/window_hook.h"
#include "win_test_support.h"

using namespace quaff::win;
using quaff::test::ErrorReports;

namespace {

constexpr UINT kProbe = WM_APP + 91;
using Fail = std::function<void()>;

class FailingForm : public Form {
public:
    explicit FailingForm(Fail fail) : Form(nullptr), fail_(std::move(fail)) {}

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kProbe) fail_();
        return Form::WndProc(msg, wp, lp);
    }

private:
    Fail fail_;
};

// Each edge made to fail, and what the message it fails on is answered.
struct Edge {
    const char* name;
    LRESULT (*send)(const Fail& fail);
    LRESULT answer;
};

const Edge kEdges[] = {
    {"a control's window procedure",
     [](const Fail& fail) {
         FailingForm form(fail);
         return SendMessageA(form.Handle(), kProbe, 0, 0);
     },
     0},
    {"a message window's handler",
     [](const Fail& fail) {
         MessageWindow window([&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
             if (m == kProbe) fail();
             return DefWindowProcA(h, m, w, l);
         });
         return SendMessageA(window.Handle(), kProbe, 0, 0);
     },
     0},
    {"a hook in front of a window: the message goes on to the window",
     [](const Fail& fail) {
         Form form(nullptr);
         form.SetCaption("abc");
         WindowHook hook;
         hook.Install(form.Handle(), [&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
             if (m == WM_GETTEXTLENGTH) fail();
             return false;
         });
         return SendMessageA(form.Handle(), WM_GETTEXTLENGTH, 0, 0);
     },
     3},
};

TEST(CallbackEdges, AnExceptionOfAnyKindIsReportedAndGoesNoFurther) {
    struct Thrown {
        Fail fail;
        const char* report;
    };
    const Thrown thrown[] = {
        {[] { throw std::runtime_error("'abc' is not a valid integer value"); },
         "'abc' is not a valid integer value."},
        {[] { throw 42; }, "Unknown error."},
    };
    for (const Edge& edge : kEdges) {
        for (const Thrown& t : thrown) {
            SCOPED_TRACE(std::string(edge.name) + ": " + t.report);
            ErrorReports().clear();
            EXPECT_EQ(edge.send(t.fail), edge.answer);
            EXPECT_EQ(ErrorReports(), std::vector<std::string>{t.report});
        }
    }
    ErrorReports().clear();
}

}  // namespace
