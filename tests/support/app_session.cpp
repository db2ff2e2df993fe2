#include "app_session.h"

#include <tlhelp32.h>

#include <cstdio>
#include <sstream>

namespace e2e {

namespace {

constexpr DWORD kStartTimeoutMs = 20000;

bool ProcessRunning(HANDLE process) {
    return ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

} // namespace

std::wstring BinDirectory() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir = path;
    return dir.substr(0, dir.find_last_of(L"\\/"));
}

// Wine starts a host program but cannot wait for it (its process handle is no real one), so
// the command leaves a marker file behind when done, and we watch for it through drive Z:.
bool RunHostCommand(const std::string& commandLine) {
    static int serial = 0;
    std::string marker =
        "/tmp/e2e-host-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++serial);
    std::string script = "(" + commandLine + "); touch " + marker;
    std::wstring command = L"/bin/sh -c \"" + std::wstring(script.begin(), script.end()) + L"\"";
    std::wstring markerPath = L"Z:" + std::wstring(marker.begin(), marker.end());
    for (auto& c : markerPath)
        c = c == L'/' ? L'\\' : c;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        return false;
    ce::UniqueHandle process(info.hProcess), thread(info.hThread);
    for (int waited = 0; waited < 30000; waited += 20) {
        if (::GetFileAttributesW(markerPath.c_str()) != INVALID_FILE_ATTRIBUTES)
            return ::DeleteFileW(markerPath.c_str()) != 0;
        ::Sleep(20);
    }
    return false;
}

HWND FindVisibleProcessWindow(DWORD pid, const wchar_t* title) {
    for (HWND hwnd = ::FindWindowW(nullptr, title); hwnd != nullptr;
         hwnd = ::FindWindowExW(nullptr, hwnd, nullptr, title)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        if (owner == pid && ::IsWindowVisible(hwnd))
            return hwnd;
    }
    return nullptr;
}

HWND FindProcessWindow(DWORD pid, const wchar_t* title, DWORD timeoutMs) {
    DWORD deadline = ::GetTickCount() + timeoutMs;
    for (;;) {
        if (HWND hwnd = FindVisibleProcessWindow(pid, title))
            return hwnd;
        if (static_cast<LONG>(deadline - ::GetTickCount()) <= 0)
            return nullptr;
        ::Sleep(20);
    }
}

AppSession::AppSession(const std::wstring& exe, const std::wstring& title) {
    std::wstring commandLine = L"\"" + BinDirectory() + L"\\" + exe + L"\"";
    commandLine_ = BinDirectory() + L"\\" + exe;
    debugger_ = std::thread([this, commandLine] { Debug(commandLine); });
    ::WaitForSingleObject(started_.get(), kStartTimeoutMs);
    if (process_)
        window_ = FindProcessWindow(processId_, title.c_str(), kStartTimeoutMs);
}

AppSession::~AppSession() {
    if (process_ && ProcessRunning(process_.get())) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
    if (debugger_.joinable())
        debugger_.join();
}

// The debugger loop must run on the thread that started the program.
void AppSession::Debug(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    BOOL created = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                    DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr, &startup, &info);
    if (created) {
        process_.reset(info.hProcess);
        processId_ = info.dwProcessId;
        ::CloseHandle(info.hThread);
    }
    ::SetEvent(started_.get());
    if (!created)
        return;
    for (;;) {
        DEBUG_EVENT event{};
        if (!::WaitForDebugEvent(&event, INFINITE))
            return;
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            ::CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            ::CloseHandle(event.u.LoadDll.hFile);
            break;
        case OUTPUT_DEBUG_STRING_EVENT:
            OnDebugString(event.u.DebugString);
            break;
        case EXCEPTION_DEBUG_EVENT:
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                status = DBG_EXCEPTION_NOT_HANDLED;
            break;
        default:
            break;
        }
        ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT)
            return;
    }
}

void AppSession::OnDebugString(const OUTPUT_DEBUG_STRING_INFO& info) {
    std::wstring text;
    SIZE_T got = 0;
    if (info.fUnicode) {
        std::wstring buffer(info.nDebugStringLength, L'\0');
        ::ReadProcessMemory(process_.get(), info.lpDebugStringData, buffer.data(),
                            buffer.size() * sizeof(wchar_t), &got);
        text = buffer.substr(0, got / sizeof(wchar_t));
    } else {
        std::string buffer(info.nDebugStringLength, '\0');
        ::ReadProcessMemory(process_.get(), info.lpDebugStringData, buffer.data(), buffer.size(),
                            &got);
        text.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got));
    }
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    std::lock_guard<std::mutex> lock(outputMutex_);
    output_ += text;
}

std::wstring AppSession::Text(int id) const {
    HWND control = Control(id);
    auto length = ::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    auto copied =
        ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

DWORD AppSession::Click(int id) const {
    DWORD start = ::GetTickCount();
    ::SendMessageW(Control(id), BM_CLICK, 0, 0);
    return ::GetTickCount() - start;
}

std::wstring AppSession::WaitForText(int id, const std::function<bool(const std::wstring&)>& accept,
                                     DWORD timeoutMs) const {
    DWORD deadline = ::GetTickCount() + timeoutMs;
    std::wstring text = Text(id);
    while (!accept(text) && static_cast<LONG>(deadline - ::GetTickCount()) > 0) {
        ::Sleep(20);
        text = Text(id);
    }
    return text;
}

std::wstring AppSession::DebugOutput() const {
    std::lock_guard<std::mutex> lock(outputMutex_);
    return output_;
}

bool AppSession::WaitForExit(DWORD timeoutMs) const {
    return ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

int AppSession::ThreadCount() const {
    ce::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more;
         more = ::Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID == processId_)
            ++count;
    }
    return count;
}

// Wine's GetProcessHandleCount answers 0; the system-wide handle list is filled in.
DWORD AppSession::HandleCount() const {
    struct HandleEntry {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    struct HandleList {
        ULONG count;
        HandleEntry entries[1];
    };
    using QuerySystemInformation = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<BYTE> buffer(1 << 20);
    ULONG needed = 0;
    LONG status;
    while ((status = query(kSystemHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), &needed)) == kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return 0;
    const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
    DWORD count = 0;
    for (ULONG i = 0; i < list->count; ++i)
        count += list->entries[i].ownerPid == processId_ ? 1 : 0;
    return count;
}

} // namespace e2e

namespace e2e {

namespace {

std::string ReadWholeFile(const std::wstring& path) {
    ce::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (file && ::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
        text.append(chunk, got);
    return text;
}

// The host process whose command line names `exe` (a Windows path), found through drive Z:.
std::wstring HostStatPath(const std::wstring& exe) {
    std::string wanted(exe.begin(), exe.end());
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE)
        return L"";
    std::wstring found;
    do {
        std::wstring name = entry.cFileName;
        if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos)
            continue;
        std::string text = ReadWholeFile(L"Z:\\proc\\" + name + L"\\cmdline");
        if (text.find(wanted) != std::string::npos)
            found = L"Z:\\proc\\" + name + L"\\stat";
    } while (found.empty() && ::FindNextFileW(find, &entry));
    ::FindClose(find);
    return found;
}

} // namespace

double AppSession::HostCpuMs() const {
    std::wstring path = HostStatPath(commandLine_);
    std::string text = path.empty() ? std::string() : ReadWholeFile(path);
    std::size_t end = text.rfind(')');
    if (path.empty() || end == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(end + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14 || i == 15) // utime, stime
            ticks += std::stod(field);
    }
    return ticks * 10.0; // USER_HZ is 100
}

} // namespace e2e
