#include "monitor/monitor_form.h"

#include <cstdio>
#include <exception>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "core/artwork.h"
#include "core/errors.h"
#include "core/earnings.h"
#include "core/icon_sets.h"
#include "core/jpeg_picture.h"
#include "core/picture_scale.h"
#include "monitor/picture_folder.h"
#include "settings/settings.h"
#include "win/clock.h"
#include "win/handles.h"
#include "win/layout.h"
#include "win/locale.h"
#include "win/text.h"

namespace quaff::monitor {

namespace {

using win::Align;
using win::Into;

// The start time and the count are meant to be read from across the room.
const win::FontSpec kCountFont{.face = "MS Sans Serif", .size = 12, .bold = true, .italic = true};

}  // namespace

PictureDraw& ProcessPictureDraw() {
    static PictureDraw draw;
    return draw;
}

TfrmMain::TfrmMain(win::Component* owner) : win::Form(owner) {
    SetName("frmMain");
    SetCaption("Quaffometer");
    SetBorderStyle(BorderStyle::SizeToolWin);
    SetBounds(362, 164, 406, 357);  // the form's font is the toolkit's default, MS Sans Serif 8
    BuildLayout();
    ReadIconSets();
}

void TfrmMain::BuildLayout() {
    // Docking order follows the designed places: Panel1 lies below Panel2, Label4 right of
    // Label2, and Label3 right of Label1.
    // clang-format off
    win::BuildControls(*this, {
        {.into = Into<&TfrmMain::Panel1>,
         .name = "Panel1", .left = 0, .top = 286, .width = 398,
         .height = 44, .align = Align::Bottom},
        {.into = Into<&TfrmMain::Button1>,
         .name = "Button1", .parent = "Panel1", .left = 8, .top = 11,
         .width = 75, .height = 25, .caption = "Start", .tabOrder = 0,
         .onClick = win::On(&TfrmMain::Button1Click)},
        {.into = Into<&TfrmMain::Button2>,
         .name = "Button2", .parent = "Panel1", .left = 88,
         .top = 11, .width = 75, .height = 25, .caption = "Stop", .tabOrder = 1,
         .onClick = win::On(&TfrmMain::Button2Click)},
        {.into = Into<&TfrmMain::Panel2>,
         .name = "Panel2", .left = 0, .top = 256, .width = 398,
         .height = 30, .align = Align::Bottom},
        {.into = Into<&TfrmMain::Label2>,
         .name = "Label2", .parent = "Panel2", .left = 1, .top = 1,
         .caption = "Started:", .align = Align::Left, .font = &kCountFont},
        {.into = Into<&TfrmMain::Label4>,
         .name = "Label4", .parent = "Panel2", .left = 80, .top = 1,
         .caption = "", .align = Align::Left, .font = &kCountFont},
        {.into = Into<&TfrmMain::Label1>,
         .name = "Label1", .parent = "Panel2", .left = 200, .top = 1,
         .caption = "Beers Earnt:", .align = Align::Right, .font = &kCountFont},
        {.into = Into<&TfrmMain::Label3>,
         .name = "Label3", .parent = "Panel2", .left = 380, .top = 1,
         .caption = "0", .align = Align::Right, .font = &kCountFont},
        {.into = Into<&TfrmMain::Panel3>,
         .name = "Panel3", .left = 0, .top = 0, .width = 398,
         .height = 256, .align = Align::Client},
        {.into = Into<&TfrmMain::Image1>,
         .name = "Image1", .parent = "Panel3", .left = 0, .top = 0,
         .width = 398, .height = 256, .align = Align::Client},
    });
    // clang-format on

    PopupMenu1 = new win::PopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    FixInPlace1 = new win::MenuItem(this);
    FixInPlace1->SetName("FixInPlace1");
    FixInPlace1->SetCaption("FixInPlace");
    FixInPlace1->OnClick = [this](win::Component* sender) { FixInPlace1Click(sender); };
    PopupMenu1->Items().Add(FixInPlace1);
    Image1->SetContextMenu(PopupMenu1);
    // The picture takes no focus: from the keyboard (Shift+F10, the menu key) the menu comes
    // from anywhere in the window, so a window fixed in place can get its frame back.
    SetContextMenu(PopupMenu1);
}

namespace {

// The members that hold the icon sets, in the order of the icon-set table.
win::ImageList* TfrmMain::*const kIconSetMembers[] = {
    &TfrmMain::BitterLarge,  &TfrmMain::BitterSmall, &TfrmMain::GuinessLarge,
    &TfrmMain::GuinessSmall, &TfrmMain::LagerLarge,  &TfrmMain::LagerSmall};
static_assert(std::size(kIconSetMembers) == kIconSetCount);

}  // namespace

void TfrmMain::ReadIconSets() {
    const HINSTANCE module = win::Application::Instance().Module();
    for (const quaff::IconSet& set : kIconSets) {
        auto* list = new win::ImageList(this);
        list->SetName(set.listName);
        this->*kIconSetMembers[set.number] = list;
        list->ReadFromResource(module, set.resourceName);
        list->SetParts({GlassOutline(set.measure), GlassInside(set.measure)});
    }
}

win::ImageList* TfrmMain::IconSet(int32_t iconSet) const {
    return this->*kIconSetMembers[IconSetByNumber(iconSet).number];
}

void TfrmMain::FormCreate() { running_ = false; }

void TfrmMain::FormShow() {
    // The buttons must match the counting state even when the picture fails; the failure is
    // reported once they are set (the form reports what this throws after it is shown).
    std::exception_ptr pictureError;
    try {
        PickPicture();
    } catch (...) {
        pictureError = std::current_exception();
    }
    Button1->SetEnabled(!running_);
    Button2->SetEnabled(running_);
    if (pictureError) std::rethrow_exception(pictureError);
}

void TfrmMain::Button1Click(win::Component*) {
    // Everything that can fail comes first, so a failure leaves the last period as it was.
    const win::Clock& clock = win::Seam<win::Clock>::Current();
    const CountingPeriod period{clock.LocalNow(), clock.UtcTicks()};
    std::string shown = DateTimeToStr(period.localStart, win::UserFormats());

    amountEarned_ = 0;
    drinkCount_ = 0;
    BeginPeriod(period, std::move(shown));
    if (!SaveCountingPeriod(period)) throw Error(kPeriodNotSaved);
}

namespace {

// How far ahead of the clock a stored period may start and still be this program's: after a
// restart the clock can be behind until Windows sets it (by hours, when the machine's clock
// keeps local time for another system).
constexpr int64_t kClockBehindAtMost = 24LL * 3600 * 10'000'000;

}  // namespace

bool TfrmMain::ResumePeriod() {
    const std::optional<CountingPeriod> period = LoadCountingPeriod();
    if (!period) return false;
    if (period->utcStartTicks - win::Seam<win::Clock>::Current().UtcTicks() > kClockBehindAtMost) {
        // No start this program kept: dropped for good, so that it never comes back later.
        ClearCountingPeriod();
        return false;
    }
    BeginPeriod(*period, DateTimeToStr(period->localStart, win::UserFormats()));
    return true;
}

void TfrmMain::BeginPeriod(const CountingPeriod& period, std::string shownStart) {
    startTime_ = period.localStart;
    startUtcTicks_ = period.utcStartTicks;
    Label4->SetCaption(std::move(shownStart));
    running_ = true;
    ++periodsBegun_;
    // Stop first: a Start pressed from the keyboard hands the focus on to it.
    Button2->SetEnabled(true);
    Button1->SetEnabled(false);
}

void TfrmMain::Button2Click(win::Component*) {
    running_ = false;
    Button1->SetEnabled(true);
    Button2->SetEnabled(false);
    if (!ClearCountingPeriod()) throw Error(kPeriodNotCleared);
}

void TfrmMain::FixInPlace1Click(win::Component*) {
    FixInPlace1->SetChecked(!FixInPlace1->Checked());
    SetBorderStyle(FixInPlace1->Checked() ? BorderStyle::None : BorderStyle::SizeToolWin);
}

double TfrmMain::PayPerSecond() {
    TBeer beer;
    LoadSettings(beer);
    const SYSTEMTIME today = win::Seam<win::Clock>::Current().LocalTime();
    return quaff::PayPerSecond(beer.Salary, beer.HoursADay, beer.DaysAWeek,
                               DaysInMonth(today.wYear, today.wMonth), win::UserFormats());
}

void TfrmMain::UpdateStuff() {
    // Measured on the UTC clock, so the count does not jump when daylight-saving time starts
    // or ends during the period.
    const int32_t elapsed =
        ElapsedSeconds(startUtcTicks_, win::Seam<win::Clock>::Current().UtcTicks());
    amountEarned_ = quaff::AmountEarned(PayPerSecond(), elapsed);
}

int TfrmMain::GetIconNumber(double amount) {
    TBeer beer;
    LoadSettings(beer);
    const FormatSettings& fs = win::UserFormats();
    const DrinkFrame drinks = IconNumber(amount, amountEarned_, beer.PriceOfDrink, fs);
    drinkCount_ = drinks.drinkCount;
    Label3->SetCaption(FloatToStr(drinks.drinkCount, fs));
    return drinks.frame;
}

void TfrmMain::PickPicture() {
    TBeer beer;
    LoadSettings(beer);
    if (!beer.UserName.empty()) SetCaption(beer.UserName + " 's Quaffometer");

    const PictureFolder folder(beer.ImageDir);
    const uint32_t count = folder.Count();
    if (count == 0) return;  // no picture to change to: the window keeps what it shows
    const std::optional<std::wstring> path = folder.PathOf(draw_->Next(count));
    if (!path) return;  // the folder lost entries between the two listings

    ShowPictureFile(*path);
}

SIZE TfrmMain::PictureArea() {
    RECT area;
    GetClientRect(Image1->Handle(), &area);
    return SIZE{area.right - area.left, area.bottom - area.top};
}

bool TfrmMain::ShowPictureFile(const std::wstring& path) {
    // Decoded no larger than needed to cover the picture area, then kept at the area's size:
    // the picture stays while the window is hidden, and costs no more than what it fills.
    const SIZE area = PictureArea();
    // Opened by the UTF-16 name the listing gave; it is converted only to be named in a report.
    const win::UniqueFile file(_wfopen(path.c_str(), L"rb"));
    Picture picture = DecodeJpegFile(file.get(), win::NarrowText(path), area.cx, area.cy);
    if (picture.empty()) return false;
    // A decode that does not cover the area is the file at its full size.
    pictureAtFileSize_ = picture.width < area.cx || picture.height < area.cy;
    picturePath_ = path;
    Image1->SetPicture(ShrinkTo(std::move(picture), area.cx, area.cy));
    return true;
}

void TfrmMain::SharpenPicture() {
    if (!Visible() || picturePath_.empty() || pictureAtFileSize_) return;
    const SIZE area = PictureArea();
    const Picture& shown = Image1->GetPicture();
    if (shown.width >= area.cx && shown.height >= area.cy) return;  // shrinking: drawn smaller
    try {
        if (ShowPictureFile(picturePath_)) return;
    } catch (const std::exception&) {}
    // The file went or changed since it was shown: what is shown is the best there is.
    pictureAtFileSize_ = true;
}

void TfrmMain::KeepPictureForArea() {
    const SIZE area = PictureArea();
    const Picture& shown = Image1->GetPicture();
    if (shown.width > area.cx && shown.height > area.cy)
        Image1->SetPicture(ShrinkTo(Image1->TakePicture(), area.cx, area.cy));
}

}  // namespace quaff::monitor
