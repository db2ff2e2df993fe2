#include "swipelet.h"

#include "resource.h"

CSwipeletApp theApp;

BEGIN_MESSAGE_MAP(CSwipeletApp, CWinApp)
END_MESSAGE_MAP()

CSwipeletApp::CSwipeletApp() = default;

CSwipeletApp::~CSwipeletApp() = default;

BOOL CSwipeletApp::InitInstance() {
    SetRegistryKey(L"Local AppWizard-Generated Applications");
    CSwipeletDlg dialog;
    m_pMainWnd = &dialog;
    (void)dialog.DoModal(); // however the dialog ended (or failed to start), the program ends
    return FALSE;
}
