// The terminal kernel's I/O control request. On the host it is carried over the host link to
// the stand-in kernel (ce::hostlink::kKernelPipe), which plays the kernel's handlers.
#pragma once

#include <windows.h>

namespace ce {

// The terminal's CTL_CODE for the hardware abstraction layer's device type.
inline constexpr DWORD FILE_DEVICE_HAL = 0x00000101;

// As on the terminal: returns TRUE when the handler accepted the request. Fails with the last
// error set to the handler's error, or to ERROR_FILE_NOT_FOUND when no handler is there.
// The 32-bit value behind `in` travels with the request whatever `inSize` says, because the
// terminal's handlers read their argument word from the pointer alone.
BOOL KernelIoControl(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned);

} // namespace ce
