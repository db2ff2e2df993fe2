// What Beamlet.exe costs while nothing happens: its processor time (GetProcessTimes) over a
// window with the port closed, then over one with the port open and no data coming, and, for
// scale, over a shorter one with the peer flooding the cable (with the bytes its reader took,
// read off the log box). A host probe, when given, notes the same windows on the host side (the
// program's own Wine process and the prefix's wineserver), which is where Wine keeps the true
// count.
//
//   idle_cost [--seconds S] [--flood-seconds F] [--flood-phase NAME]
//             [--host-probe "/path/host_cpu.sh"]
//
// --seconds 0 leaves out the two idle windows; NAME (default "flooded", no blanks or dashes)
// names the flooded one in the figures.
#include "cable_flood.h"
#include "desktop_port.h"
#include "launched_program.h"
#include "options.h"
#include "result_line.h"
#include "stopwatch.h"
#include "tick_watch.h"

#include "app_session.h"

#include <cstdio>
#include <string>

namespace {

using namespace bench;

constexpr int kPortButton = 1001;

// User plus kernel time of `process`, in seconds; negative when unreadable.
double ProcessorSeconds(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user))
        return -1;
    auto seconds = [](const FILETIME& t) {
        ULARGE_INTEGER v{};
        v.LowPart = t.dwLowDateTime;
        v.HighPart = t.dwHighDateTime;
        return static_cast<double>(v.QuadPart) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

class HostProbe {
public:
    explicit HostProbe(std::wstring script) : script_(std::move(script)) {}
    // Asks the probe to note the host side's times under `label`.
    void Note(const std::string& label) const {
        if (script_.empty())
            return;
        std::string command = "'" + std::string(script_.begin(), script_.end()) + "' " + label;
        if (!e2e::RunHostCommand(command))
            std::fprintf(stderr, "the host probe did not run for %s\n", label.c_str());
    }

private:
    std::wstring script_;
};

// Rarely, so that looking at the log box costs the program next to nothing.
constexpr DWORD kTickPollMs = 50;

// One window: the program's processor time over `seconds` of wall time. With `dialog`, also
// the rate at which its reader took bytes, from the log box.
bool MeasureWindow(const LaunchedProgram& program, const HostProbe& probe, const char* phase,
                   double seconds, HWND dialog = nullptr) {
    probe.Note(std::string(phase) + "-begin");
    double cpu0 = ProcessorSeconds(program.process());
    double t0 = NowSeconds();
    double rate = 0;
    if (dialog != nullptr)
        rate = RateBetween(WatchTicks(dialog, t0 + seconds, kTickPollMs));
    else
        SleepSeconds(seconds);
    double cpu1 = ProcessorSeconds(program.process());
    double elapsed = NowSeconds() - t0;
    probe.Note(std::string(phase) + "-end");
    if (cpu0 < 0 || cpu1 < 0) {
        std::fprintf(stderr, "GetProcessTimes failed: error %lu\n", ::GetLastError());
        return false;
    }
    double used = cpu1 - cpu0;
    std::printf("port %-7s %.1f s: %.3f s of processor time, %.3f%% of one core; %.0f B/s read\n",
                phase, elapsed, used, 100.0 * used / elapsed, rate);
    PrintResult("idle", {phase, Fixed(elapsed, 1), Fixed(used * 1000.0, 1),
                         Fixed(100.0 * used / elapsed, 3), Fixed(rate, 0)});
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Options options(argc, argv);
    double seconds = options.Number(L"--seconds", 60);
    HostProbe probe(options.Text(L"--host-probe", L""));

    if (!DrainCable(L"COM1", 9600))
        return 1;
    LaunchedProgram program(L"Beamlet.exe");
    HWND dialog = program.started() ? program.WaitForWindow(L"Beamlet", 20) : nullptr;
    if (dialog == nullptr) {
        std::fprintf(stderr, "Beamlet's window did not show\n");
        return 1;
    }
    SleepSeconds(1); // let the start-up settle
    if (seconds > 0 && !MeasureWindow(program, probe, "closed", seconds))
        return 1;
    Click(dialog, kPortButton);
    if (ControlText(dialog, kPortButton) != L"Close Port") {
        std::fprintf(stderr, "Beamlet did not open COM1\n");
        return 1;
    }
    SleepSeconds(1);
    if (seconds > 0 && !MeasureWindow(program, probe, "open", seconds))
        return 1;
    CableFlood flood(L"COM11", 9600);
    if (!flood.isOpen())
        return 1;
    flood.Start();
    SleepSeconds(1);
    std::wstring phase = options.Text(L"--flood-phase", L"flooded");
    double floodSeconds = options.Number(L"--flood-seconds", 10);
    std::string name(phase.begin(), phase.end());
    return MeasureWindow(program, probe, name.c_str(), floodSeconds, dialog) ? 0 : 1;
}
