// Second page of the sheet: connects or disconnects the USB cable link at once.
#pragma once

#include <windows.h>

namespace devtune {

inline constexpr wchar_t kConnectEventName[] = L"USBCONNEvent";
inline constexpr wchar_t kDisconnectEventName[] = L"USBDISCONNEvent";

INT_PTR CALLBACK UsbCablePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the named event that the USB link component waits on, or tells the user that there is
// no such event.
void SignalCableEvent(const wchar_t* eventName);

} // namespace devtune
