// Registry calls whose meaning differs between the terminal and desktop Win32.
#pragma once

#include <windows.h>

namespace ce {

// The mask a terminal program's open with access mask 0 gets on the desktop: the terminal
// ignores the mask and grants everything, while desktop Windows (and Wine) refuse reads and
// writes through a key opened with 0.
inline constexpr REGSAM kTerminalDefaultAccess = KEY_ALL_ACCESS;

// The access mask that the desktop needs for a mask the terminal was given.
REGSAM DesktopAccess(REGSAM terminalAccess);

// RegCreateKeyExW with the terminal's reading of the access mask.
LONG RegCreateKeyEx(HKEY root, const wchar_t* subKey, DWORD reserved, const wchar_t* keyClass,
                    DWORD options, REGSAM access, SECURITY_ATTRIBUTES* security, HKEY* result,
                    DWORD* disposition);

// RegOpenKeyExW with the terminal's reading of the access mask.
LONG RegOpenKeyEx(HKEY root, const wchar_t* subKey, DWORD options, REGSAM access, HKEY* result);

// The terminal's RegDeleteKey: the key goes together with its values and any subkeys (the
// desktop's RegDeleteKeyW refuses a key that has subkeys).
LONG RegDeleteKey(HKEY root, const wchar_t* subKey);

} // namespace ce
