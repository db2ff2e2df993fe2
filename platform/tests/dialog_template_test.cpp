#include "ce/dialog_template.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The header of a template in either form, followed by the empty menu, class and title a
// real template has.
std::vector<BYTE> Template(bool extended, DWORD style, DWORD exStyle) {
    std::vector<BYTE> bytes(extended ? 26 + 6 : 18 + 6, 0);
    auto put = [&](std::size_t at, DWORD value) { std::memcpy(bytes.data() + at, &value, 4); };
    if (extended) {
        bytes[0] = 1;               // version
        bytes[2] = bytes[3] = 0xFF; // signature
        put(8, exStyle);
        put(12, style);
    } else {
        put(0, style);
        put(4, exStyle);
    }
    return bytes;
}

DWORD Field(const std::vector<BYTE>& bytes, std::size_t at) {
    DWORD value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

TEST(AdaptDialogTemplate, TerminalOnlyStylesGoAndTheCaptionOkButtonBecomesACloseBox) {
    const DWORD caption = WS_POPUP | WS_VISIBLE | WS_CAPTION;
    struct Case {
        DWORD style, exStyle, wantStyle, wantExStyle;
    } cases[] = {
        {caption, 0x80000000 | WS_EX_APPWINDOW, caption | WS_SYSMENU, WS_EX_APPWINDOW},
        {caption | WS_SYSMENU, 0x80000000 | WS_EX_APPWINDOW, caption | WS_SYSMENU, WS_EX_APPWINDOW},
        {caption, 0x40000000, caption, 0},                      // another terminal-only bit
        {caption, WS_EX_TOOLWINDOW, caption, WS_EX_TOOLWINDOW}, // desktop styles stay
    };
    for (bool extended : {false, true}) {
        std::size_t styleAt = extended ? 12 : 0, exStyleAt = extended ? 8 : 4;
        for (const Case& c : cases) {
            std::vector<BYTE> source = Template(extended, c.style, c.exStyle);
            std::vector<BYTE> adapted =
                ce::AdaptDialogTemplate(source.data(), static_cast<DWORD>(source.size()));
            ASSERT_EQ(adapted.size(), source.size());
            EXPECT_EQ(Field(adapted, styleAt), c.wantStyle) << "extended " << extended;
            EXPECT_EQ(Field(adapted, exStyleAt), c.wantExStyle) << "extended " << extended;
            EXPECT_EQ(std::memcmp(adapted.data() + 16, source.data() + 16, source.size() - 16), 0)
                << "the rest of the template is untouched";
        }
    }
}

} // namespace
