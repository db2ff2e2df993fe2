#include "ce/event.h"

namespace ce {

BOOL EventModify(HANDLE event, DWORD operation) {
    switch (operation) {
    case EVENT_SET:
        return ::SetEvent(event);
    case EVENT_RESET:
        return ::ResetEvent(event);
    case EVENT_PULSE:
        return ::PulseEvent(event);
    default:
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}

} // namespace ce
