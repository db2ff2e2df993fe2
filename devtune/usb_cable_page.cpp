#include "usb_cable_page.h"

#include "page_frame.h"
#include "profile_values.h"
#include "resource.h"

#include "ce/event.h"
#include "ce/registry.h"
#include "ce/unique_handle.h"

namespace devtune {

namespace {

// Points the desktop-synchronisation settings at the USB entry and lets it connect by itself.
void SelectUsbConnection() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (ce::RegCreateKeyEx(HKEY_CURRENT_USER, kConnectionSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                           nullptr, &key, &disposition) != ERROR_SUCCESS)
        return;
    // Neither set is examined: the connect request goes out whatever was written.
    (void)::RegSetValueExW(key, kConnectionValue, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(kUsbEntryName), sizeof kUsbEntryName);
    (void)::RegSetValueExW(key, kAutoConnectValue, 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&kAutoConnectOn), sizeof kAutoConnectOn);
    ::RegCloseKey(key);
}

void OnCommand(WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED)
        return;
    switch (LOWORD(wParam)) {
    case IDC_CABLE_CONNECT:
        SelectUsbConnection();
        SignalCableEvent(kConnectEventName);
        break;
    case IDC_CABLE_DISCONNECT:
        SignalCableEvent(kDisconnectEventName);
        break;
    default:
        break;
    }
}

} // namespace

void SignalCableEvent(const wchar_t* eventName) {
    ce::UniqueHandle event(::OpenEventW(EVENT_ALL_ACCESS, FALSE, eventName));
    if (!event) {
        (void)::MessageBoxW(nullptr, L"Cann't open event!", L"ERROR", MB_OK);
        return;
    }
    // Setting is the whole request; the component that waits on it reports nothing back.
    (void)ce::EventModify(event.get(), ce::EVENT_SET);
}

INT_PTR CALLBACK UsbCablePageProc(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_SETTINGCHANGE:
        ResizeSheetToWorkArea(page);
        return FALSE;
    case WM_DESTROY:
        QuitOnPageDestroyed();
        return FALSE;
    case WM_COMMAND:
        OnCommand(wParam);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace devtune
