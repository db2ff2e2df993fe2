#include "tour.h"

#include "app_session.h"
#include "card_reader.h"
#include "reader_power_driver.h"

namespace tour {

namespace {

constexpr int kLogBox = 1000, kPortButton = 1001, kMsrVersion = 1002, kFirmwareVersion = 1003;

bool Shows(const e2e::AppSession& app, const std::string& text) {
    std::wstring wanted(text.begin(), text.end());
    return app.WaitForText(
                  kLogBox,
                  [&](const std::wstring& t) { return t.find(wanted) != std::wstring::npos; }, 3000)
               .find(wanted) != std::wstring::npos;
}

} // namespace

int RunSwipeletTour(const Output& output) {
    standins::CardReader reader(L"COM13", Say);
    standins::ReaderPowerDriver power(Say, [&reader](bool on) { reader.SetPowered(on); });
    if (!reader.isReady() || !power.Start()) {
        Say("the card reader's end of the COM3 cable or its power driver is not there");
        return 1;
    }
    reader.Purge();
    e2e::AppSession swipelet(L"Swipelet.exe", L"Swipelet");
    if (swipelet.window() == nullptr) {
        Say("Swipelet did not open its window");
        return 1;
    }
    Say("Swipelet is open; pressing \"Open Port\": the reader is powered, then COM3 opened");
    swipelet.Click(kPortButton);
    Say("swiping the test card");
    std::string card = standins::TrackData(standins::kTestCardNumber);
    reader.Swipe(card);
    bool swiped = Shows(swipelet, card.substr(0, card.size() - 1));
    Say("pressing \"Read MSR Version\" and \"Read Fireware Version\"");
    swipelet.Click(kMsrVersion);
    swipelet.Click(kFirmwareVersion);
    bool answered = Shows(swipelet, "FW ");
    output.Save(swipelet.window(), L"swipelet");
    SayText("log box", swipelet.Text(kLogBox));
    Say("pressing \"Close Port\": COM3 closed, the reader powered down");
    swipelet.Click(kPortButton);
    SayText("log box", swipelet.Text(kLogBox));
    ::PostMessageW(swipelet.window(), WM_CLOSE, 0, 0);
    bool ended = swipelet.WaitForExit(5000);
    return swiped && answered && ended && !reader.powered() ? 0 : 1;
}

} // namespace tour
