// The capture under abuse, through the real Beamlet window: long open/close runs into a flooded
// cable, the cable vanishing under an open port, presses while the reader thread is storing.
#include "capture_fixture.h"

#include "card_reader.h"
#include "reader_power_driver.h"
#include "serial_peer.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

namespace {

using namespace e2e;

class CaptureAbuseTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetPort("COM1 plug");
        SetPort("COM1 cable");
        peer_ = std::make_unique<standins::SerialPeer>(L"COM11", 9600);
        ASSERT_TRUE(peer_->isOpen());
        app_ = std::make_unique<AppSession>(L"Beamlet.exe", L"Beamlet");
        ASSERT_NE(app_->window(), nullptr);
    }
    void TearDown() override {
        app_.reset();
        peer_.reset();
        SetPort("COM1 plug");
    }

    std::unique_ptr<standins::SerialPeer> peer_;
    std::unique_ptr<AppSession> app_;
};

TEST_F(CaptureAbuseTest, TheCableVanishingUnderAnOpenPortEndsOnlyTheReader) {
    app_->Click(kPortButton);
    ASSERT_EQ(app_->Text(kPortButton), L"Close Port");
    ASSERT_TRUE(peer_->Write("before"));
    ASSERT_TRUE(LogBecomes(*app_, L"before\r\n"));
    int threadsOpen = app_->ThreadCount();

    peer_.reset();
    SetPort("COM1 unplug");
    ::Sleep(500);
    double cpuBefore = app_->HostCpuMs();
    ASSERT_GE(cpuBefore, 0.0);
    ::Sleep(2000);
    double cpuMs = app_->HostCpuMs() - cpuBefore;
    std::printf("after the cable vanished: %.1f ms CPU in 2 s (%.0f ms in all), threads %d -> %d\n",
                cpuMs, cpuBefore, threadsOpen, app_->ThreadCount());
    EXPECT_LT(cpuMs, 200.0) << "no reader spinning on a dead line";
    EXPECT_LT(app_->ThreadCount(), threadsOpen) << "the reader thread ended";
    EXPECT_EQ(app_->Text(kPortButton), L"Close Port") << "the dialog still counts the port open";

    // Still responsive: the press closes as usual; once the cable is back a press opens it.
    EXPECT_LT(app_->Click(kPortButton), 1000u);
    EXPECT_EQ(app_->Text(kLogBox), L" Close COM1: Port !!\r\n");
    SetPort("COM1 plug");
    peer_ = std::make_unique<standins::SerialPeer>(L"COM11", 9600);
    ASSERT_TRUE(peer_->isOpen());
    app_->Click(kPortButton);
    ASSERT_EQ(app_->Text(kLogBox), L" Open COM1: Port !!\r\n");
    ASSERT_TRUE(peer_->Write("after"));
    EXPECT_TRUE(LogBecomes(*app_, L"before\r\nafter\r\n"));
}

// Floods the cable from the device's end until stopped.
class Flood {
public:
    explicit Flood(standins::SerialPeer& peer)
        : thread_([this, &peer] {
              while (running_)
                  peer.Write(std::string(256, 'f'), 200);
          }) {}
    ~Flood() {
        running_ = false;
        thread_.join();
    }

private:
    std::atomic<bool> running_{true};
    std::thread thread_;
};

TEST_F(CaptureAbuseTest, AThousandOpenCloseCyclesIntoAFloodLeaveNothingBehind) {
    app_->Click(kPortButton);
    app_->Click(kPortButton);
    ::Sleep(200);
    int threads = app_->ThreadCount();
    DWORD handles = app_->HandleCount();
    ASSERT_GT(handles, 0u);

    DWORD slowest = 0;
    {
        Flood flood(*peer_);
        for (int cycle = 0; cycle < 1000; ++cycle) {
            slowest = std::max(slowest, app_->Click(kPortButton));
            ASSERT_EQ(app_->Text(kPortButton), L"Close Port") << "cycle " << cycle;
            slowest = std::max(slowest, app_->Click(kPortButton));
            ASSERT_EQ(app_->Text(kPortButton), L"Open Port") << "cycle " << cycle;
        }
    }
    ::Sleep(300);
    std::printf("1000 cycles: slowest press %lu ms; threads %d -> %d, handles %lu -> %lu\n",
                slowest, threads, app_->ThreadCount(), handles, app_->HandleCount());
    EXPECT_EQ(app_->ThreadCount(), threads);
    EXPECT_EQ(app_->HandleCount(), handles);
    EXPECT_EQ(app_->Text(kLogBox), L" Close COM1: Port !!\r\n");
}

// Presses and ticks while the reader thread stores a steady stream: every press completes, the
// text keeps coming, and nothing but the buffer's own limits ever clears it.
TEST_F(CaptureAbuseTest, PressesWhileTheReaderStoresStayResponsive) {
    app_->Click(kPortButton);
    Flood flood(*peer_);
    DWORD slowest = 0;
    for (int round = 0; round < 6; ++round) {
        ::Sleep(400);
        slowest = std::max(slowest, app_->Click(1002)); // trigger: refused, nothing serves it
        slowest = std::max(slowest, app_->Click(kPortButton));
        EXPECT_EQ(app_->Text(kLogBox), L" Close COM1: Port !!\r\n");
        slowest = std::max(slowest, app_->Click(kPortButton));
        EXPECT_EQ(app_->Text(kLogBox), L" Open COM1: Port !!\r\n");
    }
    std::wstring shown = app_->WaitForText(
        kLogBox, [](const std::wstring& t) { return t.find(L'f') != std::wstring::npos; }, 2500);
    EXPECT_NE(shown.find(L'f'), std::wstring::npos) << "the flood shows at a tick";
    EXPECT_LE(shown.size(), 1023u);
    EXPECT_LT(slowest, 500u);
}

// Swipelet keeps the "HCD1:" handle of each press that opened the port, by design, until it
// ends; nothing else may stay behind, whatever the reader thread is doing.
TEST(SwipeletAbuse, OpenCloseCyclesKeepOnlyOneHcdHandlePerOpeningPress) {
    SetPort("COM3 plug");
    standins::CardReader reader(L"COM13", [](const std::string&) {});
    standins::ReaderPowerDriver power([](const std::string&) {},
                                      [&reader](bool on) { reader.SetPowered(on); });
    ASSERT_TRUE(reader.isReady());
    ASSERT_TRUE(power.Start());
    AppSession app(L"Swipelet.exe", L"Swipelet");
    ASSERT_NE(app.window(), nullptr);
    app.Click(kPortButton);
    app.Click(kPortButton);
    ::Sleep(200);
    int threads = app.ThreadCount();
    DWORD handles = app.HandleCount();
    int connections = power.openConnections();

    constexpr int kCycles = 10;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        app.Click(kPortButton);
        ASSERT_EQ(app.Text(kPortButton), L"Close Port") << "cycle " << cycle;
        reader.Swipe(standins::TrackData(standins::kTestCardNumber));
        app.Click(kPortButton);
        ASSERT_EQ(app.Text(kPortButton), L"Open Port") << "cycle " << cycle;
    }
    ::Sleep(300);
    std::printf("Swipelet, %d cycles: threads %d -> %d, handles %lu -> %lu, HCD1 connections %d -> "
                "%d\n",
                kCycles, threads, app.ThreadCount(), handles, app.HandleCount(), connections,
                power.openConnections());
    EXPECT_EQ(app.ThreadCount(), threads);
    EXPECT_EQ(app.HandleCount(), handles + kCycles);
    EXPECT_EQ(power.openConnections(), connections + kCycles);
}

} // namespace
