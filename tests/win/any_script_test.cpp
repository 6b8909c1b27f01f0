// Text in any script, for real under Wine: typed into the settings dialog through the
// program's own message loop, stored and read back exactly (checked as UTF-16 in the
// registry), a folder and picture so named, the locale's names, and labels that draw it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dialog_test_support.h"
#include "monitor_test_support.h"
#include "registry_test_support.h"
#include "settings/settings_form.h"
#include "win/application.h"
#include "win/button.h"
#include "win/edit.h"
#include "win/font_cache.h"
#include "win/handles.h"
#include "win/image.h"
#include "win/locale.h"
#include "win/text.h"

namespace {

using quaff::test::kSettingsKey;

const std::wstring kName =
    L"\u0141ukasz \u0106wik \u03A9\u03BC\u03AD\u03B3\u03B1 \u0416\u043E\u0440\u0430";
const std::wstring kFolder =
    L"\u0141\u00F3d\u017A \u03A9\u03BC\u03AD\u03B3\u03B1 \u0416\u043E\u0440\u0430";

std::wstring RawText(const char* name) {
    wchar_t data[512] = {};
    DWORD size = sizeof data;
    RegGetValueW(HKEY_CURRENT_USER, quaff::win::WideText(kSettingsKey).c_str(),
                 quaff::win::WideText(name).c_str(), RRF_RT_REG_SZ, nullptr, data, &size);
    return data;
}

void PutText(const char* name, const std::wstring& text) {
    RegSetKeyValueW(HKEY_CURRENT_USER, quaff::win::WideText(kSettingsKey).c_str(),
                    quaff::win::WideText(name).c_str(), REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// Characters typed as the keyboard types them; the program's loop delivers them.
void Type(HWND field, const std::wstring& text) {
    SetForegroundWindow(GetAncestor(field, GA_ROOT));
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
    for (wchar_t c : text) {
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wScan = keys[1].ki.wScan = c;
        keys[0].ki.dwFlags = KEYEVENTF_UNICODE;
        keys[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
    }
    for (int i = 0; i < 200 && GetWindowTextLengthW(field) != static_cast<int>(text.size()); ++i) {
        quaff::win::Application::Instance().ProcessMessages();
        Sleep(5);
    }
}

TEST(AnyScriptTest, TypedAndHandWrittenTextIsShownAndStoredExactly) {
    quaff::test::NoStoredSettings none;
    PutText("ImageDir", L"C:\\" + kFolder + L"\\");  // put there by hand
    PutText("DaysAWeek", L"5");
    quaff::settings::TfrmSettings dialog(nullptr);
    dialog.FinishCreation();
    std::wstring shownDir;
    quaff::test::ShowModalWith(dialog, [&] {
        shownDir = quaff::win::WideText(dialog.edImageDir->Text());
        Type(dialog.edName->Handle(), kName);
        quaff::test::Click(dialog.btnOK->Handle());
    });
    EXPECT_EQ(shownDir, L"C:\\" + kFolder + L"\\");
    EXPECT_EQ(RawText("UserName"), kName) << "typed";
    EXPECT_EQ(RawText("ImageDir"), L"C:\\" + kFolder + L"\\") << "saved back unchanged";
    EXPECT_EQ(RawText("DaysAWeek"), L"5");
}

TEST(AnyScriptTest, TheMonitorShowsTheNameAndAPictureFromAFolderSoNamed) {
    quaff::test::TempFolder temp;
    const std::string folder = temp.Folder(quaff::win::NarrowText(kFolder));
    temp.Jpeg(quaff::win::NarrowText(kFolder + L"\\\u0416.jpg"), 64, 48);
    quaff::TBeer beer = quaff::test::CountingSettings();
    beer.UserName = quaff::win::NarrowText(kName);
    beer.ImageDir = folder + "\\";
    quaff::test::StoredSettings stored(beer);
    const auto monitor = quaff::test::NewMonitor();
    monitor->PickPicture();
    wchar_t caption[256] = {};
    GetWindowTextW(monitor->Handle(), caption, 256);
    EXPECT_EQ(std::wstring(caption), kName + L" 's Quaffometer");
    EXPECT_FALSE(monitor->Image1->GetPicture().empty());
}

TEST(AnyScriptTest, LocaleNamesAndLabelsInTheirOwnScript) {
    for (const LCID locale : {MAKELCID(0x419, SORT_DEFAULT), MAKELCID(0x408, SORT_DEFAULT)}) {
        wchar_t month[64] = {};
        GetLocaleInfoW(locale, LOCALE_SMONTHNAME1, month, 64);
        const std::string read = quaff::win::ReadLocale(locale).longMonthNames[0];
        EXPECT_EQ(read, quaff::win::NarrowText(month)) << locale;

        // Drawn in a face that has every letter, though the designed one lacks them.
        const std::wstring text = quaff::win::WideText(read) + kName;
        quaff::win::ScreenDC dc;
        const quaff::win::SelectedObject font(dc.get(), quaff::win::SharedFont({}));
        const quaff::win::SelectedObject chosen(dc.get(),
                                                quaff::win::FontWithGlyphsFor(dc.get(), text));
        std::wstring glyphs(text.size(), L'\0');
        GetGlyphIndicesW(dc.get(), text.c_str(), static_cast<int>(text.size()),
                         reinterpret_cast<WORD*>(glyphs.data()), GGI_MARK_NONEXISTING_GLYPHS);
        EXPECT_EQ(glyphs.find(L'\xFFFF'), std::wstring::npos) << locale;
    }
}

}  // namespace
