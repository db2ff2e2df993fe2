// The far end of a null-modem cable: where a simulated device sits. Opens the desktop COM
// port on the cable's other end and moves raw bytes.
#pragma once

#include "ce/unique_handle.h"

#include <string>

namespace standins {

class SerialPeer {
public:
    // Opens `port` ("COM11") at `baudRate` 8N1, no flow control. Check isOpen().
    SerialPeer(const wchar_t* port, DWORD baudRate);

    bool isOpen() const { return static_cast<bool>(port_); }
    // Sends all of `bytes`; false when the cable is gone or nobody took them within
    // `timeoutMs` (a cable whose other end is not read fills up).
    bool Write(const std::string& bytes, DWORD timeoutMs = 5000);
    // Returns the bytes that arrive within `timeoutMs` (stops early once `atLeast` have come).
    std::string Read(DWORD timeoutMs, std::size_t atLeast = 1);
    // Throws away whatever either direction still holds.
    void Purge();

private:
    ce::UniqueHandle port_;
    ce::UniqueHandle done_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

} // namespace standins
