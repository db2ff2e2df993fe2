// The event and registry calls of the layer, where the terminal's meaning differs from the
// desktop's.
#include "ce/event.h"
#include "ce/registry.h"
#include "ce/unique_handle.h"

#include "registry_helpers.h"

#include <gtest/gtest.h>

namespace {

using namespace devtune_test;

bool IsSet(HANDLE event) {
    return ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

TEST(EventModifyTest, SetResetAndPulseAManualResetEvent) {
    ce::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);

    EXPECT_TRUE(ce::EventModify(event.get(), ce::EVENT_SET));
    EXPECT_TRUE(IsSet(event.get()));
    EXPECT_TRUE(ce::EventModify(event.get(), ce::EVENT_RESET));
    EXPECT_FALSE(IsSet(event.get()));
    EXPECT_TRUE(ce::EventModify(event.get(), ce::EVENT_PULSE));
    EXPECT_FALSE(IsSet(event.get()));
}

TEST(EventModifyTest, UnknownOperationFailsAndLeavesTheEventAlone) {
    ce::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    for (DWORD operation : {0ul, 4ul, 0xFFFFFFFFul}) {
        ::SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(ce::EventModify(event.get(), operation)) << operation;
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        EXPECT_FALSE(IsSet(event.get()));
    }
}

TEST(EventModifyTest, SetOnANamedEventWakesAnotherOpenerOfIt) {
    ce::UniqueHandle created(::CreateEventW(nullptr, FALSE, FALSE, L"DevtuneLayerTestEvent"));
    ASSERT_TRUE(created);
    ce::UniqueHandle opened(::OpenEventW(EVENT_ALL_ACCESS, FALSE, L"DevtuneLayerTestEvent"));
    ASSERT_TRUE(opened);
    EXPECT_TRUE(ce::EventModify(opened.get(), ce::EVENT_SET));
    EXPECT_TRUE(IsSet(created.get()));
    EXPECT_FALSE(IsSet(created.get())) << "auto-reset: one wait takes it";
}

TEST(EventModifyTest, ClosedHandleFails) {
    EXPECT_FALSE(ce::EventModify(nullptr, ce::EVENT_SET));
}

constexpr wchar_t kLayerKey[] = L"Software\\DevtuneLayerTest";

class RegistryLayerTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteTree(HKEY_CURRENT_USER, kLayerKey); }
    void TearDown() override { DeleteTree(HKEY_CURRENT_USER, kLayerKey); }
};

TEST_F(RegistryLayerTest, KeyOpenedWithAccessZeroReadsAndWrites) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(ce::RegCreateKeyEx(HKEY_CURRENT_USER, kLayerKey, 0, L"DWORD", 0, 0, nullptr, &key,
                                 &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    DWORD value = 42;
    EXPECT_EQ(::RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value),
                               sizeof value),
              ERROR_SUCCESS);
    ::RegCloseKey(key);

    ASSERT_EQ(ce::RegOpenKeyEx(HKEY_CURRENT_USER, kLayerKey, 0, 0, &key), ERROR_SUCCESS);
    DWORD read = 0;
    DWORD bytes = sizeof read;
    EXPECT_EQ(::RegQueryValueExW(key, L"Number", nullptr, nullptr, reinterpret_cast<BYTE*>(&read),
                                 &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(read, 42u);
    ::RegCloseKey(key);
    EXPECT_EQ(KeyClass(HKEY_CURRENT_USER, kLayerKey), L"DWORD");
}

TEST_F(RegistryLayerTest, AnExplicitMaskIsKept) {
    WriteValue(HKEY_CURRENT_USER, kLayerKey, L"Text", REG_SZ, Utf16(L"x"));
    HKEY key = nullptr;
    ASSERT_EQ(ce::RegOpenKeyEx(HKEY_CURRENT_USER, kLayerKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD value = 1;
    EXPECT_EQ(::RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value),
                               sizeof value),
              ERROR_ACCESS_DENIED);
    ::RegCloseKey(key);
}

TEST_F(RegistryLayerTest, DeleteKeyTakesValuesAndSubkeysAlong) {
    WriteValue(HKEY_CURRENT_USER, L"Software\\DevtuneLayerTest\\Entry", L"Text", REG_SZ,
               Utf16(L"x"));
    WriteValue(HKEY_CURRENT_USER, L"Software\\DevtuneLayerTest\\Entry\\Inner\\Deeper", L"Text",
               REG_SZ, Utf16(L"y"));
    WriteValue(HKEY_CURRENT_USER, L"Software\\DevtuneLayerTest\\Sibling", L"Text", REG_SZ,
               Utf16(L"z"));

    EXPECT_EQ(ce::RegDeleteKey(HKEY_CURRENT_USER, L"Software\\DevtuneLayerTest\\Entry"),
              ERROR_SUCCESS);

    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\DevtuneLayerTest\\Entry"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\DevtuneLayerTest\\Sibling"));
    EXPECT_EQ(ce::RegDeleteKey(HKEY_CURRENT_USER, L"Software\\DevtuneLayerTest\\Entry"),
              ERROR_FILE_NOT_FOUND);
}

} // namespace
