// The Windows suite's process set-up: the application object with its hidden window, and an
// error sink so an error report never blocks a test behind a modal box.
#include <gtest/gtest.h>

#include "win/application.h"
#include "win_test_support.h"

namespace {

class WinEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        auto& app = quaff::win::Application::Instance();
        app.SetTitle("Quaffometer");
        app.Initialize();
    }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new WinEnvironment);
const quaff::test::ErrorsTo kRecorder([](const std::string& text) {
    quaff::test::ErrorReports().push_back(text);
});

}  // namespace
