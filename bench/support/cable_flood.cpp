#include "cable_flood.h"

#include "desktop_port.h"
#include "stream_pattern.h"

namespace bench {

CableFlood::CableFlood(const wchar_t* port, DWORD baudRate, std::size_t chunkBytes)
    : port_(OpenDesktopPort(port, baudRate, FILE_FLAG_OVERLAPPED, COMMTIMEOUTS{})),
      chunk_(chunkBytes, '\0') {}

CableFlood::~CableFlood() {
    Stop();
}

void CableFlood::Start() {
    if (isOpen() && !thread_.joinable())
        thread_ = std::thread([this] { WriteLoop(); });
}

void CableFlood::Stop() {
    (void)::SetEvent(stop_.get()); // a valid event handle: cannot fail
    if (thread_.joinable())
        thread_.join();
}

void CableFlood::WriteLoop() {
    HANDLE waits[] = {done_.get(), stop_.get()};
    for (;;) {
        FillStream(sent_.load(std::memory_order_relaxed), chunk_.data(), chunk_.size());
        OVERLAPPED ov{};
        ov.hEvent = done_.get();
        (void)::ResetEvent(ov.hEvent); // a valid event handle: cannot fail
        if (!::WriteFile(port_.get(), chunk_.data(), static_cast<DWORD>(chunk_.size()), nullptr,
                         &ov) &&
            ::GetLastError() != ERROR_IO_PENDING) {
            failure_ = ::GetLastError();
            return;
        }
        bool stopping = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0;
        if (stopping)
            (void)::CancelIoEx(port_.get(), &ov); // it may have completed meanwhile
        DWORD count = 0;
        BOOL ok = ::GetOverlappedResult(port_.get(), &ov, &count, TRUE);
        sent_.fetch_add(count, std::memory_order_relaxed);
        if (stopping)
            return;
        if (!ok) {
            failure_ = ::GetLastError();
            return;
        }
    }
}

} // namespace bench
