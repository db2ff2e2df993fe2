// The capture's reader as the programs run it: the device file opened and set up through the
// device layer the way the capture opens its port, then one byte per ce::ReadFile on the handle
// as it stands, each stored in a ReceiveBuffer under a lock that a display step would share.
// Only the counting is added.
#pragma once

#include "cable_reader.h"

#include "ce/unique_handle.h"
#include "receive_buffer.h"

#include <windows.h>

#include <mutex>

namespace bench {

class CaptureLoopReader final : public CableReader {
public:
    // `device` as the programs name it: "COM3:".
    CaptureLoopReader(const wchar_t* device, DWORD baudRate)
        : device_(device), baudRate_(baudRate) {}
    ~CaptureLoopReader() override { Stop(); }

    const char* name() const override { return "capture loop"; }
    bool Start() override;
    void Stop() override;

private:
    static DWORD WINAPI ThreadMain(LPVOID self);
    void ReadLoop();

    const wchar_t* device_;
    DWORD baudRate_;
    std::atomic<HANDLE> port_{INVALID_HANDLE_VALUE};
    ce::UniqueHandle thread_;
    std::mutex bufferLock_;
    ReceiveBuffer buffer_;
};

} // namespace bench
