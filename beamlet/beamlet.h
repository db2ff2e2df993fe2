// The barcode-scanner test program: the serial capture on the scanner's port, and a button
// that asks the scanner to read a code.
#pragma once

#include "mfc/afxwin.h"

class CBeamletApp : public CWinApp {
public:
    CBeamletApp();
    ~CBeamletApp() override;

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

class CBeamletDlg : public CDialog {
public:
    explicit CBeamletDlg(CWnd* parent = nullptr);
    ~CBeamletDlg() override;

protected:
    BOOL OnInitDialog() override;

    afx_msg void TogglePort();
    afx_msg void OnTrigger();
    afx_msg void OnTimer(UINT_PTR timerId);

    DECLARE_MESSAGE_MAP()

private:
    HICON m_hIcon;
};
