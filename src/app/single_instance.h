// One running copy per user session: a second start asks the running one to show its
// monitor window (as "Drink Stuff..." would, guard included) instead of adding a second icon.
#pragma once

#include <windows.h>

#include "win/handles.h"

namespace quaff::app {

class SingleInstance {
public:
    SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process is the only copy; false when another copy was already running
    // (it has then been asked to show its monitor window).
    bool First() const { return first_; }

    // The message a second copy posts to the first one's application window.
    static UINT ShowRequestMessage();
    // The message the installer sends the application window before an update: close, keeping
    // a counting period for the copy it starts afterwards. The copy answers kClosingForUpdate;
    // an older one, which does not know the message, answers 0 and is sent WM_CLOSE instead.
    static UINT CloseForUpdateMessage();
    static constexpr LRESULT kClosingForUpdate = 1;

private:
    win::UniqueKernelHandle mutex_;
    bool first_ = true;
};

}  // namespace quaff::app
