// Wire format between the platform layer and the host stand-ins of the terminal's drivers and
// kernel. Each request is one fixed-size message on a named pipe, answered by one reply.
#pragma once

#include <cstdint>

namespace ce::hostlink {

// A CE device "NAME:" other than a serial port is served on kDriverPipePrefix + NAME
// (e.g. \\.\pipe\ce-driver.HCD1); a serial port's private requests go to the same name of
// its port (\\.\pipe\ce-driver.COM1). KernelIoControl goes to kKernelPipe.
inline constexpr wchar_t kDriverPipePrefix[] = L"\\\\.\\pipe\\ce-driver.";
inline constexpr wchar_t kKernelPipe[] = L"\\\\.\\pipe\\ce-kernel";

inline constexpr std::uint32_t kMaxOutBytes = 64;

struct Request {
    std::uint32_t code;
    std::uint32_t inSize;      // size the caller passed
    std::uint32_t hasIn;       // 1 if the caller passed an in-buffer pointer
    std::uint32_t inWord;      // the 32-bit value behind that pointer, when there is one
    std::uint32_t outSize;     // size of the caller's out-buffer
    std::uint32_t hasReturned; // 1 if the caller passed a place for the returned count
};

struct Reply {
    std::uint32_t ok;       // nonzero: the request succeeded
    std::uint32_t error;    // Win32 error code when it did not
    std::uint32_t returned; // bytes placed in out
    std::uint8_t out[kMaxOutBytes];
};

} // namespace ce::hostlink
