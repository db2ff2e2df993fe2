#include "swipelet.h"

#include "reader_queries.h"
#include "resource.h"
#include "serial_capture.h"

BEGIN_MESSAGE_MAP(CSwipeletDlg, CDialog)
ON_BN_CLICKED(IDC_PORT_BUTTON, TogglePort)
ON_BN_CLICKED(IDC_READ_MSR_VERSION, OnReadMsrVersion)
ON_BN_CLICKED(IDC_READ_FIRMWARE_VERSION, OnReadFirmwareVersion)
ON_WM_TIMER()
END_MESSAGE_MAP()

CSwipeletDlg::CSwipeletDlg(CWnd* parent) : CDialog(IDD_SWIPELET_DIALOG, parent) {
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

CSwipeletDlg::~CSwipeletDlg() = default;

BOOL CSwipeletDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    return TRUE;
}

void CSwipeletDlg::TogglePort() {
    ::TogglePort(*this);
}

// While the port is closed the query goes to the invalid handle and fails without effect; the
// reader's answer, if any, comes back through the capture.
void CSwipeletDlg::OnReadMsrVersion() {
    SendReaderQuery(CapturePortHandle(), kReadMsrVersionQuery);
}

void CSwipeletDlg::OnReadFirmwareVersion() {
    SendReaderQuery(CapturePortHandle(), kReadFirmwareVersionQuery);
}

void CSwipeletDlg::OnTimer(UINT_PTR timerId) {
    DisplayTimer(*this, timerId);
    CDialog::OnTimer(timerId);
}
