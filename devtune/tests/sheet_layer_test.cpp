// The sheet layer over desktop comctl32: the terminal's header reaches comctl32 without the
// flag it would misread, the program's pre-create callback sees a plain DLGTEMPLATE, and the
// sheet fills the work area.
#include "ce/sheet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr DWORD kTerminalSheetFlags = 0x210C;

// What the running sheet looked like once its page was up.
struct Observed {
    bool popupBeforeCallback = false;
    bool plainTemplate = false;
    int initializedCalls = 0;
    HWND sheet = nullptr;
    LONG_PTR sheetStyle = 0;
    bool hasTabControl = false;
    bool hasVisibleOkButton = false;
    RECT sheetRect{};
    int settingChanges = 0;
};

Observed g_observed;
constexpr UINT kLookAtSheet = WM_APP + 1;

int CALLBACK ProgramCallback(HWND /*sheet*/, UINT message, LPARAM argument) {
    if (message == PSCB_PRECREATE) {
        auto* dialogTemplate = reinterpret_cast<DLGTEMPLATE*>(argument);
        const auto* words = reinterpret_cast<const WORD*>(argument);
        g_observed.plainTemplate = !(words[0] == 1 && words[1] == 0xFFFF);
        g_observed.popupBeforeCallback = (dialogTemplate->style & WS_POPUP) != 0;
        dialogTemplate->style &= ~static_cast<DWORD>(WS_POPUP);
    } else if (message == PSCB_INITIALIZED) {
        ++g_observed.initializedCalls;
    }
    return 0;
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    if (message == WM_INITDIALOG) {
        ::PostMessageW(page, kLookAtSheet, 0, 0);
        return TRUE;
    }
    if (message == kLookAtSheet) {
        HWND sheet = ::GetParent(page);
        g_observed.sheet = sheet;
        g_observed.sheetStyle = ::GetWindowLongPtrW(sheet, GWL_STYLE);
        g_observed.hasTabControl = PropSheet_GetTabControl(sheet) != nullptr;
        HWND ok = ::GetDlgItem(sheet, IDOK);
        g_observed.hasVisibleOkButton = ok != nullptr && ::IsWindowVisible(ok);
        ::GetWindowRect(sheet, &g_observed.sheetRect);
        // As the system would: the setting change goes to the top-level sheet.
        ::SendMessageW(sheet, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
        return TRUE;
    }
    if (message == WM_SETTINGCHANGE) {
        ++g_observed.settingChanges;
        return FALSE;
    }
    return FALSE;
}

// An empty child page, 100 x 50 dialog units, as an in-memory template.
std::vector<WORD> PageTemplate() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);
    DLGTEMPLATE head{};
    head.style = WS_CHILD;
    head.cx = 100;
    head.cy = 50;
    std::memcpy(words.data(), &head, sizeof head); // menu, class and title follow, all empty
    return words;
}

INT_PTR RunSheet(DWORD flags, PFNPROPSHEETCALLBACK callback) {
    g_observed = Observed{};
    std::vector<WORD> pageTemplate = PageTemplate();
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
    page.pResource = reinterpret_cast<const DLGTEMPLATE*>(pageTemplate.data());
    page.pfnDlgProc = PageProc;
    page.pszTitle = L"Page";
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = flags;
    header.pszCaption = L"Layer sheet";
    header.nPages = 1;
    header.ppsp = &page;
    header.pfnCallback = callback;
    return ce::PropertySheet(header);
}

RECT WorkArea() {
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(DesktopSheetHeaderTest, DropsTheMaximiseFlagAndPutsTheLayerCallbackInFront) {
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = kTerminalSheetFlags;
    header.pfnCallback = ProgramCallback;
    PROPSHEETHEADERW desktop = ce::DesktopSheetHeader(header);
    EXPECT_EQ(desktop.dwFlags,
              static_cast<DWORD>(PSH_USEICONID | PSH_PROPSHEETPAGE | PSH_USECALLBACK));
    EXPECT_EQ(desktop.dwSize, sizeof(PROPSHEETHEADERW));
    EXPECT_NE(desktop.pfnCallback, nullptr);
    EXPECT_NE(desktop.pfnCallback, &ProgramCallback);
}

TEST(DesktopSheetHeaderTest, KeepsDesktopFlagsAndAddsOnlyTheLayerCallback) {
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    PROPSHEETHEADERW desktop = ce::DesktopSheetHeader(header);
    EXPECT_EQ(desktop.dwFlags,
              static_cast<DWORD>(PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK));
    EXPECT_NE(desktop.pfnCallback, nullptr);
}

TEST(PropertySheetTest, TerminalFlagsGiveATabbedSheetFillingTheWorkArea) {
    RunSheet(PSH_PROPSHEETPAGE | PSH_USECALLBACK | ce::PSH_MAXIMIZE, ProgramCallback);

    ASSERT_NE(g_observed.sheet, nullptr);
    EXPECT_TRUE(g_observed.hasTabControl) << "comctl32 made a wizard of the sheet";
    EXPECT_TRUE(g_observed.hasVisibleOkButton);
    EXPECT_TRUE(SameRect(g_observed.sheetRect, WorkArea()));
}

TEST(PropertySheetTest, ProgramCallbackEditsAPlainTemplateAndItsStyleIsKept) {
    RunSheet(PSH_PROPSHEETPAGE | PSH_USECALLBACK | ce::PSH_MAXIMIZE, ProgramCallback);

    EXPECT_TRUE(g_observed.plainTemplate);
    EXPECT_TRUE(g_observed.popupBeforeCallback);
    EXPECT_EQ(g_observed.initializedCalls, 1);
    EXPECT_EQ(g_observed.sheetStyle & WS_POPUP, 0);
}

TEST(PropertySheetTest, SettingChangeToTheSheetIsPassedOnToThePage) {
    RunSheet(PSH_PROPSHEETPAGE, nullptr);
    EXPECT_EQ(g_observed.settingChanges, 1);
}

TEST(PropertySheetTest, MaximiseWorksWithoutAProgramCallback) {
    RunSheet(PSH_PROPSHEETPAGE | ce::PSH_MAXIMIZE, nullptr);

    ASSERT_NE(g_observed.sheet, nullptr);
    EXPECT_TRUE(g_observed.hasTabControl);
    EXPECT_TRUE(SameRect(g_observed.sheetRect, WorkArea()));
}

TEST(PropertySheetTest, WithoutMaximiseTheSheetKeepsItsOwnSize) {
    RunSheet(PSH_PROPSHEETPAGE | PSH_USECALLBACK, ProgramCallback);

    ASSERT_NE(g_observed.sheet, nullptr);
    EXPECT_FALSE(SameRect(g_observed.sheetRect, WorkArea()));
    EXPECT_EQ(g_observed.initializedCalls, 1);
}

} // namespace
