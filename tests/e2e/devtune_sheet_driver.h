// Drives a running Devtune sheet from the test process: its pages, tabs and buttons, the
// message boxes it shows, and a stand-in kernel that notes what the registry held when each
// restart request arrived.
#pragma once

#include "app_session.h"
#include "driver_server.h"
#include "registry_helpers.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace devtune_e2e {

inline constexpr wchar_t kSheetTitle[] = L"Device Config";
inline constexpr wchar_t kDriversKey[] = L"Drivers\\USB\\FunctionDrivers";
inline constexpr wchar_t kCommKey[] = L"ControlPanel\\Comm";
inline constexpr wchar_t kEntryKey[] = L"Comm\\RasBook\\`USB";
inline constexpr wchar_t kDefaultConnectionsKey[] = L"Comm\\DefaultConnections";
inline constexpr DWORD kTimeoutMs = 10000;

// Every key Devtune reads or writes, removed.
void ClearDevtuneKeys();
// The stored "DefaultClientDriver" text, or "<none>".
std::wstring StoredClientDriver();

// One restart request, with the client driver the registry named when it arrived.
struct KernelCall {
    ce::hostlink::Request request;
    std::wstring clientDriverAtRequest;
};

// Serves the kernel's pipe for the life of the object.
class KernelRecorder {
public:
    KernelRecorder();
    bool started() const { return server_ && server_->started(); }
    std::vector<KernelCall> calls() const;

private:
    ce::hostlink::Reply Record(const ce::hostlink::Request& request);

    mutable std::mutex mutex_;
    std::vector<KernelCall> calls_;
    std::unique_ptr<standins::DriverServer> server_;
};

// The sheet of a running Devtune.
class Sheet {
public:
    explicit Sheet(const e2e::AppSession& session) : session_(session) {}

    HWND window() const { return session_.window(); }
    std::wstring Caption() const;
    std::vector<std::wstring> TabTitles() const;
    // The page dialog at `index`, or null while the platform has not created it.
    HWND Page(int index) const;
    void SelectPage(int index) const;
    bool Checked(int page, int id) const;
    // BM_CLICK, waiting for the handler (never use it where a message box may follow).
    void Click(int page, int id) const;
    // BM_CLICK posted, for buttons whose handler may block in a message box.
    void PostClick(int page, int id) const;
    void PressOk() const;
    void PressCancel() const;
    // Waits for the process to end; returns its exit code, or STILL_ACTIVE after the timeout.
    DWORD ExitCode() const;

private:
    const e2e::AppSession& session_;
};

// A message box of process `pid` titled `caption`: its window and the text it shows.
struct MessageBoxSeen {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::wstring text;
};
MessageBoxSeen WaitForMessageBox(DWORD pid, const wchar_t* caption, DWORD timeoutMs);
// Closes it with its OK button and waits until it is gone.
bool CloseMessageBox(HWND box);

// Starts Devtune.exe without waiting for a window; returns the exit code once it ends, or
// STILL_ACTIVE (after ending it) when it does not end within the timeout.
DWORD RunDevtuneToEnd(DWORD timeoutMs);

// Top-level windows titled exactly `title`, of any process.
int CountTopLevelWindows(const wchar_t* title);

RECT WorkArea();
RECT WindowRect(HWND window);
bool SameRect(const RECT& a, const RECT& b);

} // namespace devtune_e2e
