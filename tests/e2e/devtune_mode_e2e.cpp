// The USB mode page through the real sheet: the mode shown from the registry, and what
// confirming or cancelling writes and asks of the kernel.
#include "devtune_sheet_driver.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using namespace devtune_e2e;
using devtune_test::Utf16;
using devtune_test::WriteValue;

constexpr int kModePage = 0;
constexpr int kActiveSyncButton = 1004;
constexpr int kCardReaderButton = 1005;
constexpr int kAllDisabledButton = 1006;
constexpr DWORD kRestartRequest = 0x0101003C;

void StoreClientDriver(const std::optional<std::wstring>& driver) {
    if (driver)
        WriteValue(HKEY_LOCAL_MACHINE, kDriversKey, L"DefaultClientDriver", REG_SZ, Utf16(*driver));
}

class DevtuneModeE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ClearDevtuneKeys();
        ASSERT_TRUE(kernel_.started());
    }
    void TearDown() override { ClearDevtuneKeys(); }

    KernelRecorder kernel_;
};

struct ShownMode {
    const char* name;
    std::optional<std::wstring> stored;
    int checkedButton;
};

class ShownModeE2E : public DevtuneModeE2E, public ::testing::WithParamInterface<ShownMode> {};

TEST_P(ShownModeE2E, SheetShowsCaptionTabsAndTheStoredMode) {
    StoreClientDriver(GetParam().stored);
    e2e::AppSession session(L"Devtune.exe", kSheetTitle);
    ASSERT_NE(session.window(), nullptr);
    Sheet sheet(session);

    EXPECT_EQ(sheet.Caption(), L"Device Config");
    EXPECT_EQ(sheet.TabTitles(), (std::vector<std::wstring>{L"ActiveSync", L"USB "}));
    EXPECT_TRUE(SameRect(WindowRect(sheet.window()), WorkArea())) << "the sheet starts maximised";
    for (int button : {kActiveSyncButton, kCardReaderButton, kAllDisabledButton})
        EXPECT_EQ(sheet.Checked(kModePage, button), button == GetParam().checkedButton)
            << "button " << button;

    sheet.PressCancel();
    EXPECT_EQ(sheet.ExitCode(), 0u);
    EXPECT_TRUE(kernel_.calls().empty());
    EXPECT_EQ(StoredClientDriver(), GetParam().stored.value_or(L"<none>"));
}

INSTANTIATE_TEST_SUITE_P(
    Stored, ShownModeE2E,
    ::testing::Values(ShownMode{"Missing", std::nullopt, kAllDisabledButton},
                      ShownMode{"SerialClass", L"Serial_Class", kActiveSyncButton},
                      ShownMode{"MassStorageClass", L"Mass_Storage_Class", kCardReaderButton},
                      ShownMode{"OtherCase", L"serial_class", kAllDisabledButton}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

struct Confirmed {
    const char* name;
    std::optional<std::wstring> stored;
    int clicked;
    std::wstring writtenDriver;
    bool cardReaderArgument;
};

class ConfirmedModeE2E : public DevtuneModeE2E, public ::testing::WithParamInterface<Confirmed> {};

TEST_P(ConfirmedModeE2E, OkWritesTheProfileThenRequestsTheRestart) {
    StoreClientDriver(GetParam().stored);
    e2e::AppSession session(L"Devtune.exe", kSheetTitle);
    ASSERT_NE(session.window(), nullptr);
    Sheet sheet(session);

    sheet.Click(kModePage, GetParam().clicked);
    sheet.PressOk();
    EXPECT_EQ(sheet.ExitCode(), 0u);

    std::vector<KernelCall> calls = kernel_.calls();
    ASSERT_EQ(calls.size(), 1u);
    const ce::hostlink::Request& request = calls[0].request;
    EXPECT_EQ(request.code, kRestartRequest);
    EXPECT_EQ(request.hasIn, GetParam().cardReaderArgument ? 1u : 0u);
    if (GetParam().cardReaderArgument) {
        EXPECT_EQ(request.inWord, 1085u);
    }
    EXPECT_EQ(request.inSize, 0u);
    EXPECT_EQ(request.outSize, 0u);
    EXPECT_EQ(request.hasReturned, 0u);
    EXPECT_EQ(calls[0].clientDriverAtRequest, GetParam().writtenDriver)
        << "the profile is written before the restart is requested";
    EXPECT_EQ(StoredClientDriver(), GetParam().writtenDriver);
    EXPECT_EQ(devtune_test::KeyExists(HKEY_CURRENT_USER, kEntryKey),
              GetParam().writtenDriver == L"Serial_Class");
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ConfirmedModeE2E,
    ::testing::Values(
        Confirmed{"MissingToActiveSync", std::nullopt, kActiveSyncButton, L"Serial_Class", false},
        Confirmed{"MissingToCardReader", std::nullopt, kCardReaderButton, L"Mass_Storage_Class",
                  true},
        Confirmed{"ActiveSyncToAllDisabled", L"Serial_Class", kAllDisabledButton, L"-", false},
        Confirmed{"ActiveSyncToCardReader", L"Serial_Class", kCardReaderButton,
                  L"Mass_Storage_Class", true},
        Confirmed{"CardReaderToActiveSync", L"Mass_Storage_Class", kActiveSyncButton,
                  L"Serial_Class", false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

enum class Close { Ok, Cancel };

struct Unchanged {
    const char* name;
    std::optional<std::wstring> stored;
    std::vector<int> clicks;
    Close close;
};

class UnchangedModeE2E : public DevtuneModeE2E, public ::testing::WithParamInterface<Unchanged> {};

TEST_P(UnchangedModeE2E, WritesNothingAndRequestsNothing) {
    StoreClientDriver(GetParam().stored);
    e2e::AppSession session(L"Devtune.exe", kSheetTitle);
    ASSERT_NE(session.window(), nullptr);
    Sheet sheet(session);

    for (int button : GetParam().clicks)
        sheet.Click(kModePage, button);
    if (GetParam().close == Close::Ok)
        sheet.PressOk();
    else
        sheet.PressCancel();
    EXPECT_EQ(sheet.ExitCode(), 0u);

    EXPECT_TRUE(kernel_.calls().empty());
    EXPECT_EQ(StoredClientDriver(), GetParam().stored.value_or(L"<none>"));
    EXPECT_FALSE(devtune_test::KeyExists(HKEY_CURRENT_USER, kCommKey));
    EXPECT_FALSE(devtune_test::KeyExists(HKEY_CURRENT_USER, kEntryKey));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnchangedModeE2E,
    ::testing::Values(
        Unchanged{"OkWithoutClick", L"Serial_Class", {}, Close::Ok},
        Unchanged{"OkWithoutClickMissingValue", std::nullopt, {}, Close::Ok},
        // The missing value reads as AllDisabled, so its own button is no change.
        Unchanged{
            "AllDisabledClickedOverMissingValue", std::nullopt, {kAllDisabledButton}, Close::Ok},
        Unchanged{"CancelAfterChange", L"Serial_Class", {kCardReaderButton}, Close::Cancel},
        Unchanged{"ChangeThenBackThenOk",
                  L"Serial_Class",
                  {kCardReaderButton, kAllDisabledButton, kActiveSyncButton},
                  Close::Ok}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
