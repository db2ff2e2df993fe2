// The card-reader test program: the serial capture on the reader's port, the reader's power
// switched around each press of the port button, and two buttons that query the reader.
#pragma once

#include "mfc/afxwin.h"

class CSwipeletApp : public CWinApp {
public:
    CSwipeletApp();
    ~CSwipeletApp() override;

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

class CSwipeletDlg : public CDialog {
public:
    explicit CSwipeletDlg(CWnd* parent = nullptr);
    ~CSwipeletDlg() override;

protected:
    BOOL OnInitDialog() override;

    afx_msg void TogglePort();
    afx_msg void OnReadMsrVersion();
    afx_msg void OnReadFirmwareVersion();
    afx_msg void OnTimer(UINT_PTR timerId);

    DECLARE_MESSAGE_MAP()

private:
    HICON m_hIcon;
};
