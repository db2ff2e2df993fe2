// Dialog templates written for the terminal, made acceptable to the desktop's dialog manager.
#pragma once

#include <windows.h>

#include <vector>

namespace ce {

// Extended styles that exist only on the terminal.
inline constexpr DWORD kExCaptionOkButton = 0x80000000; // an OK button in the caption
inline constexpr DWORD kExTerminalOnlyStyles = 0xF0000000;

// Returns a copy of a DIALOG or DIALOGEX template in which the terminal-only extended styles are
// cleared. A dialog that asked for the caption OK button gets the desktop's close box instead,
// so that the mouse can still end it.
std::vector<BYTE> AdaptDialogTemplate(const void* source, DWORD size);

} // namespace ce
