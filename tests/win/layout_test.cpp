// Forms built from layout tables under Wine: design units placed relative to the enclosing
// control and scaled to the screen, the tab order of the table, handlers bound to the form,
// fonts that exist, and mistakes in a table reported.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/errors.h"
#include "win/button.h"
#include "win/edit.h"
#include "win/font_cache.h"
#include "win/form.h"
#include "win/layout.h"

using namespace quaff::win;

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

}  // namespace
