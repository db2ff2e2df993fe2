// The serial capture of a test program: the port button opens or closes one serial port, a
// reader thread collects what the device sends, and window timer 1 shows it once a second.
// One capture per process; each program supplies its own configuration.
#pragma once

#include "mfc/afxwin.h"

struct SerialCaptureConfig {
    const wchar_t* portName;
    DWORD baudRate;
    const wchar_t* openText;
    const wchar_t* failureText;
    const wchar_t* closeText;
    // Called on the main thread with the dialog, so that a program can act around the port.
    void (*OnBeforeToggle)(CWnd& dialog); // at the start of every press of the port button
    void (*OnOpenFailed)(CWnd& dialog);   // when the port did not open
    void (*OnAfterClose)(CWnd& dialog);   // right after the port was closed
};

// Defined by each program.
extern const SerialCaptureConfig kSerialCaptureConfig;

// A hook that does nothing.
void NoCaptureHook(CWnd& dialog);

// The port button's handler: opens the port when closed, closes it when open.
void TogglePort(CWnd& dialog);

// The work of a timer message: when new data came, show the whole received text.
void DisplayTimer(CWnd& dialog, UINT_PTR timerId);

// The open port, or INVALID_HANDLE_VALUE while closed; for the programs' command buttons.
HANDLE CapturePortHandle();

inline constexpr UINT_PTR kDisplayTimerId = 1;
inline constexpr UINT kDisplayTimerMs = 1000;
