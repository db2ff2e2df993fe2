// Wall-clock time for the figures: the performance counter, which Wine backs with the host's
// monotonic clock, so that times taken in two processes of one prefix compare.
#pragma once

namespace bench {

// Seconds since an arbitrary fixed point.
double NowSeconds();

// Sleeps about `seconds` (Wine's Sleep is good to about a millisecond).
void SleepSeconds(double seconds);

} // namespace bench
