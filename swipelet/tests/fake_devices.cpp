#include "fake_devices.h"

#include "ce/device.h"

#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>

namespace fake_devices {

namespace {

struct Devices {
    std::mutex mutex;
    std::condition_variable closed;
    Setup setup;
    std::map<std::uintptr_t, std::string> open; // handle value -> "HCD1:#1"
    std::uintptr_t issued = 0;
    std::vector<std::string> calls;
};

Devices& D() {
    static auto* devices = new Devices; // reader threads may outlive the tests
    return *devices;
}

std::uintptr_t Key(HANDLE h) {
    return reinterpret_cast<std::uintptr_t>(h);
}

// The name the log gives a handle; "<invalid>" for the invalid handle, "<closed>" for others.
std::string NameOf(Devices& d, HANDLE h) {
    if (h == INVALID_HANDLE_VALUE)
        return "<invalid>";
    auto it = d.open.find(Key(h));
    return it != d.open.end() ? it->second : "<closed>";
}

bool IsOpen(Devices& d, HANDLE h) {
    return d.open.count(Key(h)) != 0;
}

BOOL Refuse(DWORD error) {
    ::SetLastError(error);
    return FALSE;
}

std::string Hex(const void* data, DWORD size) {
    std::string text;
    for (DWORD i = 0; i < size; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, i == 0 ? "%02X" : " %02X",
                      static_cast<const BYTE*>(data)[i]);
        text += pair;
    }
    return text;
}

} // namespace

void Reset(const Setup& setup) {
    Devices& d = D();
    std::lock_guard<std::mutex> lock(d.mutex);
    d.setup = setup;
    d.open.clear();
    d.issued = 0;
    d.calls.clear();
    d.closed.notify_all();
}

std::vector<std::string> Calls() {
    std::lock_guard<std::mutex> lock(D().mutex);
    return D().calls;
}

std::vector<std::string> CallsOf(const std::string& operation) {
    std::vector<std::string> matching;
    for (const std::string& call : Calls()) {
        if (call.compare(0, operation.size() + 1, operation + " ") == 0)
            matching.push_back(call);
    }
    return matching;
}

} // namespace fake_devices

namespace ce {

using fake_devices::D;
using fake_devices::Devices;

HANDLE CreateFile(const wchar_t* name, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security,
                  DWORD creation, DWORD attributes, HANDLE templateFile) {
    Devices& d = D();
    std::lock_guard<std::mutex> lock(d.mutex);
    const std::wstring device = name;
    bool present = (device == L"HCD1:" && d.setup.driverPresent) ||
                   (device == L"COM3:" && d.setup.portPresent);
    char line[200];
    std::snprintf(line, sizeof line,
                  "CreateFile %ls access=%08lX share=%lu security=%s creation=%lu "
                  "attributes=%lX template=%s",
                  name, access, share, security != nullptr ? "given" : "none", creation, attributes,
                  templateFile != nullptr ? "given" : "none");
    std::string call = line;
    if (!present) {
        d.calls.push_back(call + " -> missing");
        ::SetLastError(ERROR_DEV_NOT_EXIST);
        return INVALID_HANDLE_VALUE;
    }
    std::uintptr_t handle = ++d.issued;
    d.open[handle] = std::string(device.begin(), device.end()) + "#" + std::to_string(handle);
    d.calls.push_back(call + " -> " + d.open[handle]);
    return reinterpret_cast<HANDLE>(handle);
}

// Not logged: the capture's reader thread reads all the time. Waits until the handle closes.
BOOL ReadFile(HANDLE h, void*, DWORD, DWORD*, OVERLAPPED*) {
    Devices& d = D();
    std::unique_lock<std::mutex> lock(d.mutex);
    d.closed.wait(lock, [&] { return !fake_devices::IsOpen(d, h); });
    return fake_devices::Refuse(ERROR_INVALID_HANDLE);
}

BOOL WriteFile(HANDLE h, const void* buffer, DWORD toWrite, DWORD* written,
               OVERLAPPED* overlapped) {
    Devices& d = D();
    std::lock_guard<std::mutex> lock(d.mutex);
    bool ok = fake_devices::IsOpen(d, h);
    d.calls.push_back("WriteFile " + fake_devices::NameOf(d, h) + " " +
                      fake_devices::Hex(buffer, toWrite) +
                      " written=" + (written != nullptr ? "given" : "none") + " overlapped=" +
                      (overlapped != nullptr ? "given" : "none") + (ok ? " -> ok" : " -> failed"));
    if (!ok)
        return fake_devices::Refuse(ERROR_INVALID_HANDLE);
    *written = toWrite;
    return TRUE;
}

BOOL DeviceIoControl(HANDLE h, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* returned, OVERLAPPED* overlapped) {
    Devices& d = D();
    std::lock_guard<std::mutex> lock(d.mutex);
    bool ok = fake_devices::IsOpen(d, h) && d.setup.driverAcceptsRequests;
    char line[200];
    std::snprintf(line, sizeof line,
                  "DeviceIoControl %s %08lX in=%s/%lu out=%lu (was %s) returned=%s overlapped=%s",
                  fake_devices::NameOf(d, h).c_str(), code, in != nullptr ? "given" : "none",
                  inSize, outSize,
                  out != nullptr && outSize > 0 ? fake_devices::Hex(out, outSize).c_str() : "-",
                  returned != nullptr ? "given" : "none", overlapped != nullptr ? "given" : "none");
    d.calls.push_back(std::string(line) + (ok ? " -> ok" : " -> failed"));
    if (!ok)
        return fake_devices::Refuse(ERROR_INVALID_HANDLE);
    if (out != nullptr && outSize > 0)
        static_cast<BYTE*>(out)[0] = 0xA5; // what a driver might leave there
    if (returned != nullptr)
        *returned = outSize > 0 ? 1 : 0;
    return TRUE;
}

BOOL CloseHandle(HANDLE h) {
    Devices& d = D();
    std::lock_guard<std::mutex> lock(d.mutex);
    bool ok = fake_devices::IsOpen(d, h);
    d.calls.push_back("CloseHandle " + fake_devices::NameOf(d, h) + (ok ? " -> ok" : " -> failed"));
    if (!ok)
        return fake_devices::Refuse(ERROR_INVALID_HANDLE);
    d.open.erase(fake_devices::Key(h));
    d.closed.notify_all();
    return TRUE;
}

// The line settings are the capture's business, tested with it; here they simply succeed.
BOOL GetCommState(HANDLE, DCB*) {
    return TRUE;
}
BOOL SetCommState(HANDLE, DCB*) {
    return TRUE;
}
BOOL SetCommTimeouts(HANDLE, COMMTIMEOUTS*) {
    return TRUE;
}

} // namespace ce
