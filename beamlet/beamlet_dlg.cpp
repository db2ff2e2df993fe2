#include "beamlet.h"

#include "resource.h"
#include "serial_capture.h"

#include "ce/device.h"

namespace {

// The scanner port driver's request to fire the laser once (device type 0x19, function 0x816,
// buffered, any access).
constexpr DWORD IOCTL_SCANNER_TRIGGER = 0x00192058;

} // namespace

const SerialCaptureConfig kSerialCaptureConfig = {
    L"COM1:",
    9600,
    L" Open COM1: Port !!\r\n",
    L" Couldn't Open COM1: Port !!\r\n",
    L" Close COM1: Port !!\r\n",
    NoCaptureHook,
    NoCaptureHook,
    NoCaptureHook,
};

BEGIN_MESSAGE_MAP(CBeamletDlg, CDialog)
ON_BN_CLICKED(IDC_PORT_BUTTON, TogglePort)
ON_BN_CLICKED(IDC_TRIGGER, OnTrigger)
ON_WM_TIMER()
END_MESSAGE_MAP()

CBeamletDlg::CBeamletDlg(CWnd* parent) : CDialog(IDD_BEAMLET_DIALOG, parent) {
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

CBeamletDlg::~CBeamletDlg() = default;

BOOL CBeamletDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    return TRUE;
}

void CBeamletDlg::TogglePort() {
    ::TogglePort(*this);
}

// While the port is closed the request goes to the invalid handle and fails without effect.
void CBeamletDlg::OnTrigger() {
    BYTE out = 0;
    DWORD returned = 0;
    (void)ce::DeviceIoControl(CapturePortHandle(), IOCTL_SCANNER_TRIGGER, nullptr, 0, &out, 1,
                              &returned, nullptr); // the scanner answers on the port, if at all
}

void CBeamletDlg::OnTimer(UINT_PTR timerId) {
    DisplayTimer(*this, timerId);
    CDialog::OnTimer(timerId);
}
