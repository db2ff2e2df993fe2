// The kernel's device restart, asked for after a new USB mode profile has been written.
#pragma once

#include "usb_mode.h"

#include <windows.h>

namespace devtune {

// The hardware abstraction layer's restart request: device type 0x0101, function 15,
// buffered, any access.
inline constexpr DWORD IOCTL_HAL_REBOOT = 0x0101003C;

// The argument word that makes the restart bring the port up as a card reader.
inline constexpr DWORD kCardReaderRestartArgument = 1085;

// Asks the kernel to restart the device for `mode`. CardReader passes a pointer to
// kCardReaderRestartArgument, the other modes no in-buffer; the in-buffer size is 0 either way.
void RequestRestart(UsbMode mode);

} // namespace devtune
