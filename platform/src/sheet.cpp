#include "ce/sheet.h"

#include <cwchar>
#include <utility>

namespace ce {

namespace {

// What the layer keeps for the sheet that is running on this thread. Modal sheets on one
// thread nest at most, so the innermost one is current.
struct SheetContext {
    PFNPROPSHEETCALLBACK programCallback;
    bool maximize;
};

thread_local SheetContext* t_currentSheet = nullptr;

#pragma pack(push, 1)
// The head of DLGTEMPLATEEX, which comctl32 may use for the sheet's template.
struct ExtendedTemplateHead {
    WORD dlgVer;
    WORD signature;
    DWORD helpID;
    DWORD exStyle;
    DWORD style;
    WORD cDlgItems;
    short x;
    short y;
    short cx;
    short cy;
};
#pragma pack(pop)

bool IsExtendedTemplate(const void* dialogTemplate) {
    const auto* head = static_cast<const ExtendedTemplateHead*>(dialogTemplate);
    return head->dlgVer == 1 && head->signature == 0xFFFF;
}

// The terminal hands the pre-create callback a DLGTEMPLATE; a DLGTEMPLATEEX is shown to the
// program through a DLGTEMPLATE copy of its head, and the styles it sets are carried back.
int PreCreateWithPlainTemplate(PFNPROPSHEETCALLBACK callback, HWND sheet, LPARAM dialogTemplate) {
    void* raw = reinterpret_cast<void*>(dialogTemplate);
    if (raw == nullptr || !IsExtendedTemplate(raw))
        return callback(sheet, PSCB_PRECREATE, dialogTemplate);

    auto* head = static_cast<ExtendedTemplateHead*>(raw);
    DLGTEMPLATE plain{};
    plain.style = head->style;
    plain.dwExtendedStyle = head->exStyle;
    plain.cdit = head->cDlgItems;
    plain.x = head->x;
    plain.y = head->y;
    plain.cx = head->cx;
    plain.cy = head->cy;
    int result = callback(sheet, PSCB_PRECREATE, reinterpret_cast<LPARAM>(&plain));
    head->style = plain.style;
    head->exStyle = plain.dwExtendedStyle;
    return result;
}

constexpr UINT_PTR kSheetSubclassId = 0x53484554; // "SHET"

// Sends a message to every page that has been created so far.
void ForwardToPages(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND tab = PropSheet_GetTabControl(sheet);
    const int count = tab != nullptr ? TabCtrl_GetItemCount(tab) : 0;
    for (int i = 0; i < count; ++i) {
        if (HWND page = PropSheet_IndexToHwnd(sheet, i))
            ::SendMessageW(page, message, wParam, lParam);
    }
}

void ReportLayerFailure(const wchar_t* what) {
    wchar_t line[128];
    std::swprintf(line, sizeof line / sizeof line[0], L"ce::PropertySheet: %ls (error %lu)\n", what,
                  ::GetLastError());
    ::OutputDebugStringW(line);
}

// The terminal's sheet hands a setting change on to its pages, which is how they follow the
// work area; desktop comctl32 (Wine's at least) keeps it to itself.
LRESULT CALLBACK SheetSubclassProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR /*id*/, DWORD_PTR /*data*/) {
    if (message == WM_NCDESTROY)
        ::RemoveWindowSubclass(sheet, SheetSubclassProc, kSheetSubclassId);
    LRESULT result = ::DefSubclassProc(sheet, message, wParam, lParam);
    if (message == WM_SETTINGCHANGE)
        ForwardToPages(sheet, message, wParam, lParam);
    return result;
}

int CALLBACK LayerSheetCallback(HWND sheet, UINT message, LPARAM param) {
    const SheetContext* context = t_currentSheet;
    if (context == nullptr)
        return 0;

    int result = 0;
    if (context->programCallback != nullptr) {
        result = message == PSCB_PRECREATE
                     ? PreCreateWithPlainTemplate(context->programCallback, sheet, param)
                     : context->programCallback(sheet, message, param);
    }
    if (message == PSCB_INITIALIZED) {
        if (!::SetWindowSubclass(sheet, SheetSubclassProc, kSheetSubclassId, 0))
            ReportLayerFailure(L"cannot pass setting changes on to the pages");
        if (context->maximize && !FillWorkArea(sheet))
            ReportLayerFailure(L"cannot size the sheet to the work area");
    }
    return result;
}

} // namespace

PROPSHEETHEADERW DesktopSheetHeader(const PROPSHEETHEADERW& header) {
    PROPSHEETHEADERW desktop = header;
    desktop.dwFlags &= ~kTerminalOnlySheetFlags;
    desktop.dwFlags |= PSH_USECALLBACK;
    desktop.pfnCallback = LayerSheetCallback;
    return desktop;
}

INT_PTR PropertySheet(const PROPSHEETHEADERW& header) {
    SheetContext context{};
    if ((header.dwFlags & PSH_USECALLBACK) != 0)
        context.programCallback = header.pfnCallback;
    context.maximize = (header.dwFlags & PSH_MAXIMIZE) != 0;

    PROPSHEETHEADERW desktop = DesktopSheetHeader(header);
    SheetContext* outer = std::exchange(t_currentSheet, &context);
    INT_PTR result = ::PropertySheetW(&desktop);
    t_currentSheet = outer;
    return result;
}

bool FillWorkArea(HWND sheet) {
    RECT area{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        return false;
    return ::SetWindowPos(sheet, nullptr, area.left, area.top, area.right - area.left,
                          area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

} // namespace ce
