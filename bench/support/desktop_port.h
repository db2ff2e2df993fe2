// A desktop serial port set up the way the bench's cables are driven: raw 8N1 bytes, no flow
// control, and the caller's time-outs.
#pragma once

#include "ce/unique_handle.h"

#include <windows.h>

namespace bench {

// Opens "COMn" (`name` without the \\.\ prefix) read-write; `flags` may hold
// FILE_FLAG_OVERLAPPED. Returns an empty handle, with the reason on standard error, on failure.
ce::UniqueHandle OpenDesktopPort(const wchar_t* name, DWORD baudRate, DWORD flags,
                                 const COMMTIMEOUTS& timeouts);

// A read returns at once with what has come, and waits up to `waitMs` only when nothing has.
COMMTIMEOUTS ReturnWhatHasCome(DWORD waitMs);

// Reads port `name` until nothing more comes for a moment, so that what an earlier run left in
// the cable does not reach the next reader. False when the port cannot be opened.
bool DrainCable(const wchar_t* name, DWORD baudRate);

} // namespace bench
