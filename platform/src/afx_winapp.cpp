#include "mfc/afxwin.h"

#include <cwchar>

namespace {

CWinApp* theApp = nullptr;

} // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCWSTR appName) : m_pszAppName(appName) {
    theApp = this;
}

CWinApp::~CWinApp() {
    if (theApp == this)
        theApp = nullptr;
}

CWinApp* AfxGetApp() {
    return theApp;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

// Settings would live under HKCU\Software\<key>\<application>; like the library, this only
// records the key: nothing is created until a value is written, and the programs write none.
void CWinApp::SetRegistryKey(LPCWSTR registryKey) {
    m_pszRegistryKey = registryKey;
}

HICON CWinApp::LoadIcon(UINT id) const {
    return ::LoadIconW(m_hInstance, MAKEINTRESOURCEW(id));
}

namespace {

// Without a name of its own, the application is called after its executable.
void NameAfterModule(wchar_t (&name)[MAX_PATH]) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* base = std::wcsrchr(path, L'\\');
    base = base != nullptr ? base + 1 : path;
    std::wcsncpy(name, base, MAX_PATH - 1);
    if (wchar_t* dot = std::wcsrchr(name, L'.'))
        *dot = L'\0';
}

} // namespace

// The library's program start: instance initialisation runs the program; when it returns
// false the program ends without an application message loop.
int AfxWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return -1;
    app->m_hInstance = instance;
    if (app->m_pszAppName == nullptr) {
        static wchar_t name[MAX_PATH];
        NameAfterModule(name);
        app->m_pszAppName = name;
    }
    if (!app->InitInstance())
        return app->ExitInstance();
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return app->ExitInstance();
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show) {
    return AfxWinMain(instance, previous, commandLine, show);
}
