#include "reader_power_control.h"

#include "capture_controls.h"

#include "ce/debug.h"
#include "ce/device.h"

namespace {

constexpr wchar_t kDriverName[] = L"HCD1:";
constexpr wchar_t kCantOpenDeviceText[] = L"Can't open device. \n\r";
constexpr wchar_t kPowerFailedLine[] = L"DeviceIoControl : MSR Power Failed. \n\r";
// The reader needs this long after power-on before its port is worth opening.
constexpr DWORD kPowerOnSettleMs = 500;
// Lets the port driver finish with the closed port before the reader loses power.
constexpr DWORD kPowerOffDelayMs = 100;

// The driver handle of the press in progress, or INVALID_HANDLE_VALUE. Main thread only.
HANDLE pressHandle = INVALID_HANDLE_VALUE;

HANDLE OpenPowerDriver() {
    return ce::CreateFile(kDriverName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Sends one power request; a failure is reported on the debug output and the press goes on.
void RequestPower(HANDLE driver, DWORD code) {
    BYTE out = 0;
    DWORD returned = 0;
    if (!ce::DeviceIoControl(driver, code, nullptr, 0, &out, sizeof out, &returned, nullptr))
        ce::DebugLine(kPowerFailedLine);
}

void ReleasePressHandle() {
    if (pressHandle != INVALID_HANDLE_VALUE)
        (void)ce::CloseHandle(pressHandle); // a handle we opened: closing it cannot fail
    pressHandle = INVALID_HANDLE_VALUE;
}

} // namespace

namespace ReaderPowerControl {

void OnBeforeToggle(CWnd& dialog) {
    // A handle left by an earlier press that opened the port stays open on purpose: the reader
    // keeps it until the process ends, and nothing more is sent on it.
    pressHandle = OpenPowerDriver();
    if (pressHandle == INVALID_HANDLE_VALUE)
        dialog.SetDlgItemText(IDC_LOG_BOX, kCantOpenDeviceText);
    RequestPower(pressHandle, IOCTL_READER_POWER_ON);
    ::Sleep(kPowerOnSettleMs);
}

void OnOpenFailed(CWnd&) {
    ReleasePressHandle();
}

void OnAfterClose(CWnd&) {
    ::Sleep(kPowerOffDelayMs);
    RequestPower(pressHandle, IOCTL_READER_POWER_OFF);
    ReleasePressHandle();
}

} // namespace ReaderPowerControl
