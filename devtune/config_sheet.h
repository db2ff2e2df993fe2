// The "Device Config" property sheet: its page table, header and pre-create callback.
#pragma once

#include <windows.h>

namespace devtune {

// Runs the sheet modally; returns when it has closed.
void ShowConfigSheet(HINSTANCE instance);

// The sheet callback: takes the popup style off the sheet's template before the sheet window
// is created. Returns 0 for every message.
int CALLBACK SheetPreCreate(HWND sheet, UINT message, LPARAM argument);

} // namespace devtune
