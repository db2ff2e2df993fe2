// Registry values shared by the USB mode profiles and the cable page.
#pragma once

#include <windows.h>

namespace devtune {

inline constexpr wchar_t kFunctionDriversKey[] = L"Drivers\\USB\\FunctionDrivers";
inline constexpr wchar_t kDefaultClientDriverValue[] = L"DefaultClientDriver";
inline constexpr wchar_t kSerialClientDriver[] = L"Serial_Class";
inline constexpr wchar_t kMassStorageClientDriver[] = L"Mass_Storage_Class";

// The desktop-synchronisation connection settings: which connection, and whether to connect
// by itself.
inline constexpr wchar_t kConnectionSettingsKey[] = L"ControlPanel\\Comm";
inline constexpr wchar_t kConnectionValue[] = L"Cnct";
inline constexpr wchar_t kAutoConnectValue[] = L"AutoCnct";

// The remote-access phone-book entry that runs the serial link over USB.
inline constexpr wchar_t kUsbEntryName[] = L"`USB";
inline constexpr wchar_t kUsbEntryKey[] = L"Comm\\RasBook\\`USB";
inline constexpr DWORD kAutoConnectOn = 1;
inline constexpr DWORD kAutoConnectOff = 0;

static_assert(sizeof kUsbEntryName == 10, "Cnct holds four characters and a terminator");

} // namespace devtune
