#include "stopwatch.h"

#include <windows.h>

namespace bench {

double NowSeconds() {
    static const double frequency = [] {
        LARGE_INTEGER f{};
        (void)::QueryPerformanceFrequency(&f); // cannot fail since Windows XP
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now{};
    (void)::QueryPerformanceCounter(&now); // likewise
    return static_cast<double>(now.QuadPart) / frequency;
}

void SleepSeconds(double seconds) {
    if (seconds > 0)
        ::Sleep(static_cast<DWORD>(seconds * 1000.0 + 0.5));
}

} // namespace bench
