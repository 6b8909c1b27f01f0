#include "win/window_class.h"

namespace quaff::win {

void RegisterWindowClassOnce(WNDCLASSA wc) {
    wc.hInstance = GetModuleHandleA(nullptr);
    WNDCLASSA probe;
    if (GetClassInfoA(wc.hInstance, wc.lpszClassName, &probe)) return;
    RegisterClassA(&wc);
}

}  // namespace quaff::win
