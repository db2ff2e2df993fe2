// Stand-in for the terminal's USB link component: it creates "USBCONNEvent" and
// "USBDISCONNEvent", waits on both, and reports each request it receives.
#pragma once

#include "ce/unique_handle.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace standins {

class UsbLink {
public:
    using Report = std::function<void(const std::string& line)>;

    // Requests received since Start.
    struct Counts {
        int connects = 0;
        int disconnects = 0;
    };

    explicit UsbLink(Report report = nullptr);
    UsbLink(const UsbLink&) = delete;
    UsbLink& operator=(const UsbLink&) = delete;
    ~UsbLink();

    // Creates both events (auto-reset, unset) and starts waiting on them. Returns false, with
    // a report line, when an event cannot be created or already exists (another component
    // owns the link).
    bool Start();
    // Stops waiting and closes the events, so that programs find them gone.
    void Stop();

    Counts counts() const;
    // Waits until at least `connects` and `disconnects` requests have arrived, or `timeoutMs`.
    bool WaitFor(int connects, int disconnects, DWORD timeoutMs) const;

private:
    void WaitLoop();
    void Record(bool connect);

    Report report_;
    ce::UniqueHandle connectEvent_;
    ce::UniqueHandle disconnectEvent_;
    ce::UniqueHandle stopEvent_;
    std::thread waiter_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Counts counts_;
};

} // namespace standins
