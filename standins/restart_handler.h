// Stand-in for the terminal kernel's restart handler: serves the kernel's host-link pipe,
// records every I/O control request it receives and reports it. The device is not restarted;
// the request is answered with success.
#pragma once

#include "driver_server.h"

#include <ce/hostlink.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace standins {

class RestartHandler {
public:
    using Report = std::function<void(const std::string& line)>;

    explicit RestartHandler(Report report = nullptr);
    RestartHandler(const RestartHandler&) = delete;
    RestartHandler& operator=(const RestartHandler&) = delete;
    ~RestartHandler();

    // Serves ce::hostlink::kKernelPipe. Returns false (and reports) when the pipe cannot be
    // served, e.g. because another handler serves it already.
    bool Start();
    // Stops serving: requests sent afterwards fail as if no kernel handler were there.
    void Stop();

    std::vector<ce::hostlink::Request> requests() const;
    // Waits until at least `count` requests have been recorded, or `timeoutMs`.
    bool WaitFor(std::size_t count, DWORD timeoutMs) const;

    // One line describing a request, e.g.
    // "kernel: KernelIoControl 0x0101003C in=&1085 inSize=0 outSize=0 returned=none".
    static std::string Describe(const ce::hostlink::Request& request);

private:
    ce::hostlink::Reply Handle(const ce::hostlink::Request& request);

    Report report_;
    std::unique_ptr<DriverServer> server_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<ce::hostlink::Request> requests_;
};

} // namespace standins
