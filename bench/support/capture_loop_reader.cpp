#include "capture_loop_reader.h"

#include "ce/device.h"

#include <cstdio>

namespace bench {

bool CaptureLoopReader::Start() {
    HANDLE port = ce::CreateFile(device_, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot open %ls: error %lu\n", device_, ::GetLastError());
        return false;
    }
    port_ = port;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    COMMTIMEOUTS none{};
    if (!ce::GetCommState(port, &dcb))
        std::fprintf(stderr, "%ls: line settings unread, error %lu\n", device_, ::GetLastError());
    dcb.BaudRate = baudRate_;
    dcb.fParity = FALSE;
    dcb.fNull = FALSE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    if (!ce::SetCommState(port, &dcb) || !ce::SetCommTimeouts(port, &none))
        std::fprintf(stderr, "%ls: settings refused, error %lu\n", device_, ::GetLastError());
    thread_.reset(::CreateThread(nullptr, 0, &ThreadMain, this, 0, nullptr));
    if (!thread_) {
        std::fprintf(stderr, "no reader thread: error %lu\n", ::GetLastError());
        Stop();
        return false;
    }
    return true;
}

// As the capture closes its port: the pending read fails and the loop ends by itself.
void CaptureLoopReader::Stop() {
    HANDLE port = port_.exchange(INVALID_HANDLE_VALUE);
    if (port != INVALID_HANDLE_VALUE && !ce::CloseHandle(port))
        std::fprintf(stderr, "%ls: close refused, error %lu\n", device_, ::GetLastError());
    if (thread_ && ::WaitForSingleObject(thread_.get(), 5000) != WAIT_OBJECT_0)
        std::fprintf(stderr, "%ls: the reader did not end after the close\n", device_);
    thread_.reset();
}

DWORD WINAPI CaptureLoopReader::ThreadMain(LPVOID self) {
    static_cast<CaptureLoopReader*>(self)->ReadLoop();
    return 0;
}

void CaptureLoopReader::ReadLoop() {
    for (;;) {
        BYTE byte = 0;
        DWORD read = 0;
        if (!ce::ReadFile(port_.load(), &byte, 1, &read, nullptr))
            break;
        if (read == 1) {
            std::lock_guard<std::mutex> lock(bufferLock_);
            buffer_.Store(byte);
            Count(1);
        }
    }
}

} // namespace bench
