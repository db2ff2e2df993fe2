// Beamlet driven through its window, with the simulated scanner on the far end of the COM1
// cable.
#include "capture_fixture.h"

#include "scanner.h"

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

using namespace e2e;

constexpr int kTrigger = 1002;
const std::wstring kOpenText = L" Open COM1: Port !!\r\n";
const std::wstring kCloseText = L" Close COM1: Port !!\r\n";

class BeamletTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetPort("COM1 cable");
        scanner_ = std::make_unique<standins::Scanner>(
            L"COM11", L"COM1", [](const std::string& line) { std::printf("%s\n", line.c_str()); });
        ASSERT_TRUE(scanner_->isReady()) << "the scanner's end of the COM1 cable";
        scanner_->peer().Purge();
        app_ = std::make_unique<AppSession>(L"Beamlet.exe", L"Beamlet");
        ASSERT_NE(app_->window(), nullptr) << "Beamlet's window did not show";
    }

    void TearDown() override {
        app_.reset();
        scanner_.reset();
        SetPort("COM1 cable");
    }

    void Open() {
        app_->Click(kPortButton);
        ASSERT_EQ(app_->Text(kPortButton), L"Close Port");
    }

    // Sends bytes from the scanner's end.
    void Send(const std::string& bytes) { ASSERT_TRUE(scanner_->peer().Write(bytes)); }

    // Sends a marker and waits for the tick that shows it; the next tick is a second away.
    void SyncWithTick(const std::wstring& shownBefore) {
        Send("s");
        ASSERT_TRUE(LogBecomes(*app_, shownBefore + L"s\r\n"));
    }

    std::unique_ptr<standins::Scanner> scanner_;
    std::unique_ptr<AppSession> app_;
};

TEST_F(BeamletTest, AMissingPortIsReportedAndEachPressTriesAgain) {
    SetPort("COM1 missing");
    for (int press = 0; press < 2; ++press) {
        app_->Click(kPortButton);
        EXPECT_EQ(app_->Text(kLogBox), L" Couldn't Open COM1: Port !!\r\n");
        EXPECT_EQ(app_->Text(kPortButton), L"Open Port");
    }
    SetPort("COM1 cable");
    app_->Click(kPortButton);
    EXPECT_EQ(app_->Text(kLogBox), kOpenText) << "once the device is back, the press opens it";
}

// A port another program holds is busy, as on the terminal: the second program cannot open it.
TEST_F(BeamletTest, APortInUseByAnotherProgramIsNotOpened) {
    Open();
    AppSession second(L"Beamlet.exe", L"Beamlet");
    ASSERT_NE(second.window(), nullptr);
    second.Click(kPortButton);
    EXPECT_EQ(second.Text(kLogBox), L" Couldn't Open COM1: Port !!\r\n");
    EXPECT_EQ(second.Text(kPortButton), L"Open Port");

    app_->Click(kPortButton); // the first lets it go
    second.Click(kPortButton);
    EXPECT_EQ(second.Text(kLogBox), kOpenText);
}

TEST_F(BeamletTest, OpeningRunsTheLineAt9600AndShowsBytesAtTheNextTick) {
    EXPECT_LT(app_->Click(kPortButton), 500u) << "the press holds no wait of its own";
    EXPECT_EQ(app_->Text(kLogBox), kOpenText);
    EXPECT_EQ(app_->Text(kPortButton), L"Close Port");

    // The pty remembers what the program set; look through a second handle (Wine shares).
    ce::UniqueHandle port(
        ::CreateFileW(L"\\\\.\\COM1", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(::GetCommState(port.get(), &dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    port.reset();

    Send("ABC");
    ASSERT_TRUE(LogBecomes(*app_, L"ABC\r\n"));

    // Bytes that come between two ticks share one line.
    Send("1");
    ::Sleep(200);
    Send("2");
    ASSERT_TRUE(LogBecomes(*app_, L"ABC\r\n12\r\n"));

    // A tick with nothing new leaves the box alone, whatever it shows.
    ::SendMessageW(app_->Control(kLogBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed"));
    EXPECT_TRUE(LogStaysFor(*app_, 1500));
}

TEST_F(BeamletTest, BytesAreShownAsSignExtendedUnitsAndAZeroByteHidesTheRest) {
    Open();
    Send("\xB5");
    ASSERT_TRUE(LogBecomes(*app_, std::wstring(1, wchar_t(0xFFB5)) + L"\r\n"));
    Send(std::string("P\0Q", 3));
    ASSERT_TRUE(LogBecomes(*app_, std::wstring(1, wchar_t(0xFFB5)) + L"\r\nP\r\n"));
}

TEST_F(BeamletTest, TheBufferClearsAtItsTwoLimits) {
    struct Case {
        std::size_t bytes; // after the marker, which leaves the write index at 3
        std::wstring shown;
    } cases[] = {
        {1019, L""},     // the tick finds index 1022: cleared, the box goes empty
        {1020, L""},     // index 1023: likewise
        {1021, L"\r\n"}, // the byte in unit 1023 cleared the buffer: only the break shows
    };
    for (const Case& c : cases) {
        app_ = std::make_unique<AppSession>(L"Beamlet.exe", L"Beamlet"); // an empty buffer
        ASSERT_NE(app_->window(), nullptr);
        Open();
        SyncWithTick(L"");
        Send(std::string(c.bytes, 'a'));
        EXPECT_TRUE(LogBecomes(*app_, c.shown)) << c.bytes << " bytes after the marker";
    }
}

TEST_F(BeamletTest, CloseAndReopenKeepTheTextAndShowWhatCameJustBefore) {
    Open();
    Send("one");
    ASSERT_TRUE(LogBecomes(*app_, L"one\r\n"));
    Send("two"); // a second before the next tick
    ::Sleep(100);
    app_->Click(kPortButton);
    EXPECT_EQ(app_->Text(kLogBox), kCloseText);
    EXPECT_EQ(app_->Text(kPortButton), L"Open Port");
    EXPECT_TRUE(EndsWith(app_->DebugOutput(), kCloseText));
    EXPECT_TRUE(LogStaysFor(*app_, 1500)) << "no ticks while closed";

    app_->Click(kPortButton);
    EXPECT_EQ(app_->Text(kLogBox), kOpenText);
    EXPECT_TRUE(LogBecomes(*app_, L"one\r\ntwo\r\n"));
}

TEST_F(BeamletTest, TriggerSendsTheRequestOnlyWhileOpen) {
    app_->Click(kTrigger);
    EXPECT_TRUE(LogStaysFor(*app_, 1200));
    EXPECT_EQ(app_->Text(kLogBox), L"");
    EXPECT_EQ(scanner_->triggers(), 0) << "the request went to the invalid handle";

    Open();
    app_->Click(kTrigger);
    EXPECT_EQ(scanner_->triggers(), 1);
    EXPECT_TRUE(LogBecomes(*app_, std::wstring(L"5901234123457\r\r\n")));
}

TEST_F(BeamletTest, OpenCloseCyclesWithDataFlowingLeaveNothingBehind) {
    Open();
    app_->Click(kPortButton);
    ::Sleep(200);
    int threads = app_->ThreadCount();
    DWORD handles = app_->HandleCount();
    ASSERT_GT(handles, 0u);

    std::atomic<bool> flowing{true};
    std::thread flood([&] {
        while (flowing)
            scanner_->peer().Write(std::string(64, 'f'), 200);
    });
    for (int cycle = 0; cycle < 50; ++cycle) {
        app_->Click(kPortButton);
        ASSERT_EQ(app_->Text(kPortButton), L"Close Port") << "cycle " << cycle;
        ::Sleep(10);
        app_->Click(kPortButton);
        ASSERT_EQ(app_->Text(kPortButton), L"Open Port") << "cycle " << cycle;
    }
    flowing = false;
    flood.join();
    ::Sleep(200);
    EXPECT_EQ(app_->ThreadCount(), threads);
    EXPECT_EQ(app_->HandleCount(), handles);
}

TEST_F(BeamletTest, ClosingTheWindowWithThePortOpenEndsTheProgramAtOnce) {
    Open();
    Send("x");
    ::PostMessageW(app_->window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(app_->WaitForExit(2000));
    EXPECT_EQ(app_->DebugOutput().find(kCloseText), std::wstring::npos) << "no close steps run";
}

TEST_F(BeamletTest, EnterInTheLogBoxEndsTheProgram) {
    Open();
    ::PostMessageW(app_->Control(kLogBox), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(app_->WaitForExit(2000));
}

} // namespace
