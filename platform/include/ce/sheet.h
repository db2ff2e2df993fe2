// The terminal's property sheet over desktop comctl32.
//
// A program fills PROPSHEETHEADERW and PROPSHEETPAGEW as it does on the terminal (record sizes
// are those of this platform) and calls ce::PropertySheet. Flags that only the terminal's
// common controls know are taken out before comctl32 sees them, and their behaviour is given
// here instead.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

namespace ce {

// Terminal-only sheet flag: the sheet fills the work area. Desktop comctl32 reads the same bit
// as a wizard flag, so it never reaches comctl32.
inline constexpr DWORD PSH_MAXIMIZE = 0x00002000;

// Sheet flags that desktop comctl32 would misread.
inline constexpr DWORD kTerminalOnlySheetFlags = PSH_MAXIMIZE;

// Runs the sheet described by `header`, as PropertySheetW does. The program's sheet callback
// (PSH_USECALLBACK) always sees the sheet's template in its plain DLGTEMPLATE shape, as on the
// terminal, whichever shape comctl32 uses; the style it leaves there is what the sheet gets.
// As on the terminal, a setting change (WM_SETTINGCHANGE) that reaches the sheet is passed on
// to every page created so far.
INT_PTR PropertySheet(const PROPSHEETHEADERW& header);

// The header that comctl32 is handed for `header`: terminal-only flags removed, and the
// layer's own callback always in place (it sees the sheet window once it exists).
// The program's callback is not part of the result; PropertySheet keeps it for the sheet's life.
PROPSHEETHEADERW DesktopSheetHeader(const PROPSHEETHEADERW& header);

// Sizes `sheet` to the work area of the screen, as the terminal does for PSH_MAXIMIZE.
// Returns false, with the last error set, when the work area or the move fails.
bool FillWorkArea(HWND sheet);

} // namespace ce
