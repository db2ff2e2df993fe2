#include "desktop_port.h"

#include <cstdio>
#include <string>
#include <vector>

namespace bench {

ce::UniqueHandle OpenDesktopPort(const wchar_t* name, DWORD baudRate, DWORD flags,
                                 const COMMTIMEOUTS& timeouts) {
    std::wstring path = std::wstring(L"\\\\.\\") + name;
    ce::UniqueHandle port(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, flags, nullptr));
    if (!port) {
        std::fprintf(stderr, "cannot open %ls: error %lu\n", name, ::GetLastError());
        return {};
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(port.get(), &dcb)) {
        std::fprintf(stderr, "cannot read the settings of %ls: error %lu\n", name,
                     ::GetLastError());
        return {};
    }
    dcb.BaudRate = baudRate;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fOutX = dcb.fInX = dcb.fNull = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    COMMTIMEOUTS wanted = timeouts;
    if (!::SetCommState(port.get(), &dcb) || !::SetCommTimeouts(port.get(), &wanted)) {
        std::fprintf(stderr, "cannot set up %ls: error %lu\n", name, ::GetLastError());
        return {};
    }
    return port;
}

COMMTIMEOUTS ReturnWhatHasCome(DWORD waitMs) {
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = MAXDWORD;
    t.ReadTotalTimeoutMultiplier = MAXDWORD;
    t.ReadTotalTimeoutConstant = waitMs;
    return t;
}

bool DrainCable(const wchar_t* name, DWORD baudRate) {
    // A quiet spell longer than the far end's pauses between writes, so that a writer still
    // running would be noticed as not draining.
    constexpr DWORD kQuietMs = 200;
    constexpr DWORD kGiveUpMs = 30000;
    ce::UniqueHandle port = OpenDesktopPort(name, baudRate, 0, ReturnWhatHasCome(kQuietMs));
    if (!port)
        return false;
    std::vector<BYTE> buffer(64 * 1024);
    DWORD start = ::GetTickCount();
    DWORD read = 0;
    do {
        if (!::ReadFile(port.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read,
                        nullptr)) {
            std::fprintf(stderr, "draining %ls: error %lu\n", name, ::GetLastError());
            return false;
        }
    } while (read > 0 && ::GetTickCount() - start < kGiveUpMs);
    if (read > 0)
        std::fprintf(stderr, "%ls did not drain: something still writes to it\n", name);
    return read == 0;
}

} // namespace bench
