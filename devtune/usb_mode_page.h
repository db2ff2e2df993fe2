// First page of the sheet: the USB function mode the device starts in.
#pragma once

#include "usb_mode.h"

#include <windows.h>

namespace devtune {

INT_PTR CALLBACK UsbModePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace devtune
