// Forms built from layout tables under Wine: design units placed relative to the enclosing
// control and scaled to the screen, the tab order of the table, handlers bound to the form,
// fonts that exist, mistakes in a table reported, and the program's forms whole on the
// screen with every label readable, whatever the face and the DPI.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "about/about_form.h"
#include "core/errors.h"
#include "monitor/monitor_form.h"
#include "settings/settings_form.h"
#include "win/button.h"
#include "win/edit.h"
#include "win/font_cache.h"
#include "win/form.h"
#include "win/label.h"
#include "win/layout.h"

using namespace quaff::win;
using quaff::about::TfrmAbout;
using quaff::settings::TfrmSettings;

namespace {

class DialogForm : public Form {
public:
    DialogForm() : Form(nullptr) {
        SetBorderStyle(BorderStyle::ToolWindow);
        SetClientSize(313, 342);
        BuildControls(*this, {
            {.kind = ControlKind::Panel, .name = "Panel1", .align = Align::Client},
            {.kind = ControlKind::GroupBox, .name = "GroupBox2", .parent = "Panel1", .left = 8, .top = 8, .width = 297, .height = 185, .caption = "Your Details", .tabOrder = 1},
            {.kind = ControlKind::Edit, .name = "edName", .parent = "GroupBox2", .left = 104, .top = 16, .width = 185, .height = 21, .tabOrder = 0},
            {.kind = ControlKind::Edit, .name = "edDays", .parent = "GroupBox2", .left = 104, .top = 80, .width = 57, .height = 21, .tabOrder = 2},
            {.kind = ControlKind::Edit, .name = "edHours", .parent = "GroupBox2", .left = 104, .top = 112, .width = 57, .height = 21, .tabOrder = 1},
            {.kind = ControlKind::GroupBox, .name = "GroupBox1", .parent = "Panel1", .left = 8, .top = 200, .width = 297, .height = 89, .caption = "Image Details", .tabOrder = 0},
            {.kind = ControlKind::Edit, .name = "edImageDir", .parent = "GroupBox1", .left = 80, .top = 56, .width = 185, .height = 21, .tabOrder = 0},
            {.kind = ControlKind::Button, .name = "btnOK", .parent = "Panel1", .left = 152, .top = 304, .width = 75, .height = 25, .caption = "OK", .tabOrder = 2, .modalResult = mrOk, .onClick = On(&DialogForm::btnOKClick)},
            {.kind = ControlKind::Button, .name = "btnCancel", .parent = "Panel1", .left = 232, .top = 304, .width = 75, .height = 25, .caption = "Cancel", .tabOrder = 3, .modalResult = mrCancel},
        });
    }
    void btnOKClick(Component* sender) { okSender = sender; }
    Component* okSender = nullptr;
};

TEST(Layout, ControlsSitWhereDesignedInsideTheirParentScaledToTheScreen) {
    struct Case {
        const char* name;
        int left, top, width, height;
    };
    const Case cases[] = {
        {"GroupBox2", 8, 8, 297, 185},
        {"edName", 104, 16, 185, 21},
        {"edHours", 104, 112, 57, 21},
        {"edImageDir", 80, 56, 185, 21},
        {"btnCancel", 232, 304, 75, 25},
    };
    DialogForm form;
    form.Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND h = FindControl<WinControl>(form, c.name).Handle();
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, ScaleDpi(c.left));
        EXPECT_EQ(r.top, ScaleDpi(c.top));
        EXPECT_EQ(r.right - r.left, ScaleDpi(c.width));
        EXPECT_EQ(r.bottom - r.top, ScaleDpi(c.height));
    }
}

TEST(Layout, TabVisitsControlsInTheTablesTabOrder) {
    DialogForm form;
    form.Show();
    // The "Image Details" group comes before "Your Details"; inside it, edHours before edDays.
    const std::vector<std::string> expected = {"edImageDir", "edName", "edHours", "edDays", "btnOK", "btnCancel"};
    std::vector<std::string> visited;
    HWND at = GetNextDlgTabItem(form.Handle(), nullptr, FALSE);
    for (size_t i = 0; i < expected.size() && at; ++i) {
        WinControl* c = WinControl::FromHandle(at);
        visited.push_back(c ? c->Name() : "?");
        at = GetNextDlgTabItem(form.Handle(), at, FALSE);
    }
    EXPECT_EQ(visited, expected);
}

TEST(Layout, HandlersAreBoundToTheForm) {
    DialogForm form;
    form.Show();
    auto& ok = FindControl<Button>(form, "btnOK");
    SendMessageA(ok.Handle(), BM_CLICK, 0, 0);  // nested two levels down: panel, form
    EXPECT_EQ(form.okSender, &ok);
    EXPECT_EQ(form.ModalResult(), mrOk);
}

TEST(Layout, MistakesInATableAreReported) {
    Form form(nullptr);
    EXPECT_THROW(BuildControls(form, {{.kind = ControlKind::Edit, .name = "e", .parent = "Nowhere"}}), quaff::Error);
    EXPECT_THROW(BuildControls(form, {{.kind = ControlKind::UpDown, .name = "u", .associate = "Nothing"}}), quaff::Error);
    BuildControls(form, {{.kind = ControlKind::Edit, .name = "edName"}});
    EXPECT_THROW(FindControl<Button>(form, "edName"), quaff::Error);
}

TEST(Fonts, DesignedFacesMapToInstalledFacesAndAreShared) {
    FontSpec designed;  // "MS Sans Serif" 8 pt
    FontSpec missing;
    missing.face = "No Such Face Anywhere";
    for (const FontSpec* shape : {&designed, &missing}) {
        SCOPED_TRACE(shape->face);
        const std::string face = ResolveFontFace(shape->face);
        EXPECT_FALSE(face.empty());
        LOGFONTA lf{};
        ASSERT_NE(GetObjectA(SharedFont(*shape), sizeof(lf), &lf), 0);
        EXPECT_EQ(std::string(lf.lfFaceName), face);
    }
    EXPECT_NE(ResolveFontFace(missing.face), missing.face);

    FontSpec big;
    big.size = 12;
    big.bold = true;
    big.italic = true;
    LOGFONTA lf{};
    GetObjectA(SharedFont(big), sizeof(lf), &lf);
    EXPECT_EQ(std::string(lf.lfFaceName), ResolveFontFace(big.face, true));
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_LT(lf.lfHeight, 0);  // a character height in points, not a cell height
    EXPECT_EQ(SharedFont(big), SharedFont(big));
    EXPECT_NE(SharedFont(big), SharedFont(designed));
}

RECT ScreenRect(WinControl& c) {
    RECT r;
    GetWindowRect(c.Handle(), &r);
    return r;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Every label's text (as wide as it is, placed by the label's alignment) inside the label and
// its parent's client area, and clear of the other controls beside it.
void ExpectLabelsReadable(Form& form) {
    for (Component* component : form.Components()) {
        auto* label = dynamic_cast<Label*>(component);
        if (!label || label->Caption().empty()) continue;
        SCOPED_TRACE(label->Name() + " \"" + label->Caption() + "\"");
        const RECT own = ScreenRect(*label);
        const int width = label->TextExtent().cx;
        const Label::Alignment align = label->GetAlignment();
        const LONG left = align == Label::Alignment::Left    ? own.left
                          : align == Label::Alignment::Right ? own.right - width
                                                             : (own.left + own.right - width) / 2;
        const RECT text{left, own.top, left + width, own.bottom};
        RECT parent;
        GetClientRect(label->Parent()->Handle(), &parent);
        MapWindowPoints(label->Parent()->Handle(), nullptr, reinterpret_cast<POINT*>(&parent), 2);
        EXPECT_TRUE(Inside(text, own)) << "cut by its own width";
        EXPECT_TRUE(Inside(text, parent)) << "cut by the edge of " << label->Parent()->Name();
        for (WinControl* other : label->Parent()->Controls()) {
            RECT overlap;
            const RECT rect = ScreenRect(*other);
            if (other != label && other->Visible() && IntersectRect(&overlap, &text, &rect))
                ADD_FAILURE() << "runs under " << other->Name();
        }
    }
}

// Lays out as at `dpi`, with or without the designed face, while it lives.
struct DpiAndFace {
    DpiAndFace(int dpi, bool designedFace) {
        OverrideDpi(dpi);
        TreatFaceAsMissing(designedFace ? "" : "MS Sans Serif");
    }
    ~DpiAndFace() { OverrideDpi(0), TreatFaceAsMissing(""); }
};

TEST(Layout, ProgramsFormsAreReadableAndOnTheScreenWithAnyFaceAtAnyDpi) {
    const std::function<std::unique_ptr<Form>()> forms[] = {
        [] { return std::unique_ptr<Form>(CreateForm<TfrmSettings>(nullptr)); },
        [] { return std::unique_ptr<Form>(CreateForm<quaff::monitor::TfrmMain>(nullptr)); },
        [] { return std::unique_ptr<Form>(CreateForm<TfrmAbout>(nullptr)); },
    };
    for (const bool designedFace : {true, false}) {
        for (const int dpi : {96, 120, 144, 192}) {
            const DpiAndFace as(dpi, designedFace);
            for (const auto& make : forms) {
                const std::unique_ptr<Form> form = make();
                SCOPED_TRACE(form->Name() + " at " + std::to_string(dpi) + " DPI, " +
                             (designedFace ? "designed face" : "face " + ResolveFontFace("MS Sans Serif")));
                form->Show();
                const RECT window = ScreenRect(*form);
                MONITORINFO monitor{};
                monitor.cbSize = sizeof(monitor);
                GetMonitorInfoA(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &monitor);
                EXPECT_TRUE(Inside(window, monitor.rcWork)) << "the window is partly off its monitor";
                ExpectLabelsReadable(*form);
                form->Hide();
            }
        }
    }
}

}  // namespace
