// A program of the build started as a person starts it, with no debugger attached, and its
// main window found by title.
#pragma once

#include "ce/unique_handle.h"

#include <windows.h>

#include <string>

namespace bench {

class LaunchedProgram {
public:
    // Starts `exe`, a file in the benchmark's own directory; check started().
    explicit LaunchedProgram(const std::wstring& exe);
    LaunchedProgram(const LaunchedProgram&) = delete;
    LaunchedProgram& operator=(const LaunchedProgram&) = delete;
    ~LaunchedProgram() { End(); }

    bool started() const { return static_cast<bool>(process_); }
    HANDLE process() const { return process_.get(); }
    DWORD processId() const { return processId_; }

    // Polls every millisecond for a visible top-level window of the program titled `title`;
    // null after `timeoutSeconds`.
    HWND WaitForWindow(const wchar_t* title, double timeoutSeconds) const;
    // Closes the window as its close box would and waits; ends the process if it lingers.
    void End();

private:
    ce::UniqueHandle process_;
    DWORD processId_ = 0;
};

// Whether `exe` is in the benchmark's own directory (a program the build may leave out).
bool ProgramBuilt(const std::wstring& exe);

// Sends a button click and returns once the handler has run.
void Click(HWND dialog, int buttonId);
// The text of a dialog's control.
std::wstring ControlText(HWND dialog, int controlId);

} // namespace bench
