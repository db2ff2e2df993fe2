// Stand-in for the terminal's "HCD1:" driver, which switches the card reader's power. It
// serves the driver's host-link pipe, takes the two power requests in the shape the card-reader
// program sends them (no input, a one-byte output, a returned count), refuses anything else,
// records every request with the time it came, and tells the reader when its power changes.
#pragma once

#include "driver_server.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace standins {

inline constexpr DWORD kReaderPowerOnCode = 0x80002100;
inline constexpr DWORD kReaderPowerOffCode = 0x80002104;

class ReaderPowerDriver {
public:
    using Clock = std::chrono::steady_clock;
    using Report = std::function<void(const std::string& line)>;
    using PowerListener = std::function<void(bool on)>;

    struct PowerRequest {
        ce::hostlink::Request call;
        bool accepted;
        Clock::time_point at; // when the request reached the driver
    };

    ReaderPowerDriver(Report report, PowerListener listener);
    ReaderPowerDriver(const ReaderPowerDriver&) = delete;
    ReaderPowerDriver& operator=(const ReaderPowerDriver&) = delete;
    ~ReaderPowerDriver();

    // Serves "HCD1:". Returns false (and reports) when it cannot, e.g. because another
    // stand-in serves it already.
    bool Start();
    // Stops serving: "HCD1:" is then missing, as on a terminal without the driver.
    void Stop();

    std::vector<PowerRequest> requests() const;
    // Waits until at least `count` requests have been recorded, or `timeoutMs`.
    bool WaitFor(std::size_t count, DWORD timeoutMs) const;
    // Handles of "HCD1:" that programs hold open now.
    int openConnections() const { return server_ ? server_->openConnections() : 0; }

    // e.g. "HCD1: IOCTL_READER_POWER_ON in=none inSize=0 outSize=1 returned=given: accepted"
    static std::string Describe(const PowerRequest& request);

private:
    ce::hostlink::Reply Handle(const ce::hostlink::Request& request);

    Report report_;
    PowerListener listener_;
    std::unique_ptr<DriverServer> server_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<PowerRequest> requests_;
};

} // namespace standins
