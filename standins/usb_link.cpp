#include "usb_link.h"

#include <chrono>

namespace standins {

namespace {

constexpr wchar_t kConnectEventName[] = L"USBCONNEvent";
constexpr wchar_t kDisconnectEventName[] = L"USBDISCONNEvent";

// Creates the named event as its only owner.
HANDLE CreateOwnEvent(const wchar_t* name, std::string& failure) {
    HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, name);
    if (event == nullptr) {
        failure = "cannot create the event (error " + std::to_string(::GetLastError()) + ")";
    } else if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        failure = "the event already exists";
        ::CloseHandle(event);
        event = nullptr;
    }
    return event;
}

} // namespace

UsbLink::UsbLink(Report report) : report_(std::move(report)) {}

UsbLink::~UsbLink() {
    Stop();
}

bool UsbLink::Start() {
    if (waiter_.joinable())
        return true;
    std::string failure;
    connectEvent_.reset(CreateOwnEvent(kConnectEventName, failure));
    if (connectEvent_)
        disconnectEvent_.reset(CreateOwnEvent(kDisconnectEventName, failure));
    stopEvent_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!connectEvent_ || !disconnectEvent_ || !stopEvent_) {
        if (report_)
            report_("USB link: not started: " + (failure.empty() ? "no stop event" : failure));
        connectEvent_.reset();
        disconnectEvent_.reset();
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        counts_ = Counts{};
    }
    waiter_ = std::thread([this] { WaitLoop(); });
    if (report_)
        report_("USB link: waiting on USBCONNEvent and USBDISCONNEvent");
    return true;
}

void UsbLink::Stop() {
    if (!waiter_.joinable())
        return;
    ::SetEvent(stopEvent_.get());
    waiter_.join();
    connectEvent_.reset();
    disconnectEvent_.reset();
    stopEvent_.reset();
}

UsbLink::Counts UsbLink::counts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return counts_;
}

bool UsbLink::WaitFor(int connects, int disconnects, DWORD timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return counts_.connects >= connects && counts_.disconnects >= disconnects;
    });
}

void UsbLink::WaitLoop() {
    HANDLE waits[] = {stopEvent_.get(), connectEvent_.get(), disconnectEvent_.get()};
    for (;;) {
        DWORD which = ::WaitForMultipleObjects(3, waits, FALSE, INFINITE);
        if (which == WAIT_OBJECT_0 + 1)
            Record(true);
        else if (which == WAIT_OBJECT_0 + 2)
            Record(false);
        else
            return;
    }
}

// Reported before it is counted, so that whoever waits for the count finds the line too.
void UsbLink::Record(bool connect) {
    if (report_)
        report_(connect ? "USB link: connect requested (USBCONNEvent)"
                        : "USB link: disconnect requested (USBDISCONNEvent)");
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++(connect ? counts_.connects : counts_.disconnects);
    }
    changed_.notify_all();
}

} // namespace standins
