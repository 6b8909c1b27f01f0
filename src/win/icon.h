// An owned icon handle with a change notification, as the tray component shows it.
#pragma once

#include <windows.h>

#include <functional>

namespace quaff::win {

class Icon {
public:
    Icon() = default;
    ~Icon();
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;

    HICON Handle() const { return handle_; }
    bool Empty() const { return handle_ == nullptr; }

    // Takes ownership of h (may be null); the icon held before is destroyed. Notifies.
    void SetHandle(HICON h);
    // Copies the other icon's image into this one (an own copy of the handle). Notifies.
    void Assign(const Icon& other);
    // Loads an icon resource by name at the given size (0: the resource's own). Notifies.
    // Answers false when the resource cannot be loaded; the icon is then unchanged.
    bool LoadFromResource(HINSTANCE module, const char* name, int size = 0);

    // Called after every change of the image.
    std::function<void()> OnChange;

    // Icons created and not yet destroyed by all Icon objects of the process: a tray that is
    // redrawn for a day must end where it began.
    static long LiveHandles();

private:
    void Replace(HICON h);
    HICON handle_ = nullptr;
};

}  // namespace quaff::win
