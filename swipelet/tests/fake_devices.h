// A fake of the device operations for Swipelet's unit tests: the power driver "HCD1:" and the
// reader's port "COM3:", each present or missing, with a log of every call as the program made
// it. A read of the port waits until the handle is closed, as the capture's reader thread needs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fake_devices {

struct Setup {
    bool driverPresent = true;
    bool driverAcceptsRequests = true;
    bool portPresent = true;
};

// Forgets the log and the open handles; handles are numbered from 1 again ("HCD1:#1").
void Reset(const Setup& setup);
// One line per call, e.g. "DeviceIoControl HCD1:#1 80002100 in=none/0 out=1 (was 00)
// returned=given overlapped=none -> ok".
std::vector<std::string> Calls();
// The calls whose line starts with `operation`.
std::vector<std::string> CallsOf(const std::string& operation);

} // namespace fake_devices
