// Device files as the terminal's programs use them: "COM1:", "COM3:", "HCD1:" and the like.
//
// On the host, "COMn:" is the desktop's serial port COMn, and any other "XXXn:" is the host
// stand-in of that driver, served on a named pipe. Two things differ from the desktop on purpose:
// - closing a handle makes a read or write that another thread has waiting on it fail, as the
//   terminal's drivers do (desktop synchronous I/O would stay blocked);
// - handle values are never reused, so a stale copy of a closed handle fails every operation
//   instead of reaching whatever device was opened next;
// - a port opened without sharing is busy for every other open until it is closed.
// None of the operations is overlapped: an OVERLAPPED argument is refused.
#pragma once

#include <windows.h>

namespace ce {

HANDLE CreateFile(const wchar_t* name, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security,
                  DWORD creation, DWORD attributes, HANDLE templateFile);
BOOL ReadFile(HANDLE h, void* buffer, DWORD toRead, DWORD* read, OVERLAPPED* overlapped);
BOOL WriteFile(HANDLE h, const void* buffer, DWORD toWrite, DWORD* written, OVERLAPPED* overlapped);
BOOL DeviceIoControl(HANDLE h, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* returned, OVERLAPPED* overlapped);
BOOL CloseHandle(HANDLE h);

BOOL GetCommState(HANDLE h, DCB* dcb);
BOOL SetCommState(HANDLE h, DCB* dcb);
BOOL SetCommTimeouts(HANDLE h, COMMTIMEOUTS* timeouts);

} // namespace ce
