#include "serial_capture.h"

#include "capture_controls.h"
#include "receive_buffer.h"

#include "ce/debug.h"
#include "ce/device.h"
#include "ce/slim_lock.h"

#include <atomic>
#include <mutex>

static_assert(sizeof(DCB) == 28, "the line-settings record is 28 bytes");
static_assert(sizeof(wchar_t) == sizeof(char16_t),
              "the log box takes the buffer's units as they are");

namespace {

struct CaptureState {
    std::atomic<HANDLE> port{INVALID_HANDLE_VALUE};
    HANDLE readerThread = INVALID_HANDLE_VALUE;
    bool portOpen = false;
    // The reader thread's store and the timer's show exclude each other through this lock.
    ce::SlimLock bufferLock;
    ReceiveBuffer buffer;
};

// Process-wide and never destroyed: a reader thread may still run while the process exits.
CaptureState& State() {
    static auto* state = new CaptureState;
    return *state;
}

DWORD WINAPI ReaderThread(LPVOID) {
    CaptureState& state = State();
    for (;;) {
        BYTE byte = 0;
        DWORD read = 0;
        // The handle as it stands now: after a close it is invalid (or closed, which the
        // device layer never hands out again), so the read fails and the thread ends.
        if (!ce::ReadFile(state.port.load(), &byte, 1, &read, nullptr))
            break;
        if (read == 1) {
            std::lock_guard<ce::SlimLock> lock(state.bufferLock);
            state.buffer.Store(byte);
        }
    }
    ::Sleep(1);
    return 0;
}

// Two reader threads must never read the port at once: a new open first lets the previous
// thread finish. Its read failed when the port was closed, so this returns at once.
void EndPreviousReader(CaptureState& state) {
    if (state.readerThread == INVALID_HANDLE_VALUE || state.readerThread == nullptr)
        return;
    ::WaitForSingleObject(state.readerThread, INFINITE);
    ::CloseHandle(state.readerThread);
    state.readerThread = INVALID_HANDLE_VALUE;
}

void ApplyLineSettings(HANDLE port, DWORD baudRate) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    (void)ce::GetCommState(port, &dcb); // unchecked: a refusal leaves the zeros to be written
    dcb.BaudRate = baudRate;
    dcb.fParity = FALSE;
    dcb.fNull = FALSE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    (void)ce::SetCommState(port, &dcb); // unchecked: the port keeps whatever the driver took
}

// No time-outs: a read waits until its byte has come, a write until its bytes are sent.
void ApplyTimeouts(HANDLE port) {
    COMMTIMEOUTS timeouts{};
    (void)ce::SetCommTimeouts(port, &timeouts); // unchecked, as the line settings
}

void OpenPort(CWnd& dialog, CaptureState& state, const SerialCaptureConfig& config) {
    EndPreviousReader(state);
    HANDLE port = ce::CreateFile(config.portName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    state.port = port;
    if (port == INVALID_HANDLE_VALUE) {
        config.OnOpenFailed(dialog);
        dialog.SetDlgItemText(IDC_LOG_BOX, config.failureText);
        return;
    }
    dialog.SetDlgItemText(IDC_LOG_BOX, config.openText);
    ApplyLineSettings(port, config.baudRate);
    ApplyTimeouts(port);
    state.readerThread = ::CreateThread(nullptr, 0, &ReaderThread, nullptr, 0, nullptr);
    dialog.SetTimer(kDisplayTimerId, kDisplayTimerMs, nullptr);
    state.portOpen = true;
    dialog.SetDlgItemText(IDC_PORT_BUTTON, L"Close Port");
}

void ClosePort(CWnd& dialog, CaptureState& state, const SerialCaptureConfig& config) {
    dialog.KillTimer(kDisplayTimerId);
    (void)ce::CloseHandle(state.port.exchange(INVALID_HANDLE_VALUE)); // fails only if not open
    state.portOpen = false;
    ce::DebugLine(config.closeText);
    dialog.SetDlgItemText(IDC_PORT_BUTTON, L"Open Port");
    config.OnAfterClose(dialog);
    dialog.SetDlgItemText(IDC_LOG_BOX, config.closeText);
}

} // namespace

void NoCaptureHook(CWnd&) {}

void TogglePort(CWnd& dialog) {
    CaptureState& state = State();
    const SerialCaptureConfig& config = kSerialCaptureConfig;
    config.OnBeforeToggle(dialog);
    if (!state.portOpen)
        OpenPort(dialog, state, config);
    else
        ClosePort(dialog, state, config);
}

void DisplayTimer(CWnd& dialog, UINT_PTR) {
    CaptureState& state = State();
    std::lock_guard<ce::SlimLock> lock(state.bufferLock);
    if (state.buffer.TakeForDisplay())
        dialog.SetDlgItemText(IDC_LOG_BOX, reinterpret_cast<const wchar_t*>(state.buffer.text()));
}

HANDLE CapturePortHandle() {
    return State().port.load();
}
