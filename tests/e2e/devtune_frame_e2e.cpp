// The sheet's frame through the real program: one instance at a time, and the sheet following
// the work area when a setting changes.
#include "devtune_sheet_driver.h"

#include <gtest/gtest.h>

namespace {

using namespace devtune_e2e;

constexpr int kModePage = 0;
constexpr int kCablePage = 1;

// A plain top-level window of the test process.
class OwnWindow {
public:
    explicit OwnWindow(const wchar_t* title) {
        window_ = ::CreateWindowExW(0, L"Static", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                    200, 100, nullptr, nullptr, nullptr, nullptr);
    }
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;
    ~OwnWindow() {
        if (window_ != nullptr)
            ::DestroyWindow(window_);
    }
    HWND get() const { return window_; }

private:
    HWND window_ = nullptr;
};

class DevtuneFrameE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ClearDevtuneKeys();
        ASSERT_TRUE(kernel_.started());
    }
    void TearDown() override { ClearDevtuneKeys(); }

    KernelRecorder kernel_;
};

TEST_F(DevtuneFrameE2E, SecondStartBringsTheSheetForwardAndEndsWithoutASheet) {
    e2e::AppSession session(L"Devtune.exe", kSheetTitle);
    ASSERT_NE(session.window(), nullptr);
    Sheet sheet(session);
    OwnWindow other(L"Devtune test: another window");
    ASSERT_NE(other.get(), nullptr);
    ::SetForegroundWindow(other.get());
    ASSERT_EQ(::GetForegroundWindow(), other.get());

    EXPECT_EQ(RunDevtuneToEnd(kTimeoutMs), 0u);

    EXPECT_EQ(CountTopLevelWindows(kSheetTitle), 1);
    EXPECT_EQ(::GetForegroundWindow(), sheet.window());
    sheet.PressCancel();
    EXPECT_EQ(sheet.ExitCode(), 0u);
}

TEST_F(DevtuneFrameE2E, AnyWindowTitledDeviceConfigCountsAsARunningSheet) {
    OwnWindow impostor(kSheetTitle);
    ASSERT_NE(impostor.get(), nullptr);

    EXPECT_EQ(RunDevtuneToEnd(kTimeoutMs), 0u);

    EXPECT_EQ(CountTopLevelWindows(kSheetTitle), 1);
    EXPECT_TRUE(kernel_.calls().empty());
}

// Moves the sheet away, sends the setting change to `target`, and tells whether the sheet
// came back to the work area.
bool ResizedBySettingChange(HWND sheet, HWND target) {
    ::SetWindowPos(sheet, nullptr, 10, 20, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    if (SameRect(WindowRect(sheet), WorkArea()))
        return false;
    ::SendMessageW(target, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    return SameRect(WindowRect(sheet), WorkArea());
}

TEST_F(DevtuneFrameE2E, SettingChangeResizesTheSheetFromWhicheverPageExists) {
    e2e::AppSession session(L"Devtune.exe", kSheetTitle);
    ASSERT_NE(session.window(), nullptr);
    Sheet sheet(session);
    ASSERT_TRUE(SameRect(WindowRect(sheet.window()), WorkArea()));
    ASSERT_EQ(sheet.Page(kCablePage), nullptr) << "the cable page is made when first shown";

    EXPECT_TRUE(ResizedBySettingChange(sheet.window(), sheet.Page(kModePage)));

    sheet.SelectPage(kCablePage);
    ASSERT_NE(sheet.Page(kCablePage), nullptr);
    EXPECT_TRUE(ResizedBySettingChange(sheet.window(), sheet.Page(kCablePage)));
    EXPECT_TRUE(ResizedBySettingChange(sheet.window(), sheet.Page(kModePage)));

    sheet.PressCancel();
    EXPECT_EQ(sheet.ExitCode(), 0u);
}

TEST_F(DevtuneFrameE2E, SettingChangeSentToTheSheetReachesThePages) {
    e2e::AppSession session(L"Devtune.exe", kSheetTitle);
    ASSERT_NE(session.window(), nullptr);
    Sheet sheet(session);

    EXPECT_TRUE(ResizedBySettingChange(sheet.window(), sheet.window()));

    sheet.PressCancel();
    EXPECT_EQ(sheet.ExitCode(), 0u);
}

} // namespace
