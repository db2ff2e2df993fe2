// ApplyUsbMode against Wine's registry: every row of every profile, byte for byte.
#include "usb_profiles.h"

#include "registry_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using devtune::UsbMode;
using namespace devtune_test;

constexpr wchar_t kEntryKey[] = L"Comm\\RasBook\\`USB";
constexpr wchar_t kDefaultConnectionsKey[] = L"Comm\\DefaultConnections";
constexpr wchar_t kCommKey[] = L"ControlPanel\\Comm";
constexpr wchar_t kDriversKey[] = L"Drivers\\USB\\FunctionDrivers";

struct Row {
    HKEY root;
    const wchar_t* key;
    const wchar_t* value;
    DWORD type;
    std::vector<BYTE> bytes; // empty: checked by size and fields elsewhere
    DWORD size;
};

const std::vector<BYTE> kStale = Utf16(L"stale");

// Puts something in every place a profile writes or must leave alone.
void FillWithStaleValues() {
    DeleteTree(HKEY_CURRENT_USER, kEntryKey);
    DeleteTree(HKEY_CURRENT_USER, kCommKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kDriversKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kDefaultConnectionsKey);
    WriteValue(HKEY_CURRENT_USER, kEntryKey, L"DevCfg", REG_SZ, kStale);
    WriteValue(HKEY_CURRENT_USER, kEntryKey, L"PhoneNumber", REG_SZ, kStale);
    WriteValue(HKEY_CURRENT_USER, L"Comm\\RasBook\\`USB\\Nested", L"x", REG_SZ, kStale);
    WriteValue(HKEY_LOCAL_MACHINE, kDefaultConnectionsKey, L"`USB", REG_SZ, kStale);
    WriteValue(HKEY_CURRENT_USER, kCommKey, L"Cnct", REG_SZ, kStale);
    WriteValue(HKEY_CURRENT_USER, kCommKey, L"AutoCnct", REG_SZ, kStale);
    WriteValue(HKEY_LOCAL_MACHINE, kDriversKey, L"DefaultClientDriver", REG_SZ, kStale);
}

void ClearAll() {
    DeleteTree(HKEY_CURRENT_USER, kEntryKey);
    DeleteTree(HKEY_CURRENT_USER, kCommKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kDriversKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kDefaultConnectionsKey);
}

std::vector<BYTE> MultiString(const std::wstring& item) {
    std::vector<BYTE> bytes = Utf16(item);
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

std::vector<Row> ActiveSyncRows() {
    return {
        {HKEY_CURRENT_USER, kEntryKey, L"DevCfg", REG_BINARY, {}, 684},
        {HKEY_CURRENT_USER, kEntryKey, L"Entry", REG_BINARY, {}, 1136},
        {HKEY_LOCAL_MACHINE, kDefaultConnectionsKey, L"`USB", REG_MULTI_SZ,
         MultiString(L"Serial on USB\t5200"), 40},
        {HKEY_CURRENT_USER, kCommKey, L"Cnct", REG_SZ, Utf16(L"`USB"), 10},
        {HKEY_CURRENT_USER, kCommKey, L"AutoCnct", REG_DWORD, Dword(1), 4},
        {HKEY_LOCAL_MACHINE, kDriversKey, L"DefaultClientDriver", REG_SZ, Utf16(L"Serial_Class"),
         26},
    };
}

std::vector<Row> CardReaderRows() {
    return {
        {HKEY_CURRENT_USER, kCommKey, L"Cnct", REG_SZ, Utf16(L"cplmain.cpl,#32793"), 38},
        {HKEY_CURRENT_USER, kCommKey, L"AutoCnct", REG_DWORD, Dword(0), 4},
        {HKEY_LOCAL_MACHINE, kDriversKey, L"DefaultClientDriver", REG_SZ,
         Utf16(L"Mass_Storage_Class"), 38},
    };
}

std::vector<Row> AllDisabledRows() {
    return {
        {HKEY_CURRENT_USER, kCommKey, L"Cnct", REG_SZ, Utf16(L""), 2},
        {HKEY_CURRENT_USER, kCommKey, L"AutoCnct", REG_DWORD, Dword(0), 4},
        {HKEY_LOCAL_MACHINE, kDriversKey, L"DefaultClientDriver", REG_SZ, Utf16(L"-"), 4},
    };
}

void ExpectRow(const Row& row) {
    SCOPED_TRACE(testing::Message()
                 << "value " << std::string(row.value, row.value + wcslen(row.value)));
    StoredValue stored = ReadValue(row.root, row.key, row.value);
    ASSERT_TRUE(stored.present);
    EXPECT_EQ(stored.type, row.type);
    EXPECT_EQ(stored.bytes.size(), row.size);
    if (!row.bytes.empty()) {
        EXPECT_EQ(stored.bytes, row.bytes);
    }
}

struct ModeCase {
    const char* name;
    UsbMode mode;
    std::vector<Row> (*rows)();
};

class ApplyUsbModeTest : public ::testing::TestWithParam<ModeCase> {
protected:
    void SetUp() override { FillWithStaleValues(); }
    void TearDown() override { ClearAll(); }
};

TEST_P(ApplyUsbModeTest, WritesEveryRowOfTheProfile) {
    devtune::ApplyUsbMode(GetParam().mode);
    for (const Row& row : GetParam().rows())
        ExpectRow(row);
}

TEST_P(ApplyUsbModeTest, ReplacesThePhoneBookEntryAndKeepsTheDefaultConnection) {
    const bool activeSync = GetParam().mode == devtune::ActiveSync;
    devtune::ApplyUsbMode(GetParam().mode);

    if (activeSync) {
        std::vector<std::wstring> names = ValueNames(HKEY_CURRENT_USER, kEntryKey);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::wstring>{L"DevCfg", L"Entry"}));
        EXPECT_TRUE(SubkeyNames(HKEY_CURRENT_USER, kEntryKey).empty());
        EXPECT_EQ(KeyClass(HKEY_CURRENT_USER, kEntryKey), L"DWORD");
    } else {
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kEntryKey));
        StoredValue kept = ReadValue(HKEY_LOCAL_MACHINE, kDefaultConnectionsKey, L"`USB");
        EXPECT_EQ(kept.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(kept.bytes, kStale);
    }
}

TEST_P(ApplyUsbModeTest, SkipsRowsOfAKeyThatCannotBeCreatedAndWritesTheRest) {
    DeleteTree(HKEY_CURRENT_USER, kCommKey);
    UncreatableKey blocked(L"ControlPanel");

    devtune::ApplyUsbMode(GetParam().mode);

    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kCommKey));
    for (const Row& row : GetParam().rows()) {
        if (std::wstring(row.key) != kCommKey)
            ExpectRow(row);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ApplyUsbModeTest,
    ::testing::Values(ModeCase{"ActiveSync", devtune::ActiveSync, ActiveSyncRows},
                      ModeCase{"CardReader", devtune::CardReader, CardReaderRows},
                      ModeCase{"AllDisabled", devtune::AllDisabled, AllDisabledRows}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

class ApplyUnknownModeTest : public ::testing::TestWithParam<std::int32_t> {
protected:
    void SetUp() override { ClearAll(); }
    void TearDown() override { ClearAll(); }
};

TEST_P(ApplyUnknownModeTest, DeletesThePhoneBookEntryAndWritesNothing) {
    WriteValue(HKEY_CURRENT_USER, kEntryKey, L"DevCfg", REG_SZ, kStale);

    devtune::ApplyUsbMode(static_cast<UsbMode>(GetParam()));

    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kEntryKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kCommKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kDriversKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kDefaultConnectionsKey));
}

INSTANTIATE_TEST_SUITE_P(OutOfRange, ApplyUnknownModeTest, ::testing::Values(-1, 3, 0x7FFFFFFF));

// The two records, read back from the registry and taken apart by the offsets of their layout.
class ProfileRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearAll();
        devtune::ApplyUsbMode(devtune::ActiveSync);
        devCfg_ = ReadValue(HKEY_CURRENT_USER, kEntryKey, L"DevCfg").bytes;
        entry_ = ReadValue(HKEY_CURRENT_USER, kEntryKey, L"Entry").bytes;
    }
    void TearDown() override { ClearAll(); }

    static std::uint32_t At(const std::vector<BYTE>& bytes, std::size_t offset, int width) {
        std::uint32_t value = 0;
        for (int i = 0; i < width; ++i)
            value |= static_cast<std::uint32_t>(bytes.at(offset + i)) << (8 * i);
        return value;
    }
    // The text of a fixed field of `units` UTF-16 units, which must hold a terminator.
    static std::wstring TextAt(const std::vector<BYTE>& bytes, std::size_t offset,
                               std::size_t units) {
        std::wstring text;
        for (std::size_t i = 0; i < units; ++i) {
            auto unit = static_cast<wchar_t>(At(bytes, offset + 2 * i, 2));
            if (unit == 0)
                return text;
            text += unit;
        }
        ADD_FAILURE() << "text field at " << offset << " has no terminator";
        return text;
    }

    std::vector<BYTE> devCfg_;
    std::vector<BYTE> entry_;
};

TEST_F(ProfileRecordTest, DevCfgIsADirectLinkAt115200WithEveryOtherByteZero) {
    ASSERT_EQ(devCfg_.size(), 684u);
    struct Field {
        std::size_t offset;
        int width;
        std::uint32_t value;
    };
    const Field fields[] = {{0, 2, 0x0030},  {2, 2, 0},  {4, 4, 120}, {8, 4, 0x100},
                            {12, 4, 115200}, {16, 2, 0}, {18, 1, 8},  {19, 1, 0},
                            {20, 1, 0},      {21, 1, 0}, {680, 4, 0}};
    std::vector<BYTE> rest = devCfg_;
    for (const Field& field : fields) {
        EXPECT_EQ(At(devCfg_, field.offset, field.width), field.value) << "offset " << field.offset;
        std::fill_n(rest.begin() + static_cast<std::ptrdiff_t>(field.offset), field.width, 0);
    }
    EXPECT_EQ(std::count(rest.begin(), rest.end(), 0), 684);
}

TEST_F(ProfileRecordTest, EntryIsTheDirectSerialOnUsbEntry) {
    ASSERT_EQ(entry_.size(), 1136u);
    EXPECT_EQ(At(entry_, 0, 4), 0x00400208u);
    EXPECT_EQ(At(entry_, 4, 4), 0u);
    EXPECT_EQ(At(entry_, 8, 4), 0u);
    EXPECT_EQ(TextAt(entry_, 12, 11), L"");
    EXPECT_EQ(TextAt(entry_, 34, 129), L"");
    for (std::size_t offset = 292; offset < 316; offset += 4)
        EXPECT_EQ(At(entry_, offset, 4), 0u) << "offset " << offset;
    EXPECT_EQ(At(entry_, 316, 4), 1u);
    EXPECT_EQ(TextAt(entry_, 320, 17), L"direct");
    EXPECT_EQ(TextAt(entry_, 354, 129), L"Serial on USB");
    EXPECT_EQ(TextAt(entry_, 612, 260), L"");
    EXPECT_EQ(At(entry_, 1132, 4), 0u);
}

} // namespace
