// Swipelet's power control and queries against a fake of the device operations: the exact
// calls each press of the port button makes on "HCD1:" and "COM3:", what the log box and the
// debug output say when the driver fails, and the query writes.
#include "fake_devices.h"
#include "reader_power_control.h"
#include "reader_queries.h"

#include "capture_controls.h"
#include "serial_capture.h"

#include "ce/device.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

const std::string kOpenDriver = "CreateFile HCD1: access=80000000 share=1 security=none "
                                "creation=3 attributes=80 template=none";
const std::string kOpenPort = "CreateFile COM3: access=C0000000 share=0 security=none "
                              "creation=3 attributes=0 template=none";

std::string PowerRequest(const std::string& handle, const char* code, const char* result) {
    return "DeviceIoControl " + handle + " " + code +
           " in=none/0 out=1 (was 00) returned=given overlapped=none -> " + result;
}
std::string PowerOn(const std::string& handle, const char* result = "ok") {
    return PowerRequest(handle, "80002100", result);
}
std::string PowerOff(const std::string& handle, const char* result = "ok") {
    return PowerRequest(handle, "80002104", result);
}

// Collects what the program writes to the debug output's standard-error copy.
class DebugOutput {
public:
    DebugOutput() : saved_(::GetStdHandle(STD_ERROR_HANDLE)) {
        ::CreatePipe(&read_, &write_, nullptr, 1 << 16);
        ::SetStdHandle(STD_ERROR_HANDLE, write_);
    }
    DebugOutput(const DebugOutput&) = delete;
    DebugOutput& operator=(const DebugOutput&) = delete;
    ~DebugOutput() {
        Restore();
        ::CloseHandle(read_);
    }
    // Everything written so far; ends the collection.
    std::string Text() {
        Restore();
        std::string text;
        char chunk[256];
        DWORD got = 0;
        while (::ReadFile(read_, chunk, sizeof chunk, &got, nullptr) && got > 0)
            text.append(chunk, got);
        return text;
    }

private:
    void Restore() {
        if (write_ == nullptr)
            return;
        ::SetStdHandle(STD_ERROR_HANDLE, saved_);
        ::CloseHandle(write_);
        write_ = nullptr;
    }

    HANDLE saved_;
    HANDLE read_ = nullptr;
    HANDLE write_ = nullptr;
};

// A window with the controls the capture and the power control drive, for the dialog.
class SwipeletPressTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake_devices::Reset({});
        dialog_.m_hWnd = ::CreateWindowW(L"STATIC", L"Swipelet", WS_OVERLAPPED, 0, 0, 200, 200,
                                         nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(dialog_.m_hWnd, nullptr);
        Child(L"EDIT", IDC_LOG_BOX, ES_MULTILINE);
        Child(L"BUTTON", IDC_PORT_BUTTON, BS_PUSHBUTTON);
        ::SetDlgItemTextW(dialog_.m_hWnd, IDC_PORT_BUTTON, L"Open Port");
    }

    void TearDown() override {
        if (CapturePortHandle() != INVALID_HANDLE_VALUE) {
            fake_devices::Reset({}); // keeps the process-wide capture closed for the next test
            ::TogglePort(dialog_);
        }
        ::DestroyWindow(dialog_.m_hWnd);
    }

    void Child(const wchar_t* cls, int id, DWORD style) {
        ::CreateWindowW(cls, L"", WS_CHILD | style, 0, 0, 100, 20, dialog_.m_hWnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }

    std::wstring LogBox() const {
        wchar_t text[256] = {};
        ::GetDlgItemTextW(dialog_.m_hWnd, IDC_LOG_BOX, text, 256);
        return text;
    }

    // A press of the port button; returns the calls it made.
    Calls Press() {
        std::size_t before = fake_devices::Calls().size();
        ::TogglePort(dialog_);
        Calls all = fake_devices::Calls();
        return Calls(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    }

    CWnd dialog_;
};

TEST_F(SwipeletPressTest, EachPressPowersOnThroughItsOwnHandleAndOnlyAClosePowersOff) {
    EXPECT_EQ(Press(),
              (Calls{kOpenDriver + " -> HCD1:#1", PowerOn("HCD1:#1"), kOpenPort + " -> COM3:#2"}))
        << "the opening press keeps HCD1:#1 open";
    EXPECT_EQ(LogBox(), L" Open COM3: Port !!\r\n");

    EXPECT_EQ(Press(),
              (Calls{kOpenDriver + " -> HCD1:#3", PowerOn("HCD1:#3"), "CloseHandle COM3:#2 -> ok",
                     PowerOff("HCD1:#3"), "CloseHandle HCD1:#3 -> ok"}))
        << "the closing press powers off and closes its own handle; HCD1:#1 stays open";
    EXPECT_EQ(LogBox(), L" Close COM3: Port !!\r\n");
}

TEST_F(SwipeletPressTest, AFailedPortOpenClosesThePressesHandleWithoutPoweringOff) {
    fake_devices::Reset({true, true, false});
    for (const char* handle : {"HCD1:#1", "HCD1:#2"}) {
        SCOPED_TRACE(handle);
        EXPECT_EQ(Press(),
                  (Calls{kOpenDriver + " -> " + handle, PowerOn(handle), kOpenPort + " -> missing",
                         "CloseHandle " + std::string(handle) + " -> ok"}));
        EXPECT_EQ(LogBox(), L" Couldn't Open COM3: Port !!\r\n");
    }
}

// With no driver the press says so in the log box, sends its requests to the invalid handle
// (they fail and are reported), closes nothing of the driver's, and goes on.
TEST_F(SwipeletPressTest, WithoutTheDriverTheHooksReportAndTheirRequestsFail) {
    fake_devices::Reset({false, true, true});
    {
        DebugOutput debug;
        ReaderPowerControl::OnBeforeToggle(dialog_);
        EXPECT_EQ(LogBox(), L"Can't open device. \n\r");
        EXPECT_EQ(debug.Text(), "DeviceIoControl : MSR Power Failed. \n\r");
    }
    {
        DebugOutput debug;
        ReaderPowerControl::OnAfterClose(dialog_);
        EXPECT_EQ(debug.Text(), "DeviceIoControl : MSR Power Failed. \n\r");
    }
    ReaderPowerControl::OnBeforeToggle(dialog_);
    ReaderPowerControl::OnOpenFailed(dialog_);
    EXPECT_EQ(fake_devices::Calls(),
              (Calls{kOpenDriver + " -> missing", PowerOn("<invalid>", "failed"),
                     PowerOff("<invalid>", "failed"), kOpenDriver + " -> missing",
                     PowerOn("<invalid>", "failed")}))
        << "no handle to close after either hook";
}

TEST_F(SwipeletPressTest, ARefusedPowerRequestIsReportedAndThePressGoesOn) {
    fake_devices::Reset({true, false, true});
    DebugOutput debug;
    Press();
    EXPECT_EQ(LogBox(), L" Open COM3: Port !!\r\n");
    Press();
    EXPECT_EQ(LogBox(), L" Close COM3: Port !!\r\n");
    EXPECT_EQ(debug.Text(), "DeviceIoControl : MSR Power Failed. \n\r"
                            "DeviceIoControl : MSR Power Failed. \n\r"
                            " Close COM3: Port !!\r\n"
                            "DeviceIoControl : MSR Power Failed. \n\r");
    EXPECT_EQ(fake_devices::CallsOf("CloseHandle"),
              (Calls{"CloseHandle COM3:#2 -> ok", "CloseHandle HCD1:#3 -> ok"}));
}

TEST(SwipeletQueries, EachQueryIsOneWriteOfItsThreeBytes) {
    struct Case {
        const ReaderQuery& query;
        const char* bytes;
    } cases[] = {
        {kReadMsrVersionQuery, "02 44 0D"},
        {kReadFirmwareVersionQuery, "02 56 0D"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        fake_devices::Reset({});
        HANDLE port = ce::CreateFile(L"COM3:", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
        SendReaderQuery(port, c.query);
        SendReaderQuery(INVALID_HANDLE_VALUE, c.query); // the port closed: fails, no harm
        EXPECT_EQ(fake_devices::CallsOf("WriteFile"),
                  (Calls{std::string("WriteFile COM3:#1 ") + c.bytes +
                             " written=given overlapped=none -> ok",
                         std::string("WriteFile <invalid> ") + c.bytes +
                             " written=given overlapped=none -> failed"}));
    }
}

} // namespace
