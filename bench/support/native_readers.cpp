#include "native_readers.h"

#include "desktop_port.h"

#include <cstdio>
#include <vector>

namespace bench {

namespace {

// Long enough that a flooded cable never times out, short enough that a stop is prompt.
constexpr DWORD kIdleWaitMs = 100;

// Waits for an overlapped read; false when it failed or was cancelled.
bool FinishRead(HANDLE port, OVERLAPPED& ov, DWORD& count) {
    count = 0;
    return ::GetOverlappedResult(port, &ov, &count, TRUE) != FALSE;
}

} // namespace

bool DesktopPortReader::Start() {
    handle_ = OpenDesktopPort(port_.c_str(), baudRate_, OpenFlags(), Timeouts());
    if (!handle_)
        return false;
    stopping_ = false;
    thread_ = std::thread([this] { ReadLoop(handle_.get()); });
    return true;
}

void DesktopPortReader::Stop() {
    stopping_ = true;
    if (thread_.joinable()) {
        Interrupt(handle_.get());
        thread_.join();
    }
    handle_.reset();
}

void DesktopPortReader::ReportFailure(const char* what) const {
    if (!stopping_)
        std::fprintf(stderr, "%s on %ls: %s failed, error %lu\n", name(), port_.c_str(), what,
                     ::GetLastError());
}

COMMTIMEOUTS BlockReader::Timeouts() const {
    return ReturnWhatHasCome(kIdleWaitMs);
}

void BlockReader::ReadLoop(HANDLE port) {
    std::vector<BYTE> buffer(64 * 1024);
    ce::UniqueHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    while (!stopping()) {
        OVERLAPPED ov{};
        ov.hEvent = done.get();
        DWORD count = 0;
        if ((!::ReadFile(port, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, &ov) &&
             ::GetLastError() != ERROR_IO_PENDING) ||
            !FinishRead(port, ov, count)) {
            ReportFailure("ReadFile");
            return;
        }
        Count(count);
    }
}

// The pending read returns within the idle wait by itself; cancelling only makes it prompt.
void BlockReader::Interrupt(HANDLE port) {
    (void)::CancelIoEx(port, nullptr); // nothing pending is fine
}

COMMTIMEOUTS ByteReader::Timeouts() const {
    return ReturnWhatHasCome(kIdleWaitMs);
}

void ByteReader::ReadLoop(HANDLE port) {
    while (!stopping()) {
        BYTE byte = 0;
        DWORD read = 0;
        if (!::ReadFile(port, &byte, 1, &read, nullptr)) {
            ReportFailure("ReadFile");
            return;
        }
        Count(read);
    }
}

void OverlappedByteReader::ReadLoop(HANDLE port) {
    ce::UniqueHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    while (!stopping()) {
        BYTE byte = 0;
        OVERLAPPED ov{};
        ov.hEvent = done.get();
        DWORD count = 0;
        if ((!::ReadFile(port, &byte, 1, nullptr, &ov) && ::GetLastError() != ERROR_IO_PENDING) ||
            !FinishRead(port, ov, count)) {
            ReportFailure("ReadFile");
            return;
        }
        Count(count);
    }
}

// With no time-outs a read waits for its byte for ever: cancel it.
void OverlappedByteReader::Interrupt(HANDLE port) {
    (void)::CancelIoEx(port, nullptr); // nothing pending is fine
}

} // namespace bench
