// Forms built from layout tables under Wine: members filled, design units placed relative to
// the enclosing control and scaled to the screen, handlers bound to the form, fonts that
// exist, mistakes in a table reported, and the program's forms whole on the
// screen with every label readable, whatever the face and the DPI.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "about/about_form.h"
#include "core/errors.h"
#include "monitor/monitor_form.h"
#include "settings/settings_form.h"
#include "win/button.h"
#include "win/combo_box.h"
#include "win/edit.h"
#include "win/font_cache.h"
#include "win/form.h"
#include "win/icon_style.h"
#include "win/label.h"
#include "win/panel.h"
#include "win/speed_button.h"
#include "win/text.h"
#include "win/layout.h"
#include "win_test_support.h"

using namespace quaff::win;
using quaff::about::TfrmAbout;
using quaff::settings::TfrmSettings;

namespace {

// A dialog built the way the program's forms are: every entry fills its member, the button
// two levels down.
class NestedForm : public Form {
public:
    NestedForm() : Form(nullptr) {
        // clang-format off
        BuildControls(*this, {
            {.into = Into<&NestedForm::Outer>, .name = "Outer", .align = Align::Client},
            {.into = Into<&NestedForm::Inner>, .name = "Inner", .parent = "Outer", .left = 8,
             .top = 8, .width = 200, .height = 120, .caption = "Group"},
            {.into = Into<&NestedForm::Field>, .name = "Field", .parent = "Inner", .left = 104,
             .top = 16, .width = 58, .height = 22},
            {.into = Into<&NestedForm::Ok>, .name = "Ok", .parent = "Inner", .left = 16, .top = 80,
             .width = 75, .height = 25, .caption = "OK", .modalResult = mrOk,
             .onClick = On(&NestedForm::OkClick)},
        });
        // clang-format on
    }
    Panel* Outer = nullptr;
    GroupBox* Inner = nullptr;
    Edit* Field = nullptr;
    Button* Ok = nullptr;
    void OkClick(Component* sender) { okSender = sender; }
    Component* okSender = nullptr;
};

// Where a control is in its parent's client area, in pixels.
RECT PlacedIn(WinControl& c) {
    RECT r;
    GetWindowRect(c.Handle(), &r);
    MapWindowPoints(nullptr, GetParent(c.Handle()), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(Layout, EntriesFillTheirMembersSitInsideTheirParentsAndAreScaledToTheScreen) {
    for (const int dpi : {96, 144}) {
        SCOPED_TRACE(dpi);
        const quaff::test::FixedDpi fixed(dpi);
        NestedForm form;
        form.Show();
        ASSERT_NE(form.Field, nullptr);
        EXPECT_EQ(form.Field->Name(), "Field");
        EXPECT_EQ(form.Field->Parent(), form.Inner);
        EXPECT_EQ(form.Inner->Parent(), form.Outer);
        const RECT r = PlacedIn(*form.Field);
        EXPECT_EQ(r.left, dpi * 104 / 96);
        EXPECT_EQ(r.top, dpi * 16 / 96);
        EXPECT_EQ(r.right - r.left, dpi * 58 / 96);
        EXPECT_EQ(r.bottom - r.top, dpi * 22 / 96);
        form.Hide();
    }
}

TEST(Layout, HandlersAreBoundToTheForm) {
    NestedForm form;
    form.Show();
    SendMessageA(form.Ok->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.okSender, form.Ok);
    EXPECT_EQ(form.ModalResult(), mrOk);
}

TEST(Layout, MistakesInATableAreReported) {
    Form form(nullptr);
    EXPECT_THROW(
        BuildControls(form, {{.kind = ControlKind::Edit, .name = "e", .parent = "Nowhere"}}),
        quaff::Error);
    EXPECT_THROW(
        BuildControls(form, {{.kind = ControlKind::UpDown, .name = "u", .associate = "Nothing"}}),
        quaff::Error);
    EXPECT_THROW(BuildControls(form, {{.name = "neither a member nor a kind"}}), quaff::Error);
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
        LOGFONTW lf{};
        ASSERT_NE(GetObjectW(SharedFont(*shape), sizeof(lf), &lf), 0);
        EXPECT_EQ(NarrowText(lf.lfFaceName), face);
    }
    EXPECT_NE(ResolveFontFace(missing.face), missing.face);

    FontSpec big;
    big.size = 12;
    big.bold = true;
    big.italic = true;
    LOGFONTW lf{};
    GetObjectW(SharedFont(big), sizeof(lf), &lf);
    EXPECT_EQ(NarrowText(lf.lfFaceName), ResolveFontFace(big.face, true));
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

// The window whole inside the work area of its monitor, and every label readable.
void ExpectWholeAndReadable(Form& form) {
    const RECT window = ScreenRect(form);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoA(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &monitor);
    EXPECT_TRUE(Inside(window, monitor.rcWork)) << "the window is partly off its monitor";
    ExpectLabelsReadable(form);
}

// Lays out as at `dpi`, with or without the designed face, while it lives.
struct DpiAndFace {
    DpiAndFace(int dpi, bool designedFace) : fixed(dpi) {
        TreatFaceAsMissing(designedFace ? "" : "MS Sans Serif");
    }
    ~DpiAndFace() { TreatFaceAsMissing(""); }
    quaff::test::FixedDpi fixed;
};

const std::function<std::unique_ptr<Form>()> kProgramsForms[] = {
    [] { return std::unique_ptr<Form>(CreateForm<TfrmSettings>(nullptr)); },
    [] { return std::unique_ptr<Form>(CreateForm<quaff::monitor::TfrmMain>(nullptr)); },
    [] { return std::unique_ptr<Form>(CreateForm<TfrmAbout>(nullptr)); },
};

TEST(Layout, ProgramsFormsAreReadableAndOnTheScreenWithAnyFaceAtAnyDpi) {
    for (const bool designedFace : {true, false}) {
        for (const int dpi : {96, 120, 144, 192}) {
            const DpiAndFace as(dpi, designedFace);
            for (const auto& make : kProgramsForms) {
                const std::unique_ptr<Form> form = make();
                SCOPED_TRACE(
                    form->Name() + " at " + std::to_string(dpi) + " DPI, " +
                    (designedFace ? "designed face" : "face " + ResolveFontFace("MS Sans Serif")));
                form->Show();
                ExpectWholeAndReadable(*form);
                form->Hide();
            }
        }
    }
}

// Windows tells a window that its monitor's scale changed, or that it was moved to a monitor of
// another scale (WM_DPICHANGED, with the window scaled as the rectangle to take): it is laid out
// again at the new DPI, as it would have been made there.
TEST(Layout, ProgramsFormsAreLaidOutAgainAtEachNewDpi) {
    for (const auto& make : kProgramsForms) {
        const std::unique_ptr<Form> form = make();
        form->Show();
        // What keeps its designed size: every placed control but the labels, which fit their
        // text, and the combo box, whose field is as high as its font.
        std::vector<std::pair<WinControl*, SIZE>> designed;
        for (Component* component : form->Components())
            if (auto* c = dynamic_cast<WinControl*>(component); c && !dynamic_cast<Label*>(c) &&
                                                                !dynamic_cast<ComboBox*>(c) &&
                                                                c->GetAlign() == Align::None)
                designed.push_back({c, SIZE{c->Width(), c->Height()}});
        int dpi = form->Dpi();
        for (const int next : {144, 192, 120, 96}) {
            SCOPED_TRACE(form->Name() + " from " + std::to_string(dpi) + " to " +
                         std::to_string(next) + " DPI");
            // Where Windows puts it: moved along with the pointer that drags it over.
            const RECT r = ScreenRect(*form);
            RECT suggested{r.left - 16, r.top - 12,
                           r.left - 16 + MulDiv(r.right - r.left, next, dpi),
                           r.top - 12 + MulDiv(r.bottom - r.top, next, dpi)};
            SendMessageA(form->Handle(), WM_DPICHANGED, MAKEWPARAM(next, next),
                         reinterpret_cast<LPARAM>(&suggested));
            dpi = next;
            // There, unless that would leave part of it off the screen's work area.
            MONITORINFO screen{sizeof screen};
            GetMonitorInfoA(MonitorFromWindow(form->Handle(), MONITOR_DEFAULTTONEAREST), &screen);
            const RECT now = ScreenRect(*form);
            EXPECT_EQ(now.left,
                      std::min(suggested.left, screen.rcWork.right - (now.right - now.left)));
            EXPECT_EQ(now.top,
                      std::min(suggested.top, screen.rcWork.bottom - (now.bottom - now.top)));
            ExpectWholeAndReadable(*form);
            for (const auto& [c, size] : designed) {
                const RECT b = ScreenRect(*c);
                EXPECT_NEAR(b.bottom - b.top, ScaleDpi(size.cy, dpi), 1) << c->Name();
                // Wider only where a label's text needed the room.
                EXPECT_GE(b.right - b.left, ScaleDpi(size.cx, dpi) - 1) << c->Name();
            }
            for (Component* component : form->Components()) {
                auto* c = dynamic_cast<WinControl*>(component);
                LOGFONTW lf{};
                const auto font =
                    c ? reinterpret_cast<HFONT>(SendMessageA(c->Handle(), WM_GETFONT, 0, 0))
                      : nullptr;
                if (font && GetObjectW(font, sizeof lf, &lf))
                    EXPECT_EQ(lf.lfHeight, -MulDiv(c->Font().size, dpi, 72)) << c->Name();
            }
            if (auto* browse = dynamic_cast<SpeedButton*>(form->FindComponent("SpeedButton1"))) {
                BITMAP glyph{};
                ASSERT_TRUE(GetObjectA(browse->Glyph(), sizeof glyph, &glyph));
                EXPECT_EQ(glyph.bmHeight, SmallIconSize(dpi)) << "the folder glyph";
            }
        }
        form->Hide();
    }
}

}  // namespace
