#include "win/icon.h"

#include <atomic>

namespace quaff::win {

namespace {
std::atomic<long> g_live{0};
std::atomic<long> g_made{0};
}  // namespace

long Icon::LiveHandles() { return g_live.load(); }

long Icon::MadeHandles() { return g_made.load(); }

SharedIcon MakeSharedIcon(HICON h) {
    if (!h) return {};
    ++g_live;
    ++g_made;
    return SharedIcon(h, [](HICON icon) {
        DestroyIcon(icon);
        --g_live;
    });
}

void Icon::Replace(SharedIcon icon) {
    if (icon != handle_) handle_ = std::move(icon);
    if (OnChange) OnChange();
}

void Icon::SetHandle(HICON h) {
    // The handle held already stays held once, not twice.
    Replace(h && h == handle_.get() ? handle_ : MakeSharedIcon(h));
}

void Icon::Share(SharedIcon icon) { Replace(std::move(icon)); }

void Icon::Assign(const Icon& other) {
    if (&other == this) return;
    SetHandle(other.Handle() ? CopyIcon(other.Handle()) : nullptr);
}

bool Icon::LoadFromResource(HINSTANCE module, const char* name, int size) {
    HICON h = static_cast<HICON>(
        LoadImageA(module, name, IMAGE_ICON, size, size, size ? 0 : LR_DEFAULTSIZE));
    if (!h) return false;
    SetHandle(h);
    return true;
}

}  // namespace quaff::win
