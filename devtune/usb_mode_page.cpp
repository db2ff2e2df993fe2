#include "usb_mode_page.h"

#include "page_frame.h"
#include "read_usb_mode.h"
#include "resource.h"
#include "restart_request.h"
#include "usb_profiles.h"

#include <commctrl.h>
#include <prsht.h>

namespace devtune {

namespace {

// The mode read when the page was created, and the one the user clicked last.
UsbMode g_initialMode = AllDisabled;
UsbMode g_pendingMode = AllDisabled;

int RadioButtonOf(UsbMode mode) {
    return IDC_MODE_ACTIVESYNC + mode;
}

void ShowCurrentMode(HWND page) {
    const UsbMode mode = ReadUsbMode();
    g_initialMode = mode;
    g_pendingMode = mode;
    (void)::CheckRadioButton(page, IDC_MODE_ACTIVESYNC, IDC_MODE_ALLDISABLED, RadioButtonOf(mode));
}

void RememberClickedMode(WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED)
        return;
    // The sheet is not told of the change: nothing but the confirmation writes the profile.
    g_pendingMode = static_cast<UsbMode>(LOWORD(wParam) - IDC_MODE_ACTIVESYNC);
}

void ApplyPendingMode() {
    if (g_pendingMode == g_initialMode)
        return;
    ApplyUsbMode(g_pendingMode);
    RequestRestart(g_pendingMode);
}

void OnNotify(LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == static_cast<UINT>(PSN_APPLY))
        ApplyPendingMode();
}

} // namespace

INT_PTR CALLBACK UsbModePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        ShowCurrentMode(page);
        return TRUE;
    case WM_SETTINGCHANGE:
        ResizeSheetToWorkArea(page);
        return FALSE;
    case WM_DESTROY:
        QuitOnPageDestroyed();
        return FALSE;
    case WM_COMMAND:
        RememberClickedMode(wParam);
        return TRUE;
    case WM_NOTIFY:
        OnNotify(lParam);
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace devtune
