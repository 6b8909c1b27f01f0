// The about box under Wine: its look as shown, the default browser found in the real registry
// of the test prefix, and the donation link's shell calls (recorded, never run).
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "about/about_form.h"
#include "core/errors.h"
#include "dialog_test_support.h"
#include "registry_test_support.h"
#include "win/button.h"
#include "win/label.h"
#include "win/registry.h"
#include "win_test_support.h"

using quaff::about::TfrmAbout;
using quaff::test::Click;
using quaff::test::ErrorReports;
using quaff::test::RawValue;
using quaff::win::mrOk;

namespace {

const std::string kCommandKey = "HTTP\\shell\\open\\command";
const std::string kPage = "https://payments.example.com/payme.asap?email=donations@example.com";

RawValue Command(const std::string& text) { return {"", REG_SZ, text + '\0'}; }

// The browser registration under HKEY_CLASSES_ROOT as the prefix has it, put back at the end
// of each test: the values of the command key, or the removal of every key the test made.
class BrowserRegistration {
public:
    BrowserRegistration() {
        std::string path;
        for (const char* part : {"HTTP", "shell", "open", "command"}) {
            path += path.empty() ? part : std::string("\\") + part;
            if (!quaff::test::KeyExists(HKEY_CLASSES_ROOT, path)) {
                created_ = path;
                return;
            }
        }
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kCommandKey.c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return;
        char name[256];
        std::vector<BYTE> data(4096);
        for (DWORD i = 0;; ++i) {
            DWORD nameLength = sizeof name, size = static_cast<DWORD>(data.size()), type = 0;
            if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data.data(), &size) !=
                ERROR_SUCCESS)
                break;
            saved_.push_back({name, type, std::string(data.begin(), data.begin() + size)});
        }
        RegCloseKey(key);
    }
    ~BrowserRegistration() {
        if (!created_.empty()) {
            quaff::test::DeleteTree(HKEY_CLASSES_ROOT, created_);
            return;
        }
        quaff::test::DeleteTree(HKEY_CLASSES_ROOT, kCommandKey);
        quaff::test::PutRaw(HKEY_CLASSES_ROOT, kCommandKey, saved_);
    }
    BrowserRegistration(const BrowserRegistration&) = delete;
    BrowserRegistration& operator=(const BrowserRegistration&) = delete;

    // Registers the command value; none removes the key.
    void Set(const std::optional<RawValue>& value) {
        quaff::test::DeleteTree(HKEY_CLASSES_ROOT, kCommandKey);
        if (value) quaff::test::PutRaw(HKEY_CLASSES_ROOT, kCommandKey, {*value});
    }

private:
    std::string created_;  // the outermost key the test will make, when one was missing
    std::vector<RawValue> saved_;
};

struct ShellCall {
    HWND owner;
    std::string verb;
    std::string file;
    std::optional<std::string> parameters;
    std::optional<std::string> directory;
    int show;

    bool operator==(const ShellCall&) const = default;
};

std::ostream& operator<<(std::ostream& os, const ShellCall& c) {
    return os << "{" << c.owner << ", " << c.verb << ", " << c.file << ", "
              << c.parameters.value_or("(none)") << ", " << c.directory.value_or("(none)") << ", "
              << c.show << "}";
}

std::optional<std::string> Text(const char* p) {
    return p ? std::optional<std::string>(p) : std::nullopt;
}

// Records the about box's shell calls instead of making them. Each call is answered as the
// shell would: above 32 when something started, else an error number.
class ShellRecorder : public quaff::about::AboutShell {
public:
    explicit ShellRecorder(std::vector<INT_PTR> answers = {}) : answers_(std::move(answers)) {}
    HINSTANCE Open(HWND owner, const char* verb, const char* file, const char* parameters,
                   const char* directory, int show) override {
        calls.push_back(
            {owner, verb ? verb : "", file ? file : "", Text(parameters), Text(directory), show});
        const size_t i = calls.size() - 1;
        return reinterpret_cast<HINSTANCE>(i < answers_.size() ? answers_[i] : 42);
    }

    std::vector<ShellCall> calls;

private:
    std::vector<INT_PTR> answers_;
    quaff::win::Seam<quaff::about::AboutShell> installed_{*this};
};

constexpr INT_PTR kStarted = 42;
constexpr INT_PTR kFileNotFound = SE_ERR_FNF;

class AboutTest : public ::testing::Test {
protected:
    void SetUp() override { ErrorReports().clear(); }
    void TearDown() override { ErrorReports().clear(); }

    std::unique_ptr<TfrmAbout> NewForm() {
        return std::unique_ptr<TfrmAbout>(quaff::win::CreateForm<TfrmAbout>(nullptr));
    }

    BrowserRegistration registration_;
};

TEST_F(AboutTest, DefaultBrowserIsThePathOfTheRegisteredCommand) {
    const struct {
        const char* what;
        std::optional<RawValue> value;
        const char* expected;  // null: the registration is refused as not text
    } cases[] = {
        {"quoted path with arguments",
         Command("\"C:\\Program Files\\Web\\web.exe\" -osint -url \"%1\""),
         "C:\\Program Files\\Web\\web.exe"},
        {"quoted path alone", Command("\"C:\\Web\\web.exe\""), "C:\\Web\\web.exe"},
        {"quoted path after blanks", Command("  \"C:\\Web\\web.exe\" %1"), "C:\\Web\\web.exe"},
        {"quote never closed", Command("\"C:\\Web\\web.exe"), "C:\\Web\\web.exe"},
        {"unquoted path with an argument", Command("C:\\Web\\web.exe %1"), "C:\\Web\\web.exe"},
        {"unquoted path with a tab", Command("C:\\Web\\web.exe\t%1"), "C:\\Web\\web.exe"},
        {"unquoted path alone", Command("C:\\Web\\web.exe"), "C:\\Web\\web.exe"},
        {"expandable text, taken as stored",
         RawValue{"", REG_EXPAND_SZ, std::string("\"%ProgramFiles%\\web.exe\" %1") + '\0'},
         "%ProgramFiles%\\web.exe"},
        {"empty command", Command(""), ""},
        {"key without a default value", RawValue{"Other", REG_SZ, std::string("x") + '\0'}, ""},
        {"no key", std::nullopt, ""},
        {"a number", RawValue{"", REG_DWORD, std::string(4, '\x01')}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        registration_.Set(c.value);
        std::string found;
        try {
            found = TfrmAbout::GetDefaultBrowser();
        } catch (const quaff::win::RegistryError& e) {
            found = e.what();
        }
        EXPECT_EQ(found, c.expected ? c.expected : "Invalid data type for ''");
    }
}

TEST_F(AboutTest, DonationLinkOpensThePageInTheBrowserOrHandsItToTheShell) {
    const std::string browser = "C:\\Web\\web.exe";
    const struct {
        const char* what;
        std::optional<RawValue> registered;
        std::vector<INT_PTR> answers;
        bool viaBrowser;  // first call runs the browser with the page
        bool viaShell;    // (then) the shell is handed the page itself
        bool fails;
    } cases[] = {
        {"quoted registration",
         Command("\"" + browser + "\" -url \"%1\""),
         {kStarted},
         true,
         false,
         false},
        {"unquoted registration", Command(browser + " %1"), {kStarted}, true, false, false},
        {"no registration", std::nullopt, {kStarted}, false, true, false},
        {"empty registration", Command(""), {kStarted}, false, true, false},
        {"registration that is not text",
         RawValue{"", REG_DWORD, std::string(4, '\0')},
         {kStarted},
         false,
         true,
         false},
        {"registered browser does not start",
         Command(browser),
         {kFileNotFound, kStarted},
         true,
         true,
         false},
        {"nothing starts", Command(browser), {kFileNotFound, kFileNotFound}, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        registration_.Set(c.registered);
        auto form = NewForm();
        ShellRecorder shell(c.answers);
        std::string error;
        try {
            form->Label3Click(form->Label3);
        } catch (const quaff::Error& e) {
            error = e.what();
        }
        const HWND owner = form->Handle();
        std::vector<ShellCall> expected;
        if (c.viaBrowser)
            expected.push_back({owner, "open", browser, kPage, std::nullopt, SW_SHOWNORMAL});
        if (c.viaShell)
            expected.push_back({owner, "open", kPage, std::nullopt, std::nullopt, SW_SHOWNORMAL});
        EXPECT_EQ(shell.calls, expected);
        EXPECT_EQ(error, c.fails ? "Could not open the donation page " + kPage : "");
    }
}

// A press and release inside the label, as the mouse makes them.
void ClickLabel(quaff::win::Label& label) {
    const HWND h = label.Handle();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

TEST_F(AboutTest, ClickingTheLinkOfTheShownBoxOpensThePageAndReportsWhenNothingCan) {
    registration_.Set(std::nullopt);
    for (const INT_PTR answer : {kStarted, kFileNotFound}) {
        SCOPED_TRACE(answer);
        ErrorReports().clear();
        auto form = NewForm();
        ShellRecorder shell({answer});
        const int result = quaff::test::ShowModalWith(*form, [&] {
            ClickLabel(*form->Label3);
            Click(form->Button1->Handle());
        });
        EXPECT_EQ(result, mrOk);
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0].owner, form->Handle());
        EXPECT_EQ(shell.calls[0].file, kPage);
        const std::vector<std::string> reports =
            answer == kStarted
                ? std::vector<std::string>{}
                : std::vector<std::string>{"Could not open the donation page " + kPage + "."};
        EXPECT_EQ(ErrorReports(), reports);
    }
}

TEST_F(AboutTest, OkEscapeAndTheCloseBoxCloseTheBox) {
    const struct {
        const char* what;
        void (*act)(TfrmAbout&);
        int result;
    } cases[] = {
        {"OK", [](TfrmAbout& f) { Click(f.Button1->Handle()); }, mrOk},
        {"Escape",
         [](TfrmAbout& f) { PostMessageA(f.Button1->Handle(), WM_KEYDOWN, VK_ESCAPE, 0); }, mrOk},
        {"close box", [](TfrmAbout& f) { SendMessageA(f.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); },
         quaff::win::mrCancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto form = NewForm();
        EXPECT_EQ(quaff::test::ShowModalWith(*form, [&] { c.act(*form); }), c.result);
        EXPECT_FALSE(IsWindowVisible(form->Handle()));
    }
}

RECT InCapture(HWND window, HWND part) {
    RECT r;
    GetWindowRect(part, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(AboutTest, ShownBoxIsCentredWithItsDesignedAreaAndANavyLink) {
    auto form = NewForm();
    quaff::test::ShowModalWith(*form, [&] {
        const HWND h = form->Handle();
        EXPECT_EQ(quaff::test::WindowText(h), "About Quaffometer");
        EXPECT_TRUE(GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

        RECT client, window, work;
        GetClientRect(h, &client);
        EXPECT_EQ(client.right, quaff::win::ScaleDpi(301));
        EXPECT_EQ(client.bottom, quaff::win::ScaleDpi(153));
        GetWindowRect(h, &window);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_NEAR(window.left - work.left, work.right - window.right, 1);
        EXPECT_NEAR(window.top - work.top, work.bottom - window.bottom, 1);

        const quaff::test::Capture shot = quaff::test::CaptureWindow(h);
        ASSERT_GT(shot.width, 0);
        quaff::test::SaveScreenshot(h, "about.bmp");
        const auto navy = [](COLORREF c) { return c == quaff::win::kNavy; };
        EXPECT_TRUE(shot.Any(InCapture(h, form->Label3->Handle()), navy));
        EXPECT_FALSE(shot.Any(InCapture(h, form->Label2->Handle()), navy));
        Click(form->Button1->Handle());
    });
}

}  // namespace
