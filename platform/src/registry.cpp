#include "ce/registry.h"

namespace ce {

REGSAM DesktopAccess(REGSAM terminalAccess) {
    return terminalAccess == 0 ? kTerminalDefaultAccess : terminalAccess;
}

LONG RegCreateKeyEx(HKEY root, const wchar_t* subKey, DWORD reserved, const wchar_t* keyClass,
                    DWORD options, REGSAM access, SECURITY_ATTRIBUTES* security, HKEY* result,
                    DWORD* disposition) {
    return ::RegCreateKeyExW(root, subKey, reserved, const_cast<wchar_t*>(keyClass), options,
                             DesktopAccess(access), security, result, disposition);
}

LONG RegOpenKeyEx(HKEY root, const wchar_t* subKey, DWORD options, REGSAM access, HKEY* result) {
    return ::RegOpenKeyExW(root, subKey, options, DesktopAccess(access), result);
}

LONG RegDeleteKey(HKEY root, const wchar_t* subKey) {
    return ::RegDeleteTreeW(root, subKey);
}

} // namespace ce
