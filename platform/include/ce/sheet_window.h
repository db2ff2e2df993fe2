// Window calls around a running sheet whose arguments mean more on the terminal.
#pragma once

#include <windows.h>

namespace ce {

// The terminal's SetForegroundWindow: a handle with bit 0 set asks for the window together
// with the windows it owns. On the desktop the bit is taken off the handle, and the owned
// popup that was last active (a message box over the sheet, say) is brought forward in its
// place; owned windows stay above their owner by themselves.
BOOL SetForegroundWindow(HWND window);

} // namespace ce
