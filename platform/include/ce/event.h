// The terminal's event operation (EventModify), of which SetEvent, ResetEvent and PulseEvent
// are forms there.
#pragma once

#include <windows.h>

namespace ce {

inline constexpr DWORD EVENT_PULSE = 1;
inline constexpr DWORD EVENT_RESET = 2;
inline constexpr DWORD EVENT_SET = 3;

// Applies `operation` to `event`. Returns FALSE with ERROR_INVALID_PARAMETER for an unknown
// operation, or with the failing call's error.
BOOL EventModify(HANDLE event, DWORD operation);

} // namespace ce
