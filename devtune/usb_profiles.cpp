#include "usb_profiles.h"

#include "profile_images.h"
#include "profile_values.h"

#include "ce/registry.h"

#include <iterator>

namespace devtune {

namespace {

struct ProfileRow {
    HKEY root;
    const wchar_t* subKey;
    const wchar_t* valueName;
    DWORD type;
    const void* data;
    DWORD bytes;
};

// "Serial on USB<TAB>5200", its terminator and the empty string that closes the list.
constexpr wchar_t kDefaultConnectionList[] = L"Serial on USB\t5200\0";
constexpr wchar_t kDefaultConnectionsKey[] = L"Comm\\DefaultConnections";
constexpr wchar_t kCardReaderConnection[] = L"cplmain.cpl,#32793";
constexpr wchar_t kNoConnection[] = L"";
constexpr wchar_t kNoClientDriver[] = L"-";

static_assert(sizeof kDefaultConnectionList == 40);
static_assert(sizeof kSerialClientDriver == 26);
static_assert(sizeof kCardReaderConnection == 38);
static_assert(sizeof kMassStorageClientDriver == 38);
static_assert(sizeof kNoConnection == 2);
static_assert(sizeof kNoClientDriver == 4);

constexpr DWORD Bytes(std::size_t size) {
    return static_cast<DWORD>(size);
}

const ProfileRow kActiveSyncRows[] = {
    {HKEY_CURRENT_USER, kUsbEntryKey, L"DevCfg", REG_BINARY, &kDevCfgImage,
     Bytes(sizeof kDevCfgImage)},
    {HKEY_CURRENT_USER, kUsbEntryKey, L"Entry", REG_BINARY, &kEntryImage,
     Bytes(sizeof kEntryImage)},
    {HKEY_LOCAL_MACHINE, kDefaultConnectionsKey, kUsbEntryName, REG_MULTI_SZ,
     kDefaultConnectionList, Bytes(sizeof kDefaultConnectionList)},
    {HKEY_CURRENT_USER, kConnectionSettingsKey, kConnectionValue, REG_SZ, kUsbEntryName,
     Bytes(sizeof kUsbEntryName)},
    {HKEY_CURRENT_USER, kConnectionSettingsKey, kAutoConnectValue, REG_DWORD, &kAutoConnectOn,
     Bytes(sizeof kAutoConnectOn)},
    {HKEY_LOCAL_MACHINE, kFunctionDriversKey, kDefaultClientDriverValue, REG_SZ,
     kSerialClientDriver, Bytes(sizeof kSerialClientDriver)},
};

const ProfileRow kCardReaderRows[] = {
    {HKEY_CURRENT_USER, kConnectionSettingsKey, kConnectionValue, REG_SZ, kCardReaderConnection,
     Bytes(sizeof kCardReaderConnection)},
    {HKEY_CURRENT_USER, kConnectionSettingsKey, kAutoConnectValue, REG_DWORD, &kAutoConnectOff,
     Bytes(sizeof kAutoConnectOff)},
    {HKEY_LOCAL_MACHINE, kFunctionDriversKey, kDefaultClientDriverValue, REG_SZ,
     kMassStorageClientDriver, Bytes(sizeof kMassStorageClientDriver)},
};

const ProfileRow kAllDisabledRows[] = {
    {HKEY_CURRENT_USER, kConnectionSettingsKey, kConnectionValue, REG_SZ, kNoConnection,
     Bytes(sizeof kNoConnection)},
    {HKEY_CURRENT_USER, kConnectionSettingsKey, kAutoConnectValue, REG_DWORD, &kAutoConnectOff,
     Bytes(sizeof kAutoConnectOff)},
    {HKEY_LOCAL_MACHINE, kFunctionDriversKey, kDefaultClientDriverValue, REG_SZ, kNoClientDriver,
     Bytes(sizeof kNoClientDriver)},
};

struct Profile {
    const ProfileRow* rows;
    std::size_t count;
};

Profile ProfileOf(UsbMode mode) {
    switch (mode) {
    case ActiveSync:
        return {kActiveSyncRows, std::size(kActiveSyncRows)};
    case CardReader:
        return {kCardReaderRows, std::size(kCardReaderRows)};
    case AllDisabled:
        return {kAllDisabledRows, std::size(kAllDisabledRows)};
    }
    return {nullptr, 0};
}

} // namespace

void WriteProfileValue(HKEY root, const wchar_t* subKey, const wchar_t* valueName, DWORD type,
                       const void* data, DWORD bytes) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (ce::RegCreateKeyEx(root, subKey, 0, L"DWORD", 0, 0, nullptr, &key, &disposition) !=
        ERROR_SUCCESS)
        return;
    // A value that cannot be set is left as it was; the profile goes on with its next row.
    (void)::RegSetValueExW(key, valueName, 0, type, static_cast<const BYTE*>(data), bytes);
    ::RegCloseKey(key);
}

void ApplyUsbMode(UsbMode mode) {
    // A missing entry is what every mode but ActiveSync wants anyway.
    (void)ce::RegDeleteKey(HKEY_CURRENT_USER, kUsbEntryKey);
    const Profile profile = ProfileOf(mode);
    for (std::size_t i = 0; i < profile.count; ++i) {
        const ProfileRow& row = profile.rows[i];
        WriteProfileValue(row.root, row.subKey, row.valueName, row.type, row.data, row.bytes);
    }
}

} // namespace devtune
