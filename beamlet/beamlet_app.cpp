#include "beamlet.h"

#include "resource.h"

CBeamletApp theApp;

BEGIN_MESSAGE_MAP(CBeamletApp, CWinApp)
END_MESSAGE_MAP()

CBeamletApp::CBeamletApp() = default;

CBeamletApp::~CBeamletApp() = default;

BOOL CBeamletApp::InitInstance() {
    SetRegistryKey(L"Local AppWizard-Generated Applications");
    CBeamletDlg dialog;
    m_pMainWnd = &dialog;
    (void)dialog.DoModal(); // however the dialog ended (or failed to start), the program ends
    return FALSE;
}
