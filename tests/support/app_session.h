// Runs one of the programs as a person would use it, from another process: starts the .exe
// beside the test, finds its window, presses its buttons, reads its texts, and collects its
// debug output (the test process is its debugger).
#pragma once

#include "ce/unique_handle.h"

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

class AppSession {
public:
    // Starts `exe` (a file name in the test's own directory) and waits for its top-level
    // window titled `title`.
    AppSession(const std::wstring& exe, const std::wstring& title);
    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;
    // Ends the program if it still runs.
    ~AppSession();

    HWND window() const { return window_; }
    HWND Control(int id) const { return ::GetDlgItem(window_, id); }
    std::wstring Text(int id) const;
    // Presses a button with BM_CLICK; returns when its handler has returned, with the time
    // that took in milliseconds.
    DWORD Click(int id) const;
    // Polls the control's text until `accept` takes it or `timeoutMs` passes; returns the last.
    std::wstring WaitForText(int id, const std::function<bool(const std::wstring&)>& accept,
                             DWORD timeoutMs) const;
    // Everything the program wrote to the debug output so far, concatenated.
    std::wstring DebugOutput() const;

    bool WaitForExit(DWORD timeoutMs) const;
    DWORD processId() const { return processId_; }
    HANDLE process() const { return process_.get(); }
    int ThreadCount() const;
    DWORD HandleCount() const;
    // CPU time the program has used so far, in milliseconds, as the host kernel counts it (Wine
    // does not report other processes' times); negative when it cannot be read.
    double HostCpuMs() const;

private:
    void Debug(std::wstring commandLine);
    std::wstring commandLine_;
    void OnDebugString(const OUTPUT_DEBUG_STRING_INFO& info);

    ce::UniqueHandle process_;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
    ce::UniqueHandle started_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    mutable std::mutex outputMutex_;
    std::wstring output_;
    std::thread debugger_;
};

// The directory of the running test, where the programs are built too.
std::wstring BinDirectory();
// Runs a shell command line on the host (e.g. the bench's port tool) and waits for it; false
// when it could not run. Wine does not carry a host program's exit status back.
bool RunHostCommand(const std::string& commandLine);
// The visible top-level window of process `pid` titled `title`, if there is one now.
HWND FindVisibleProcessWindow(DWORD pid, const wchar_t* title);
// Waits up to `timeoutMs` for such a window.
HWND FindProcessWindow(DWORD pid, const wchar_t* title, DWORD timeoutMs);

} // namespace e2e
