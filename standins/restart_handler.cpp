#include "restart_handler.h"

#include <chrono>
#include <cstdio>

namespace standins {

RestartHandler::RestartHandler(Report report) : report_(std::move(report)) {}

RestartHandler::~RestartHandler() {
    Stop();
}

bool RestartHandler::Start() {
    if (server_)
        return true;
    // Two servers of one pipe would share its requests between them unnoticed.
    if (::WaitNamedPipeW(ce::hostlink::kKernelPipe, 1) ||
        ::GetLastError() != ERROR_FILE_NOT_FOUND) {
        if (report_)
            report_("kernel: restart handler not started: the kernel pipe is served already");
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.clear();
    }
    auto server = std::make_unique<DriverServer>(
        ce::hostlink::kKernelPipe,
        [this](const ce::hostlink::Request& request) { return Handle(request); });
    if (!server->started()) {
        if (report_)
            report_("kernel: restart handler not started: cannot serve the kernel pipe");
        return false;
    }
    server_ = std::move(server);
    return true;
}

void RestartHandler::Stop() {
    server_.reset();
}

std::vector<ce::hostlink::Request> RestartHandler::requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

bool RestartHandler::WaitFor(std::size_t count, DWORD timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return requests_.size() >= count; });
}

std::string RestartHandler::Describe(const ce::hostlink::Request& request) {
    char in[32] = "none";
    if (request.hasIn != 0)
        std::snprintf(in, sizeof in, "&%lu", static_cast<unsigned long>(request.inWord));
    char line[160];
    std::snprintf(
        line, sizeof line,
        "kernel: KernelIoControl 0x%08lX in=%s inSize=%lu outSize=%lu returned=%s",
        static_cast<unsigned long>(request.code), in, static_cast<unsigned long>(request.inSize),
        static_cast<unsigned long>(request.outSize), request.hasReturned != 0 ? "given" : "none");
    return line;
}

// Reported before it is recorded, so that whoever waits for the record finds the line too.
ce::hostlink::Reply RestartHandler::Handle(const ce::hostlink::Request& request) {
    if (report_)
        report_(Describe(request));
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
    }
    changed_.notify_all();
    return Succeed();
}

} // namespace standins
