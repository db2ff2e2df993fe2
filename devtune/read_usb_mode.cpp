#include "read_usb_mode.h"

#include "profile_values.h"

#include "ce/registry.h"

#include <string_view>

namespace devtune {

namespace {

constexpr DWORD kDriverNameBufferBytes = 256;

} // namespace

UsbMode UsbModeFromDriverName(const wchar_t* text, DWORD bytes) {
    std::wstring_view name(text, bytes / sizeof(wchar_t));
    name = name.substr(0, name.find(L'\0'));
    if (name == kSerialClientDriver)
        return ActiveSync;
    if (name == kMassStorageClientDriver)
        return CardReader;
    return AllDisabled;
}

UsbMode ReadUsbMode() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (ce::RegCreateKeyEx(HKEY_LOCAL_MACHINE, kFunctionDriversKey, 0, L"DWORD", 0, 0, nullptr,
                           &key, &disposition) != ERROR_SUCCESS)
        return AllDisabled;

    wchar_t name[kDriverNameBufferBytes / sizeof(wchar_t)] = {};
    DWORD type = 0;
    DWORD bytes = kDriverNameBufferBytes;
    UsbMode mode = AllDisabled;
    if (::RegQueryValueExW(key, kDefaultClientDriverValue, nullptr, &type,
                           reinterpret_cast<BYTE*>(name), &bytes) == ERROR_SUCCESS &&
        type == REG_SZ)
        mode = UsbModeFromDriverName(name, bytes);
    ::RegCloseKey(key);
    return mode;
}

} // namespace devtune
