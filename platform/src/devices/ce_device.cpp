// The ce:: device file operations: name resolution and dispatch to the open device.
#include "ce/device.h"

#include "ce/hostlink.h"
#include "ce/hostlink_client.h"
#include "driver_link.h"
#include "handle_table.h"
#include "serial_port.h"

#include <cwctype>
#include <string>

namespace ce {

namespace {

using devices::HandleTable;
using devices::Refuse;

// A device name is three letters, an index digit and a colon: "COM1:", "HCD1:".
bool ParseDeviceName(const wchar_t* name, std::wstring& device) {
    if (name == nullptr || std::wcslen(name) != 5 || name[4] != L':' || !std::iswdigit(name[3]))
        return false;
    for (int i = 0; i < 3; ++i) {
        if (!std::iswalpha(name[i]))
            return false;
    }
    device.assign(name, 4);
    for (auto& c : device)
        c = static_cast<wchar_t>(std::towupper(c));
    return true;
}

// A port opened without sharing is busy for every other open, in any process, until it is
// closed: the terminal's drivers refuse a second open, and Wine does not. A named mutex per
// port, held by the open device, stands for the claim.
UniqueHandle ClaimPort(const std::wstring& device) {
    std::wstring name = L"ce-port-claim." + device;
    UniqueHandle claim(::CreateMutexW(nullptr, FALSE, name.c_str()));
    if (claim && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return UniqueHandle();
    }
    return claim;
}

HANDLE OpenSerialPort(const std::wstring& device, DWORD access, DWORD share,
                      SECURITY_ATTRIBUTES* security, DWORD creation) {
    UniqueHandle claim;
    if (share == 0) {
        claim = ClaimPort(device);
        if (!claim)
            return INVALID_HANDLE_VALUE;
    }
    std::wstring path = L"\\\\.\\" + device;
    UniqueHandle port(::CreateFileW(path.c_str(), access, share, security, creation,
                                    FILE_FLAG_OVERLAPPED, nullptr));
    if (!port)
        return INVALID_HANDLE_VALUE;
    return HandleTable::Instance().Add(std::make_shared<devices::SerialPort>(
        std::move(port), std::move(claim), hostlink::kDriverPipePrefix + device));
}

// The terminal's drivers take device I/O control requests whatever access the handle was
// opened with, so the connection to the stand-in is always read-write.
HANDLE OpenDriverLink(const std::wstring& device) {
    std::wstring pipe = hostlink::kDriverPipePrefix + device;
    UniqueHandle connection(hostlink::Connect(pipe.c_str()));
    if (!connection) {
        ::SetLastError(ERROR_DEV_NOT_EXIST);
        return INVALID_HANDLE_VALUE;
    }
    return HandleTable::Instance().Add(
        std::make_shared<devices::DriverLink>(std::move(connection)));
}

template <typename Operation> BOOL WithDevice(HANDLE h, Operation operation) {
    std::shared_ptr<devices::Device> device = HandleTable::Instance().Find(h);
    if (!device)
        return Refuse(ERROR_INVALID_HANDLE);
    return operation(*device);
}

} // namespace

HANDLE CreateFile(const wchar_t* name, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security,
                  DWORD creation, DWORD attributes, HANDLE templateFile) {
    (void)attributes; // devices have no file attributes
    std::wstring device;
    if (!ParseDeviceName(name, device) || templateFile != nullptr) {
        ::SetLastError(ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }
    if (device.compare(0, 3, L"COM") == 0)
        return OpenSerialPort(device, access, share, security, creation);
    return OpenDriverLink(device);
}

BOOL ReadFile(HANDLE h, void* buffer, DWORD toRead, DWORD* read, OVERLAPPED* overlapped) {
    if (overlapped != nullptr)
        return Refuse(ERROR_NOT_SUPPORTED);
    return WithDevice(h, [&](devices::Device& d) { return d.Read(buffer, toRead, read); });
}

BOOL WriteFile(HANDLE h, const void* buffer, DWORD toWrite, DWORD* written,
               OVERLAPPED* overlapped) {
    if (overlapped != nullptr)
        return Refuse(ERROR_NOT_SUPPORTED);
    return WithDevice(h, [&](devices::Device& d) { return d.Write(buffer, toWrite, written); });
}

BOOL DeviceIoControl(HANDLE h, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* returned, OVERLAPPED* overlapped) {
    if (overlapped != nullptr)
        return Refuse(ERROR_NOT_SUPPORTED);
    return WithDevice(h, [&](devices::Device& d) {
        return d.IoControl(code, in, inSize, out, outSize, returned);
    });
}

BOOL CloseHandle(HANDLE h) {
    std::shared_ptr<devices::Device> device = HandleTable::Instance().Remove(h);
    if (!device)
        return Refuse(ERROR_INVALID_HANDLE);
    device->Close();
    return TRUE;
}

BOOL GetCommState(HANDLE h, DCB* dcb) {
    return WithDevice(h, [&](devices::Device& d) { return d.GetCommState(dcb); });
}

BOOL SetCommState(HANDLE h, DCB* dcb) {
    return WithDevice(h, [&](devices::Device& d) { return d.SetCommState(dcb); });
}

BOOL SetCommTimeouts(HANDLE h, COMMTIMEOUTS* timeouts) {
    return WithDevice(h, [&](devices::Device& d) { return d.SetCommTimeouts(timeouts); });
}

} // namespace ce
