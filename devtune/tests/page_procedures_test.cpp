// The sheet callback and the two page procedures called directly: the results the sheet
// relies on, and the quit message a destroyed page leaves behind.
#include "config_sheet.h"
#include "usb_cable_page.h"
#include "usb_mode_page.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <prsht.h>

#include <string>

namespace {

TEST(SheetPreCreateTest, ClearsOnlyThePopupBitOfTheTemplateBeforeCreation) {
    DLGTEMPLATE dialogTemplate{};
    dialogTemplate.style = 0x80C800C4;
    dialogTemplate.dwExtendedStyle = 0x00010101;
    EXPECT_EQ(
        devtune::SheetPreCreate(nullptr, PSCB_PRECREATE, reinterpret_cast<LPARAM>(&dialogTemplate)),
        0);
    EXPECT_EQ(dialogTemplate.style, 0x00C800C4u);
    EXPECT_EQ(dialogTemplate.dwExtendedStyle, 0x00010101u);
}

TEST(SheetPreCreateTest, OtherMessagesChangeNothingAndReturnZero) {
    for (UINT message : {0u, 1u, 3u, 4u}) {
        DLGTEMPLATE dialogTemplate{};
        dialogTemplate.style = 0x80C800C4;
        EXPECT_EQ(
            devtune::SheetPreCreate(nullptr, message, reinterpret_cast<LPARAM>(&dialogTemplate)), 0)
            << message;
        EXPECT_EQ(dialogTemplate.style, 0x80C800C4u) << message;
    }
}

// Takes the quit message that a destroyed page posts, if there is one.
bool TakeQuitMessage(WPARAM& exitCode) {
    MSG message{};
    if (!::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    exitCode = message.wParam;
    return true;
}

using PageProc = INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct Result {
    const char* name;
    UINT message;
    WPARAM wParam;
    INT_PTR expected;
};

// Messages whose handling has no effect outside the page: a command of an id the page does
// not have, a notification other than apply, and messages the page leaves alone.
const Result kResults[] = {
    {"CommandOfUnknownControl", WM_COMMAND, MAKEWPARAM(999, BN_CLICKED), TRUE},
    {"CommandOtherNotification", WM_COMMAND, MAKEWPARAM(1030, BN_SETFOCUS), TRUE},
    {"Notify", WM_NOTIFY, 0, FALSE},
    {"Paint", WM_PAINT, 0, FALSE},
    {"Timer", WM_TIMER, 1, FALSE},
    {"Destroy", WM_DESTROY, 0, FALSE},
};

struct PageUnderTest {
    const char* name;
    PageProc procedure;
};

class PageResultTest : public ::testing::TestWithParam<PageUnderTest> {};

TEST_P(PageResultTest, ReturnsTheResultTheSheetExpects) {
    NMHDR header{};
    header.code = static_cast<UINT>(PSN_SETACTIVE);
    for (const Result& result : kResults) {
        const LPARAM lParam = result.message == WM_NOTIFY ? reinterpret_cast<LPARAM>(&header) : 0;
        EXPECT_EQ(GetParam().procedure(nullptr, result.message, result.wParam, lParam),
                  result.expected)
            << result.name;
    }
    WPARAM exitCode = 99;
    EXPECT_TRUE(TakeQuitMessage(exitCode)) << "destroy posts the quit message";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(TakeQuitMessage(exitCode)) << "once per destroyed page";
}

INSTANTIATE_TEST_SUITE_P(Pages, PageResultTest,
                         ::testing::Values(PageUnderTest{"UsbMode", devtune::UsbModePageProc},
                                           PageUnderTest{"UsbCable", devtune::UsbCablePageProc}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
