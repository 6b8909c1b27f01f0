#include "about/about_form.h"

#include <shellapi.h>

#include <string_view>

#include "core/errors.h"
#include "win/button.h"
#include "win/label.h"
#include "win/layout.h"
#include "win/panel.h"
#include "win/registry.h"
#include "win/seam.h"

namespace quaff::about {

using namespace win;

namespace {

HINSTANCE Shell(HWND owner, const char* verb, const char* file, const char* parameters) {
    return Seam<AboutShell>::Current().Open(owner, verb, file, parameters, nullptr, SW_SHOWNORMAL);
}

// The shell answers a number above 32 when it started something.
bool Started(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// https://<host>/payme.asap?email=<address>
std::string DonationAddress() {
    return std::string("https://") + kDonationHost + "/payme.asap?email=" + kDonationEmail;
}

// The program's path from a command registered to open web addresses: a quoted path without
// its quotes, else everything up to the first blank.
std::string BrowserFromCommand(std::string_view command) {
    while (!command.empty() && IsBlank(command.front())) command.remove_prefix(1);
    if (!command.empty() && command.front() == '"') {
        command.remove_prefix(1);
        return std::string(command.substr(0, command.find('"')));
    }
    size_t end = 0;
    while (end < command.size() && !IsBlank(command[end])) ++end;
    return std::string(command.substr(0, end));
}

}  // namespace

HINSTANCE AboutShell::Open(HWND owner, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show) {
    return ::ShellExecuteA(owner, verb, file, parameters, directory, show);
}

TfrmAbout::TfrmAbout(Component* owner) : Form(owner) {
    // As designed: a dialog frame, client area 301 by 153, centred on the desktop.
    SetName("frmAbout");
    SetCaption("About Quaffometer");
    SetBorderStyle(BorderStyle::Dialog);
    SetPosition(Position::DesktopCenter);
    SetClientSize(301, 153);

    FontSpec link;
    link.color = kNavy;
    link.underline = true;
    const auto centred = Label::Alignment::Center;
    // The centred lines keep their designed width; the others (243 and 267 wide in the
    // designed font) size themselves to their text, so a wider substitute font cuts nothing.
    // clang-format off
    BuildControls(*this, {
        {.into = Into<&TfrmAbout::Panel1>,
         .name = "Panel1", .align = Align::Client},
        {.into = Into<&TfrmAbout::Label1>,
         .name = "Label1", .parent = "Panel1", .left = 8, .top = 16,
         .width = 289, .height = 13,
         .caption = "Quaffometer, by the Quaffometer developers", .alignment = centred},
        {.into = Into<&TfrmAbout::Label2>,
         .name = "Label2", .parent = "Panel1", .left = 8, .top = 40,
         .caption = "To make a donation please use the following link:-"},
        {.into = Into<&TfrmAbout::Label3>,
         .name = "Label3", .parent = "Panel1", .left = 8, .top = 56,
         .width = 289, .height = 13, .caption = "Donate Via No Chex", .tabOrder = 1,
         .font = &link, .alignment = centred, .onClick = On(&TfrmAbout::Label3Click)},
        {.into = Into<&TfrmAbout::Label4>,
         .name = "Label4", .parent = "Panel1", .left = 8, .top = 80,
         .caption = "Or by  sending via paypal to the following e-mail address:-"},
        {.into = Into<&TfrmAbout::Label5>,
         .name = "Label5", .parent = "Panel1", .left = 8, .top = 96,
         .width = 289, .height = 13, .caption = kDonationEmail,
         .alignment = centred},
        // Enter and Escape close the box, as they close a message box: it opens with the focus
        // on OK, and Tab goes on to the link.
        {.into = Into<&TfrmAbout::Button1>,
         .name = "Button1", .parent = "Panel1", .left = 112, .top = 120,
         .width = 75, .height = 25, .caption = "OK", .tabOrder = 0, .modalResult = mrOk,
         .isDefault = true, .isCancel = true},
    });
    // clang-format on
}

std::string TfrmAbout::GetDefaultBrowser() {
    RegIniFile registry(HKEY_CLASSES_ROOT, KEY_READ);
    if (!registry.OpenKey("HTTP\\shell\\open\\command", false)) return {};
    return BrowserFromCommand(registry.ReadValue(""));
}

void TfrmAbout::Label3Click(Component*) {
    const std::string address = DonationAddress();
    // A registration that cannot be read is no browser: the shell still opens the page.
    std::string browser;
    try {
        browser = GetDefaultBrowser();
    } catch (const RegistryError&) {}
    HWND owner = Handle();
    if (!browser.empty() && Started(Shell(owner, "open", browser.c_str(), address.c_str()))) return;
    // No browser registered, or it would not start: the shell opens the address with
    // whatever the system uses for web pages.
    if (Started(Shell(owner, "open", address.c_str(), nullptr))) return;
    throw Error("Could not open the donation page " + address);
}

}  // namespace quaff::about
