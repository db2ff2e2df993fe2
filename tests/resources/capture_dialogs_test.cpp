// The main dialogs and resources of the two test programs, read from the built executables.
#include "app_session.h"
#include "dialog_resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr WORD kLanguage = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL); // 1028

struct Module {
    HMODULE handle;
    explicit Module(const std::wstring& exe)
        : handle(::LoadLibraryExW((e2e::BinDirectory() + L"\\" + exe).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~Module() { ::FreeLibrary(handle); }
    // The resource in language 1028, or nothing.
    std::vector<BYTE> Find(LPCWSTR type, WORD id) const {
        HRSRC res = ::FindResourceExW(handle, type, MAKEINTRESOURCEW(id), kLanguage);
        if (res == nullptr)
            return {};
        const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(handle, res)));
        return std::vector<BYTE>(data, data + ::SizeofResource(handle, res));
    }
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLogBox = kChild | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE |
                          ES_AUTOVSCROLL | ES_AUTOHSCROLL;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kBanner = kChild | WS_GROUP | SS_CENTER;

struct Expected {
    const wchar_t* exe;
    const wchar_t* title;
    DWORD style;
    short cx, cy;
    std::vector<dialog_resource::Control> controls;
};

const Expected kPrograms[] = {
    {L"Beamlet.exe",
     L"Beamlet",
     WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
     174,
     169,
     {{kLogBox, 0, 7, 20, 157, 115, 1000, L"Edit", L""},
      {kButton, 0, 7, 143, 58, 14, 1001, L"Button", L"Open Port"},
      {kButton, 0, 76, 143, 87, 14, 1002, L"Button", L"Trigger"},
      {kBanner, 0, 31, 6, 111, 8, -1, L"Static", L"Laser Scanner DEMO AP"}}},
    {L"Swipelet.exe",
     L"Swipelet",
     WS_POPUP | WS_VISIBLE | WS_CAPTION,
     156,
     129,
     {{kBanner, 0, 36, 7, 83, 9, 200, L"Static", L"SWIPELET AP."},
      {kLogBox, 0, 7, 22, 142, 66, 1000, L"Edit", L""},
      {kButton, 0, 11, 90, 50, 14, 1001, L"Button", L"Open Port"},
      {kButton, 0, 63, 90, 84, 14, 1002, L"Button", L"Read MSR Version"},
      {kButton, 0, 63, 106, 84, 14, 1003, L"Button", L"Read Fireware Version"}}},
};

TEST(CaptureDialogs, Template102IsExactlyAsTheTerminalHasIt) {
    for (const Expected& want : kPrograms) {
        SCOPED_TRACE(std::string(want.exe, want.exe + std::wcslen(want.exe)));
        Module module(want.exe);
        ASSERT_NE(module.handle, nullptr);
        std::vector<BYTE> bytes = module.Find(RT_DIALOG, 102);
        ASSERT_FALSE(bytes.empty()) << "dialog 102 in language 1028";
        dialog_resource::Dialog got = dialog_resource::Parse(bytes);
        EXPECT_TRUE(got.extended);
        EXPECT_EQ(got.menu, L"");
        EXPECT_EQ(got.windowClass, L"");
        EXPECT_EQ(got.title, want.title);
        EXPECT_EQ(got.style & ~DS_SETFONT, want.style);
        EXPECT_EQ(got.exStyle, 0x80000000 | WS_EX_APPWINDOW);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(got.font, L"MS Shell Dlg");
        EXPECT_EQ(got.pointSize, 8);
        ASSERT_EQ(got.controls.size(), want.controls.size());
        for (std::size_t i = 0; i < want.controls.size(); ++i) {
            const dialog_resource::Control& g = got.controls[i];
            const dialog_resource::Control& w = want.controls[i];
            SCOPED_TRACE("control " + std::to_string(w.id));
            EXPECT_EQ(g.id, w.id);
            EXPECT_EQ(g.className, w.className) << "predefined classes by ordinal";
            EXPECT_EQ(g.text, w.text);
            EXPECT_EQ(g.x, w.x);
            EXPECT_EQ(g.y, w.y);
            EXPECT_EQ(g.cx, w.cx);
            EXPECT_EQ(g.cy, w.cy);
            EXPECT_EQ(g.style, w.style);
            EXPECT_EQ(g.exStyle, w.exStyle);
        }
    }
}

TEST(CaptureDialogs, IconAndVersionBlock) {
    for (const Expected& want : kPrograms) {
        SCOPED_TRACE(std::string(want.exe, want.exe + std::wcslen(want.exe)));
        Module module(want.exe);
        ASSERT_NE(module.handle, nullptr);
        std::vector<BYTE> group = module.Find(RT_GROUP_ICON, 128);
        ASSERT_GE(group.size(), 6u) << "icon group 128 in language 1028";
        WORD count = 0;
        std::memcpy(&count, group.data() + 4, sizeof count);
        EXPECT_EQ(count, 9);

        std::vector<BYTE> copy = module.Find(RT_VERSION, 1);
        ASSERT_FALSE(copy.empty()) << "version block in language 1028";
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(
            ::VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
        EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
        EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
        EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    }
}

} // namespace
