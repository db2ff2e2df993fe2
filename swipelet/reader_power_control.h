// The card reader's power, switched through its "HCD1:" driver by the serial capture's hooks:
// on at every press of the port button, off after a close. Each press opens its own handle of
// the driver; a press that opens the port keeps it open until the process ends.
#pragma once

#include "mfc/afxwin.h"

// The driver's requests (device type 0x8000, functions 0x840 and 0x841, buffered, any access).
inline constexpr DWORD IOCTL_READER_POWER_ON = 0x80002100;
inline constexpr DWORD IOCTL_READER_POWER_OFF = 0x80002104;

namespace ReaderPowerControl {

// Opens the driver, powers the reader on and gives it time to come up.
void OnBeforeToggle(CWnd& dialog);
// The port did not open: this press's driver handle is given back.
void OnOpenFailed(CWnd& dialog);
// The port was closed: powers the reader off and gives this press's driver handle back.
void OnAfterClose(CWnd& dialog);

} // namespace ReaderPowerControl
