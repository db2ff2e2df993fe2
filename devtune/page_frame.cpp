#include "page_frame.h"

namespace devtune {

void ResizeSheetToWorkArea(HWND page) {
    RECT area{};
    // Neither result is examined: a failed request leaves the sheet where it is.
    (void)::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    (void)::SetWindowPos(::GetParent(page), nullptr, area.left, area.top, area.right - area.left,
                         area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void QuitOnPageDestroyed() {
    ::PostQuitMessage(0);
}

} // namespace devtune
