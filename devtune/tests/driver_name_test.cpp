// The driver name is compared within the bytes the registry returned. The text is placed right
// before an inaccessible page, so a compare that looked for a terminator beyond those bytes
// would fault instead of passing.
#include "read_usb_mode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using devtune::ActiveSync;
using devtune::AllDisabled;
using devtune::CardReader;
using devtune::UsbMode;

class GuardedText {
public:
    explicit GuardedText(const std::wstring& units) {
        SYSTEM_INFO info{};
        ::GetSystemInfo(&info);
        page_ = info.dwPageSize;
        base_ = static_cast<BYTE*>(
            ::VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        guarded_ = base_ != nullptr &&
                   ::VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &old) != FALSE;
        bytes_ = static_cast<DWORD>(units.size() * sizeof(wchar_t));
        text_ = reinterpret_cast<wchar_t*>(base_ + page_ - bytes_);
        if (base_ != nullptr)
            std::memcpy(text_, units.data(), bytes_);
    }
    GuardedText(const GuardedText&) = delete;
    GuardedText& operator=(const GuardedText&) = delete;
    ~GuardedText() {
        if (base_ != nullptr)
            ::VirtualFree(base_, 0, MEM_RELEASE);
    }

    bool ready() const { return guarded_; }
    const wchar_t* text() const { return text_; }
    DWORD bytes() const { return bytes_; }

private:
    DWORD page_ = 0;
    BYTE* base_ = nullptr;
    bool guarded_ = false;
    wchar_t* text_ = nullptr;
    DWORD bytes_ = 0;
};

struct Returned {
    const char* name;
    std::wstring units; // exactly the units returned, terminator included only if listed
    UsbMode expected;
};

class DriverNameTest : public ::testing::TestWithParam<Returned> {};

TEST_P(DriverNameTest, IsReadOnlyWithinTheReturnedBytes) {
    GuardedText guarded(GetParam().units);
    ASSERT_TRUE(guarded.ready());
    EXPECT_EQ(devtune::UsbModeFromDriverName(guarded.text(), guarded.bytes()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DriverNameTest,
    ::testing::Values(Returned{"FullBufferNoTerminator", std::wstring(128, L'S'), AllDisabled},
                      Returned{"SerialNoTerminator", L"Serial_Class", ActiveSync},
                      Returned{"MassStorageNoTerminator", L"Mass_Storage_Class", CardReader},
                      Returned{"SerialThenOtherUnits", std::wstring(L"Serial_Class\0zz", 15),
                               ActiveSync},
                      Returned{"NameLongerThanBytes", L"Serial_Clas", AllDisabled}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
