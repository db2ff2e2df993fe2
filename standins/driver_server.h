// Serves one host-link pipe: each connection gets its own thread, and every request on it is
// answered by the handler. Stands in for a terminal driver (or the kernel) that the programs
// call with device I/O control requests.
#pragma once

#include "ce/hostlink.h"
#include "ce/unique_handle.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace standins {

class DriverServer {
public:
    using Handler = std::function<ce::hostlink::Reply(const ce::hostlink::Request&)>;

    // Starts serving `pipe` (a full \\.\pipe\ name). Check started() afterwards.
    DriverServer(std::wstring pipe, Handler handler);
    DriverServer(const DriverServer&) = delete;
    DriverServer& operator=(const DriverServer&) = delete;
    ~DriverServer();

    bool started() const { return started_; }
    // Connections opened so far and still open (e.g. driver handles a program keeps).
    int openConnections() const { return openConnections_; }

private:
    void AcceptLoop();
    void Serve(ce::UniqueHandle pipe);
    HANDLE CreateInstance() const;

    std::wstring name_;
    Handler handler_;
    ce::UniqueHandle stopEvent_;
    ce::UniqueHandle firstInstance_;
    std::atomic<bool> started_{false};
    std::atomic<int> openConnections_{0};
    std::mutex clientsMutex_;
    std::vector<std::thread> clients_;
    std::thread acceptThread_;
};

// A reply with no output: success, or failure with `error`.
ce::hostlink::Reply Succeed();
ce::hostlink::Reply Fail(DWORD error);

} // namespace standins
