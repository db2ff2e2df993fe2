// The registry profile of each USB function mode.
#pragma once

#include "usb_mode.h"

#include <windows.h>

namespace devtune {

// Rewrites the profile of `mode`: the phone-book entry "`USB" is deleted first, then the
// mode's rows are written in order. A mode without a profile writes nothing after the delete.
// Failures are silent; every row is attempted.
void ApplyUsbMode(UsbMode mode);

// Creates or opens root\subKey (class "DWORD" for a new key) and sets one value in it. When the
// key cannot be had, the value is skipped.
void WriteProfileValue(HKEY root, const wchar_t* subKey, const wchar_t* valueName, DWORD type,
                       const void* data, DWORD bytes);

} // namespace devtune
