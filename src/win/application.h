// The application object: title, the hidden application window, the main form, the message
// loop, and the program's error box for errors that escape an event handler.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace quaff::win {

class Form;

// Where the application's error reports go. This class shows the program's error box; tests
// install their own (win::Seam) to record the reports instead.
class ErrorSink {
public:
    virtual ~ErrorSink() = default;
    // `text` is the report as the box shows it.
    virtual void Show(const std::string& text);
};

class Application {
public:
    // The class of the hidden application window.
    static constexpr char kWindowClass[] = "QuaffApplication";

    static Application& Instance();

    // Joins the calling (GUI) thread to a single-threaded COM apartment, which the shell's
    // dialogs need, creates the hidden application window (icon "MAINICON" when the module
    // has it) and initialises the common controls. Safe to call more than once. Throws Error
    // when the window cannot be made.
    void Initialize();
    // Gives back what Initialize took for the thread (its COM apartment); the program calls it
    // as it exits.
    void Finalize();

    HWND Handle() const { return handle_; }
    HINSTANCE Module() const { return GetModuleHandleA(nullptr); }

    const std::string& Title() const { return title_; }
    void SetTitle(std::string title);

    // When false the main form is never shown at start.
    bool ShowMainForm() const { return showMainForm_; }
    void SetShowMainForm(bool value) { showMainForm_ = value; }

    // The first form created with CreateForm becomes the main form.
    Form* MainForm() const { return mainForm_; }
    void SetMainForm(Form* form) { mainForm_ = form; }

    // Runs the message loop until Terminate.
    void Run();
    // Asks the message loop (and every modal loop) to end.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Lets the loops run again after Terminate: clears the flag and drops a quit message
    // still waiting (a test process runs and ends many loops).
    void ResetTerminated();
    // Handles every message waiting in the queue, then returns.
    void ProcessMessages();
    // Handles one message, waiting for it; answers false on WM_QUIT (which it re-posts so
    // every nested loop ends too).
    bool HandleMessage();

    // Reports an error that escaped an event handler: a modal box with the error's message
    // (a "." added when the text does not end in one), the title as caption, a stop icon and
    // OK. Never throws.
    void HandleException(const std::exception& e) noexcept;
    // The same for an exception of any kind; one that is no std::exception is reported as
    // "Unknown error".
    void HandleException(std::exception_ptr error) noexcept;
    void ShowErrorText(std::string_view message) noexcept;

    // Number of error boxes open right now (reports under way, wherever they go).
    int OpenErrorBoxes() const { return openErrorBoxes_; }

private:
    friend class ErrorSink;
    Application() = default;
    LRESULT WindowMessage(HWND, UINT, WPARAM, LPARAM);

    HWND handle_ = nullptr;
    std::string title_;
    bool showMainForm_ = true;
    Form* mainForm_ = nullptr;
    bool terminated_ = false;
    bool comJoined_ = false;
    int openErrorBoxes_ = 0;
};

// The guard at every edge where Windows calls into the program (a window procedure, a hook
// in front of one, a callback): runs `body` and answers what it answers. An exception of any
// kind is reported through the application instead of crossing into Windows, and the call
// answers `onError`.
template <class R, class Body>
R Guarded(R onError, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        Application::Instance().HandleException(std::current_exception());
        return onError;
    }
}

}  // namespace quaff::win
