#include "tour.h"

#include "devtune_sheet_driver.h"
#include "registry_helpers.h"
#include "restart_handler.h"
#include "usb_link.h"

#include <cstdio>

namespace tour {

using devtune_test::Utf16;
using devtune_test::WriteValue;

namespace {

using namespace devtune_test;

constexpr int kModePage = 0, kCablePage = 1;
constexpr int kActiveSync = 1004, kCardReader = 1005;
constexpr int kConnect = 1030, kDisconnect = 1032;

void DumpValue(HKEY root, const wchar_t* rootName, const wchar_t* key, const wchar_t* name) {
    StoredValue value = ReadValue(root, key, name);
    std::printf("  %ls\\%ls : %ls = ", rootName, key, name);
    if (!value.present) {
        std::printf("(none)\n");
        return;
    }
    std::printf("type %lu, %zu bytes:", value.type, value.bytes.size());
    if (value.type == REG_SZ || value.type == REG_MULTI_SZ) {
        std::printf(" \"");
        for (std::size_t i = 0; i + 1 < value.bytes.size(); i += 2) {
            wchar_t c = static_cast<wchar_t>(value.bytes[i] | value.bytes[i + 1] << 8);
            std::printf(c == 0 ? "\\0" : c == L'\t' ? "\\t" : "%lc", c);
        }
        std::printf("\"\n");
    } else if (value.type == REG_DWORD && value.bytes.size() == 4) {
        std::printf(" %lu\n",
                    static_cast<unsigned long>(value.bytes[0] | value.bytes[1] << 8 |
                                               value.bytes[2] << 16 | value.bytes[3] << 24));
    } else {
        std::printf(" raw bytes\n");
    }
}

void DumpProfile() {
    Say("registry values written:");
    DumpValue(HKEY_LOCAL_MACHINE, L"HKLM", devtune_e2e::kDriversKey, L"DefaultClientDriver");
    DumpValue(HKEY_CURRENT_USER, L"HKCU", devtune_e2e::kCommKey, L"Cnct");
    DumpValue(HKEY_CURRENT_USER, L"HKCU", devtune_e2e::kCommKey, L"AutoCnct");
    DumpValue(HKEY_CURRENT_USER, L"HKCU", devtune_e2e::kEntryKey, L"DevCfg");
    DumpValue(HKEY_CURRENT_USER, L"HKCU", devtune_e2e::kEntryKey, L"Entry");
    DumpValue(HKEY_LOCAL_MACHINE, L"HKLM", devtune_e2e::kDefaultConnectionsKey, L"`USB");
    std::fflush(stdout);
}

} // namespace

int RunDevtuneTour(const Output& output) {
    standins::UsbLink usbLink(Say);
    standins::RestartHandler kernel(Say);
    if (!usbLink.Start() || !kernel.Start()) {
        Say("the USB link component or the restart handler could not start");
        return 1;
    }
    devtune_e2e::ClearDevtuneKeys();
    WriteValue(HKEY_LOCAL_MACHINE, devtune_e2e::kDriversKey, L"DefaultClientDriver", REG_SZ,
               Utf16(L"Mass_Storage_Class"));
    Say("the registry names \"Mass_Storage_Class\": the device is in card reader mode");

    e2e::AppSession devtune(L"Devtune.exe", devtune_e2e::kSheetTitle);
    if (devtune.window() == nullptr) {
        Say("Devtune did not open its sheet");
        return 1;
    }
    devtune_e2e::Sheet sheet(devtune);
    Say(std::string("the mode page marks ") +
        (sheet.Checked(kModePage, kCardReader) ? "\"CARD READER\"" : "another mode"));

    Say("USB page: pressing \"Connect\", then \"Disconnect\"");
    sheet.SelectPage(kCablePage);
    sheet.Click(kCablePage, kConnect);
    sheet.Click(kCablePage, kDisconnect);
    usbLink.WaitFor(1, 1, 3000);
    output.Save(sheet.window(), L"devtune-usb");

    Say("mode page: choosing \"ACTIVE SYNC\" and confirming the sheet with OK");
    sheet.SelectPage(kModePage);
    sheet.Click(kModePage, kActiveSync);
    output.Save(sheet.window(), L"devtune-mode");
    sheet.PressOk();
    kernel.WaitFor(1, 5000);
    DWORD exitCode = sheet.ExitCode();
    DumpProfile();
    std::printf("Devtune ended with exit code %lu\n", exitCode);
    return exitCode == 0 ? 0 : 1;
}

} // namespace tour
