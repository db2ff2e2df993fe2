#include "mfc/afxwin.h"

#include "ce/dialog_template.h"

#include <cwchar>

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    result_ = result;
    running_ = false;
    // Wake the modal loop, which looks at running_ between messages.
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

// Runs the dialog modeless under a loop of our own, as the library does, so that keys can get
// their dialog meaning before the controls see them. Returns the ending id, or -1 when the
// dialog could not be created.
INT_PTR CDialog::DoModal() {
    CWinApp* app = AfxGetApp();
    HINSTANCE instance = app != nullptr ? app->m_hInstance : ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(templateId_), RT_DIALOG);
    HGLOBAL loaded = resource != nullptr ? ::LoadResource(instance, resource) : nullptr;
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return -1;
    std::vector<BYTE> adapted =
        ce::AdaptDialogTemplate(bytes, ::SizeofResource(instance, resource));

    HWND owner = parent_ != nullptr ? parent_->m_hWnd : nullptr;
    running_ = true;
    result_ = -1;
    HWND dialog =
        ::CreateDialogIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(adapted.data()),
                                     owner, &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (dialog == nullptr) {
        running_ = false;
        return -1;
    }
    if (!::IsWindowVisible(dialog))
        ::ShowWindow(dialog, SW_SHOWNORMAL);
    if (owner != nullptr)
        ::EnableWindow(owner, FALSE);

    MSG msg;
    while (running_) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) // leave the quit for the loop outside
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (TranslateDialogKey(msg))
            continue;
        if (!::IsDialogMessageW(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (owner != nullptr)
        ::EnableWindow(owner, TRUE);
    ::DestroyWindow(dialog);
    m_hWnd = nullptr;
    return result_;
}

// Enter in a multi-line edit that does not take it means OK, as the dialog manager of the
// terminal and of Windows has it; Wine's only does so when the dialog has an IDOK control.
bool CDialog::TranslateDialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || !::IsChild(m_hWnd, msg.hwnd))
        return false;
    wchar_t className[16] = {};
    ::GetClassNameW(msg.hwnd, className, 16);
    LONG_PTR style = ::GetWindowLongPtrW(msg.hwnd, GWL_STYLE);
    if (_wcsicmp(className, L"Edit") != 0 || !(style & ES_MULTILINE) || (style & ES_WANTRETURN))
        return false;
    SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, IDOK)));
    return true;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->m_hWnd = hwnd;
        return self->OnInitDialog();
    }
    auto* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) // messages that come before WM_INITDIALOG
        return FALSE;
    return self->RouteMessage(message, wParam, lParam) ? TRUE : FALSE;
}
