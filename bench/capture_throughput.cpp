// How many bytes per second the capture's reader takes off a flooded cable, beside plain Win32
// readers of the same cable and beside the real program.
//
//   capture_throughput --mode readers [--rounds R] [--warmup W] [--seconds S]
//       the card reader's cable (COM3 <- COM13, 19200): the capture loop, then the Win32
//       readers, R rounds in turn; each rate is bytes read over S seconds after W of warm-up
//   capture_throughput --mode program [--rounds R] [--warmup W] [--seconds S]
//       Swipelet.exe (COM3, with the stand-in of its reader's power driver) and Beamlet.exe
//       (COM1), each with its port open while the far end floods the numbered stream: how far
//       into the stream the program's reader had got, read off the log box at each tick
//   capture_throughput --mode flood --seconds S
//       only floods COM13, for a reader on the host side of the cable
//
// --tag TEXT adds " [TEXT]" to each reader's name in the figures, to tell runs under other
// conditions apart.
#include "cable_flood.h"
#include "capture_loop_reader.h"
#include "desktop_port.h"
#include "launched_program.h"
#include "native_readers.h"
#include "options.h"
#include "result_line.h"
#include "stopwatch.h"
#include "tick_watch.h"

#include "reader_power_driver.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr DWORD kReaderBaud = 19200;
constexpr DWORD kScannerBaud = 9600;
constexpr int kLogBox = 1000;
constexpr int kPortButton = 1001;

struct Window {
    double warmup;
    double seconds;
    std::string tag; // appended to the names in the figures
};

std::string Named(const std::string& name, const Window& window) {
    return window.tag.empty() ? name : name + " [" + window.tag + "]";
}

// Bytes the reader took over the window after the warm-up, per second.
double MeasureReaderRate(CableReader& reader, CableFlood& flood, Window window) {
    flood.Start();
    SleepSeconds(window.warmup);
    double t0 = NowSeconds();
    std::uint64_t r0 = reader.bytesRead();
    SleepSeconds(window.seconds);
    double t1 = NowSeconds();
    return static_cast<double>(reader.bytesRead() - r0) / (t1 - t0);
}

bool MeasureReader(CableReader& reader, int round, Window window) {
    if (!DrainCable(L"COM3", kReaderBaud))
        return false;
    CableFlood flood(L"COM13", kReaderBaud);
    if (!flood.isOpen() || !reader.Start())
        return false;
    double rate = MeasureReaderRate(reader, flood, window);
    reader.Stop();
    flood.Stop();
    std::string name = Named(reader.name(), window);
    std::printf("round %d  %-40s %12.0f B/s\n", round, name.c_str(), rate);
    PrintResult("throughput", {name, std::to_string(round), Fixed(rate, 0)});
    return true;
}

int RunReaders(int rounds, Window window) {
    std::vector<std::unique_ptr<CableReader>> readers;
    readers.push_back(std::make_unique<CaptureLoopReader>(L"COM3:", kReaderBaud));
    readers.push_back(std::make_unique<BlockReader>(L"COM3", kReaderBaud));
    readers.push_back(std::make_unique<ByteReader>(L"COM3", kReaderBaud));
    readers.push_back(std::make_unique<OverlappedByteReader>(L"COM3", kReaderBaud));
    for (int round = 1; round <= rounds; ++round) {
        for (auto& reader : readers) {
            if (!MeasureReader(*reader, round, window))
                return 1;
        }
    }
    return 0;
}

// A capture program as the bench runs it: its port, and the far end of that port's cable.
struct Program {
    const wchar_t* exe;
    const wchar_t* title;
    const wchar_t* port; // the program's end of the cable, as the desktop names it
    const wchar_t* peerPort;
    DWORD baudRate;
    bool poweredReader; // its presses switch the reader's power through "HCD1:"
};

const Program kPrograms[] = {
    {L"Swipelet.exe", L"Swipelet", L"COM3", L"COM13", kReaderBaud, true},
    {L"Beamlet.exe", L"Beamlet", L"COM1", L"COM11", kScannerBaud, false},
};

bool MeasureProgram(const Program& subject, int round, Window window) {
    if (!DrainCable(subject.port, subject.baudRate))
        return false;
    // Each press asks "HCD1:" for power; without it the program still opens the port.
    standins::ReaderPowerDriver power(nullptr, nullptr);
    if (subject.poweredReader && !power.Start())
        std::fprintf(stderr, "no stand-in for HCD1: the presses will report its absence\n");
    LaunchedProgram program(subject.exe);
    HWND dialog = program.started() ? program.WaitForWindow(subject.title, 20) : nullptr;
    CableFlood flood(subject.peerPort, subject.baudRate);
    if (dialog == nullptr || !flood.isOpen()) {
        std::fprintf(stderr, "%ls's window or the %ls end is missing\n", subject.exe,
                     subject.peerPort);
        return false;
    }
    Click(dialog, kPortButton);
    if (ControlText(dialog, kPortButton) != L"Close Port") {
        std::fprintf(stderr, "%ls did not open its port: %ls\n", subject.exe,
                     ControlText(dialog, kLogBox).c_str());
        return false;
    }
    flood.Start();
    SleepSeconds(window.warmup);
    std::vector<TickPosition> ticks = WatchTicks(dialog, NowSeconds() + window.seconds, 5);
    Click(dialog, kPortButton);
    flood.Stop();
    if (ticks.size() < 2) {
        std::fprintf(stderr, "%ls: fewer than two ticks showed where its reader stood\n",
                     subject.exe);
        return false;
    }
    double rate = RateBetween(ticks);
    std::wstring exe = subject.exe;
    std::string name = Named(std::string(exe.begin(), exe.end()), window);
    std::printf("round %d  %-40s %12.0f B/s  (%zu ticks read)\n", round, name.c_str(), rate,
                ticks.size());
    PrintResult("throughput", {name, std::to_string(round), Fixed(rate, 0)});
    return true;
}

int RunPrograms(int rounds, Window window) {
    for (int round = 1; round <= rounds; ++round) {
        for (const Program& program : kPrograms) {
            if (!ProgramBuilt(program.exe))
                std::printf("%ls is not built: skipped\n", program.exe);
            else if (!MeasureProgram(program, round, window))
                return 1;
        }
    }
    return 0;
}

int RunFlood(double seconds) {
    CableFlood flood(L"COM13", kReaderBaud);
    if (!flood.isOpen())
        return 1;
    double t0 = NowSeconds();
    flood.Start();
    SleepSeconds(seconds);
    flood.Stop();
    double elapsed = NowSeconds() - t0;
    PrintResult("flood", {Fixed(static_cast<double>(flood.bytesSent()) / elapsed, 0)});
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Options options(argc, argv);
    std::wstring mode = options.Text(L"--mode", L"readers");
    int rounds = static_cast<int>(options.Number(L"--rounds", 3));
    std::wstring tag = options.Text(L"--tag", L"");
    Window window{options.Number(L"--warmup", 2), options.Number(L"--seconds", 5),
                  std::string(tag.begin(), tag.end())};
    if (mode == L"readers")
        return RunReaders(rounds, window);
    if (mode == L"program")
        return RunPrograms(rounds, window);
    if (mode == L"flood")
        return RunFlood(window.seconds);
    std::fprintf(stderr, "unknown mode %ls\n", mode.c_str());
    return 2;
}
