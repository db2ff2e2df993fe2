// Devtune: the device configuration sheet. One instance at a time, found by its caption.
#include "config_sheet.h"
#include "resource.h"

#include "ce/sheet_window.h"

#include <windows.h>

namespace {

constexpr int kCaptionUnits = 24;

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    wchar_t caption[kCaptionUnits] = {};
    (void)::LoadStringW(instance, IDS_SHEET_CAPTION, caption, kCaptionUnits);
    if (HWND running = ::FindWindowW(nullptr, caption)) {
        // Bit 0 brings the sheet forward together with the windows it owns.
        (void)ce::SetForegroundWindow(
            reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(running) | 1));
        return 0;
    }
    devtune::ShowConfigSheet(instance);
    return 0;
}
