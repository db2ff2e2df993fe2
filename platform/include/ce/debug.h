// The debug output: a line for a debugger, and the same line on standard error so that a person
// running the program from a shell sees it too.
#pragma once

namespace ce {

void DebugLine(const wchar_t* text);

} // namespace ce
