#include "reader_power_driver.h"

#include <cstdio>

namespace standins {

namespace {

std::wstring DriverPipe() {
    return std::wstring(ce::hostlink::kDriverPipePrefix) + L"HCD1";
}

// The driver takes a power request only as the card-reader program sends it.
bool IsPowerRequestShape(const ce::hostlink::Request& call) {
    return call.hasIn == 0 && call.inSize == 0 && call.outSize == 1 && call.hasReturned != 0;
}

bool IsPowerCode(DWORD code) {
    return code == kReaderPowerOnCode || code == kReaderPowerOffCode;
}

const char* NameOf(DWORD code) {
    switch (code) {
    case kReaderPowerOnCode:
        return "IOCTL_READER_POWER_ON";
    case kReaderPowerOffCode:
        return "IOCTL_READER_POWER_OFF";
    default:
        return nullptr;
    }
}

} // namespace

ReaderPowerDriver::ReaderPowerDriver(Report report, PowerListener listener)
    : report_(std::move(report)), listener_(std::move(listener)) {}

ReaderPowerDriver::~ReaderPowerDriver() {
    Stop();
}

bool ReaderPowerDriver::Start() {
    if (server_)
        return true;
    // Two servers of one pipe would share its requests between them unnoticed.
    const std::wstring pipe = DriverPipe();
    if (::WaitNamedPipeW(pipe.c_str(), 1) || ::GetLastError() != ERROR_FILE_NOT_FOUND) {
        if (report_)
            report_("HCD1: not started: the driver's pipe is served already");
        return false;
    }
    auto server = std::make_unique<DriverServer>(
        pipe, [this](const ce::hostlink::Request& request) { return Handle(request); });
    if (!server->started()) {
        if (report_)
            report_("HCD1: not started: cannot serve the driver's pipe");
        return false;
    }
    server_ = std::move(server);
    return true;
}

void ReaderPowerDriver::Stop() {
    server_.reset();
}

std::vector<ReaderPowerDriver::PowerRequest> ReaderPowerDriver::requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

bool ReaderPowerDriver::WaitFor(std::size_t count, DWORD timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return requests_.size() >= count; });
}

std::string ReaderPowerDriver::Describe(const PowerRequest& request) {
    const ce::hostlink::Request& call = request.call;
    char code[32];
    const char* name = NameOf(call.code);
    if (name == nullptr) {
        std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(call.code));
        name = code;
    }
    char line[160];
    std::snprintf(line, sizeof line, "HCD1: %s in=%s inSize=%lu outSize=%lu returned=%s: %s", name,
                  call.hasIn != 0 ? "given" : "none", static_cast<unsigned long>(call.inSize),
                  static_cast<unsigned long>(call.outSize),
                  call.hasReturned != 0 ? "given" : "none",
                  request.accepted ? "accepted" : "refused");
    return line;
}

// Reported before it is recorded, so that whoever waits for the record finds the line too.
ce::hostlink::Reply ReaderPowerDriver::Handle(const ce::hostlink::Request& call) {
    PowerRequest request{call, IsPowerCode(call.code) && IsPowerRequestShape(call), Clock::now()};
    if (report_)
        report_(Describe(request));
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
    }
    changed_.notify_all();
    if (!IsPowerCode(call.code))
        return Fail(ERROR_INVALID_FUNCTION);
    if (!request.accepted)
        return Fail(ERROR_INVALID_PARAMETER);
    if (listener_)
        listener_(call.code == kReaderPowerOnCode);
    ce::hostlink::Reply reply = Succeed();
    reply.out[0] = 1; // the reader's power is as asked
    reply.returned = 1;
    return reply;
}

} // namespace standins
