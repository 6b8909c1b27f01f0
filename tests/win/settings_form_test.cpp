// The settings dialog under Wine: shown modally and driven through its real controls (typed
// characters, arrow keys, button clicks, the shell's folder browser), against the real
// registry of the test prefix.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialog_test_support.h"
#include "registry_test_support.h"
#include "settings/settings_form.h"
#include "win/application.h"
#include "win/button.h"
#include "win/combo_box.h"
#include "win/edit.h"
#include "win/handles.h"
#include "win/mask_edit.h"
#include "win/speed_button.h"
#include "win/text.h"
#include "win/timer.h"
#include "win/up_down.h"
#include "win_test_support.h"

using quaff::settings::TfrmSettings;
using quaff::test::Click;
using quaff::test::ErrorReports;
using quaff::test::kOrvikKey;
using quaff::test::kProgramKey;
using quaff::test::kSettingsKey;
using quaff::test::kTypicalSettings;
using quaff::test::PressKey;
using quaff::test::ShowModalWith;
using quaff::test::WindowText;
using quaff::win::mrCancel;
using quaff::win::mrNone;
using quaff::win::mrOk;

namespace {

// The seven values in the order of kSettingValues.
using Values = std::vector<std::string>;

void Store(const Values& values) {
    quaff::test::PutRaw(HKEY_CURRENT_USER, kSettingsKey, quaff::test::SettingTexts(values));
}

// The seven values as stored, each checked to be text; "(none)" for a missing one.
Values Stored() {
    Values values;
    for (const char* name : quaff::test::kSettingValues) {
        const auto raw = quaff::test::GetRaw(HKEY_CURRENT_USER, kSettingsKey, name);
        if (!raw) {
            values.push_back("(none)");
            continue;
        }
        EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(raw->data.back(), '\0') << name << " is stored with its terminator";
        values.push_back(raw->data.substr(0, raw->data.find('\0')));
    }
    return values;
}

// Characters typed into a field from its start, as the keyboard delivers them.
void Type(quaff::win::WinControl& field, const std::string& text) {
    const HWND h = field.Handle();
    SendMessageA(h, EM_SETSEL, 0, 0);
    for (char c : text) SendMessageA(h, WM_CHAR, static_cast<unsigned char>(c), 0);
}

// What the dialog shows, field by field.
struct Shown {
    std::string name, salary, days, hours, price;
    int iconSet;
    std::string iconText, imageDir;

    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Shown& s) {
    return os << "{" << s.name << "|" << s.salary << "|" << s.days << "|" << s.hours << "|"
              << s.price << "|" << s.iconSet << " " << s.iconText << "|" << s.imageDir << "}";
}

Shown Read(TfrmSettings& f) {
    return {WindowText(f.edName->Handle()),    WindowText(f.edSalary->Handle()),
            WindowText(f.edDays->Handle()),    WindowText(f.edHours->Handle()),
            WindowText(f.edPrice->Handle()),   f.cbIconSet->ItemIndex(),
            WindowText(f.cbIconSet->Handle()), WindowText(f.edImageDir->Handle())};
}

class SettingsFormTest : public ::testing::Test {
protected:
    void SetUp() override { ErrorReports().clear(); }
    void TearDown() override { ErrorReports().clear(); }
    quaff::test::NoStoredSettings noSettings_;

    static std::unique_ptr<TfrmSettings> NewForm() {
        return std::unique_ptr<TfrmSettings>(quaff::win::CreateForm<TfrmSettings>(nullptr));
    }
};

TEST_F(SettingsFormTest, FirstRunShowsEmptyFieldsNoIconSetAndTheSpinnersAtOne) {
    auto form = NewForm();
    const int result = ShowModalWith(*form, [&] {
        EXPECT_EQ(Read(*form), (Shown{"", "______.__", "", "", "__.__", -1, "", ""}));
        EXPECT_EQ(form->UpDown1->Position(), 1);
        EXPECT_EQ(form->UpDown2->Position(), 1);
        Click(form->btnCalcen->Handle());
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_FALSE(quaff::test::KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    EXPECT_TRUE(ErrorReports().empty());
}

TEST_F(SettingsFormTest, ShowsStoredValuesInItsFieldsAndOkStoresThemBack) {
    const struct {
        const char* what;
        Values stored;
        Shown shown;
        Values storedAfterOk;
    } cases[] = {
        {"values the dialog saved",
         kTypicalSettings,
         {"Joe", "025000.00", "5", "8", "03.50", 3, "Guiness Half", "C:\\Pictures\\"},
         kTypicalSettings},
        {"a salary with five digits before the point",
         {"Joe", "25000.00", "5", "8", "03.50", "0", ""},
         {"Joe", "25000_.00", "5", "8", "03.50", 0, "Bitter Full", ""},
         {"Joe", "25000 .00", "5", "8", "03.50", "0", ""}},
        {"an empty salary and price",
         {"", "", "1", "1", "", "5", "D:\\"},
         {"", "______.__", "1", "1", "__.__", 5, "Lager Half", "D:\\"},
         {"", "      .  ", "1", "1", "  .  ", "5", "D:\\"}},
        {"an icon set that is no item",
         {"Joe", "025000.00", "5", "8", "03.50", "7", ""},
         {"Joe", "025000.00", "5", "8", "03.50", -1, "", ""},
         {"Joe", "025000.00", "5", "8", "03.50", "-1", ""}},
        {"an icon set that is not a number",
         {"Joe", "025000.00", "5", "8", "03.50", "abc", ""},
         {"Joe", "025000.00", "5", "8", "03.50", -1, "", ""},
         {"Joe", "025000.00", "5", "8", "03.50", "-1", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        quaff::test::DeleteTree(HKEY_CURRENT_USER, kOrvikKey);
        Store(c.stored);
        auto form = NewForm();
        const int result = ShowModalWith(*form, [&] {
            EXPECT_EQ(Read(*form), c.shown);
            Click(form->btnOK->Handle());
        });
        EXPECT_EQ(result, mrOk);
        EXPECT_EQ(Stored(), c.storedAfterOk);
    }
    EXPECT_TRUE(ErrorReports().empty());
}

TEST_F(SettingsFormTest, OkStoresWhatTheUserEntered) {
    auto form = NewForm();
    const int result = ShowModalWith(*form, [&] {
        SetWindowTextA(form->edName->Handle(), "Ann Other");
        Type(*form->edSalary, "03125075");  // the point is passed over
        SetWindowTextA(form->edDays->Handle(), "4");
        SetWindowTextA(form->edHours->Handle(), "7");
        Type(*form->edPrice, "02.85");  // typing the point moves past it
        SendMessageA(form->cbIconSet->Handle(), CB_SETCURSEL, 4, 0);
        SetWindowTextA(form->edImageDir->Handle(), "C:\\My Pictures\\");
        Click(form->btnOK->Handle());
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(Stored(),
              (Values{"Ann Other", "031250.75", "4", "7", "02.85", "4", "C:\\My Pictures\\"}));
    EXPECT_TRUE(ErrorReports().empty());
}

TEST_F(SettingsFormTest, SpinnersStepTheirFieldAndStopAtTheirEnds) {
    const struct {
        const char* what;
        const char* days;
        const char* hours;
        WPARAM key;
        int presses;
        const char* daysAfter;
        const char* hoursAfter;
    } cases[] = {
        {"up from the middle", "3", "12", VK_UP, 1, "4", "13"},
        {"up past the top", "6", "23", VK_UP, 3, "7", "24"},
        {"down past the bottom", "2", "2", VK_DOWN, 3, "1", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Store({"", "", c.days, c.hours, "", "0", ""});
        auto form = NewForm();
        ShowModalWith(*form, [&] {
            for (auto* field : {form->edDays, form->edHours})
                for (int i = 0; i < c.presses; ++i)
                    SendMessageA(field->Handle(), WM_KEYDOWN, c.key, 0);
            Click(form->btnOK->Handle());
        });
        const Values stored = Stored();
        EXPECT_EQ(stored[2], c.daysAfter);
        EXPECT_EQ(stored[3], c.hoursAfter);
    }
}

TEST_F(SettingsFormTest, CancelEscapeAndTheCloseBoxStoreNothing) {
    const struct {
        const char* what;
        void (*close)(TfrmSettings&);
    } cases[] = {
        {"Cancel", [](TfrmSettings& f) { Click(f.btnCalcen->Handle()); }},
        {"Escape",
         [](TfrmSettings& f) { PostMessageA(f.edName->Handle(), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"close box",
         [](TfrmSettings& f) { SendMessageA(f.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Store(kTypicalSettings);
        auto form = NewForm();
        const int result = ShowModalWith(*form, [&] {
            SetWindowTextA(form->edName->Handle(), "Somebody Else");
            Type(*form->edSalary, "099999.99");
            SetWindowTextA(form->cbIconSet->Handle(), "Lager Full");
            c.close(*form);
        });
        EXPECT_EQ(result, mrCancel);
        EXPECT_EQ(Stored(), kTypicalSettings);
    }
}

TEST_F(SettingsFormTest, TypedIconSetTextStoresTheItemItNamesElseMinusOne) {
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {
        {"Stout Full", "-1"},
        {"Guiness Half ", "-1"},
        {"", "-1"},
        {"Lager Half", "5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Store(kTypicalSettings);  // item 3 selected when shown
        auto form = NewForm();
        ShowModalWith(*form, [&] {
            SetWindowTextA(form->cbIconSet->Handle(), c.typed);
            Click(form->btnOK->Handle());
        });
        EXPECT_EQ(Stored()[5], c.stored);
    }
}

TEST_F(SettingsFormTest, FailedSaveIsReportedAndKeepsTheDialogOpenWithTheEdits) {
    // The registry refuses a lasting "Settings" key below a volatile one.
    quaff::test::CreateVolatileKey(HKEY_CURRENT_USER, kProgramKey);
    auto form = NewForm();
    const int result = ShowModalWith(*form, [&] {
        SetWindowTextA(form->edName->Handle(), "Ann Other");
        Type(*form->edSalary, "03125075");
        Click(form->btnOK->Handle());
        EXPECT_EQ(ErrorReports(),
                  std::vector<std::string>{"Could not save the settings to the registry."});
        EXPECT_EQ(form->ModalResult(), quaff::win::mrNone);
        EXPECT_TRUE(IsWindowVisible(form->Handle()));
        EXPECT_EQ(WindowText(form->edName->Handle()), "Ann Other");

        // Once the registry takes it, the same OK stores the edits and closes.
        quaff::test::DeleteTree(HKEY_CURRENT_USER, kOrvikKey);
        Click(form->btnOK->Handle());
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(Stored(), (Values{"Ann Other", "031250.75", "", "", "  .  ", "-1", ""}));
    EXPECT_EQ(ErrorReports().size(), 1u);
}

TEST_F(SettingsFormTest, LeavingAnIncompleteSalaryReportsAndKeepsTheFocusThere) {
    auto form = NewForm();
    ShowModalWith(*form, [&] {
        form->edSalary->SetFocus();
        Type(*form->edSalary, "1234");
        form->edDays->SetFocus();
        EXPECT_TRUE(quaff::test::PumpUntil([] { return !ErrorReports().empty(); }));
        EXPECT_EQ(ErrorReports(), std::vector<std::string>{
                                      "Invalid input value.  Use escape key to abandon changes."});
        EXPECT_EQ(quaff::win::WinControl::FromHandle(GetFocus()), form->edSalary);
        SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_FALSE(quaff::test::KeyExists(HKEY_CURRENT_USER, kSettingsKey));
}

// Runs the shown dialog's loop (the dialog manager sees keys first) until `done`.
bool HandleUntil(const std::function<bool()>& done) {
    return quaff::test::PumpUntil([&] {
        quaff::win::Application::Instance().ProcessMessages();
        return done();
    });
}

TEST_F(SettingsFormTest, OkPressedAnyWayTakesNoHalfTypedValue) {
    const Values kStored = {"Joe", "", "5", "8", "", "3", ""};
    const char* const kReport = "Invalid input value.  Use escape key to abandon changes.";
    const struct {
        const char* what;
        quaff::win::MaskEdit* TfrmSettings::*field;
        const char* typed;
        void (*press)(TfrmSettings&);
        const char* stored;  // the field's stored value after OK; null: refused and reported
    } cases[] = {
        {"Enter in the salary", &TfrmSettings::edSalary, "1234",
         [](TfrmSettings&) { PressKey(VK_RETURN); }, nullptr},
        {"Enter in the price", &TfrmSettings::edPrice, "3",
         [](TfrmSettings&) { PressKey(VK_RETURN); }, nullptr},
        // Before the field's own leave check has run.
        {"Space on OK", &TfrmSettings::edSalary, "1234",
         [](TfrmSettings& f) {
             PostMessageA(f.btnOK->Handle(), WM_KEYDOWN, VK_SPACE, 1);
             PostMessageA(f.btnOK->Handle(), WM_KEYUP, VK_SPACE, 1u << 31 | 1u << 30 | 1);
             f.btnOK->SetFocus();
         },
         nullptr},
        {"a click on OK", &TfrmSettings::edSalary, "1234",
         [](TfrmSettings& f) { Click(f.btnOK->Handle()); }, nullptr},
        {"Enter with the salary complete", &TfrmSettings::edSalary, "12345678",
         [](TfrmSettings&) { PressKey(VK_RETURN); }, "123456.78"},
    };
    quaff::win::ErrorSink box;  // the real error box, which takes the focus while it is up
    const quaff::win::Seam<quaff::win::ErrorSink> realBox(box);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Store(kStored);
        auto form = NewForm();
        quaff::win::MaskEdit& field = *((*form).*c.field);
        quaff::test::MessageBoxAnswer boxes;
        const int result = ShowModalWith(*form, [&] {
            field.SetFocus();
            const std::string shown = field.DisplayText();
            Type(field, c.typed);
            c.press(*form);
            if (c.stored) return;  // the dialog closes
            ASSERT_TRUE(HandleUntil([&] { return !boxes.Texts().empty(); }));
            HandleUntil([&] { return GetFocus() == field.Handle(); });
            EXPECT_EQ(GetFocus(), field.Handle());
            EXPECT_EQ(form->ModalResult(), mrNone);
            EXPECT_TRUE(IsWindowVisible(form->Handle()));
            // Escape abandons the half-typed value, then cancels.
            PressKey(VK_ESCAPE);
            EXPECT_TRUE(HandleUntil([&] { return !field.Modified(); }));
            EXPECT_EQ(field.DisplayText(), shown);
            PressKey(VK_ESCAPE);
        });
        if (c.stored) {
            EXPECT_EQ(result, mrOk);
            EXPECT_TRUE(boxes.Texts().empty());
            EXPECT_EQ(Stored()[1], c.stored);
        } else {
            EXPECT_EQ(result, mrCancel);
            EXPECT_EQ(boxes.Texts(), std::vector<std::string>{kReport});
            EXPECT_EQ(Stored(), kStored);
        }
    }
}

// Answers the thread's folder browser once it is up: selects the item at `path` (item texts
// from the desktop down) and presses OK, or presses Cancel when the path is empty. Notes the
// browser's owner, and whether that could be used meanwhile.
class FolderBrowserAnswer {
public:
    HWND owner = nullptr;
    bool ownerEnabled = true;

    explicit FolderBrowserAnswer(std::vector<std::string> path)
        : path_(std::move(path)), timer_(nullptr) {
        timer_.SetInterval(10);
        timer_.OnTimer = [this](quaff::win::Component*) {
            const HWND dialog = quaff::test::FindThreadDialog();
            if (!dialog) return;
            timer_.SetEnabled(false);
            Answer(dialog);
        };
    }

private:
    static std::string Trimmed(const char* text) {
        std::string s = text;
        s.erase(0, s.find_first_not_of(' '));
        return s;
    }

    void Answer(HWND dialog) {
        owner = GetWindow(dialog, GW_OWNER);
        ownerEnabled = IsWindowEnabled(owner) != FALSE;
        if (path_.empty()) {
            Click(GetDlgItem(dialog, IDCANCEL));
            return;
        }
        const HWND tree = FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr);
        HTREEITEM item = TreeView_GetRoot(tree);
        for (const std::string& part : path_) {
            TreeView_Expand(tree, item, TVE_EXPAND);  // the browser fills items on expanding
            HTREEITEM child = TreeView_GetChild(tree, item);
            for (; child; child = TreeView_GetNextSibling(tree, child)) {
                char text[MAX_PATH] = {};
                TVITEMA tv{};
                tv.mask = TVIF_TEXT;
                tv.hItem = child;
                tv.pszText = text;
                tv.cchTextMax = sizeof text;
                SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
                if (Trimmed(text) == part) break;
            }
            if (!child) {
                ADD_FAILURE() << "the folder browser shows no item " << part;
                Click(GetDlgItem(dialog, IDCANCEL));
                return;
            }
            item = child;
        }
        TreeView_SelectItem(tree, item);
        Click(GetDlgItem(dialog, IDOK));
    }

    std::vector<std::string> path_;
    quaff::win::Timer timer_;
};

// Polish, Greek and Cyrillic, in the program's code page (UTF-8).
const std::string kScriptsFolder =
    "\xC5\x81\xC3\xB3"
    "d\xC5\xBA \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xD0\x96";

TEST_F(SettingsFormTest, BrowsingIsModalToTheDialogAndSetsTheFolderEndingInOneBackslash) {
    const struct {
        const char* what;
        std::vector<std::string> choice;
        std::string field;
    } cases[] = {
        {"cancelled", {}, "C:\\Pictures\\"},
        {"a folder", {"My Computer", "(C:)", "windows"}, "C:\\windows\\"},
        {"a drive root", {"My Computer", "(C:)"}, "C:\\"},
        {"a folder in other scripts",
         {"My Computer", "(C:)", kScriptsFolder},
         "C:\\" + kScriptsFolder + "\\"},
    };
    // Made by its UTF-16 name, as a user's folder is.
    const std::wstring made = quaff::win::WideText("C:\\" + kScriptsFolder);
    CreateDirectoryW(made.c_str(), nullptr);
    const quaff::win::ScopeExit removed([&made] { RemoveDirectoryW(made.c_str()); });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Store(kTypicalSettings);
        auto form = NewForm();
        ShowModalWith(*form, [&] {
            FolderBrowserAnswer answer(c.choice);
            Click(form->SpeedButton1->Handle());
            EXPECT_EQ(WindowText(form->edImageDir->Handle()), c.field);
            // Modal to the dialog: its OK and Cancel cannot be used during the browse.
            EXPECT_EQ(answer.owner, form->Handle());
            EXPECT_FALSE(answer.ownerEnabled);
            Click(form->btnOK->Handle());
        });
        EXPECT_EQ(Stored()[6], c.field);
    }
}

// The dialog manager's Tab order from the first control, by control name. (Names, not
// handles: Wine hands the same window back sign- or zero-extended once handles run high.)
std::vector<std::string> TabOrder(HWND form) {
    std::vector<std::string> order;
    HWND first = GetNextDlgTabItem(form, nullptr, FALSE);
    for (HWND h = first; h && order.size() < 20;) {
        const auto* control = quaff::win::WinControl::FromHandle(h);
        order.push_back(control ? control->Name() : "(unknown)");
        h = GetNextDlgTabItem(form, h, FALSE);
        if (GetDlgCtrlID(h) == GetDlgCtrlID(first)) break;
    }
    return order;
}

TEST_F(SettingsFormTest, ShownDialogHasItsDesignedPlaceTabOrderAndFolderGlyph) {
    auto form = NewForm();
    ShowModalWith(*form, [&] {
        const HWND h = form->Handle();
        EXPECT_EQ(WindowText(h), "Settings");
        EXPECT_TRUE(GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_FALSE(GetWindowLongPtrA(h, GWL_STYLE) & WS_THICKFRAME);
        RECT client, window;
        GetClientRect(h, &client);
        GetWindowRect(h, &window);
        EXPECT_EQ(client.right, quaff::win::ScaleDpi(313));
        EXPECT_EQ(client.bottom, quaff::win::ScaleDpi(342));
        EXPECT_EQ(window.left, quaff::win::ScaleDpi(357));
        EXPECT_EQ(window.top, quaff::win::ScaleDpi(150));

        // "Image Details" first (the folder browser after its field), then "Your Details",
        // then the buttons.
        EXPECT_EQ(TabOrder(h), (std::vector<std::string>{"cbIconSet", "edImageDir", "SpeedButton1",
                                                         "edName", "edDays", "edHours", "edSalary",
                                                         "edPrice", "btnOK", "btnCalcen"}));

        const quaff::test::Capture shot = quaff::test::CaptureWindow(h);
        quaff::test::SaveScreenshot(h, "settings.bmp");
        RECT glyph;
        GetWindowRect(form->SpeedButton1->Handle(), &glyph);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&glyph), 2);
        ASSERT_GT(shot.width, 0);
        // Yellow folders on the button face: the olive ground of the bitmap is not drawn.
        EXPECT_TRUE(shot.Any(glyph, [](COLORREF c) { return c == RGB(255, 255, 0); }));
        EXPECT_FALSE(shot.Any(glyph, [](COLORREF c) { return c == RGB(128, 128, 0); }));
        Click(form->btnCalcen->Handle());
    });
}

}  // namespace
