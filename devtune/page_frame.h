// Steps that both pages of the sheet take alike.
#pragma once

#include <windows.h>

namespace devtune {

// A system setting changed: the sheet, the page's parent, is moved and sized to the work area.
void ResizeSheetToWorkArea(HWND page);

// The page is being destroyed: the program's message loop is asked to end.
void QuitOnPageDestroyed();

} // namespace devtune
