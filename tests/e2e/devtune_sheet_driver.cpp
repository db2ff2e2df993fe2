#include "devtune_sheet_driver.h"

#include "ce/unique_handle.h"

#include <commctrl.h>
#include <prsht.h>

namespace devtune_e2e {

using namespace devtune_test;

void ClearDevtuneKeys() {
    DeleteTree(HKEY_LOCAL_MACHINE, kDriversKey);
    DeleteTree(HKEY_CURRENT_USER, kCommKey);
    DeleteTree(HKEY_CURRENT_USER, kEntryKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kDefaultConnectionsKey);
}

std::wstring StoredClientDriver() {
    StoredValue value = ReadValue(HKEY_LOCAL_MACHINE, kDriversKey, L"DefaultClientDriver");
    if (!value.present)
        return L"<none>";
    std::wstring text(reinterpret_cast<const wchar_t*>(value.bytes.data()),
                      value.bytes.size() / sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

KernelRecorder::KernelRecorder()
    : server_(std::make_unique<standins::DriverServer>(
          ce::hostlink::kKernelPipe,
          [this](const ce::hostlink::Request& request) { return Record(request); })) {}

std::vector<KernelCall> KernelRecorder::calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

ce::hostlink::Reply KernelRecorder::Record(const ce::hostlink::Request& request) {
    KernelCall call{request, StoredClientDriver()};
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(call);
    return standins::Succeed();
}

std::wstring Sheet::Caption() const {
    wchar_t text[64] = {};
    ::SendMessageW(window(), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    return text;
}

// Tab items live in the sheet's process: the request and the text buffer are placed there.
std::vector<std::wstring> Sheet::TabTitles() const {
    std::vector<std::wstring> titles;
    HWND tab = PropSheet_GetTabControl(window());
    ce::UniqueHandle process(::OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, session_.processId()));
    if (tab == nullptr || !process)
        return titles;
    constexpr SIZE_T kBytes = 4096;
    constexpr SIZE_T kTextOffset = 1024;
    constexpr int kTextUnits = 128;
    auto* remote = static_cast<BYTE*>(
        ::VirtualAllocEx(process.get(), nullptr, kBytes, MEM_COMMIT, PAGE_READWRITE));
    if (remote == nullptr)
        return titles;
    const auto count = static_cast<int>(::SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = reinterpret_cast<wchar_t*>(remote + kTextOffset);
        item.cchTextMax = kTextUnits;
        wchar_t text[kTextUnits] = {};
        ::WriteProcessMemory(process.get(), remote, &item, sizeof item, nullptr);
        ::WriteProcessMemory(process.get(), remote + kTextOffset, text, sizeof text, nullptr);
        ::SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote));
        ::ReadProcessMemory(process.get(), remote + kTextOffset, text, sizeof text, nullptr);
        text[kTextUnits - 1] = L'\0';
        titles.emplace_back(text);
    }
    ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return titles;
}

HWND Sheet::Page(int index) const {
    return PropSheet_IndexToHwnd(window(), index);
}

void Sheet::SelectPage(int index) const {
    PropSheet_SetCurSel(window(), nullptr, index);
}

bool Sheet::Checked(int page, int id) const {
    return ::SendMessageW(::GetDlgItem(Page(page), id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Sheet::Click(int page, int id) const {
    ::SendMessageW(::GetDlgItem(Page(page), id), BM_CLICK, 0, 0);
}

void Sheet::PostClick(int page, int id) const {
    ::PostMessageW(::GetDlgItem(Page(page), id), BM_CLICK, 0, 0);
}

void Sheet::PressOk() const {
    ::PostMessageW(::GetDlgItem(window(), IDOK), BM_CLICK, 0, 0);
}

void Sheet::PressCancel() const {
    ::PostMessageW(::GetDlgItem(window(), IDCANCEL), BM_CLICK, 0, 0);
}

DWORD Sheet::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (session_.WaitForExit(kTimeoutMs))
        ::GetExitCodeProcess(session_.process(), &code);
    return code;
}

namespace {

struct StaticTexts {
    std::vector<std::wstring> texts;
};

BOOL CALLBACK CollectStaticText(HWND child, LPARAM found) {
    wchar_t className[32] = {};
    ::GetClassNameW(child, className, 32);
    if (::lstrcmpiW(className, L"Static") == 0) {
        wchar_t text[256] = {};
        ::SendMessageW(child, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
        if (text[0] != L'\0')
            reinterpret_cast<StaticTexts*>(found)->texts.emplace_back(text);
    }
    return TRUE;
}

} // namespace

MessageBoxSeen WaitForMessageBox(DWORD pid, const wchar_t* caption, DWORD timeoutMs) {
    MessageBoxSeen seen;
    seen.window = e2e::FindProcessWindow(pid, caption, timeoutMs);
    if (seen.window == nullptr)
        return seen;
    seen.owner = ::GetWindow(seen.window, GW_OWNER);
    StaticTexts texts;
    ::EnumChildWindows(seen.window, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
    if (texts.texts.size() == 1)
        seen.text = texts.texts[0];
    return seen;
}

bool CloseMessageBox(HWND box) {
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (DWORD waited = 0; waited < kTimeoutMs; waited += 20) {
        if (!::IsWindow(box))
            return true;
        ::Sleep(20);
    }
    return false;
}

namespace {

// Waits for `handle` while serving this thread's windows, which the program may activate.
bool WaitPumpingMessages(HANDLE handle, DWORD timeoutMs) {
    const DWORD deadline = ::GetTickCount() + timeoutMs;
    for (;;) {
        const auto left = static_cast<LONG>(deadline - ::GetTickCount());
        if (left <= 0)
            return false;
        DWORD woke =
            ::MsgWaitForMultipleObjects(1, &handle, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0)
            return true;
        if (woke != WAIT_OBJECT_0 + 1)
            return false;
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&message);
    }
}

} // namespace

DWORD RunDevtuneToEnd(DWORD timeoutMs) {
    std::wstring commandLine = L"\"" + e2e::BinDirectory() + L"\\Devtune.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        return ::GetLastError();
    ce::UniqueHandle process(info.hProcess);
    ce::UniqueHandle thread(info.hThread);
    DWORD code = STILL_ACTIVE;
    if (WaitPumpingMessages(process.get(), timeoutMs)) {
        ::GetExitCodeProcess(process.get(), &code);
    } else {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
    }
    return code;
}

int CountTopLevelWindows(const wchar_t* title) {
    int count = 0;
    for (HWND hwnd = ::FindWindowW(nullptr, title); hwnd != nullptr;
         hwnd = ::FindWindowExW(nullptr, hwnd, nullptr, title))
        ++count;
    return count;
}

RECT WorkArea() {
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace devtune_e2e
