// How long a program takes from being started to showing its dialog: CreateProcess until its
// visible top-level window is found (polled every millisecond), the capture programs and a
// minimal Win32 dialog program in turn, after one untimed start of each.
//
//   startup_time [--runs N]
#include "launched_program.h"
#include "options.h"
#include "result_line.h"
#include "statistics.h"
#include "stopwatch.h"

#include <cstdio>
#include <vector>

namespace {

using namespace bench;

struct Subject {
    const wchar_t* exe;
    const wchar_t* title;
    std::vector<double> ms;
};

// Milliseconds from start to window, or a negative value when no window showed.
double TimeStart(const Subject& subject) {
    double t0 = NowSeconds();
    LaunchedProgram program(subject.exe);
    if (!program.started() || program.WaitForWindow(subject.title, 30) == nullptr)
        return -1;
    return (NowSeconds() - t0) * 1000.0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Options options(argc, argv);
    int runs = static_cast<int>(options.Number(L"--runs", 10));
    std::vector<Subject> subjects;
    for (Subject s :
         {Subject{L"Beamlet.exe", L"Beamlet", {}}, Subject{L"Swipelet.exe", L"Swipelet", {}},
          Subject{L"minimal_dialog.exe", L"Minimal Dialog", {}}}) {
        if (ProgramBuilt(s.exe))
            subjects.push_back(s);
        else
            std::printf("%ls is not built: skipped\n", s.exe);
    }
    for (Subject& s : subjects) {
        if (TimeStart(s) < 0) {
            std::fprintf(stderr, "%ls showed no window\n", s.exe);
            return 1;
        }
    }
    for (int run = 0; run < runs; ++run) {
        for (Subject& s : subjects) {
            double ms = TimeStart(s);
            if (ms < 0) {
                std::fprintf(stderr, "%ls showed no window\n", s.exe);
                return 1;
            }
            s.ms.push_back(ms);
        }
    }
    for (const Subject& s : subjects) {
        Summary t = Summarise(s.ms);
        std::printf("%-20ls %zu starts: median %.1f ms, min %.1f ms, max %.1f ms\n", s.exe, t.count,
                    t.median, t.min, t.max);
        std::wstring exe = s.exe;
        PrintResult("startup", {std::string(exe.begin(), exe.end()), std::to_string(t.count),
                                Fixed(t.median, 1), Fixed(t.min, 1), Fixed(t.max, 1)});
    }
    return 0;
}
