// The simulated laser barcode scanner: it sits on the far end of the scanner port's cable and
// answers its port driver's trigger request by sending a code, as a scanner in front of a
// barcode would.
#pragma once

#include "driver_server.h"
#include "serial_peer.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace standins {

// The scanner port driver's trigger request.
inline constexpr DWORD kScannerTriggerCode = 0x00192058;
// A valid EAN-13 code, sent on trigger unless told otherwise.
inline constexpr char kDefaultBarcode[] = "5901234123457";

class Scanner {
public:
    using Report = std::function<void(const std::string&)>;

    // `peerPort` is the cable's far end ("COM11"), `terminalPort` the port the program opens
    // ("COM1"), whose driver's trigger request the scanner serves.
    Scanner(const wchar_t* peerPort, const wchar_t* terminalPort, Report report);

    bool isReady() const { return peer_.isOpen() && driver_ && driver_->started(); }
    // The code the next trigger sends.
    void SetBarcode(std::string code);
    // Sends a code as if a barcode were read: its digits and a CR.
    bool Scan(const std::string& code);
    int triggers() const { return triggers_; }
    SerialPeer& peer() { return peer_; }

private:
    ce::hostlink::Reply OnRequest(const ce::hostlink::Request& request);

    Report report_;
    SerialPeer peer_;
    std::mutex barcodeMutex_;
    std::string barcode_ = kDefaultBarcode;
    std::atomic<int> triggers_{0};
    std::unique_ptr<DriverServer> driver_;
};

} // namespace standins
