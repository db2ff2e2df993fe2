#include "ce/dialog_template.h"

#include <cstring>

namespace ce {

namespace {

// The style fields of both template forms, at their offsets.
struct StyleFields {
    std::size_t style;
    std::size_t exStyle;
};

StyleFields LocateStyles(const BYTE* bytes) {
    WORD version = 0, signature = 0;
    std::memcpy(&version, bytes, sizeof version);
    std::memcpy(&signature, bytes + 2, sizeof signature);
    if (version == 1 && signature == 0xFFFF)
        return {12, 8}; // DLGTEMPLATEEX: version, signature, help id, ex style, style
    return {0, 4};      // DLGTEMPLATE: style, ex style
}

} // namespace

std::vector<BYTE> AdaptDialogTemplate(const void* source, DWORD size) {
    std::vector<BYTE> copy(static_cast<const BYTE*>(source),
                           static_cast<const BYTE*>(source) + size);
    if (size < 16)
        return copy;
    StyleFields at = LocateStyles(copy.data());
    DWORD style = 0, exStyle = 0;
    std::memcpy(&style, copy.data() + at.style, sizeof style);
    std::memcpy(&exStyle, copy.data() + at.exStyle, sizeof exStyle);
    if (exStyle & kExCaptionOkButton)
        style |= WS_SYSMENU;
    exStyle &= ~kExTerminalOnlyStyles;
    std::memcpy(copy.data() + at.style, &style, sizeof style);
    std::memcpy(copy.data() + at.exStyle, &exStyle, sizeof exStyle);
    return copy;
}

} // namespace ce
