// Swipelet driven through its window, with the simulated card reader on the far end of the COM3
// cable and the stand-in of the reader's power driver "HCD1:" in this process, so that the
// times of its power requests can be set against what the test sees of the program.
#include "capture_fixture.h"

#include "card_reader.h"
#include "ce/hostlink_client.h"
#include "reader_power_driver.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iterator>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace e2e;
using standins::ReaderPowerDriver;
using Clock = std::chrono::steady_clock;

constexpr int kReadMsrVersion = 1002;
constexpr int kReadFirmwareVersion = 1003;
const std::wstring kOpenText = L" Open COM3: Port !!\r\n";
const std::wstring kFailureText = L" Couldn't Open COM3: Port !!\r\n";
const std::wstring kCloseText = L" Close COM3: Port !!\r\n";
const std::wstring kPowerFailedLine = L"DeviceIoControl : MSR Power Failed. \n\r";

double MsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// What the log box shows for received bytes: each byte as one sign-extended unit.
std::wstring Units(const std::string& bytes) {
    std::wstring units;
    for (char byte : bytes)
        units += static_cast<wchar_t>(static_cast<short>(static_cast<signed char>(byte)));
    return units;
}

// `shown` is `units` after one tick, or cut in two by a tick that came while they arrived.
bool ShownWholeOrAcrossTwoTicks(const std::wstring& shown, const std::wstring& units) {
    if (shown == units + L"\r\n")
        return true;
    for (std::size_t cut = 1; cut < units.size(); ++cut) {
        if (shown == units.substr(0, cut) + L"\r\n" + units.substr(cut) + L"\r\n")
            return true;
    }
    return false;
}

// How far apart two moments may be measured wrongly: the watcher below checks every
// millisecond or so, and the host may hold a thread up a little.
constexpr double kResolutionMs = 3.0;

// Watches a condition from a thread of its own while the test is held in a press. The change
// came after earliest() (the last check that found it false began) and by latest() (the first
// check that found it true ended).
class Change {
public:
    explicit Change(std::function<bool()> happened)
        : happened_(std::move(happened)), watcher_([this] { Watch(); }) {}
    Change(const Change&) = delete;
    Change& operator=(const Change&) = delete;
    ~Change() { Stop(); }

    // Waits for the watcher to see the change, which may lag behind the press that made it.
    bool Seen(DWORD timeoutMs = 1000) {
        for (DWORD waited = 0; !seen_ && waited < timeoutMs; waited += 5)
            ::Sleep(5);
        Stop();
        return seen_;
    }
    Clock::time_point earliest() {
        Stop();
        return earliest_;
    }
    Clock::time_point latest() {
        Stop();
        return latest_;
    }

private:
    void Watch() {
        while (!stop_) {
            Clock::time_point checking = Clock::now();
            if (happened_()) {
                latest_ = Clock::now();
                seen_ = true;
                return;
            }
            earliest_ = checking;
            ::Sleep(1);
        }
    }
    void Stop() {
        stop_ = true;
        if (watcher_.joinable())
            watcher_.join();
    }

    std::function<bool()> happened_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> seen_{false};
    Clock::time_point earliest_{};
    Clock::time_point latest_{};
    std::thread watcher_;
};

// A second handle of the program's port, through which the line settings it made are read
// back (Wine lets two handles share a port).
class PortProbe {
public:
    PortProbe()
        : port_(::CreateFileW(L"\\\\.\\COM3", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr)) {}
    bool isOpen() const { return static_cast<bool>(port_); }
    DCB Settings() const {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!::GetCommState(port_.get(), &dcb))
            dcb.BaudRate = 0;
        return dcb;
    }
    bool SetBaudRate(DWORD baudRate) {
        DCB dcb = Settings();
        dcb.BaudRate = baudRate;
        return ::SetCommState(port_.get(), &dcb) != 0;
    }

private:
    ce::UniqueHandle port_;
};

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
}

class SwipeletTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetPort("COM3 cable");
        reader_ = std::make_unique<standins::CardReader>(L"COM13", Say);
        ASSERT_TRUE(reader_->isReady()) << "the card reader's end of the COM3 cable";
        reader_->Purge();
        standins::CardReader* reader = reader_.get();
        driver_ =
            std::make_unique<ReaderPowerDriver>(Say, [reader](bool on) { reader->SetPowered(on); });
        ASSERT_TRUE(driver_->Start()) << "the stand-in of HCD1:";
        Start();
    }

    void TearDown() override {
        app_.reset();
        driver_.reset();
        reader_.reset();
        SetPort("COM3 cable");
    }

    void Start() {
        app_ = std::make_unique<AppSession>(L"Swipelet.exe", L"Swipelet");
        ASSERT_NE(app_->window(), nullptr) << "Swipelet's window did not show";
    }

    void Open() {
        app_->Click(kPortButton);
        ASSERT_EQ(app_->Text(kPortButton), L"Close Port");
    }

    std::vector<DWORD> Codes() const {
        std::vector<DWORD> codes;
        for (const auto& request : driver_->requests())
            codes.push_back(request.call.code);
        return codes;
    }

    // Waits until the programs hold `count` handles of "HCD1:" (the stand-in sees a connection
    // end a moment after the program closed it).
    bool ConnectionsBecome(int count, DWORD timeoutMs = 1000) const {
        for (DWORD waited = 0; driver_->openConnections() != count; waited += 10) {
            if (waited >= timeoutMs)
                return false;
            ::Sleep(10);
        }
        return true;
    }

    std::unique_ptr<standins::CardReader> reader_;
    std::unique_ptr<ReaderPowerDriver> driver_;
    std::unique_ptr<AppSession> app_;
};

TEST_F(SwipeletTest, PressesPowerTheReaderAroundThePortInOrderAndInTime) {
    PortProbe probe;
    ASSERT_TRUE(probe.isOpen());
    ASSERT_TRUE(probe.SetBaudRate(9600)) << "so that the program's setting shows as a change";

    // Opening: power on, at least 500 ms, then COM3 opened and set to 19200 baud.
    Change configured([&] { return probe.Settings().BaudRate == 19200; });
    DWORD openingMs = app_->Click(kPortButton);
    ASSERT_TRUE(configured.Seen()) << "COM3 set to 19200 baud";
    ASSERT_EQ(Codes(), std::vector<DWORD>{standins::kReaderPowerOnCode});
    const auto poweredOn = driver_->requests()[0].at;
    EXPECT_TRUE(driver_->requests()[0].accepted) << "no input, one byte out, a returned count";
    double settleMs = MsBetween(poweredOn, configured.earliest());
    EXPECT_GE(settleMs, 500.0 - kResolutionMs) << "COM3 opened only after the reader had 500 ms";
    EXPECT_GE(openingMs, 500u);
    EXPECT_EQ(app_->Text(kLogBox), kOpenText);
    EXPECT_EQ(app_->Text(kPortButton), L"Close Port");
    DCB dcb = probe.Settings();
    EXPECT_EQ(dcb.BaudRate, 19200u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_TRUE(reader_->powered());
    EXPECT_EQ(driver_->openConnections(), 1) << "the opening press keeps its handle";

    // Closing: power on, 500 ms, COM3 closed (the debug line), 100 ms, power off, handle closed.
    std::wstring debugBefore = app_->DebugOutput();
    Change closed([&] { return app_->DebugOutput().size() > debugBefore.size(); });
    bool pressHandleOpen = false;
    Change released([&] {
        int open = driver_->openConnections();
        pressHandleOpen = pressHandleOpen || open == 2;
        return pressHandleOpen && open == 1;
    });
    DWORD closingMs = app_->Click(kPortButton);
    ASSERT_TRUE(closed.Seen());
    EXPECT_TRUE(released.Seen()) << "the closing press opened a handle of its own and closed it";
    EXPECT_EQ(driver_->openConnections(), 1) << "the opening press's handle stays";
    ASSERT_EQ(Codes(),
              (std::vector<DWORD>{standins::kReaderPowerOnCode, standins::kReaderPowerOnCode,
                                  standins::kReaderPowerOffCode}));
    const auto requests = driver_->requests();
    EXPECT_TRUE(requests[1].accepted && requests[2].accepted);
    EXPECT_EQ(app_->DebugOutput(), debugBefore + kCloseText);
    double onToCloseMs = MsBetween(requests[1].at, closed.earliest());
    double closeToOffMs = MsBetween(closed.latest(), requests[2].at);
    EXPECT_GE(onToCloseMs, 500.0 - kResolutionMs) << "COM3 closed only after the reader had 500 ms";
    EXPECT_GE(closeToOffMs, 100.0 - kResolutionMs) << "power off 100 ms after COM3 was closed";
    EXPECT_GE(closingMs, 600u);
    EXPECT_EQ(app_->Text(kLogBox), kCloseText);
    EXPECT_EQ(app_->Text(kPortButton), L"Open Port");
    EXPECT_FALSE(reader_->powered());
    std::printf("opening press %lu ms, power on -> COM3 at 19200 %.1f ms; closing press %lu ms, "
                "power on -> close %.1f ms, close -> power off %.1f ms (watch step %.1f ms)\n",
                openingMs, settleMs, closingMs, onToCloseMs, closeToOffMs,
                MsBetween(closed.earliest(), closed.latest()));
}

TEST_F(SwipeletTest, WithoutThePowerDriverThePortStillOpensAndEachRequestIsReported) {
    driver_->Stop();
    DWORD openingMs = app_->Click(kPortButton);
    EXPECT_GE(openingMs, 500u) << "the press still gives the reader its 500 ms";
    EXPECT_EQ(app_->Text(kLogBox), kOpenText);
    EXPECT_EQ(app_->Text(kPortButton), L"Close Port");
    EXPECT_EQ(app_->DebugOutput(), kPowerFailedLine);

    // Unpowered, the reader does not answer: the query goes out, nothing comes back.
    app_->Click(kReadMsrVersion);
    EXPECT_TRUE(reader_->WaitForReceived(3, 1000));
    EXPECT_TRUE(LogStaysFor(*app_, 1500));
    EXPECT_EQ(app_->Text(kLogBox), kOpenText);

    app_->Click(kPortButton);
    EXPECT_EQ(app_->Text(kLogBox), kCloseText);
    EXPECT_EQ(app_->DebugOutput(),
              kPowerFailedLine + kPowerFailedLine + kCloseText + kPowerFailedLine)
        << "the opening press's power on; the closing press's power on, close and power off";
}

TEST_F(SwipeletTest, AMissingPortGivesBackThatPressesHandleButNotThePower) {
    SetPort("COM3 missing");
    for (int press = 1; press <= 2; ++press) {
        SCOPED_TRACE("press " + std::to_string(press));
        app_->Click(kPortButton);
        EXPECT_EQ(app_->Text(kLogBox), kFailureText);
        EXPECT_EQ(app_->Text(kPortButton), L"Open Port");
        EXPECT_EQ(Codes(),
                  std::vector<DWORD>(static_cast<std::size_t>(press), standins::kReaderPowerOnCode))
            << "power on at every press, never off";
        EXPECT_TRUE(ConnectionsBecome(0)) << "the press closed its handle of HCD1:";
        EXPECT_TRUE(reader_->powered());
    }
    EXPECT_EQ(app_->DebugOutput(), L"");

    SetPort("COM3 cable");
    app_->Click(kPortButton);
    EXPECT_EQ(app_->Text(kLogBox), kOpenText) << "once the device is back, the press opens it";
    EXPECT_TRUE(ConnectionsBecome(1));
}

TEST_F(SwipeletTest, QueriesGoOutInOneWriteAndTheAnswerShowsAtTheNextTick) {
    // Closed: the writes go to the invalid handle.
    app_->Click(kReadMsrVersion);
    app_->Click(kReadFirmwareVersion);
    EXPECT_FALSE(reader_->WaitForReceived(1, 500)) << "nothing reaches the reader";
    EXPECT_TRUE(LogStaysFor(*app_, 1200));
    EXPECT_EQ(app_->Text(kLogBox), L"");

    Open();
    struct Case {
        int button;
        std::string query;
        std::string answer;
    } cases[] = {
        {kReadMsrVersion,
         "\x02"
         "D\r",
         standins::kMsrVersionAnswer},
        {kReadFirmwareVersion, "\x02V\r", standins::kFirmwareVersionAnswer},
    };
    std::string sent;
    std::wstring shown;
    for (const Case& c : cases) {
        SCOPED_TRACE("button " + std::to_string(c.button));
        app_->Click(c.button);
        sent += c.query;
        ASSERT_TRUE(reader_->WaitForReceived(sent.size(), 1000));
        EXPECT_EQ(reader_->received(), sent);
        EXPECT_EQ(reader_->bursts().back(), c.query) << "the three bytes came together";
        shown += Units(c.answer) + L"\r\n";
        EXPECT_TRUE(LogBecomes(*app_, shown));
    }
}

TEST_F(SwipeletTest, ASwipedCardShowsByteForByteAtTheNextTick) {
    const std::string first = standins::TrackData(standins::kTestCardNumber);
    const std::string second = standins::TrackData("5555555555554444");
    EXPECT_FALSE(reader_->Swipe(first)) << "unpowered, the reader reads no card";

    Open();
    ASSERT_TRUE(reader_->Swipe(first));
    std::wstring shown = app_->WaitForText(
        kLogBox, [&](const std::wstring& t) { return ShownWholeOrAcrossTwoTicks(t, Units(first)); },
        2 * kTickWaitMs);
    ASSERT_TRUE(ShownWholeOrAcrossTwoTicks(shown, Units(first)))
        << std::string(shown.begin(), shown.end());

    // Swiped just after a tick, a card is whole at the next one.
    auto swiped = Clock::now();
    ASSERT_TRUE(reader_->Swipe(second));
    EXPECT_TRUE(LogBecomes(*app_, shown + Units(second) + L"\r\n"));
    double shownAfterMs = MsBetween(swiped, Clock::now());
    EXPECT_LT(shownAfterMs, 1500.0);
    std::printf("second card shown %.0f ms after the swipe\n", shownAfterMs);
}

TEST_F(SwipeletTest, EndingTheDialogWithThePortOpenSkipsTheCloseAndThePowerOff) {
    struct Case {
        const char* how;
        std::function<void(const AppSession&)> end;
    } cases[] = {
        {"the caption's OK button",
         [](const AppSession& app) { ::PostMessageW(app.window(), WM_COMMAND, IDOK, 0); }},
        {"the close box",
         [](const AppSession& app) { ::PostMessageW(app.window(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Enter in the log box",
         [](const AppSession& app) {
             ::PostMessageW(app.Control(kLogBox), WM_KEYDOWN, VK_RETURN, 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        if (!app_)
            Start();
        std::size_t requestsBefore = driver_->requests().size();
        Open();
        auto asked = Clock::now();
        c.end(*app_);
        EXPECT_TRUE(app_->WaitForExit(2000));
        std::printf("%s: the program ended %.0f ms after it was asked\n", c.how,
                    MsBetween(asked, Clock::now()));
        EXPECT_EQ(app_->DebugOutput(), L"") << "no close steps ran";
        EXPECT_EQ(Codes().size(), requestsBefore + 1) << "only the opening press's power on";
        EXPECT_TRUE(reader_->powered());
        EXPECT_TRUE(ConnectionsBecome(0)) << "the system released the kept handle";
        app_.reset();
    }
}

// The stand-ins on their own: what the tests above rely on of them.

TEST(CardReaderStandIn, SendsBothTracksOfACardThatPassesTheLuhnCheck) {
    EXPECT_EQ(standins::TrackData(standins::kTestCardNumber),
              "%B4111111111111111^TEST/CARD^29121010000000000000?"
              ";4111111111111111=29121010000000000000?\r");
    struct Case {
        const char* number;
        bool valid;
    } cases[] = {
        {standins::kTestCardNumber, true},
        {"5555555555554444", true},
        {"79927398713", true},
        {"4111111111111112", false},
        {"79927398710", false},
        {"41111111111111a1", false},
        {"0", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(standins::PassesLuhn(c.number), c.valid) << c.number;
}

TEST(ReaderPowerDriverStandIn, TakesOnlyThePowerRequestsInTheProgramsShape) {
    std::vector<bool> told;
    ReaderPowerDriver driver(Say, [&](bool on) { told.push_back(on); });
    ASSERT_TRUE(driver.Start());
    const std::wstring pipe = std::wstring(ce::hostlink::kDriverPipePrefix) + L"HCD1";
    struct Case {
        DWORD code;
        std::uint32_t hasIn, inSize, outSize, hasReturned;
        DWORD error; // ERROR_SUCCESS: accepted
    } cases[] = {
        {standins::kReaderPowerOnCode, 0, 0, 1, 1, ERROR_SUCCESS},
        {standins::kReaderPowerOffCode, 0, 0, 1, 1, ERROR_SUCCESS},
        {0x80002108, 0, 0, 1, 1, ERROR_INVALID_FUNCTION},
        {0x00192058, 0, 0, 1, 1, ERROR_INVALID_FUNCTION},
        {standins::kReaderPowerOnCode, 1, 4, 1, 1, ERROR_INVALID_PARAMETER},
        {standins::kReaderPowerOnCode, 0, 0, 0, 1, ERROR_INVALID_PARAMETER},
        {standins::kReaderPowerOffCode, 0, 0, 1, 0, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ce::hostlink::Request request{c.code, c.inSize, c.hasIn, 0, c.outSize, c.hasReturned};
        ce::hostlink::Reply reply{};
        ASSERT_EQ(ce::hostlink::Transact(pipe.c_str(), request, reply),
                  static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_EQ(reply.ok != 0, c.error == ERROR_SUCCESS);
        EXPECT_EQ(reply.error, c.error);
    }
    EXPECT_EQ(told, (std::vector<bool>{true, false})) << "only accepted requests switch power";
    EXPECT_EQ(driver.requests().size(), std::size(cases)) << "every request is recorded";
    driver.Stop();
    ce::hostlink::Reply reply{};
    EXPECT_NE(ce::hostlink::Transact(pipe.c_str(), {}, reply), static_cast<DWORD>(ERROR_SUCCESS))
        << "stopped, HCD1: is missing";
}

} // namespace
