// The monitor window: Start and Stop of a counting period, the start time and the whole
// drinks earned, and a picture drawn from the user's picture folder. It also carries the
// counting state the launcher's tick brings up to date and the six icon sets of the tray.
#pragma once

#include <cstdint>
#include <string>

#include "core/counting_period.h"
#include "core/datetime.h"
#include "core/picture_draw.h"
#include "win/button.h"
#include "win/form.h"
#include "win/image.h"
#include "win/image_list.h"
#include "win/label.h"
#include "win/menu.h"
#include "win/panel.h"

namespace quaff::monitor {

// The generator behind the picture draw, one for the whole process, starting from seed 0.
PictureDraw& ProcessPictureDraw();

// Reported when Start could not keep the period in the registry; it counts all the same.
inline constexpr char kPeriodNotSaved[] =
    "Could not save the counting period to the registry: it will not be resumed after a restart";
// Reported when Stop or Exit could not take it out again; the counting ends all the same.
inline constexpr char kPeriodNotCleared[] =
    "Could not remove the counting period from the registry: the next start will resume it";

class TfrmMain : public win::Form {
public:
    // Builds the controls and reads the six icon sets from the program's resources; a set
    // that cannot be read throws ReadError and no window results.
    explicit TfrmMain(win::Component* owner);

    // The designed controls.
    win::Panel* Panel1;
    win::Button* Button1;
    win::Button* Button2;
    win::Panel* Panel2;
    win::Label* Label2;
    win::Label* Label4;
    win::Label* Label1;
    win::Label* Label3;
    win::Panel* Panel3;
    win::Image* Image1;
    win::PopupMenu* PopupMenu1;
    win::MenuItem* FixInPlace1;
    // The icon sets, in the order of the icon-set numbers.
    win::ImageList* BitterLarge;
    win::ImageList* BitterSmall;
    win::ImageList* GuinessLarge;
    win::ImageList* GuinessSmall;
    win::ImageList* LagerLarge;
    win::ImageList* LagerSmall;

    void FormCreate();
    void FormShow();
    // Start: a new counting period from now.
    void Button1Click(win::Component* sender);
    // Stop: the counting ends; what it showed stays.
    void Button2Click(win::Component* sender);
    // Takes up the period the last run left counting (stored at Start, cleared at Stop), as
    // if the program had never stopped, also one that starts up to a day ahead of the clock
    // (a clock behind after a restart). One that cannot be read is ignored; one further ahead
    // is removed. Answers whether one was resumed.
    bool ResumePeriod();
    // Fixes the window on the desktop without a frame, or gives the frame back.
    void FixInPlace1Click(win::Component* sender);

    // This month's pay per second of working time, from freshly loaded settings. A setting
    // that is not a number throws its conversion error.
    double PayPerSecond();
    // The amount earned since Start, re-priced from scratch; on an error it keeps its value.
    void UpdateStuff();
    // Sets the drink count and Label3 from `amount` and answers the tray frame 0 to 15; on
    // an error both keep their values.
    int GetIconNumber(double amount);
    // Puts a picture from the picture folder into Image1 and the user's name in the caption.
    void PickPicture();

    bool Running() const { return running_; }
    // How many periods this window has begun (Start, or one resumed).
    unsigned PeriodsBegun() const { return periodsBegun_; }
    double AmountEarned() const { return amountEarned_; }
    double DrinkCount() const { return drinkCount_; }
    DateTime StartTime() const { return startTime_; }
    // The icon set an icon-set number selects; numbers outside 0 to 5 select BitterLarge.
    win::ImageList* IconSet(int32_t iconSet) const;

    // The generator the picture draw uses (the process's unless another is put in; the
    // caller keeps it alive).
    void SetPictureDraw(PictureDraw* draw) { draw_ = draw ? draw : &ProcessPictureDraw(); }

protected:
    void DoCreate() override { FormCreate(); }
    void DoShow() override { FormShow(); }
    // A larger picture area gets a sharper copy of the picture.
    void DoResize() override { SharpenPicture(); }
    // Hidden, the window keeps no more than a copy for the size it was last shown at.
    void DoHide() override { KeepPictureForArea(); }

private:
    void BuildLayout();
    // Counts from `period` with the buttons as while counting.
    void BeginPeriod(const CountingPeriod& period, std::string shownStart);
    void ReadIconSets();

    // The picture area's size in pixels.
    SIZE PictureArea();
    // Decodes the file for the picture area and shows it; answers false for an empty file
    // (the picture shown stays). Throws the decoder's errors.
    bool ShowPictureFile(const std::wstring& path);
    // When the area has outgrown the copy shown, decodes the file again for it; a file that
    // is gone or no longer decodes leaves the copy, without a report.
    void SharpenPicture();
    void KeepPictureForArea();

    // The counting state.
    DateTime startTime_ = 0;     // local, as shown
    int64_t startUtcTicks_ = 0;  // what the period is measured from
    bool running_ = false;
    unsigned periodsBegun_ = 0;
    double amountEarned_ = 0;
    double drinkCount_ = 0;

    PictureDraw* draw_ = &ProcessPictureDraw();

    // The file the picture shown was decoded from, and whether that copy is already as large
    // as the file gives (no decode can make a larger area sharper).
    std::wstring picturePath_;
    bool pictureAtFileSize_ = true;
};

}  // namespace quaff::monitor
