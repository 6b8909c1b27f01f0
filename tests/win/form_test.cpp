// Forms as real windows under Wine: docking kept through resizes, modal showing ended by a
// button, the close box, the keyboard or the application's end, border styles changed while
// shown.
#include <objbase.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "win/button.h"
#include "win/edit.h"
#include "win/form.h"
#include "win/layout.h"
#include "win/timer.h"
#include "win_test_support.h"

using namespace quaff::win;
using quaff::test::ErrorReports;

namespace {

RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT Client(HWND h) {
    RECT r;
    GetClientRect(h, &r);
    return r;
}

// Runs `action` from inside the next modal loop (a posted-message timer, not a sleep).
class InLoop {
public:
    explicit InLoop(std::function<void()> action, unsigned ms = 1) : timer_(nullptr) {
        timer_.SetInterval(ms);
        timer_.OnTimer = [this, action](Component*) {
            timer_.SetEnabled(false);
            action();
        };
    }

private:
    Timer timer_;
};

// A form whose modal loop ends with a sentinel if a test would otherwise hang.
constexpr int kHung = 99;
void GuardAgainstHang(Form& form, Timer& guard) {
    guard.SetInterval(10000);
    guard.OnTimer = [&form](Component*) { form.SetModalResult(kHung); };
}

class DockForm : public Form {
public:
    DockForm() : Form(nullptr) {
        SetBorderStyle(BorderStyle::SizeToolWin);
        SetBounds(100, 100, 406, 357);
        // clang-format off
        BuildControls(*this, {
            {.kind = ControlKind::Panel, .name = "Panel1", .height = 44, .align = Align::Bottom},
            {.kind = ControlKind::Panel, .name = "Panel2", .height = 30, .align = Align::Bottom},
            {.kind = ControlKind::Panel, .name = "Panel3", .align = Align::Client},
        });
        // clang-format on
    }
    HWND Part(const char* name) { return FindControl<Panel>(*this, name).Handle(); }
};

TEST(FormDocking, BottomPanelsAndFillKeepTheirPlacesAfterResize) {
    DockForm form;
    form.Show();
    struct Size {
        int w, h;
    };
    for (Size s : {Size{406, 357}, Size{640, 480}, Size{200, 160}, Size{406, 357}}) {
        SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h));
        // A real resize of the window, as the user's dragging makes.
        SetWindowPos(form.Handle(), nullptr, 0, 0, ScaleDpi(s.w), ScaleDpi(s.h),
                     SWP_NOMOVE | SWP_NOZORDER);
        const RECT client = Client(form.Handle());
        const RECT p1 = ChildRect(form.Part("Panel1"));
        const RECT p2 = ChildRect(form.Part("Panel2"));
        const RECT p3 = ChildRect(form.Part("Panel3"));
        EXPECT_EQ(p1.bottom, client.bottom);
        EXPECT_EQ(p1.bottom - p1.top, ScaleDpi(44));
        EXPECT_EQ(p2.bottom, p1.top);
        EXPECT_EQ(p2.bottom - p2.top, ScaleDpi(30));
        EXPECT_EQ(p3.top, 0);
        EXPECT_EQ(p3.bottom, p2.top);
        for (RECT r : {p1, p2, p3}) {
            EXPECT_EQ(r.left, 0);
            EXPECT_EQ(r.right, client.right);
        }
    }
}

TEST(FormDocking, SidesDockInTheOrderOfTheirPlaces) {
    // Two labels docked right: the one placed further right ends up rightmost, whatever the
    // order they were built in; the left ones likewise from the left.
    DockForm form;
    // clang-format off
    BuildControls(form, {
        {.kind = ControlKind::Label, .name = "R1", .parent = "Panel2", .left = 10,
         .caption = "Near", .align = Align::Right},
        {.kind = ControlKind::Label, .name = "R2", .parent = "Panel2", .left = 300,
         .caption = "Far", .align = Align::Right},
        {.kind = ControlKind::Label, .name = "L1", .parent = "Panel2", .left = 0,
         .caption = "First", .align = Align::Left},
        {.kind = ControlKind::Label, .name = "L2", .parent = "Panel2", .left = 5,
         .caption = "Second", .align = Align::Left},
    });
    // clang-format on
    form.Show();
    const RECT panel = Client(form.Part("Panel2"));
    const RECT r1 = ChildRect(FindControl<Label>(form, "R1").Handle());
    const RECT r2 = ChildRect(FindControl<Label>(form, "R2").Handle());
    const RECT l1 = ChildRect(FindControl<Label>(form, "L1").Handle());
    const RECT l2 = ChildRect(FindControl<Label>(form, "L2").Handle());
    EXPECT_EQ(r2.right, panel.right);
    EXPECT_EQ(r1.right, r2.left);
    EXPECT_EQ(l1.left, 0);
    EXPECT_EQ(l2.left, l1.right);
    EXPECT_GT(l1.right, 0);  // autosized to its text
    EXPECT_EQ(l1.bottom - l1.top, panel.bottom);
}

class ModalForm : public Form {
public:
    ModalForm() : Form(nullptr) {
        // clang-format off
        BuildControls(*this, {
            {.kind = ControlKind::Edit, .name = "Field", .left = 8, .top = 8, .width = 100,
             .height = 21},
            {.kind = ControlKind::Button, .name = "Ok", .left = 8, .top = 40, .width = 75,
             .height = 25, .caption = "OK", .modalResult = mrOk, .isDefault = true,
             .onClick = On(&ModalForm::Clicked)},
            {.kind = ControlKind::Button, .name = "Cancel", .left = 88, .top = 40, .width = 75,
             .height = 25, .caption = "Cancel", .modalResult = mrCancel, .isCancel = true,
             .onClick = On(&ModalForm::Clicked)},
            {.kind = ControlKind::Button, .name = "Other", .left = 168, .top = 40, .width = 75,
             .height = 25, .caption = "Seven", .modalResult = 7,
             .onClick = On(&ModalForm::Clicked)},
            {.kind = ControlKind::Button, .name = "Plain", .left = 8, .top = 70, .width = 75,
             .height = 25, .caption = "Plain", .onClick = On(&ModalForm::Clicked)},
        });
        // clang-format on
    }
    void Clicked(Component* sender) {
        ++clicks;
        lastSender = sender;
        resultSeenInHandler = ModalResult();
        if (other) otherEnabledDuring = IsWindowEnabled(other) != FALSE;
    }
    HWND Button(const char* name) { return FindControl<quaff::win::Button>(*this, name).Handle(); }

    int clicks = 0;
    Component* lastSender = nullptr;
    int resultSeenInHandler = -1;
    HWND other = nullptr;
    bool otherEnabledDuring = true;
};

TEST(FormModal, ButtonClickEndsTheShowingWithItsResult) {
    struct Case {
        const char* button;
        int result;
    };
    for (Case c : {Case{"Ok", mrOk}, Case{"Cancel", mrCancel}, Case{"Other", 7}}) {
        SCOPED_TRACE(c.button);
        Form other(nullptr);
        other.Show();
        ModalForm form;
        form.other = other.Handle();
        Timer guard(nullptr);
        GuardAgainstHang(form, guard);
        PostMessageA(form.Button(c.button), BM_CLICK, 0, 0);
        EXPECT_EQ(form.ShowModal(), c.result);
        EXPECT_EQ(form.clicks, 1);
        EXPECT_EQ(form.lastSender, &FindControl<Button>(form, c.button));
        // The result is set before the handler runs, as the program's OK handler expects.
        EXPECT_EQ(form.resultSeenInHandler, c.result);
        EXPECT_FALSE(form.otherEnabledDuring);
        EXPECT_TRUE(IsWindowEnabled(other.Handle()));
        EXPECT_FALSE(IsWindowVisible(form.Handle()));
    }
}

TEST(FormModal, ButtonWithoutResultKeepsTheFormOpen) {
    ModalForm form;
    Timer guard(nullptr);
    GuardAgainstHang(form, guard);
    PostMessageA(form.Button("Plain"), BM_CLICK, 0, 0);
    InLoop later(
        [&] {
            EXPECT_TRUE(IsWindowVisible(form.Handle()));
            form.SetModalResult(5);
        },
        50);
    EXPECT_EQ(form.ShowModal(), 5);
    EXPECT_EQ(form.clicks, 1);
}

TEST(FormModal, CloseBoxEndsTheShowingWithCancel) {
    ModalForm form;
    Timer guard(nullptr);
    GuardAgainstHang(form, guard);
    PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(form.clicks, 0);
}

TEST(FormModal, EnterAndEscapeClickTheDefaultAndCancelButtons) {
    struct Case {
        WPARAM key;
        int result;
    };
    for (Case c : {Case{VK_RETURN, mrOk}, Case{VK_ESCAPE, mrCancel}}) {
        SCOPED_TRACE(c.key);
        ModalForm form;
        Timer guard(nullptr);
        GuardAgainstHang(form, guard);
        HWND field = FindControl<Edit>(form, "Field").Handle();
        // The key goes to the focused edit, through the modal loop's dialog keys.
        InLoop press([&] {
            SetFocus(field);
            PostMessageA(field, WM_KEYDOWN, c.key, 1);
        });
        EXPECT_EQ(form.ShowModal(), c.result);
        EXPECT_EQ(form.clicks, 1);
    }
}

TEST(FormModal, TerminateFromATimerEndsNestedShowings) {
    auto& app = Application::Instance();
    ModalForm outer;
    ModalForm inner;
    Timer guard(nullptr);
    GuardAgainstHang(outer, guard);
    int innerResult = -1;
    InLoop openInner([&] {
        Timer innerGuard(nullptr);
        GuardAgainstHang(inner, innerGuard);
        InLoop quit([&] { app.Terminate(); });
        innerResult = inner.ShowModal();
    });
    const int outerResult = outer.ShowModal();
    const bool terminated = app.Terminated();
    app.ResetTerminated();
    EXPECT_TRUE(terminated);
    EXPECT_EQ(innerResult, mrCancel);
    EXPECT_EQ(outerResult, mrCancel);
    EXPECT_FALSE(IsWindowVisible(outer.Handle()));
    EXPECT_FALSE(IsWindowVisible(inner.Handle()));
}

TEST(FormModal, FormDestroyedInsideItsShowingEndsItSafely) {
    // As "Exit" from the tray menu may do to the window shown modally.
    Form other(nullptr);
    other.Show();
    auto* form = new ModalForm;
    Timer guard(nullptr);
    GuardAgainstHang(*form, guard);
    InLoop destroy([&] {
        guard.OnTimer = nullptr;
        delete form;
    });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_TRUE(IsWindowEnabled(other.Handle()));
}

class FailingShowForm : public Form {
public:
    FailingShowForm() : Form(nullptr) {}
    int shows = 0;

protected:
    void DoShow() override {
        ++shows;
        throw std::runtime_error("Cannot open file C:\\x.jpg");
    }
};

TEST(FormShow, FailingShowHookIsReportedAndTheFormStillOpens) {
    FailingShowForm form;
    ErrorReports().clear();
    InLoop check([&] { form.SetModalResult(mrOk); });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(form.shows, 1);
    ASSERT_EQ(ErrorReports().size(), 1u);
    EXPECT_EQ(ErrorReports()[0], "Cannot open file C:\\x.jpg.");
}

TEST(FormBorder, StyleChangesWhileShown) {
    struct Case {
        Form::BorderStyle style;
        bool caption, sizeable, toolWindow;
    };
    const Case cases[] = {
        {Form::BorderStyle::None, false, false, false},
        {Form::BorderStyle::SizeToolWin, true, true, true},
        {Form::BorderStyle::ToolWindow, true, false, true},
        {Form::BorderStyle::Dialog, true, false, false},
        {Form::BorderStyle::Sizeable, true, true, false},
        {Form::BorderStyle::None, false, false, false},
    };
    Form form(nullptr);
    form.SetBorderStyle(Form::BorderStyle::SizeToolWin);
    form.Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style));
        form.SetBorderStyle(c.style);
        const LONG_PTR style = GetWindowLongPtrA(form.Handle(), GWL_STYLE);
        const LONG_PTR ex = GetWindowLongPtrA(form.Handle(), GWL_EXSTYLE);
        EXPECT_EQ((style & WS_CAPTION) == WS_CAPTION, c.caption);
        EXPECT_EQ((style & WS_THICKFRAME) != 0, c.sizeable);
        EXPECT_EQ((ex & WS_EX_TOOLWINDOW) != 0, c.toolWindow);
        EXPECT_TRUE(IsWindowVisible(form.Handle()));
        if (!c.caption) {
            // No frame: the client area is the whole window.
            RECT w, cl;
            GetWindowRect(form.Handle(), &w);
            GetClientRect(form.Handle(), &cl);
            EXPECT_EQ(w.right - w.left, cl.right);
            EXPECT_EQ(w.bottom - w.top, cl.bottom);
        }
    }
}

TEST(FormSize, ClientSizeIsTheDesignedClientArea) {
    for (auto style : {Form::BorderStyle::ToolWindow, Form::BorderStyle::Dialog}) {
        Form form(nullptr);
        form.SetBorderStyle(style);
        form.SetClientSize(313, 342);
        form.Show();
        EXPECT_EQ(Client(form.Handle()).right, ScaleDpi(313));
        EXPECT_EQ(Client(form.Handle()).bottom, ScaleDpi(342));
    }
}

TEST(Application, GuiThreadIsInASingleThreadedComApartment) {
    // The suite's set-up initialised the application, as start-up does. A thread in a
    // single-threaded apartment (what the shell's folder browser needs) cannot join the
    // multithreaded one.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
}

}  // namespace
