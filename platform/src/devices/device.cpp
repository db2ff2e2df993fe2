#include "device.h"

namespace ce::devices {

BOOL Refuse(DWORD error) {
    ::SetLastError(error);
    return FALSE;
}

BOOL Device::Read(void*, DWORD, DWORD*) {
    return Refuse(ERROR_INVALID_FUNCTION);
}
BOOL Device::Write(const void*, DWORD, DWORD*) {
    return Refuse(ERROR_INVALID_FUNCTION);
}
BOOL Device::IoControl(DWORD, void*, DWORD, void*, DWORD, DWORD*) {
    return Refuse(ERROR_INVALID_FUNCTION);
}
BOOL Device::GetCommState(DCB*) {
    return Refuse(ERROR_INVALID_FUNCTION);
}
BOOL Device::SetCommState(DCB*) {
    return Refuse(ERROR_INVALID_FUNCTION);
}
BOOL Device::SetCommTimeouts(COMMTIMEOUTS*) {
    return Refuse(ERROR_INVALID_FUNCTION);
}

} // namespace ce::devices
