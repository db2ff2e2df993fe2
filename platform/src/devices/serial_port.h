// A desktop serial port opened for overlapped I/O, presented as the terminal's blocking port
// whose pending reads and writes fail once the handle is closed.
#pragma once

#include "device.h"

#include "ce/unique_handle.h"

#include <mutex>
#include <string>

namespace ce::devices {

class SerialPort final : public Device {
public:
    // `port` is open with FILE_FLAG_OVERLAPPED; `claim`, when given, keeps the port busy for
    // other opens while this device lives; `driverPipe` serves the requests of the port's
    // driver that a desktop serial driver does not know.
    SerialPort(UniqueHandle port, UniqueHandle claim, std::wstring driverPipe);

    BOOL Read(void* buffer, DWORD toRead, DWORD* read) override;
    BOOL Write(const void* buffer, DWORD toWrite, DWORD* written) override;
    BOOL IoControl(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                   DWORD* returned) override;
    BOOL GetCommState(DCB* dcb) override;
    BOOL SetCommState(DCB* dcb) override;
    BOOL SetCommTimeouts(COMMTIMEOUTS* timeouts) override;
    void Close() override;

private:
    struct Channel {
        std::mutex busy;
        UniqueHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    };
    // Starts one overlapped operation with `start` and waits for it or for the close.
    template <typename Start> BOOL Transfer(Channel& channel, DWORD* transferred, Start start);

    // Bytes fetched from the port and not yet handed to a reader.
    struct ReadAhead {
        BYTE bytes[4096];
        DWORD begin = 0;
        DWORD end = 0;
    };

    UniqueHandle claim_; // released after the port is closed
    UniqueHandle port_;
    UniqueHandle closed_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::wstring driverPipe_;
    Channel reads_;
    ReadAhead ahead_; // guarded by reads_.busy
    Channel writes_;
    Channel controls_;
};

} // namespace ce::devices
