// Where a capture program's reader stands in the numbered stream, read off its log box at each
// display tick (see stream_pattern.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace bench {

struct TickPosition {
    double seconds;
    std::uint64_t position; // bytes of the stream the reader had taken by that tick
};

// Polls the log box every `pollMs` until `until` (NowSeconds() time), noting each tick that
// shows where the reader stands.
std::vector<TickPosition> WatchTicks(HWND dialog, double until, DWORD pollMs);

// Bytes per second between the first and the last tick noted; 0 with fewer than two, or when
// the positions do not go forward.
double RateBetween(const std::vector<TickPosition>& ticks);

} // namespace bench
