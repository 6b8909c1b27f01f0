// The about box: names the program and asks for donations. One line opens the donation page
// in the user's default web browser, another gives the e-mail address for payments.
#pragma once

#include <windows.h>

#include <string>

#include "win/form.h"

namespace quaff::win {
class Button;
class Label;
class Panel;
}  // namespace quaff::win

namespace quaff::about {

// The donation service and the address payments go to. Neutral placeholders: they name no
// real person or business.
inline constexpr char kDonationHost[] = "payments.example.com";
inline constexpr char kDonationEmail[] = "donations@example.com";

// The one shell call the about box makes, reached through win::Seam<AboutShell>. This class
// makes the real one; tests install their own (win::Seam) to see the calls.
class AboutShell {
public:
    virtual ~AboutShell() = default;
    // Opens `file` (a program, given `parameters`, or an address) as the shell does
    // (ShellExecuteA); answers a number above 32 when it started something.
    virtual HINSTANCE Open(HWND owner, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show);
};

class TfrmAbout : public win::Form {
public:
    explicit TfrmAbout(win::Component* owner);

    // Designed controls.
    win::Panel* Panel1;
    win::Label* Label1;
    win::Label* Label2;
    win::Label* Label3;
    win::Label* Label4;
    win::Label* Label5;
    win::Button* Button1;

    // Opens the donation page: with the default browser when one is registered and starts,
    // else by handing the address to the shell. Throws quaff::Error when neither opens it.
    void Label3Click(win::Component* sender);

    // The program registered to open web addresses (HKEY_CLASSES_ROOT
    // "HTTP\shell\open\command"), or empty text when none is registered. Throws
    // win::RegistryError when the registration is not text.
    static std::string GetDefaultBrowser();
};

}  // namespace quaff::about
