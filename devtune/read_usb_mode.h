// The USB function mode the device starts in, read from the client driver it loads.
#pragma once

#include "usb_mode.h"

#include <windows.h>

namespace devtune {

// Reads "DefaultClientDriver" under HKLM\Drivers\USB\FunctionDrivers, creating that key when it
// is missing. Anything but the exact name of one of the two client drivers gives AllDisabled.
UsbMode ReadUsbMode();

// The mode that a client driver name selects. `text` holds `bytes` bytes as the registry
// returned them; the name ends at the first zero unit or at the end of those bytes, whichever
// comes first, so a value that fills its buffer without a terminator is never read past.
UsbMode UsbModeFromDriverName(const wchar_t* text, DWORD bytes);

} // namespace devtune
