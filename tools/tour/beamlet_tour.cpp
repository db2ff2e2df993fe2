#include "tour.h"

#include "app_session.h"
#include "scanner.h"

namespace tour {

int RunBeamletTour(const Output& output) {
    standins::Scanner scanner(L"COM11", L"COM1", Say);
    if (!scanner.isReady()) {
        Say("the scanner's end of the COM1 cable is not there");
        return 1;
    }
    scanner.peer().Purge();
    e2e::AppSession beamlet(L"Beamlet.exe", L"Beamlet");
    if (beamlet.window() == nullptr) {
        Say("Beamlet did not open its window");
        return 1;
    }
    Say("Beamlet is open; pressing \"Open Port\"");
    beamlet.Click(1001);
    Say("pressing \"Trigger\": the scanner reads a code");
    beamlet.Click(1002);
    beamlet.WaitForText(
        1000, [](const std::wstring& t) { return t.find(L"5901234123457") != std::wstring::npos; },
        3000);
    output.Save(beamlet.window(), L"beamlet");
    SayText("log box", beamlet.Text(1000));
    Say("pressing \"Close Port\", then closing the window");
    beamlet.Click(1001);
    SayText("log box", beamlet.Text(1000));
    ::PostMessageW(beamlet.window(), WM_CLOSE, 0, 0);
    return beamlet.WaitForExit(5000) ? 0 : 1;
}

} // namespace tour
