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

namespace quaff {

// The report when OK could not store the settings; the dialog then stays open.
inline constexpr char kSettingsNotSaved[] = "Could not save the settings to the registry";

}  // namespace quaff

class TfrmSettings : public quaff::win::Form {
public:
    explicit TfrmSettings(quaff::win::Component* owner);

    // Designed controls.
    quaff::win::Panel* Panel1;
    quaff::win::GroupBox* GroupBox2;  // "Your Details"
    quaff::win::Label* Label1;
    quaff::win::Edit* edName;
    quaff::win::Label* Label2;
    quaff::win::MaskEdit* edSalary;
    quaff::win::Label* Label4;
    quaff::win::Edit* edDays;
    quaff::win::UpDown* UpDown1;
    quaff::win::Label* Label3;
    quaff::win::Edit* edHours;
    quaff::win::UpDown* UpDown2;
    quaff::win::Label* Label5;
    quaff::win::MaskEdit* edPrice;
    quaff::win::GroupBox* GroupBox1;  // "Image Details"
    quaff::win::Label* Label6;
    quaff::win::ComboBox* cbIconSet;
    quaff::win::Label* Label7;
    quaff::win::Edit* edImageDir;
    quaff::win::SpeedButton* SpeedButton1;
    quaff::win::Button* btnOK;
    quaff::win::Button* btnCalcen;

    // Fills the fields from the stored settings.
    void FormShow();
    // Stores the fields. When the store fails the dialog stays open with the edits and the
    // failure is reported (quaff::Error with kSettingsNotSaved).
    void btnOKClick(quaff::win::Component* sender);
    // Lets the user pick the picture folder; a cancelled browse leaves the field as it was.
    void SpeedButton1Click(quaff::win::Component* sender);

protected:
    void DoShow() override { FormShow(); }
};
