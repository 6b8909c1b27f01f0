// The settings dialog: edits the seven stored settings. OK saves every field; Cancel and the
// close box discard the edits.
#pragma once

#include "win/form.h"

namespace quaff::win {
class Button;
class ComboBox;
class Edit;
class GroupBox;
class Label;
class MaskEdit;
class Panel;
class SpeedButton;
class UpDown;
}  // namespace quaff::win

namespace quaff::settings {

// The report when OK could not store the settings; the dialog then stays open.
inline constexpr char kSettingsNotSaved[] = "Could not save the settings to the registry";

class TfrmSettings : public win::Form {
public:
    explicit TfrmSettings(win::Component* owner);

    // Designed controls.
    win::Panel* Panel1;
    win::GroupBox* GroupBox2;  // "Your Details"
    win::Label* Label1;
    win::Edit* edName;
    win::Label* Label2;
    win::MaskEdit* edSalary;
    win::Label* Label4;
    win::Edit* edDays;
    win::UpDown* UpDown1;
    win::Label* Label3;
    win::Edit* edHours;
    win::UpDown* UpDown2;
    win::Label* Label5;
    win::MaskEdit* edPrice;
    win::GroupBox* GroupBox1;  // "Image Details"
    win::Label* Label6;
    win::ComboBox* cbIconSet;
    win::Label* Label7;
    win::Edit* edImageDir;
    win::SpeedButton* SpeedButton1;
    win::Button* btnOK;
    win::Button* btnCalcen;

    // Fills the fields from the stored settings.
    void FormShow();
    // Stores the fields. When the store fails the dialog stays open with the edits and the
    // failure is reported (quaff::Error with kSettingsNotSaved).
    void btnOKClick(win::Component* sender);
    // Lets the user pick the picture folder; a cancelled browse leaves the field as it was.
    void SpeedButton1Click(win::Component* sender);

protected:
    void DoShow() override { FormShow(); }
};

}  // namespace quaff::settings
