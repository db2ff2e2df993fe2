#include "ce/debug.h"

#include <windows.h>

#include <string>

namespace ce {

void DebugLine(const wchar_t* text) {
    ::OutputDebugStringW(text);

    HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE)
        return; // started without a standard error: the debugger copy is all there is
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return;
    std::string utf8(static_cast<std::size_t>(size - 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    DWORD written = 0;
    // Best effort: a standard error that went away has nowhere left to report to.
    (void)::WriteFile(error, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

} // namespace ce
