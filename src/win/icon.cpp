#include "win/icon.h"

#include <atomic>

namespace quaff::win {

namespace {
std::atomic<long> g_live{0};
}

long Icon::LiveHandles() { return g_live.load(); }

Icon::~Icon() {
    if (handle_) {
        DestroyIcon(handle_);
        --g_live;
    }
}

void Icon::Replace(HICON h) {
    if (h == handle_) return;
    if (handle_) {
        DestroyIcon(handle_);
        --g_live;
    }
    handle_ = h;
    if (handle_) ++g_live;
}

void Icon::SetHandle(HICON h) {
    Replace(h);
    if (OnChange) OnChange();
}

void Icon::Assign(const Icon& other) {
    if (&other == this) return;
    SetHandle(other.handle_ ? CopyIcon(other.handle_) : nullptr);
}

bool Icon::LoadFromResource(HINSTANCE module, const char* name, int size) {
    HICON h = static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, size, size,
                                            size ? 0 : LR_DEFAULTSIZE));
    if (!h) return false;
    SetHandle(h);
    return true;
}

}  // namespace quaff::win
