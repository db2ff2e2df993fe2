// The main dialogs and resources of the two test programs, read from the built executables.
#include "app_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr WORD kLanguage = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL); // 1028

struct Control {
    int id;
    WORD atomClass; // 0x80 button, 0x81 edit, 0x82 static
    std::wstring text;
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle;
};

struct Dialog {
    DWORD style = 0, exStyle = 0;
    short cx = 0, cy = 0;
    std::wstring title, font;
    WORD pointSize = 0;
    std::vector<Control> controls;
};

// Reads a DLGTEMPLATEEX (windres writes DIALOGEX in that form).
class Reader {
public:
    explicit Reader(const BYTE* p) : p_(p) {}
    template <typename T> T Take() {
        T value;
        std::memcpy(&value, p_, sizeof value);
        p_ += sizeof value;
        return value;
    }
    // A string, or an ordinal (0xFFFF then a number) returned as "#number".
    std::wstring Text() {
        WORD first = Take<WORD>();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Take<WORD>());
        std::wstring text;
        for (WORD c = first; c != 0; c = Take<WORD>())
            text += static_cast<wchar_t>(c);
        return text;
    }
    void AlignTo4(const BYTE* base) {
        while ((p_ - base) % 4 != 0)
            ++p_;
    }
    const BYTE* position() const { return p_; }

private:
    const BYTE* p_;
};

Dialog ParseDialog(const BYTE* base) {
    Reader r(base);
    Dialog d;
    EXPECT_EQ(r.Take<WORD>(), 1);
    EXPECT_EQ(r.Take<WORD>(), 0xFFFF);
    r.Take<DWORD>(); // help id
    d.exStyle = r.Take<DWORD>();
    d.style = r.Take<DWORD>();
    WORD count = r.Take<WORD>();
    r.Take<short>();
    r.Take<short>();
    d.cx = r.Take<short>();
    d.cy = r.Take<short>();
    EXPECT_EQ(r.Text(), L"") << "menu";
    EXPECT_EQ(r.Text(), L"") << "class";
    d.title = r.Text();
    if (d.style & DS_SETFONT) {
        d.pointSize = r.Take<WORD>();
        r.Take<WORD>();
        r.Take<BYTE>();
        r.Take<BYTE>();
        d.font = r.Text();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignTo4(base);
        Control c;
        r.Take<DWORD>(); // help id
        c.exStyle = r.Take<DWORD>();
        c.style = r.Take<DWORD>();
        c.x = r.Take<short>();
        c.y = r.Take<short>();
        c.cx = r.Take<short>();
        c.cy = r.Take<short>();
        c.id = static_cast<int>(r.Take<DWORD>());
        std::wstring cls = r.Text();
        c.atomClass = cls[0] == L'#' ? static_cast<WORD>(std::stoi(cls.substr(1))) : 0;
        c.text = r.Text();
        WORD extra = r.Take<WORD>();
        for (WORD b = 0; b < extra; ++b)
            r.Take<BYTE>();
        d.controls.push_back(c);
    }
    return d;
}

struct Module {
    HMODULE handle;
    explicit Module(const std::wstring& exe)
        : handle(::LoadLibraryExW((e2e::BinDirectory() + L"\\" + exe).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~Module() { ::FreeLibrary(handle); }
    const BYTE* Find(LPCWSTR type, WORD id, DWORD* size = nullptr) const {
        HRSRC res = ::FindResourceExW(handle, type, MAKEINTRESOURCEW(id), kLanguage);
        if (res == nullptr)
            return nullptr;
        if (size != nullptr)
            *size = ::SizeofResource(handle, res);
        return static_cast<const BYTE*>(::LockResource(::LoadResource(handle, res)));
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
    std::vector<Control> controls;
};

const Expected kPrograms[] = {
    {L"Beamlet.exe",
     L"Beamlet",
     WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
     174,
     169,
     {{1000, 0x81, L"", 7, 20, 157, 115, kLogBox, 0},
      {1001, 0x80, L"Open Port", 7, 143, 58, 14, kButton, 0},
      {1002, 0x80, L"Trigger", 76, 143, 87, 14, kButton, 0},
      {-1, 0x82, L"Laser Scanner DEMO AP", 31, 6, 111, 8, kBanner, 0}}},
    {L"Swipelet.exe",
     L"Swipelet",
     WS_POPUP | WS_VISIBLE | WS_CAPTION,
     156,
     129,
     {{200, 0x82, L"SWIPELET AP.", 36, 7, 83, 9, kBanner, 0},
      {1000, 0x81, L"", 7, 22, 142, 66, kLogBox, 0},
      {1001, 0x80, L"Open Port", 11, 90, 50, 14, kButton, 0},
      {1002, 0x80, L"Read MSR Version", 63, 90, 84, 14, kButton, 0},
      {1003, 0x80, L"Read Fireware Version", 63, 106, 84, 14, kButton, 0}}},
};

TEST(CaptureDialogs, Template102IsExactlyAsTheTerminalHasIt) {
    for (const Expected& want : kPrograms) {
        SCOPED_TRACE(std::string(want.exe, want.exe + std::wcslen(want.exe)));
        Module module(want.exe);
        ASSERT_NE(module.handle, nullptr);
        const BYTE* bytes = module.Find(RT_DIALOG, 102);
        ASSERT_NE(bytes, nullptr) << "dialog 102 in language 1028";
        Dialog got = ParseDialog(bytes);
        EXPECT_EQ(got.title, want.title);
        EXPECT_EQ(got.style & ~DS_SETFONT, want.style);
        EXPECT_EQ(got.exStyle, 0x80000000 | WS_EX_APPWINDOW);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(got.font, L"MS Shell Dlg");
        EXPECT_EQ(got.pointSize, 8);
        ASSERT_EQ(got.controls.size(), want.controls.size());
        for (std::size_t i = 0; i < want.controls.size(); ++i) {
            const Control& g = got.controls[i];
            const Control& w = want.controls[i];
            SCOPED_TRACE("control " + std::to_string(w.id));
            EXPECT_EQ(g.id, w.id);
            EXPECT_EQ(g.atomClass, w.atomClass);
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
        const BYTE* group = module.Find(RT_GROUP_ICON, 128);
        ASSERT_NE(group, nullptr) << "icon group 128 in language 1028";
        WORD count = 0;
        std::memcpy(&count, group + 4, sizeof count);
        EXPECT_EQ(count, 9);

        DWORD size = 0;
        const BYTE* version = module.Find(RT_VERSION, 1, &size);
        ASSERT_NE(version, nullptr) << "version block in language 1028";
        std::vector<BYTE> copy(version, version + size);
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
