// The masked edit as a real EDIT window under Wine: keys typed into it, values the program
// puts in, and the check when the focus leaves a changed field that is not complete.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "win/button.h"
#include "win/edit.h"
#include "win/form.h"
#include "win/layout.h"
#include "win/mask_edit.h"
#include "win_test_support.h"

using namespace quaff::win;
using quaff::test::ErrorReports;
using quaff::test::PumpPending;

namespace {

const std::string kReport = std::string(kInvalidMaskInput) + ".";

class MaskForm : public Form {
public:
    MaskForm() : Form(nullptr) {
        // clang-format off
        BuildControls(*this, {
            {.kind = ControlKind::MaskEdit, .name = "edSalary", .left = 8, .top = 8, .width = 118,
             .height = 21, .caption = "      .  ", .tabOrder = 0, .mask = "000000.00;1;_",
             .maxLength = 9},
            {.kind = ControlKind::Edit, .name = "edOther", .left = 8, .top = 40, .width = 118,
             .height = 21, .tabOrder = 1},
            {.kind = ControlKind::Button, .name = "btnCancel", .left = 8, .top = 70, .width = 75,
             .height = 25, .caption = "Cancel", .tabOrder = 2, .isCancel = true,
             .onClick = On(&MaskForm::CancelClick)},
        });
        // clang-format on
        Show();
        ErrorReports().clear();
    }
    void CancelClick(Component*) { ++cancels; }

    MaskEdit& Salary() { return FindControl<MaskEdit>(*this, "edSalary"); }
    HWND SalaryWindow() { return Salary().Handle(); }
    HWND OtherWindow() { return FindControl<Edit>(*this, "edOther").Handle(); }

    void Type(const std::string& keys) {
        for (char c : keys) {
            if (c == '\x7f')
                SendMessageA(SalaryWindow(), WM_KEYDOWN, VK_DELETE, 1);
            else
                SendMessageA(SalaryWindow(), WM_CHAR, static_cast<unsigned char>(c), 1);
        }
    }
    // A key through the application's loop, where the dialog manager sees it first.
    void PressThroughLoop(WPARAM key) {
        PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
        Application::Instance().ProcessMessages();
    }
    void Leave() {
        ::SetFocus(OtherWindow());
        PumpPending();
    }

    int cancels = 0;
};

TEST(MaskEdit, KeysFillPositionsAndPassTheLiteral) {
    struct Case {
        const char* keys;
        const char* display;
        const char* text;
    };
    const Case cases[] = {
        {"1234", "1234__.__", "1234  .  "},
        {"12345678", "123456.78", "123456.78"},
        {"123456789", "123456.78", "123456.78"},  // the field is full
        {"12.5", "12____.5_", "12    .5 "},       // the point jumps to the decimals
        {"ab1-", "1_____.__", "1     .  "},       // only digits are taken
        {"12\b3", "13____.__", "13    .  "},
        {"1234567\b\b", "12345_.__", "12345 .  "},  // backspace passes back over the point
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        MaskForm form;
        SetFocus(form.SalaryWindow());
        form.Type(c.keys);
        EXPECT_EQ(form.Salary().DisplayText(), c.display);
        EXPECT_EQ(form.Salary().Text(), c.text);
        EXPECT_TRUE(form.Salary().Modified());
    }
}

TEST(MaskEdit, DeleteSelectionAndPasteFollowTheMask) {
    struct Case {
        const char* start;  // a stored value put in first
        int selFrom, selTo;
        const char* keys;   // '\x7f' is the Delete key
        const char* paste;  // clipboard text pasted after the keys, or null
        const char* display;
    };
    const Case cases[] = {
        {"123456.78", 0, 0, "\x7f", nullptr, "_23456.78"},
        {"123456.78", 5, 8, "\x7f", nullptr, "12345_._8"},  // the point stays
        {"123456.78", 1, 3, "9", nullptr, "19_456.78"},     // typing replaces the selection
        {"", 0, 0, "", "98.76", "98____.76"},
        {"", 0, 0, "", "1a2b3", "123___.__"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " / " + c.keys);
        MaskForm form;
        form.Salary().SetText(c.start);
        SetFocus(form.SalaryWindow());
        SendMessageA(form.SalaryWindow(), EM_SETSEL, c.selFrom, c.selTo);
        form.Type(c.keys);
        if (c.paste) {
            ASSERT_TRUE(OpenClipboard(form.SalaryWindow()));
            EmptyClipboard();
            HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, strlen(c.paste) + 1);
            memcpy(GlobalLock(mem), c.paste, strlen(c.paste) + 1);
            GlobalUnlock(mem);
            SetClipboardData(CF_TEXT, mem);
            CloseClipboard();
            SendMessageA(form.SalaryWindow(), WM_PASTE, 0, 0);
        }
        EXPECT_EQ(form.Salary().DisplayText(), c.display);
    }
}

TEST(MaskEdit, StoredValuesAreShownInTheMaskWithoutCountingAsChanges) {
    struct Case {
        const char* stored;
        const char* display;
        const char* text;
    };
    const Case cases[] = {
        {"025000.00", "025000.00", "025000.00"},
        {"", "______.__", "      .  "},
        {"      .  ", "______.__", "      .  "},
        {"25000.00", "25000_.00", "25000 .00"},  // five digits typed into the registry by hand
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        MaskForm form;
        form.Salary().SetText(c.stored);
        EXPECT_EQ(form.Salary().DisplayText(), c.display);
        EXPECT_EQ(form.Salary().Text(), c.text);
        EXPECT_FALSE(form.Salary().Modified());
    }
}

TEST(MaskEdit, LeavingAChangedIncompleteFieldReportsAndKeepsTheFocus) {
    MaskForm form;
    SetFocus(form.SalaryWindow());
    form.Type("1234");
    form.Leave();
    ASSERT_EQ(ErrorReports().size(), 1u);
    EXPECT_EQ(ErrorReports()[0], kReport);
    EXPECT_EQ(GetFocus(), form.SalaryWindow());
    EXPECT_EQ(form.Salary().DisplayText(), "1234__.__");  // nothing typed is lost
    // Completing the field lets the focus go.
    SendMessageA(form.SalaryWindow(), EM_SETSEL, 4, 4);
    form.Type("5678");
    form.Leave();
    EXPECT_EQ(ErrorReports().size(), 1u);
    EXPECT_EQ(GetFocus(), form.OtherWindow());
}

TEST(MaskEdit, FieldsNotChangedByTheUserAreNotChecked) {
    struct Case {
        const char* name;
        void (*prepare)(MaskForm&);
    };
    const Case cases[] = {
        {"untouched", [](MaskForm&) {}},
        {"put in by the program", [](MaskForm& f) { f.Salary().SetText("1234"); }},
        {"changed and complete", [](MaskForm& f) { f.Type("12345678"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MaskForm form;
        SetFocus(form.SalaryWindow());
        c.prepare(form);
        form.Leave();
        EXPECT_TRUE(ErrorReports().empty());
        EXPECT_EQ(GetFocus(), form.OtherWindow());
    }
}

TEST(MaskEdit, EscapeAbandonsChangesAndOnlyThenReachesTheForm) {
    MaskForm form;
    form.Salary().SetText("025000.00");
    SetFocus(form.SalaryWindow());
    form.Type("9");
    ASSERT_EQ(form.Salary().DisplayText(), "925000.00");
    form.PressThroughLoop(VK_ESCAPE);
    EXPECT_EQ(form.Salary().DisplayText(), "025000.00");
    EXPECT_FALSE(form.Salary().Modified());
    EXPECT_EQ(form.cancels, 0);
    // With nothing to abandon, Escape is the form's again.
    form.PressThroughLoop(VK_ESCAPE);
    EXPECT_EQ(form.cancels, 1);
}

TEST(MaskEdit, EscapeAfterAFailedLeaveRestoresTheValueFromBeforeTheEdit) {
    MaskForm form;
    SetFocus(form.SalaryWindow());
    form.Type("12");
    form.Leave();
    ASSERT_EQ(ErrorReports().size(), 1u);
    ASSERT_EQ(GetFocus(), form.SalaryWindow());
    form.PressThroughLoop(VK_ESCAPE);
    EXPECT_EQ(form.Salary().DisplayText(), "______.__");
    form.Leave();
    EXPECT_EQ(ErrorReports().size(), 1u);
    EXPECT_EQ(GetFocus(), form.OtherWindow());
}

TEST(MaskEdit, ReportThatTakesTheFocusElsewhereIsNotRepeated) {
    // A real error box takes the focus while it is open; the field must not see that as a
    // second leave and report again.
    MaskForm form;
    Form box(nullptr);
    BuildControls(box, {{.kind = ControlKind::Edit, .name = "boxEdit", .width = 50, .height = 21}});
    box.Show();
    HWND boxEdit = FindControl<Edit>(box, "boxEdit").Handle();
    int reports = 0;
    const quaff::test::ErrorsTo boxes([&](const std::string&) {
        ++reports;
        SetActiveWindow(box.Handle());
        SetFocus(boxEdit);
        PumpPending();
        SetActiveWindow(form.Handle());
    });
    SetActiveWindow(form.Handle());
    SetFocus(form.SalaryWindow());
    form.Type("1");
    form.Leave();
    for (int i = 0; i < 5; ++i) PumpPending();
    EXPECT_EQ(reports, 1);
}

}  // namespace
