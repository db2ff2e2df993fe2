// The resources of the built Devtune.exe, read back from the file: language, strings, icon
// images and both page templates control by control.
#include "dialog_resource.h"
#include "resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const WORD kLanguage = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL);

std::wstring BesideThisProgram(const wchar_t* file) {
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring full(path, length);
    return full.substr(0, full.find_last_of(L"\\/") + 1) + file;
}

class DevtuneResources : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = ::LoadLibraryExW(BesideThisProgram(L"Devtune.exe").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr) << "Devtune.exe beside the test, error " << ::GetLastError();
    }
    void TearDown() override {
        if (module_ != nullptr)
            ::FreeLibrary(module_);
    }

    // The raw resource in language 1028, or empty.
    std::vector<BYTE> Raw(const wchar_t* type, WORD id) const {
        HRSRC found = ::FindResourceExW(module_, type, MAKEINTRESOURCEW(id), kLanguage);
        if (found == nullptr)
            return {};
        const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module_, found)));
        return std::vector<BYTE>(data, data + ::SizeofResource(module_, found));
    }

    std::wstring String(WORD id) const {
        std::vector<BYTE> block = Raw(RT_STRING, static_cast<WORD>(id / 16 + 1));
        std::size_t offset = 0;
        for (int index = 0; offset + 2 <= block.size(); ++index) {
            WORD units = 0;
            std::memcpy(&units, &block[offset], 2);
            offset += 2;
            if (index == id % 16)
                return std::wstring(reinterpret_cast<const wchar_t*>(&block[offset]), units);
            offset += units * 2u;
        }
        return L"<missing>";
    }

    HMODULE module_ = nullptr;
};

TEST_F(DevtuneResources, StringsInLanguage1028) {
    EXPECT_EQ(String(IDS_SHEET_CAPTION), L"Device Config");
    EXPECT_EQ(String(IDS_USB_MODE_TAB), L"ActiveSync");
    EXPECT_EQ(String(IDS_USB_CABLE_TAB), L"USB ");
}

TEST_F(DevtuneResources, IconHasA24BitLargeAndAn8BitSmallImage) {
    std::vector<BYTE> group = Raw(RT_GROUP_ICON, IDI_SHEET);
    ASSERT_GE(group.size(), 6u);
    WORD count = 0;
    std::memcpy(&count, &group[4], 2);
    ASSERT_EQ(count, 2);
    ASSERT_EQ(group.size(), 6u + 2 * 14u);
    struct Image {
        BYTE width, height;
        WORD bits;
    };
    std::vector<Image> images;
    for (int i = 0; i < 2; ++i) {
        const BYTE* entry = &group[6 + 14 * i];
        Image image{entry[0], entry[1], 0};
        std::memcpy(&image.bits, entry + 6, 2);
        images.push_back(image);
    }
    EXPECT_EQ(images[0].width, 32);
    EXPECT_EQ(images[0].height, 32);
    EXPECT_EQ(images[0].bits, 24);
    EXPECT_EQ(images[1].width, 16);
    EXPECT_EQ(images[1].height, 16);
    EXPECT_EQ(images[1].bits, 8);
}

using Control = dialog_resource::Control;
using Page = dialog_resource::Dialog;

void ExpectFrame(const Page& page) {
    EXPECT_EQ(page.style, 0x40000000u) << "child style alone: no caption, frame or font";
    EXPECT_FALSE(page.extended);
    EXPECT_EQ(page.exStyle, 0u);
    EXPECT_EQ(page.x, 0);
    EXPECT_EQ(page.y, 0);
    EXPECT_EQ(page.cx, 137);
    EXPECT_EQ(page.cy, 96);
    EXPECT_TRUE(page.menu.empty() && page.windowClass.empty() && page.title.empty());
}

void ExpectControls(const Page& page, const std::vector<Control>& expected) {
    ASSERT_EQ(page.controls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Control& got = page.controls[i];
        const Control& want = expected[i];
        SCOPED_TRACE(testing::Message() << "control " << i);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.exStyle, want.exStyle);
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.className, want.className);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
    }
}

TEST_F(DevtuneResources, UsbModePageTemplate) {
    std::vector<BYTE> raw = Raw(RT_DIALOG, IDD_USB_MODE_PAGE);
    ASSERT_FALSE(raw.empty());
    Page page = dialog_resource::Parse(raw);
    ExpectFrame(page);
    ExpectControls(page, {
                             {0x50000009, 0, 46, 18, 59, 12, 1004, L"Button", L"ACTIVE SYNC"},
                             {0x50000009, 0, 46, 34, 63, 12, 1005, L"Button", L"CARD READER"},
                             {0x50000009, 0, 46, 50, 57, 12, 1006, L"Button", L"ALL DISABLE"},
                         });
}

TEST_F(DevtuneResources, UsbCablePageTemplate) {
    std::vector<BYTE> raw = Raw(RT_DIALOG, IDD_USB_CABLE_PAGE);
    ASSERT_FALSE(raw.empty());
    Page page = dialog_resource::Parse(raw);
    ExpectFrame(page);
    ExpectControls(page,
                   {
                       {0x50020000, 0, 3, 14, 88, 8, -1, L"Static", L"I want the USB Cable to.."},
                       {0x50010000, 0, 29, 31, 50, 14, 1030, L"Button", L"Connect"},
                       {0x50010000, 0, 29, 49, 50, 14, 1032, L"Button", L"Disconnect"},
                   });
}

std::vector<WORD> Languages(HMODULE module, const wchar_t* type, WORD id) {
    std::vector<WORD> languages;
    ::EnumResourceLanguagesW(
        module, type, MAKEINTRESOURCEW(id),
        [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) -> BOOL {
            reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

TEST_F(DevtuneResources, EveryResourceIsInLanguage1028AloneAndThereIsNoVersionBlock) {
    const std::vector<WORD> only1028{kLanguage};
    EXPECT_EQ(Languages(module_, RT_DIALOG, IDD_USB_MODE_PAGE), only1028);
    EXPECT_EQ(Languages(module_, RT_DIALOG, IDD_USB_CABLE_PAGE), only1028);
    EXPECT_EQ(Languages(module_, RT_GROUP_ICON, IDI_SHEET), only1028);
    EXPECT_EQ(Languages(module_, RT_STRING, IDS_SHEET_CAPTION / 16 + 1), only1028);
    EXPECT_EQ(::FindResourceW(module_, MAKEINTRESOURCEW(1), RT_VERSION), nullptr);
}

} // namespace
