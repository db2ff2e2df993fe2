#include "fake_port.h"

#include "ce/device.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

namespace fake_port {

namespace {

struct Port {
    std::mutex mutex;
    std::condition_variable changed;
    bool exists = true;
    std::uintptr_t openHandle = 0; // 0 while closed
    std::uintptr_t lastHandle = 0x100;
    std::deque<char> incoming;
    std::vector<std::string> calls;
    DCB settings = InitialSettings();
    COMMTIMEOUTS timeouts{};
    int reading = 0;
    int mostReading = 0;
    std::map<std::uintptr_t, std::uintptr_t> handleOfThread; // by reader token
    bool readerChangedHandles = false;
};

Port& P() {
    static auto* port = new Port;
    return *port;
}

std::uintptr_t Key(HANDLE h) {
    return reinterpret_cast<std::uintptr_t>(h);
}

bool IsOpen(Port& p, HANDLE h) {
    return p.openHandle != 0 && Key(h) == p.openHandle;
}

BOOL Fail() {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

} // namespace

DCB InitialSettings() {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = 115200;
    dcb.fBinary = TRUE;
    dcb.fParity = TRUE;
    dcb.fOutxCtsFlow = TRUE;
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
    dcb.fNull = TRUE;
    dcb.fRtsControl = RTS_CONTROL_TOGGLE;
    dcb.ByteSize = 7;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = TWOSTOPBITS;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    return dcb;
}

void Reset(bool deviceExists) {
    Port& p = P();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.exists = deviceExists;
    p.incoming.clear();
    p.calls.clear();
    p.settings = InitialSettings();
    p.timeouts = COMMTIMEOUTS{1, 2, 3, 4, 5};
    p.mostReading = p.reading;
    p.handleOfThread.clear();
    p.readerChangedHandles = false;
}

void Feed(const std::string& bytes) {
    Port& p = P();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.incoming.insert(p.incoming.end(), bytes.begin(), bytes.end());
    p.changed.notify_all();
}

std::vector<std::string> Calls() {
    std::lock_guard<std::mutex> lock(P().mutex);
    return P().calls;
}

DCB WrittenSettings() {
    std::lock_guard<std::mutex> lock(P().mutex);
    return P().settings;
}

COMMTIMEOUTS WrittenTimeouts() {
    std::lock_guard<std::mutex> lock(P().mutex);
    return P().timeouts;
}

int MostConcurrentReads() {
    std::lock_guard<std::mutex> lock(P().mutex);
    return P().mostReading;
}

bool AReaderChangedHandles() {
    std::lock_guard<std::mutex> lock(P().mutex);
    return P().readerChangedHandles;
}

int ReadsInProgress() {
    std::lock_guard<std::mutex> lock(P().mutex);
    return P().reading;
}

} // namespace fake_port

namespace ce {

using fake_port::P;

HANDLE CreateFile(const wchar_t* name, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security,
                  DWORD creation, DWORD attributes, HANDLE templateFile) {
    auto& p = P();
    std::lock_guard<std::mutex> lock(p.mutex);
    char line[160];
    std::snprintf(line, sizeof line,
                  "open %ls access=%lx share=%lu sa=%d creation=%lu attr=%lu tpl=%d", name, access,
                  share, security != nullptr, creation, attributes, templateFile != nullptr);
    p.calls.push_back(line);
    if (!p.exists) {
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    p.openHandle = ++p.lastHandle;
    return reinterpret_cast<HANDLE>(p.openHandle);
}

// Blocks until a byte is there or the handle is closed; a close takes a little while to reach
// a waiting read, so that a reader slow to notice it is part of every test.
BOOL ReadFile(HANDLE h, void* buffer, DWORD toRead, DWORD* read, OVERLAPPED*) {
    auto& p = P();
    std::unique_lock<std::mutex> lock(p.mutex);
    // Each reader thread gets a token of its own: the system reuses thread ids.
    static std::atomic<std::uintptr_t> lastToken{0};
    thread_local std::uintptr_t thread = ++lastToken;
    // A read through a closed or invalid handle fails and ends its reader, as it should; only
    // a read that goes through to an open port counts against the handle the thread first used.
    if (!fake_port::IsOpen(p, h) || toRead != 1)
        return fake_port::Fail();
    auto [it, first] = p.handleOfThread.emplace(thread, fake_port::Key(h));
    if (!first && it->second != fake_port::Key(h))
        p.readerChangedHandles = true;
    ++p.reading;
    p.mostReading = std::max(p.mostReading, p.reading);
    p.changed.wait(lock, [&] { return !fake_port::IsOpen(p, h) || !p.incoming.empty(); });
    if (!fake_port::IsOpen(p, h)) {
        lock.unlock();
        ::Sleep(30);
        lock.lock();
        --p.reading;
        return fake_port::Fail();
    }
    *static_cast<char*>(buffer) = p.incoming.front();
    p.incoming.pop_front();
    *read = 1;
    --p.reading;
    return TRUE;
}

BOOL WriteFile(HANDLE, const void*, DWORD, DWORD*, OVERLAPPED*) {
    return fake_port::Fail();
}

BOOL DeviceIoControl(HANDLE, DWORD, void*, DWORD, void*, DWORD, DWORD*, OVERLAPPED*) {
    return fake_port::Fail();
}

BOOL CloseHandle(HANDLE h) {
    auto& p = P();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.calls.push_back("close");
    if (!fake_port::IsOpen(p, h))
        return fake_port::Fail();
    p.openHandle = 0;
    p.changed.notify_all();
    return TRUE;
}

BOOL GetCommState(HANDLE h, DCB* dcb) {
    auto& p = P();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.calls.push_back("get settings length=" + std::to_string(dcb->DCBlength));
    if (!fake_port::IsOpen(p, h))
        return fake_port::Fail();
    *dcb = p.settings;
    return TRUE;
}

BOOL SetCommState(HANDLE h, DCB* dcb) {
    auto& p = P();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.calls.push_back("set settings");
    if (!fake_port::IsOpen(p, h))
        return fake_port::Fail();
    p.settings = *dcb;
    return TRUE;
}

BOOL SetCommTimeouts(HANDLE h, COMMTIMEOUTS* timeouts) {
    auto& p = P();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.calls.push_back("set timeouts");
    if (!fake_port::IsOpen(p, h))
        return fake_port::Fail();
    p.timeouts = *timeouts;
    return TRUE;
}

} // namespace ce
