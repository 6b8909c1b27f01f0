// Driving the program's dialogs in the tests: acting from inside a modal showing, and pictures
// of shown windows taken from the screen as the user sees them (for checking what was drawn
// and for keeping screenshots).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "win/timer.h"

namespace quaff::win {
class Form;
}

namespace quaff::test {

// Shows the form modally and runs `action` from inside its modal loop once the form is up
// (from a timer message, never a sleep); what the action posts is handled by that loop. A
// form still open long after is closed and the test fails, so a broken dialog cannot hang
// the suite. Answers the modal result.
int ShowModalWith(win::Form& form, const std::function<void()>& action);

// Clicks a button as the user does (BM_CLICK: press and release).
void Click(HWND button);

// The window's text (a field's, a caption) as the program reads it.
std::string WindowText(HWND window);

// Presses and releases a key in the window that has the focus, as the keyboard does: posted,
// for the shown dialog's loop to handle (the dialog manager sees it first).
void PressKey(WPARAM key);

// The thread's visible dialog-manager window (a message box, the folder browser), or null.
HWND FindThreadDialog();

// While it lives, answers the thread's message boxes (the real error box) as the user does:
// records each one's text and presses its OK.
class MessageBoxAnswer {
public:
    MessageBoxAnswer();
    const std::vector<std::string>& Texts() const { return texts_; }

private:
    std::vector<std::string> texts_;
    win::Timer timer_;
};

// 24-bit pixels, top row first.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr;  // rows of width * 3 bytes, blue, green, red

    COLORREF Pixel(int x, int y) const;
    // Whether any pixel inside `area` (capture coordinates) answers true.
    template <class Pred>
    bool Any(const RECT& area, Pred pred) const {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (pred(Pixel(x, y))) return true;
        return false;
    }
};

// The window's client area with its controls as drawn, once everything pending is drawn. (The
// frame is the window manager's business and is not part of it.)
Capture CaptureWindow(HWND window);

// Writes the capture as a 24-bit BMP file; answers whether it was written completely.
bool WriteBmp(const Capture& capture, const std::string& path);

// Saves the window as `fileName` in the folder named by QUAFF_SCREENSHOT_DIR, when that is
// set; answers the path written, or empty text when no folder is named.
std::string SaveScreenshot(HWND window, const std::string& fileName);

}  // namespace quaff::test
