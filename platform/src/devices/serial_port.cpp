#include "serial_port.h"

#include "ce/hostlink_client.h"

#include <winioctl.h>

#include <algorithm>
#include <cstring>

namespace ce::devices {

SerialPort::SerialPort(UniqueHandle port, UniqueHandle claim, std::wstring driverPipe)
    : claim_(std::move(claim)), port_(std::move(port)), driverPipe_(std::move(driverPipe)) {}

// The caller holds channel.busy.
template <typename Start>
BOOL SerialPort::Transfer(Channel& channel, DWORD* transferred, Start start) {
    OVERLAPPED ov{};
    ov.hEvent = channel.done.get();
    ::ResetEvent(ov.hEvent);
    if (!start(&ov) && ::GetLastError() != ERROR_IO_PENDING)
        return FALSE;

    HANDLE waits[] = {ov.hEvent, closed_.get()};
    DWORD count = 0;
    if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
        // Closed while waiting: end the operation before its buffer goes out of scope.
        ::CancelIoEx(port_.get(), &ov);
        ::GetOverlappedResult(port_.get(), &ov, &count, TRUE);
        if (transferred != nullptr)
            *transferred = 0;
        return Refuse(ERROR_OPERATION_ABORTED);
    }
    BOOL ok = ::GetOverlappedResult(port_.get(), &ov, &count, FALSE);
    if (transferred != nullptr)
        *transferred = count;
    return ok;
}

// Callers read a byte at a time, which the terminal's drivers serve cheaply; a desktop read
// costs several server round trips under Wine. So whatever has already arrived is fetched in
// one read and handed out from here; with nothing waiting, one byte is awaited as asked.
BOOL SerialPort::Read(void* buffer, DWORD toRead, DWORD* read) {
    std::lock_guard<std::mutex> lock(reads_.busy);
    if (ahead_.begin == ahead_.end && toRead > 0) {
        DWORD errors = 0;
        COMSTAT status{};
        DWORD want = 1;
        if (::ClearCommError(port_.get(), &errors, &status) && status.cbInQue > 1)
            want = std::min<DWORD>(status.cbInQue, sizeof ahead_.bytes);
        DWORD got = 0;
        if (!Transfer(reads_, &got, [&](OVERLAPPED* ov) {
                return ::ReadFile(port_.get(), ahead_.bytes, want, nullptr, ov);
            })) {
            if (read != nullptr)
                *read = 0;
            return FALSE;
        }
        ahead_.begin = 0;
        ahead_.end = got;
    }
    DWORD count = std::min(toRead, ahead_.end - ahead_.begin);
    std::memcpy(buffer, ahead_.bytes + ahead_.begin, count);
    ahead_.begin += count;
    if (read != nullptr)
        *read = count;
    return TRUE;
}

BOOL SerialPort::Write(const void* buffer, DWORD toWrite, DWORD* written) {
    std::lock_guard<std::mutex> lock(writes_.busy);
    return Transfer(writes_, written, [&](OVERLAPPED* ov) {
        return ::WriteFile(port_.get(), buffer, toWrite, nullptr, ov);
    });
}

BOOL SerialPort::IoControl(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                           DWORD* returned) {
    if (DEVICE_TYPE_FROM_CTL_CODE(code) == FILE_DEVICE_SERIAL_PORT) {
        std::lock_guard<std::mutex> lock(controls_.busy);
        return Transfer(controls_, returned, [&](OVERLAPPED* ov) {
            return ::DeviceIoControl(port_.get(), code, in, inSize, out, outSize, nullptr, ov);
        });
    }
    // A request of the terminal's own port driver: its host stand-in answers, if one runs.
    hostlink::Reply reply{};
    DWORD error = hostlink::Transact(
        driverPipe_.c_str(), hostlink::DescribeCall(code, in, inSize, outSize, returned), reply);
    if (error != ERROR_SUCCESS)
        return Refuse(error == ERROR_FILE_NOT_FOUND ? ERROR_NOT_SUPPORTED : error);
    return hostlink::CompleteCall(reply, out, outSize, returned);
}

BOOL SerialPort::GetCommState(DCB* dcb) {
    return ::GetCommState(port_.get(), dcb);
}
BOOL SerialPort::SetCommState(DCB* dcb) {
    return ::SetCommState(port_.get(), dcb);
}
BOOL SerialPort::SetCommTimeouts(COMMTIMEOUTS* timeouts) {
    return ::SetCommTimeouts(port_.get(), timeouts);
}

// Whoever waits in Transfer sees the event and cancels its own operation.
void SerialPort::Close() {
    ::SetEvent(closed_.get());
}

} // namespace ce::devices
