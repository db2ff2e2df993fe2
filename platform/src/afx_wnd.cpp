#include "mfc/afxwin.h"

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

void CWnd::SetDlgItemText(int id, LPCWSTR text) {
    ::SetDlgItemTextW(m_hWnd, id, text);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC timerProc) {
    return ::SetTimer(m_hWnd, id, elapse, timerProc);
}

BOOL CWnd::KillTimer(UINT_PTR id) {
    return ::KillTimer(m_hWnd, id);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

void CWnd::OnTimer(UINT_PTR) {
    Default();
}

LRESULT CWnd::Default() {
    wantsDefault_ = true;
    return 0;
}

bool CWnd::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam; // no routed handler takes it
    const AFX_MSGMAP_ENTRY* entry =
        FindMessageEntry(message, HIWORD(wParam), message == WM_COMMAND ? LOWORD(wParam) : 0);
    if (entry == nullptr)
        return false;
    wantsDefault_ = false;
    if (entry->sig == AfxSig::Timer)
        (this->*entry->timerHandler)(static_cast<UINT_PTR>(wParam));
    else
        (this->*entry->handler)();
    return !wantsDefault_;
}
