// ReadUsbMode against Wine's registry: every state of "DefaultClientDriver" the device may be in.
#include "read_usb_mode.h"

#include "registry_helpers.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using devtune::ActiveSync;
using devtune::AllDisabled;
using devtune::CardReader;
using devtune::UsbMode;
using namespace devtune_test;

constexpr wchar_t kKey[] = L"Drivers\\USB\\FunctionDrivers";
constexpr wchar_t kValue[] = L"DefaultClientDriver";

std::vector<BYTE> Padded(std::vector<BYTE> bytes, std::size_t size) {
    bytes.resize(size, 0);
    return bytes;
}

struct StoredDriver {
    const char* name;
    std::optional<DWORD> type; // no value when unset
    std::vector<BYTE> bytes;
    UsbMode expected;
};

class ReadUsbModeTest : public ::testing::TestWithParam<StoredDriver> {
protected:
    void SetUp() override { DeleteTree(HKEY_LOCAL_MACHINE, kKey); }
    void TearDown() override { DeleteTree(HKEY_LOCAL_MACHINE, kKey); }
};

TEST_P(ReadUsbModeTest, GivesTheModeOfTheStoredDriver) {
    const StoredDriver& stored = GetParam();
    if (stored.type)
        WriteValue(HKEY_LOCAL_MACHINE, kKey, kValue, *stored.type, stored.bytes);
    else
        WriteValue(HKEY_LOCAL_MACHINE, kKey, L"Unrelated", REG_SZ, Utf16(L"kept"));

    EXPECT_EQ(devtune::ReadUsbMode(), stored.expected);

    // Reading never writes.
    StoredValue after = ReadValue(HKEY_LOCAL_MACHINE, kKey, kValue);
    EXPECT_EQ(after.present, stored.type.has_value());
    EXPECT_EQ(after.bytes.size(), stored.bytes.size());
    EXPECT_EQ(after.bytes, stored.bytes);
}

const std::wstring k127 = std::wstring(127, L'x');
const std::wstring k128 = std::wstring(128, L'S');

INSTANTIATE_TEST_SUITE_P(
    States, ReadUsbModeTest,
    ::testing::Values(
        StoredDriver{"ValueMissing", std::nullopt, {}, AllDisabled},
        StoredDriver{"SerialClass", REG_SZ, Utf16(L"Serial_Class"), ActiveSync},
        StoredDriver{"MassStorageClass", REG_SZ, Utf16(L"Mass_Storage_Class"), CardReader},
        StoredDriver{"Hyphen", REG_SZ, Utf16(L"-"), AllDisabled},
        StoredDriver{"EmptyString", REG_SZ, Utf16(L""), AllDisabled},
        StoredDriver{"LowerCase", REG_SZ, Utf16(L"serial_class"), AllDisabled},
        StoredDriver{"UpperCaseMassStorage", REG_SZ, Utf16(L"MASS_STORAGE_CLASS"), AllDisabled},
        StoredDriver{"OtherDriver", REG_SZ, Utf16(L"RNDIS_Class"), AllDisabled},
        StoredDriver{"Prefix", REG_SZ, Utf16(L"Serial_Clas"), AllDisabled},
        StoredDriver{"TrailingBlank", REG_SZ, Utf16(L"Serial_Class "), AllDisabled},
        StoredDriver{"ExpandStringType", REG_EXPAND_SZ, Utf16(L"Serial_Class"), AllDisabled},
        StoredDriver{"BinaryType", REG_BINARY, Utf16(L"Mass_Storage_Class"), AllDisabled},
        StoredDriver{"MultiStringType", REG_MULTI_SZ, Padded(Utf16(L"Serial_Class"), 28),
                     AllDisabled},
        // 258 bytes do not fit the 256-byte buffer, even when the name itself would.
        StoredDriver{"LongerThanBuffer", REG_SZ, Padded(Utf16(L"Serial_Class"), 258), AllDisabled},
        StoredDriver{"LongTextLongerThanBuffer", REG_SZ, Utf16(std::wstring(128, L'x')),
                     AllDisabled},
        // Exactly 256 bytes fit; the name ends at its terminator.
        StoredDriver{"FillsBufferWithTerminator", REG_SZ, Padded(Utf16(L"Mass_Storage_Class"), 256),
                     CardReader},
        StoredDriver{"FillsBufferOtherText", REG_SZ, Utf16(k127), AllDisabled},
        // No terminator anywhere in the 256 bytes: the name is what the bytes hold.
        StoredDriver{"FillsBufferUnterminated", REG_SZ, Utf16(k128, false), AllDisabled},
        StoredDriver{"SerialClassUnterminated", REG_SZ, Utf16(L"Serial_Class", false), ActiveSync}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ReadUsbModeKeyTest, MissingKeyIsCreatedEmptyAndReadsAsAllDisabled) {
    DeleteTree(HKEY_LOCAL_MACHINE, kKey);
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kKey));

    EXPECT_EQ(devtune::ReadUsbMode(), AllDisabled);

    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kKey));
    EXPECT_TRUE(ValueNames(HKEY_LOCAL_MACHINE, kKey).empty());
    EXPECT_TRUE(SubkeyNames(HKEY_LOCAL_MACHINE, kKey).empty());
    EXPECT_EQ(KeyClass(HKEY_LOCAL_MACHINE, kKey), L"DWORD");
    DeleteTree(HKEY_LOCAL_MACHINE, kKey);
}

} // namespace

namespace {

// A key that cannot be created or opened is read as AllDisabled, with nothing to close.
TEST(ReadUsbModeKeyTest, AKeyThatCannotBeOpenedReadsAsAllDisabled) {
    DeleteTree(HKEY_LOCAL_MACHINE, kKey);
    {
        UncreatableKey blocked(L"Drivers\\USB", HKEY_LOCAL_MACHINE);
        EXPECT_EQ(devtune::ReadUsbMode(), AllDisabled);
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kKey));
    }
    DeleteTree(HKEY_LOCAL_MACHINE, L"Drivers\\USB");
}

} // namespace
