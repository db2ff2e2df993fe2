#include "tick_watch.h"

#include "launched_program.h"
#include "stopwatch.h"
#include "stream_pattern.h"

#include <string>

namespace bench {

namespace {

constexpr int kLogBox = 1000;

} // namespace

std::vector<TickPosition> WatchTicks(HWND dialog, double until, DWORD pollMs) {
    std::vector<TickPosition> ticks;
    std::wstring last;
    while (NowSeconds() < until) {
        ::Sleep(pollMs);
        std::wstring text = ControlText(dialog, kLogBox);
        if (text == last)
            continue;
        last = text;
        std::uint64_t position = 0;
        if (StreamPositionShown(text, position))
            ticks.push_back({NowSeconds(), position});
    }
    return ticks;
}

double RateBetween(const std::vector<TickPosition>& ticks) {
    // A later tick behind an earlier one means that bytes of another run were still coming.
    if (ticks.size() < 2 || ticks.back().seconds <= ticks.front().seconds ||
        ticks.back().position < ticks.front().position)
        return 0;
    return static_cast<double>(ticks.back().position - ticks.front().position) /
           (ticks.back().seconds - ticks.front().seconds);
}

} // namespace bench
