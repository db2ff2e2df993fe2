#include "ce/sheet_window.h"

namespace ce {

BOOL SetForegroundWindow(HWND window) {
    const auto bits = reinterpret_cast<ULONG_PTR>(window);
    const bool withOwned = (bits & 1) != 0;
    HWND target = reinterpret_cast<HWND>(bits & ~static_cast<ULONG_PTR>(1));
    if (withOwned)
        target = ::GetLastActivePopup(target);
    return ::SetForegroundWindow(target);
}

} // namespace ce
