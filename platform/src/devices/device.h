// One open device behind a ce:: handle. The base refuses everything; each kind of device
// overrides what it supports.
#pragma once

#include <windows.h>

namespace ce::devices {

class Device {
public:
    virtual ~Device() = default;

    virtual BOOL Read(void* buffer, DWORD toRead, DWORD* read);
    virtual BOOL Write(const void* buffer, DWORD toWrite, DWORD* written);
    virtual BOOL IoControl(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                           DWORD* returned);
    virtual BOOL GetCommState(DCB* dcb);
    virtual BOOL SetCommState(DCB* dcb);
    virtual BOOL SetCommTimeouts(COMMTIMEOUTS* timeouts);

    // Called once when the handle is closed; I/O waiting in other threads must fail from here on.
    virtual void Close() {}
};

// Sets the last error and returns FALSE: the shape of every refusal.
BOOL Refuse(DWORD error);

} // namespace ce::devices
