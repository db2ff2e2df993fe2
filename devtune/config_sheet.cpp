#include "config_sheet.h"

#include "resource.h"
#include "usb_cable_page.h"
#include "usb_mode_page.h"

#include "ce/debug.h"
#include "ce/sheet.h"

#include <commctrl.h>
#include <prsht.h>

#include <iterator>

namespace devtune {

namespace {

struct PageRow {
    WORD templateId;
    DLGPROC procedure;
    WORD titleId;
};

const PageRow kPages[] = {
    {IDD_USB_MODE_PAGE, UsbModePageProc, IDS_USB_MODE_TAB},
    {IDD_USB_CABLE_PAGE, UsbCablePageProc, IDS_USB_CABLE_TAB},
};

constexpr UINT kPageCount = static_cast<UINT>(std::size(kPages));

PROPSHEETPAGEW MakePageRecord(HINSTANCE instance, const PageRow& row) {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_USETITLE;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEW(row.templateId);
    page.pfnDlgProc = row.procedure;
    page.pszTitle = MAKEINTRESOURCEW(row.titleId);
    return page;
}

PROPSHEETHEADERW MakeSheetHeader(HINSTANCE instance, const PROPSHEETPAGEW* pages) {
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_USEICONID | PSH_PROPSHEETPAGE | PSH_USECALLBACK | ce::PSH_MAXIMIZE;
    header.hwndParent = nullptr;
    header.hInstance = instance;
    header.pszIcon = MAKEINTRESOURCEW(IDI_SHEET);
    header.pszCaption = MAKEINTRESOURCEW(IDS_SHEET_CAPTION);
    header.nPages = kPageCount;
    header.nStartPage = 0;
    header.ppsp = pages;
    header.pfnCallback = SheetPreCreate;
    return header;
}

static_assert((PSH_USEICONID | PSH_PROPSHEETPAGE | PSH_USECALLBACK | ce::PSH_MAXIMIZE) == 0x210C);

} // namespace

int CALLBACK SheetPreCreate(HWND /*sheet*/, UINT message, LPARAM argument) {
    if (message == PSCB_PRECREATE && argument != 0) {
        auto* dialogTemplate = reinterpret_cast<DLGTEMPLATE*>(argument);
        dialogTemplate->style &= ~static_cast<DWORD>(WS_POPUP);
    }
    return 0;
}

void ShowConfigSheet(HINSTANCE instance) {
    PROPSHEETPAGEW pages[kPageCount];
    for (UINT i = 0; i < kPageCount; ++i)
        pages[i] = MakePageRecord(instance, kPages[i]);
    const PROPSHEETHEADERW header = MakeSheetHeader(instance, pages);
    if (ce::PropertySheet(header) == -1)
        ce::DebugLine(L"Create Tab control failed!");
}

} // namespace devtune
