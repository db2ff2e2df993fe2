#include "launched_program.h"

#include "app_session.h"
#include "stopwatch.h"

#include <cstdio>

namespace bench {

namespace {

BOOL CALLBACK CloseWindowOf(HWND hwnd, LPARAM pid) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == static_cast<DWORD>(pid))
        (void)::PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); // a gone window needs no close
    return TRUE;
}

} // namespace

LaunchedProgram::LaunchedProgram(const std::wstring& exe) {
    std::wstring commandLine = L"\"" + e2e::BinDirectory() + L"\\" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        std::fprintf(stderr, "cannot start %ls: error %lu\n", exe.c_str(), ::GetLastError());
        return;
    }
    process_.reset(info.hProcess);
    processId_ = info.dwProcessId;
    ::CloseHandle(info.hThread);
}

HWND LaunchedProgram::WaitForWindow(const wchar_t* title, double timeoutSeconds) const {
    double deadline = NowSeconds() + timeoutSeconds;
    do {
        if (HWND hwnd = e2e::FindVisibleProcessWindow(processId_, title))
            return hwnd;
        if (::WaitForSingleObject(process_.get(), 1) == WAIT_OBJECT_0)
            return nullptr; // it ended before showing a window
    } while (NowSeconds() < deadline);
    return nullptr;
}

void LaunchedProgram::End() {
    if (!process_)
        return;
    (void)::EnumWindows(&CloseWindowOf, static_cast<LPARAM>(processId_)); // none left is fine
    if (::WaitForSingleObject(process_.get(), 5000) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "process %lu lingered after its close; ending it\n", processId_);
        (void)::TerminateProcess(process_.get(), 1);
        (void)::WaitForSingleObject(process_.get(), 5000);
    }
    process_.reset();
}

bool ProgramBuilt(const std::wstring& exe) {
    return ::GetFileAttributesW((e2e::BinDirectory() + L"\\" + exe).c_str()) !=
           INVALID_FILE_ATTRIBUTES;
}

void Click(HWND dialog, int buttonId) {
    (void)::SendMessageW(::GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0); // no result to a click
}

std::wstring ControlText(HWND dialog, int controlId) {
    HWND control = ::GetDlgItem(dialog, controlId);
    auto length = ::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    auto copied =
        ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

} // namespace bench
