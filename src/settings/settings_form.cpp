#include "settings/settings_form.h"

#include "core/errors.h"
#include "core/folder_text.h"
#include "core/icon_sets.h"
#include "resources/resource_names.h"
#include "settings/settings.h"
#include "win/application.h"
#include "win/button.h"
#include "win/combo_box.h"
#include "win/edit.h"
#include "win/label.h"
#include "win/layout.h"
#include "win/mask_edit.h"
#include "win/panel.h"
#include "win/shell.h"
#include "win/speed_button.h"
#include "win/up_down.h"

namespace quaff::settings {

using namespace win;

TfrmSettings::TfrmSettings(Component* owner) : Form(owner) {
    // As designed: a fixed tool window, client area 313 by 342 at 357, 150.
    SetName("frmSettings");
    SetCaption("Settings");
    SetBorderStyle(BorderStyle::ToolWindow);
    SetBounds(357, 150, 313, 342);
    SetClientSize(313, 342);

    // The tab order visits the "Image Details" group before "Your Details", and the folder
    // browser's button after the folder's field. Labels size themselves to their text and
    // name their fields to screen readers.
    // clang-format off
    BuildControls(*this, {
        {.into = Into<&TfrmSettings::Panel1>,
         .name = "Panel1", .align = Align::Client},
        {.into = Into<&TfrmSettings::GroupBox2>,
         .name = "GroupBox2", .parent = "Panel1", .left = 8, .top = 8,
         .width = 297, .height = 185, .caption = "Your Details", .tabOrder = 1},
        {.into = Into<&TfrmSettings::Label1>,
         .name = "Label1", .parent = "GroupBox2", .left = 70, .top = 24,
         .caption = "Name:", .focusControl = "edName"},
        {.into = Into<&TfrmSettings::edName>,
         .name = "edName", .parent = "GroupBox2", .left = 104, .top = 16,
         .width = 185, .height = 21, .tabOrder = 0},
        {.into = Into<&TfrmSettings::Label2>,
         .name = "Label2", .parent = "GroupBox2", .left = 32, .top = 56,
         .caption = "Annual Salary:", .focusControl = "edSalary"},
        {.into = Into<&TfrmSettings::edSalary>,
         .name = "edSalary", .parent = "GroupBox2", .left = 104,
         .top = 48, .width = 118, .height = 21, .caption = "      .  ", .tabOrder = 3,
         .mask = "000000.00;1;_", .maxLength = 9},
        {.into = Into<&TfrmSettings::Label4>,
         .name = "Label4", .parent = "GroupBox2", .left = 32, .top = 88,
         .caption = "Days A Week:", .focusControl = "edDays"},
        {.into = Into<&TfrmSettings::edDays>,
         .name = "edDays", .parent = "GroupBox2", .left = 104, .top = 80,
         .width = 57, .height = 21, .caption = "1", .tabOrder = 1},
        {.into = Into<&TfrmSettings::UpDown1>,
         .name = "UpDown1", .parent = "GroupBox2", .left = 161, .top = 80,
         .width = 15, .height = 21, .tabOrder = 4, .associate = "edDays", .min = 1, .max = 7,
         .position = 1},
        {.into = Into<&TfrmSettings::Label3>,
         .name = "Label3", .parent = "GroupBox2", .left = 8, .top = 116,
         .caption = "Normal Day (Hours):", .focusControl = "edHours"},
        {.into = Into<&TfrmSettings::edHours>,
         .name = "edHours", .parent = "GroupBox2", .left = 104, .top = 112,
         .width = 57, .height = 21, .caption = "1", .tabOrder = 2},
        {.into = Into<&TfrmSettings::UpDown2>,
         .name = "UpDown2", .parent = "GroupBox2", .left = 161,
         .top = 112, .width = 15, .height = 21, .tabOrder = 5, .associate = "edHours",
         .min = 1, .max = 24, .position = 1},
        {.into = Into<&TfrmSettings::Label5>,
         .name = "Label5", .parent = "GroupBox2", .left = 32, .top = 152,
         .caption = "Price Of Drink:", .focusControl = "edPrice"},
        {.into = Into<&TfrmSettings::edPrice>,
         .name = "edPrice", .parent = "GroupBox2", .left = 104,
         .top = 144, .width = 72, .height = 21, .caption = "  .  ", .tabOrder = 6,
         .mask = "00.00;1;_", .maxLength = 5},
        {.into = Into<&TfrmSettings::GroupBox1>,
         .name = "GroupBox1", .parent = "Panel1", .left = 8, .top = 200,
         .width = 297, .height = 89, .caption = "Image Details", .tabOrder = 0},
        {.into = Into<&TfrmSettings::Label6>,
         .name = "Label6", .parent = "GroupBox1", .left = 24, .top = 28,
         .caption = "Icon Set:", .focusControl = "cbIconSet"},
        // The items' indexes are the icon-set numbers.
        {.into = Into<&TfrmSettings::cbIconSet>,
         .name = "cbIconSet", .parent = "GroupBox1", .left = 80,
         .top = 20, .width = 209, .height = 21, .tabOrder = 0,
         .items = IconSetItems().c_str(),
         .itemIndex = 0},
        {.into = Into<&TfrmSettings::Label7>,
         .name = "Label7", .parent = "GroupBox1", .left = 16, .top = 60,
         .caption = "Image Dir:", .focusControl = "edImageDir"},
        {.into = Into<&TfrmSettings::edImageDir>,
         .name = "edImageDir", .parent = "GroupBox1", .left = 80, .top = 56,
         .width = 185, .height = 21, .tabOrder = 1},
        {.into = Into<&TfrmSettings::SpeedButton1>,
         .name = "SpeedButton1", .parent = "GroupBox1", .left = 264,
         .top = 56, .width = 23, .height = 22, .caption = "Browse...", .tabOrder = 2,
         .onClick = On(&TfrmSettings::SpeedButton1Click)},
        {.into = Into<&TfrmSettings::btnOK>,
         .name = "btnOK", .parent = "Panel1", .left = 152, .top = 304,
         .width = 75, .height = 25, .caption = "OK", .tabOrder = 2, .modalResult = mrOk,
         .isDefault = true, .onClick = On(&TfrmSettings::btnOKClick)},
        {.into = Into<&TfrmSettings::btnCalcen>,
         .name = "btnCalcen", .parent = "Panel1", .left = 232, .top = 304,
         .width = 75, .height = 25, .caption = "Cancel", .tabOrder = 3,
         .modalResult = mrCancel, .isCancel = true},
    });
    // clang-format on

    // The folder glyph: enabled image left, disabled image right.
    SpeedButton1->LoadGlyph(Application::Instance().Module(), QUAFF_RES_FOLDER_GLYPH);
    SpeedButton1->SetNumGlyphs(2);
}

void TfrmSettings::FormShow() {
    TBeer beer;
    LoadSettings(beer);
    for (const StoredSetting& s : kStoredSettings) {
        if (s.text)
            FindControl<Edit>(*this, s.field).SetText(beer.*s.text);
        else  // a number that is no item shows no selection
            FindControl<ComboBox>(*this, s.field).SetItemIndex(beer.*s.number);
    }
}

void TfrmSettings::btnOKClick(Component*) {
    TBeer beer;
    for (const StoredSetting& s : kStoredSettings) {
        if (s.text)
            beer.*s.text = FindControl<Edit>(*this, s.field).Text();
        else  // -1 when the typed text is no item
            beer.*s.number = FindControl<ComboBox>(*this, s.field).ItemIndex();
    }
    if (SaveSettings(beer)) return;
    // Closing now would throw the user's edits away: stay open so OK can be tried again.
    SetModalResult(mrNone);
    throw Error(kSettingsNotSaved);
}

void TfrmSettings::SpeedButton1Click(Component*) {
    // Owned by the dialog: OK or Cancel cannot close it while the browse goes on.
    const std::string folder = BrowseForFolder(Handle(), "");
    // The field keeps the folder ending in one "\" (the browser's path for a drive root ends
    // in one already).
    if (!folder.empty()) edImageDir->SetText(WithTrailingSeparator(folder));
}

}  // namespace quaff::settings
