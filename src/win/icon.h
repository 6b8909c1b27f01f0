// An icon handle with a change notification, as the tray component shows it. The handle is
// either the object's own or shared with the image list that keeps it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <type_traits>

namespace quaff::win {

// An icon handle destroyed when its last holder lets go of it.
using SharedIcon = std::shared_ptr<std::remove_pointer_t<HICON>>;

// Takes ownership of `h` (null gives an empty SharedIcon).
SharedIcon MakeSharedIcon(HICON h);

class Icon {
public:
    Icon() = default;
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;

    HICON Handle() const { return handle_.get(); }
    bool Empty() const { return !handle_; }

    // Takes ownership of h (may be null); the icon held before is let go. Notifies.
    void SetHandle(HICON h);
    // Holds an icon that others hold too (an image list's frame); it stays valid while this
    // object holds it. Notifies.
    void Share(SharedIcon icon);
    // Copies the other icon's image into this one (an own copy of the handle). Notifies.
    void Assign(const Icon& other);
    // Loads an icon resource by name at the given size (0: the resource's own). Notifies.
    // Answers false when the resource cannot be loaded; the icon is then unchanged.
    bool LoadFromResource(HINSTANCE module, const char* name, int size = 0);

    // Called after every change of the image.
    std::function<void()> OnChange;

    // Icons taken in and not yet destroyed, process-wide: a tray that is redrawn for a day
    // must end where it began.
    static long LiveHandles();
    // Icons ever taken in, process-wide: a counting day must make none after its first
    // minute (Wine's handle numbers grow with every icon made).
    static long MadeHandles();

private:
    void Replace(SharedIcon icon);
    SharedIcon handle_;
};

}  // namespace quaff::win
