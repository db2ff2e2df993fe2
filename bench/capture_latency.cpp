// How long a byte takes from the far end of the cable to the program's log box: Beamlet.exe
// with its port open, one byte sent at a random moment between two display ticks, the box's
// text length polled every millisecond until it changes.
//
//   capture_latency [--samples N] [--seed S]
#include "desktop_port.h"
#include "launched_program.h"
#include "options.h"
#include "result_line.h"
#include "statistics.h"
#include "stopwatch.h"

#include "serial_peer.h"

#include <cstdio>
#include <random>
#include <vector>

namespace {

using namespace bench;

constexpr int kLogBox = 1000;
constexpr int kPortButton = 1001;
constexpr double kTickSeconds = 1.0;
// A byte not shown within two ticks and a half is lost, not late.
constexpr double kGiveUpSeconds = 2.5;

// The log box's length, or -1 when the program does not answer.
long LogLength(HWND dialog) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(::GetDlgItem(dialog, kLogBox), WM_GETTEXTLENGTH, 0, 0,
                               SMTO_ABORTIFHUNG, 1000, &length))
        return -1;
    return static_cast<long>(length);
}

// Polls until the log box's length differs from `before`; the time of the change, or a
// negative value after `deadline`. A clear at the buffer's limit is a change too.
double WaitForChange(HWND dialog, long before, double deadline) {
    do {
        ::Sleep(1);
        long now = LogLength(dialog);
        if (now < 0)
            return -1;
        if (now != before)
            return NowSeconds();
    } while (NowSeconds() < deadline);
    return -1;
}

struct Sample {
    double latencyMs;
    double phaseMs; // when the byte left, after the tick that showed the previous one
};

class LatencyRun {
public:
    LatencyRun(HWND dialog, standins::SerialPeer& peer, unsigned seed)
        : dialog_(dialog), peer_(peer), random_(seed), phase_(0.0, kTickSeconds) {}

    // Sends a marker and waits for the tick that shows it, to start right after a tick.
    bool Synchronise() {
        length_ = LogLength(dialog_);
        if (!peer_.Write("s"))
            return false;
        lastShown_ = WaitForChange(dialog_, length_, NowSeconds() + kGiveUpSeconds);
        length_ = LogLength(dialog_);
        return lastShown_ > 0;
    }

    // One byte at a random phase of the tick; false when it never showed.
    bool Measure(char byte, Sample& sample) {
        double sendAt = lastShown_ + phase_(random_);
        SleepSeconds(sendAt - NowSeconds());
        double sent = NowSeconds();
        if (!peer_.Write(std::string(1, byte)))
            return false;
        double shown = WaitForChange(dialog_, length_, sent + kGiveUpSeconds);
        if (shown < 0)
            return false;
        sample.latencyMs = (shown - sent) * 1000.0;
        sample.phaseMs = (sent - lastShown_) * 1000.0;
        lastShown_ = shown;
        length_ = LogLength(dialog_);
        return true;
    }

private:
    HWND dialog_;
    standins::SerialPeer& peer_;
    std::mt19937 random_;
    std::uniform_real_distribution<double> phase_;
    double lastShown_ = 0;
    long length_ = 0;
};

void Report(const std::vector<Sample>& samples, int lost) {
    std::vector<double> latencies, periods;
    int late = 0;
    for (const Sample& s : samples) {
        latencies.push_back(s.latencyMs);
        // Sent after one appearance and shown at the next tick, the two add up to one period.
        // Two periods are fair only for a byte sent in the last moments before the tick.
        double period = s.latencyMs + s.phaseMs;
        periods.push_back(period);
        late += period > 1500.0 && s.phaseMs < 990.0 ? 1 : 0;
    }
    Summary l = Summarise(latencies), p = Summarise(periods);
    std::printf(
        "%zu samples: median %.1f ms, p99 %.1f ms, min %.1f ms, max %.1f ms, mean %.1f ms\n",
        l.count, l.median, l.p99, l.min, l.max, l.mean);
    std::printf("phase + latency (the tick period as seen): median %.1f ms, min %.1f, max %.1f;"
                " %d missed a tick, %d never shown\n",
                p.median, p.min, p.max, late, lost);
    PrintResult("latency", {std::to_string(l.count), Fixed(l.median, 1), Fixed(l.p99, 1),
                            Fixed(l.min, 1), Fixed(l.max, 1), Fixed(l.mean, 1), Fixed(p.median, 1),
                            std::to_string(late), std::to_string(lost)});
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Options options(argc, argv);
    int count = static_cast<int>(options.Number(L"--samples", 120));
    auto seed = static_cast<unsigned>(options.Number(L"--seed", 1));

    if (!bench::DrainCable(L"COM1", 9600))
        return 1;
    standins::SerialPeer peer(L"COM11", 9600);
    LaunchedProgram program(L"Beamlet.exe");
    HWND dialog = program.started() ? program.WaitForWindow(L"Beamlet", 20) : nullptr;
    if (dialog == nullptr || !peer.isOpen()) {
        std::fprintf(stderr, "Beamlet's window or the COM11 end is missing\n");
        return 1;
    }
    peer.Purge();
    Click(dialog, kPortButton);
    if (ControlText(dialog, kPortButton) != L"Close Port") {
        std::fprintf(stderr, "Beamlet did not open COM1\n");
        return 1;
    }
    LatencyRun run(dialog, peer, seed);
    if (!run.Synchronise()) {
        std::fprintf(stderr, "the first byte never showed\n");
        return 1;
    }
    std::vector<Sample> samples;
    int lost = 0;
    for (int i = 0; i < count; ++i) {
        Sample sample{};
        if (run.Measure(static_cast<char>('A' + i % 26), sample)) {
            samples.push_back(sample);
            continue;
        }
        ++lost; // start again from the next tick, if the program still shows one
        if (!run.Synchronise())
            break;
    }
    Report(samples, lost);
    return samples.empty() ? 1 : 0;
}
