// The card-reader program's serial capture: the reader's port, its speed and texts, and the
// reader's power switched around each press of the port button.
#include "reader_power_control.h"
#include "serial_capture.h"

const SerialCaptureConfig kSerialCaptureConfig = {
    L"COM3:",
    19200,
    L" Open COM3: Port !!\r\n",
    L" Couldn't Open COM3: Port !!\r\n",
    L" Close COM3: Port !!\r\n",
    ReaderPowerControl::OnBeforeToggle,
    ReaderPowerControl::OnOpenFailed,
    ReaderPowerControl::OnAfterClose,
};
