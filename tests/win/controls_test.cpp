// The standard and drawn controls as real windows under Wine: combo box selection from
// typed text, spinners at their limits, label clicks and sizes, edits' change tracking, the
// speed button's two-image glyph and the stretched picture.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "win/combo_box.h"
#include "win/edit.h"
#include "win/form.h"
#include "win/handles.h"
#include "win/image.h"
#include "win/label.h"
#include "win/layout.h"
#include "win/speed_button.h"
#include "win/up_down.h"
#include "win_test_support.h"

using namespace quaff::win;
using quaff::test::PumpPending;

namespace {

const char kIconSets[] =
    "Bitter Full\nBitter Half\nGuiness Full\nGuiness Half\nLager Full\nLager Half";

class ControlsForm : public Form {
public:
    ControlsForm() : Form(nullptr) {
        // clang-format off
        BuildControls(*this, {
            {.kind = ControlKind::ComboBox, .name = "cbIconSet", .left = 8, .top = 8, .width = 209,
             .height = 21, .items = kIconSets, .itemIndex = 0,
             .onChange = On(&ControlsForm::Changed)},
            {.kind = ControlKind::Edit, .name = "edDays", .left = 8, .top = 40, .width = 57,
             .height = 21, .caption = "1", .onChange = On(&ControlsForm::Changed)},
            {.kind = ControlKind::UpDown, .name = "UpDown1", .left = 65, .top = 40, .width = 15,
             .height = 21, .associate = "edDays", .min = 1, .max = 7, .position = 1},
            {.kind = ControlKind::Label, .name = "Label1", .left = 8, .top = 70,
             .caption = "Donate",
             .onClick = On(&ControlsForm::Clicked)},
            {.kind = ControlKind::SpeedButton, .name = "SpeedButton1", .left = 100, .top = 40,
             .width = 23, .height = 22, .onClick = On(&ControlsForm::Clicked)},
            {.kind = ControlKind::Image, .name = "Image1", .left = 150, .top = 40, .width = 40,
             .height = 20},
        });
        // clang-format on
        Show();
    }
    void Changed(Component*) { ++changes; }
    void Clicked(Component* sender) {
        ++clicks;
        clicked = sender;
    }
    template <class T>
    T& Get(const char* name) {
        return FindControl<T>(*this, name);
    }

    int changes = 0;
    int clicks = 0;
    Component* clicked = nullptr;
};

void TypeInto(HWND h, const std::string& text) {
    for (char c : text) SendMessageA(h, WM_CHAR, static_cast<unsigned char>(c), 1);
}

TEST(ComboBox, ItemIndexFollowsWhatTheFieldShows) {
    struct Case {
        const char* name;
        void (*act)(ComboBox&, HWND edit);
        int index;
        const char* text;
    };
    const Case cases[] = {
        {"as designed", [](ComboBox&, HWND) {}, 0, "Bitter Full"},
        {"typed text of no item",
         [](ComboBox& c, HWND e) {
             c.SetItemIndex(-1);
             TypeInto(e, "Stout");
         },
         -1, "Stout"},
        {"typed text of an item",
         [](ComboBox& c, HWND e) {
             c.SetItemIndex(-1);
             TypeInto(e, "Lager Half");
         },
         5, "Lager Half"},
        {"selected item then edited",
         [](ComboBox& c, HWND e) {
             c.SetItemIndex(2);
             SendMessageA(e, EM_SETSEL, 12, 12);
             TypeInto(e, "x");
         },
         -1, "Guiness Fullx"},
        {"selected by the program", [](ComboBox& c, HWND) { c.SetItemIndex(3); }, 3,
         "Guiness Half"},
        {"cleared by the program", [](ComboBox& c, HWND) { c.SetItemIndex(-1); }, -1, ""},
        {"index out of range", [](ComboBox& c, HWND) { c.SetItemIndex(6); }, -1, ""},
        {"next item by the arrow key",
         [](ComboBox& c, HWND e) {
             c.SetItemIndex(1);
             SendMessageA(e, WM_KEYDOWN, VK_DOWN, 1);
         },
         2, "Guiness Full"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlsForm form;
        auto& combo = form.Get<ComboBox>("cbIconSet");
        HWND edit = FindWindowExA(combo.Handle(), nullptr, "Edit", nullptr);
        ASSERT_NE(edit, nullptr);
        c.act(combo, edit);
        EXPECT_EQ(combo.ItemIndex(), c.index);
        EXPECT_EQ(combo.Text(), c.text);
    }
}

TEST(UpDown, ArrowKeysStopAtTheLimits) {
    struct Case {
        int min, max;
        const char* start;
        WPARAM key;
        int presses;
        const char* text;
    };
    const Case cases[] = {
        {1, 7, "1", VK_UP, 10, "7"},
        {1, 7, "1", VK_DOWN, 2, "1"},   // no wrap to the maximum
        {1, 24, "23", VK_UP, 3, "24"},  // starts from the text the edit holds
        {1, 24, "5", VK_DOWN, 1, "4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + (c.key == VK_UP ? " up" : " down"));
        ControlsForm form;
        auto& spin = form.Get<UpDown>("UpDown1");
        auto& edit = form.Get<Edit>("edDays");
        spin.SetRange(c.min, c.max);
        edit.SetText(c.start);
        for (int i = 0; i < c.presses; ++i) SendMessageA(edit.Handle(), WM_KEYDOWN, c.key, 1);
        EXPECT_EQ(edit.Text(), c.text);
        EXPECT_EQ(spin.Position(), std::stoi(c.text));
    }
}

TEST(UpDown, EditKeepsItsTextUntilTheUserSpins) {
    // The settings dialog shows a stored "5" in a field whose spinner was designed at 1.
    ControlsForm form;
    auto& edit = form.Get<Edit>("edDays");
    edit.SetText("5");
    EXPECT_EQ(edit.Text(), "5");
    EXPECT_FALSE(edit.Modified());
}

TEST(Edit, ProgramTextIsNoModificationButTypingIs) {
    ControlsForm form;
    auto& edit = form.Get<Edit>("edDays");
    form.changes = 0;
    edit.SetText("12");
    EXPECT_EQ(form.changes, 1);
    EXPECT_FALSE(edit.Modified());
    TypeInto(edit.Handle(), "3");
    EXPECT_TRUE(edit.Modified());
    EXPECT_EQ(edit.Text(), "312");  // the caret was at the start
    EXPECT_EQ(edit.Caption(), "312");
    edit.SetMaxLength(3);
    TypeInto(edit.Handle(), "9");
    EXPECT_EQ(edit.Text(), "312");
}

TEST(Label, ClickNeedsPressAndReleaseOnTheLabel) {
    struct Case {
        const char* name;
        LPARAM releaseAt;
        int clicks;
    };
    const Case cases[] = {
        {"released on the label", MAKELPARAM(2, 2), 1},
        {"released outside", MAKELPARAM(500, 2), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlsForm form;
        auto& label = form.Get<Label>("Label1");
        PostMessageA(label.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageA(label.Handle(), WM_LBUTTONUP, 0, c.releaseAt);
        PumpPending();
        EXPECT_EQ(form.clicks, c.clicks);
        if (c.clicks) {
            EXPECT_EQ(form.clicked, &label);
        }
    }
}

TEST(Label, AutoSizeFollowsTextAndFont) {
    ControlsForm form;
    auto& label = form.Get<Label>("Label1");
    const int shortWidth = label.Width();
    const int lineHeight = label.Height();
    EXPECT_GT(shortWidth, 0);
    label.SetCaption("Donate Via No Chex");
    EXPECT_GT(label.Width(), shortWidth);
    FontSpec big;
    big.size = 12;
    big.bold = true;
    big.italic = true;
    label.SetFont(big);
    EXPECT_GT(label.Height(), lineHeight);
    RECT r;
    GetClientRect(label.Handle(), &r);
    EXPECT_EQ(r.right, ScaleDpi(label.Width()));
}

TEST(Label, DesignedWidthIsKeptAndTheHeightIsOneLine) {
    ControlsForm form;
    // clang-format off
    BuildControls(form, {{.kind = ControlKind::Label, .name = "Centred", .left = 8, .top = 16,
                          .width = 289, .caption = "Donate Via No Chex",
                          .alignment = Label::Alignment::Center}});
    // clang-format on
    auto& label = form.Get<Label>("Centred");
    EXPECT_EQ(label.Width(), 289);
    EXPECT_EQ(label.Height(), form.Get<Label>("Label1").Height());
}

uint32_t Rgb(COLORREF c) {
    return (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

// Reads one pixel of a 32-bit DIB section as 0x00RRGGBB.
struct Canvas {
    Canvas(int w, int h) : width(w) {
        BITMAPINFO bmi{};
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        owned.reset(CreateCompatibleDC(nullptr));
        bitmap.reset(CreateDIBSection(owned.get(), &bmi, DIB_RGB_COLORS,
                                      reinterpret_cast<void**>(&bits), nullptr, 0));
        dc = owned.get();
        drawn.emplace(dc, bitmap.get());
    }
    void Fill(COLORREF c) {
        const UniqueBrush b(CreateSolidBrush(c));
        RECT r{0, 0, 1000, 1000};
        FillRect(dc, &r, b.get());
    }
    uint32_t At(int x, int y) {
        GdiFlush();
        return bits[y * width + x] & 0xFFFFFF;
    }
    int width;
    UniqueDC owned;
    UniqueBitmap bitmap;
    HDC dc;
    std::optional<SelectedObject> drawn;  // the bitmap, until the DC goes
    uint32_t* bits = nullptr;
};

TEST(SpeedButton, DrawsTheGlyphForItsStateWithTheKeyColourTransparent) {
    // An 8 by 4 glyph: red on the left (enabled), blue on the right (disabled); magenta, the
    // colour of the bottom-left pixel, marks transparent pixels in both.
    const COLORREF magenta = RGB(255, 0, 255);
    HBITMAP glyph = CreateCompatibleBitmap(ScreenDC().get(), 8, 4);
    {
        const UniqueDC g(CreateCompatibleDC(nullptr));
        const SelectedObject drawn(g.get(), glyph);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                SetPixel(g.get(), x, y, x < 4 ? RGB(255, 0, 0) : RGB(0, 0, 255));
        SetPixel(g.get(), 0, 3, magenta);
        SetPixel(g.get(), 5, 1, magenta);
    }
    struct Case {
        UINT state;
        uint32_t opaque;  // 0x00RRGGBB
        int keyX, keyY;   // a transparent pixel of that image
    };
    const Case cases[] = {
        {0, 0xFF0000, 0, 3},
        {ODS_DISABLED, 0x0000FF, 1, 1},
    };
    ControlsForm form;
    auto& button = form.Get<SpeedButton>("SpeedButton1");
    button.SetGlyph(UniqueBitmap(glyph));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        Canvas canvas(4, 4);
        canvas.Fill(RGB(0, 255, 0));
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = c.state;
        item.hwndItem = button.Handle();
        item.hDC = canvas.dc;
        item.rcItem = RECT{0, 0, 4, 4};
        SendMessageA(GetParent(button.Handle()), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(canvas.At(2, 2), c.opaque);
        // The button's face shows through.
        EXPECT_EQ(canvas.At(c.keyX, c.keyY), Rgb(GetSysColor(COLOR_BTNFACE)));
    }
    // A click runs the handler with the button as sender.
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.clicks, 1);
    EXPECT_EQ(form.clicked, &button);
}

TEST(Image, StretchesThePictureOverTheWholeArea) {
    struct Case {
        int w, h;
    };
    for (Case c : {Case{40, 20}, Case{7, 30}, Case{100, 3}}) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        ControlsForm form;
        auto& image = form.Get<Image>("Image1");
        SetWindowPos(image.Handle(), nullptr, 0, 0, c.w, c.h, SWP_NOMOVE | SWP_NOZORDER);
        quaff::Picture picture;
        picture.width = 2;
        picture.height = 1;
        picture.pixels = {0xFF0000, 0x0000FF};  // red, blue
        image.SetPicture(std::move(picture));
        Canvas canvas(c.w, c.h);
        canvas.Fill(RGB(0, 255, 0));
        SendMessageA(image.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc),
                     PRF_CLIENT);
        // Aspect not kept: the left half is red and the right half blue, edge to edge.
        EXPECT_EQ(canvas.At(0, 0), 0xFF0000u);
        EXPECT_EQ(canvas.At(0, c.h - 1), 0xFF0000u);
        EXPECT_EQ(canvas.At(c.w - 1, 0), 0x0000FFu);
        EXPECT_EQ(canvas.At(c.w - 1, c.h - 1), 0x0000FFu);
    }
}

TEST(Image, PictureWithTooFewPixelsIsNotDrawn) {
    ControlsForm form;
    auto& image = form.Get<Image>("Image1");
    quaff::Picture picture;
    picture.width = 100;
    picture.height = 100;
    picture.pixels = {0xFF0000};
    image.SetPicture(std::move(picture));
    Canvas canvas(40, 20);
    canvas.Fill(RGB(0, 255, 0));
    SendMessageA(image.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT);
    EXPECT_EQ(canvas.At(20, 10), Rgb(GetSysColor(COLOR_BTNFACE)));
}

}  // namespace
