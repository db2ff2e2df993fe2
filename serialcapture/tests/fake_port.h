// A fake of the device operations for the capture's unit tests: one serial port whose reads
// block until the test feeds bytes or the handle is closed, with a log of every call.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fake_port {

// What the port reports before the capture changes anything.
DCB InitialSettings();

void Reset(bool deviceExists);
void Feed(const std::string& bytes);
std::vector<std::string> Calls();
DCB WrittenSettings();
COMMTIMEOUTS WrittenTimeouts();
// Reads that were waiting at the same time, at most, since Reset.
int MostConcurrentReads();
// Whether any thread read through a handle other than the first it read through.
bool AReaderChangedHandles();
// Reads still running now.
int ReadsInProgress();

} // namespace fake_port
