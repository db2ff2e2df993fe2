#include "serial_peer.h"

namespace standins {

SerialPeer::SerialPeer(const wchar_t* port, DWORD baudRate) {
    std::wstring path = std::wstring(L"\\\\.\\") + port;
    ce::UniqueHandle handle(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!handle)
        return;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    COMMTIMEOUTS timeouts{};
    if (!::GetCommState(handle.get(), &dcb))
        return;
    dcb.BaudRate = baudRate;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fOutX = dcb.fInX = dcb.fNull = FALSE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    if (!::SetCommState(handle.get(), &dcb) || !::SetCommTimeouts(handle.get(), &timeouts))
        return;
    port_ = std::move(handle);
}

bool SerialPeer::Write(const std::string& bytes, DWORD timeoutMs) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        OVERLAPPED ov{};
        ov.hEvent = done_.get();
        ::ResetEvent(ov.hEvent);
        DWORD count = 0;
        if (!::WriteFile(port_.get(), bytes.data() + sent, static_cast<DWORD>(bytes.size() - sent),
                         nullptr, &ov) &&
            ::GetLastError() != ERROR_IO_PENDING)
            return false;
        if (::WaitForSingleObject(ov.hEvent, timeoutMs) != WAIT_OBJECT_0) {
            ::CancelIoEx(port_.get(), &ov);
            ::GetOverlappedResult(port_.get(), &ov, &count, TRUE);
            return false;
        }
        if (!::GetOverlappedResult(port_.get(), &ov, &count, FALSE) || count == 0)
            return false;
        sent += count;
    }
    return true;
}

std::string SerialPeer::Read(DWORD timeoutMs, std::size_t atLeast) {
    std::string got;
    DWORD deadline = ::GetTickCount() + timeoutMs;
    while (got.size() < atLeast) {
        DWORD now = ::GetTickCount();
        if (static_cast<LONG>(deadline - now) <= 0)
            break;
        char byte = 0;
        OVERLAPPED ov{};
        ov.hEvent = done_.get();
        ::ResetEvent(ov.hEvent);
        if (!::ReadFile(port_.get(), &byte, 1, nullptr, &ov) &&
            ::GetLastError() != ERROR_IO_PENDING)
            break;
        DWORD count = 0;
        if (::WaitForSingleObject(ov.hEvent, deadline - now) != WAIT_OBJECT_0) {
            ::CancelIoEx(port_.get(), &ov);
            ::GetOverlappedResult(port_.get(), &ov, &count, TRUE);
            if (count == 1)
                got += byte;
            break;
        }
        if (!::GetOverlappedResult(port_.get(), &ov, &count, FALSE))
            break;
        if (count == 1)
            got += byte;
    }
    return got;
}

void SerialPeer::Purge() {
    ::PurgeComm(port_.get(), PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
}

} // namespace standins
