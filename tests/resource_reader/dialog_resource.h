// Reads a dialog template resource (DLGTEMPLATE or DLGTEMPLATEEX) as the file holds it, for
// tests that check templates field by field.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace dialog_resource {

struct Control {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0; // -1 for "none", in either form
    // Predefined classes stored as ordinals by name ("Button", "Edit", "Static", ...); a class
    // stored as text comes out as the text, so the two can be told apart by case ("BUTTON").
    std::wstring className;
    std::wstring text;
};

struct Dialog {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu, windowClass, title;
    WORD pointSize = 0; // with DS_SETFONT only
    std::wstring font;
    std::vector<Control> controls;
};

// Fields past the end of `bytes` read as zero.
Dialog Parse(const std::vector<BYTE>& bytes);

} // namespace dialog_resource
