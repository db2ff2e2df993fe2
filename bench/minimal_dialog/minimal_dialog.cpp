// The smallest dialog program worth comparing a start-up with: a modal dialog from a template,
// with a multi-line edit box and a button, on plain Win32.
#include "resource.h"

#include <windows.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
            (void)::EndDialog(dialog, LOWORD(wParam)); // the dialog is ours and running
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INT_PTR result =
        ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MINIMAL_DIALOG), nullptr, &DialogProc, 0);
    return result == -1 ? 1 : 0;
}
