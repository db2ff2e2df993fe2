#include "serial_capture.h"

#include "capture_controls.h"
#include "fake_port.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> hookCalls;

void Record(const char* what) {
    hookCalls.push_back(what);
}

} // namespace

const SerialCaptureConfig kSerialCaptureConfig = {
    L"COM1:",
    9600,
    L" Open COM1: Port !!\r\n",
    L" Couldn't Open COM1: Port !!\r\n",
    L" Close COM1: Port !!\r\n",
    [](CWnd&) { Record("before toggle"); },
    [](CWnd&) { Record("open failed"); },
    [](CWnd&) { Record("after close"); },
};

namespace {

// A window with the two controls the capture drives, standing in for the dialog.
class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake_port::Reset(true);
        hookCalls.clear();
        dialog_.m_hWnd = ::CreateWindowW(L"STATIC", L"capture", WS_OVERLAPPED, 0, 0, 200, 200,
                                         nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(dialog_.m_hWnd, nullptr);
        Child(L"EDIT", IDC_LOG_BOX, ES_MULTILINE);
        Child(L"BUTTON", IDC_PORT_BUTTON, BS_PUSHBUTTON);
        ::SetDlgItemTextW(dialog_.m_hWnd, IDC_PORT_BUTTON, L"Open Port");
    }

    void TearDown() override {
        if (CapturePortHandle() != INVALID_HANDLE_VALUE)
            TogglePort(dialog_); // leave the process-wide capture closed for the next test
        ::DestroyWindow(dialog_.m_hWnd);
    }

    void Child(const wchar_t* cls, int id, DWORD style) {
        ::CreateWindowW(cls, L"", WS_CHILD | style, 0, 0, 100, 20, dialog_.m_hWnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }

    std::wstring Text(int id) {
        wchar_t text[1100] = {};
        ::GetDlgItemTextW(dialog_.m_hWnd, id, text, 1100);
        return text;
    }

    // Whether timer 1 runs; asking stops it.
    bool TimerWasRunning() { return ::KillTimer(dialog_.m_hWnd, kDisplayTimerId) != 0; }

    // Ticks until the log box changes or a second has passed.
    std::wstring TickUntilShown(const std::wstring& before) {
        for (int i = 0; i < 100 && Text(IDC_LOG_BOX) == before; ++i) {
            ::Sleep(10);
            DisplayTimer(dialog_, kDisplayTimerId);
        }
        return Text(IDC_LOG_BOX);
    }

    CWnd dialog_;
};

TEST_F(CaptureTest, OpeningConfiguresThePortThenStartsReadingAndTheTimer) {
    TogglePort(dialog_);

    std::vector<std::string> expected = {
        "open COM1: access=c0000000 share=0 sa=0 creation=3 attr=0 tpl=0", "get settings length=28",
        "set settings", "set timeouts"};
    EXPECT_EQ(fake_port::Calls(), expected);
    EXPECT_EQ(hookCalls, std::vector<std::string>{"before toggle"});
    EXPECT_EQ(Text(IDC_LOG_BOX), L" Open COM1: Port !!\r\n");
    EXPECT_EQ(Text(IDC_PORT_BUTTON), L"Close Port");
    EXPECT_NE(CapturePortHandle(), INVALID_HANDLE_VALUE);

    DCB written = fake_port::WrittenSettings();
    DCB expectedDcb = fake_port::InitialSettings(); // all else stays as the driver reported it
    expectedDcb.BaudRate = 9600;
    expectedDcb.fParity = FALSE;
    expectedDcb.fNull = FALSE;
    expectedDcb.ByteSize = 8;
    expectedDcb.Parity = NOPARITY;
    expectedDcb.StopBits = ONESTOPBIT;
    EXPECT_EQ(std::memcmp(&written, &expectedDcb, sizeof written), 0);
    COMMTIMEOUTS timeouts = fake_port::WrittenTimeouts();
    COMMTIMEOUTS none{};
    EXPECT_EQ(std::memcmp(&timeouts, &none, sizeof none), 0);

    fake_port::Feed("AB");
    EXPECT_EQ(TickUntilShown(Text(IDC_LOG_BOX)), L"AB\r\n");
    EXPECT_TRUE(TimerWasRunning());
}

TEST_F(CaptureTest, AFailedOpenReportsAndLeavesEverythingClosed) {
    fake_port::Reset(false);
    for (int press = 0; press < 2; ++press) {
        TogglePort(dialog_);
        EXPECT_EQ(Text(IDC_LOG_BOX), L" Couldn't Open COM1: Port !!\r\n");
        EXPECT_EQ(Text(IDC_PORT_BUTTON), L"Open Port");
        EXPECT_EQ(CapturePortHandle(), INVALID_HANDLE_VALUE);
        EXPECT_FALSE(TimerWasRunning());
    }
    EXPECT_EQ(fake_port::Calls().size(), 2u) << "each press tries to open, and does nothing more";
    std::vector<std::string> hooks = {"before toggle", "open failed", "before toggle",
                                      "open failed"};
    EXPECT_EQ(hookCalls, hooks);
}

TEST_F(CaptureTest, ClosingStopsTimerAndReaderAndKeepsTheText) {
    TogglePort(dialog_);
    fake_port::Feed("XY");
    std::wstring shown = TickUntilShown(Text(IDC_LOG_BOX)); // the capture is process-wide:
    ASSERT_TRUE(shown.size() >= 4 &&
                shown.substr(shown.size() - 4) == L"XY\r\n"); // earlier text stays
    hookCalls.clear();

    TogglePort(dialog_);
    EXPECT_EQ(fake_port::Calls().back(), "close");
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"before toggle", "after close"}));
    EXPECT_EQ(Text(IDC_LOG_BOX), L" Close COM1: Port !!\r\n");
    EXPECT_EQ(Text(IDC_PORT_BUTTON), L"Open Port");
    EXPECT_EQ(CapturePortHandle(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(TimerWasRunning());

    // Bytes that come while closed wait in the device; the old text and the new bytes show
    // together after the next open.
    fake_port::Feed("Z");
    TogglePort(dialog_);
    EXPECT_EQ(TickUntilShown(Text(IDC_LOG_BOX)), shown + L"Z\r\n");
}

TEST_F(CaptureTest, QuickReopensNeverLetTwoReadersReadAtOnce) {
    for (int cycle = 0; cycle < 20; ++cycle) {
        TogglePort(dialog_);
        fake_port::Feed("r");
        TogglePort(dialog_);
    }
    EXPECT_EQ(fake_port::MostConcurrentReads(), 1);
    EXPECT_FALSE(fake_port::AReaderChangedHandles());
}

} // namespace
