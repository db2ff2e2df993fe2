// The USB cable page through the real sheet, with and without the USB link component.
#include "devtune_sheet_driver.h"
#include "usb_link.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

namespace {

using namespace devtune_e2e;
using devtune_test::Dword;
using devtune_test::ReadValue;
using devtune_test::StoredValue;
using devtune_test::Utf16;
using devtune_test::WriteValue;

constexpr int kModePage = 0;
constexpr int kCablePage = 1;
constexpr int kConnectButton = 1030;
constexpr int kDisconnectButton = 1032;

StoredValue Cnct() {
    return ReadValue(HKEY_CURRENT_USER, kCommKey, L"Cnct");
}
StoredValue AutoCnct() {
    return ReadValue(HKEY_CURRENT_USER, kCommKey, L"AutoCnct");
}

void ExpectConnectValues() {
    StoredValue cnct = Cnct();
    EXPECT_EQ(cnct.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(cnct.bytes, Utf16(L"`USB"));
    EXPECT_EQ(cnct.bytes.size(), 10u);
    StoredValue autoCnct = AutoCnct();
    EXPECT_EQ(autoCnct.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(autoCnct.bytes, Dword(1));
}

void StoreStaleConnectValues() {
    WriteValue(HKEY_CURRENT_USER, kCommKey, L"Cnct", REG_SZ, Utf16(L"stale"));
    WriteValue(HKEY_CURRENT_USER, kCommKey, L"AutoCnct", REG_DWORD, Dword(0));
}

void ExpectStaleConnectValues() {
    EXPECT_EQ(Cnct().bytes, Utf16(L"stale"));
    EXPECT_EQ(AutoCnct().bytes, Dword(0));
}

class DevtuneCableE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ClearDevtuneKeys();
        ASSERT_TRUE(kernel_.started());
    }
    void TearDown() override { ClearDevtuneKeys(); }

    // Starts Devtune and shows its cable page.
    void OpenCablePage() {
        session_ = std::make_unique<e2e::AppSession>(L"Devtune.exe", kSheetTitle);
        ASSERT_NE(session_->window(), nullptr);
        sheet_ = std::make_unique<Sheet>(*session_);
        sheet_->SelectPage(kCablePage);
        ASSERT_NE(sheet_->Page(kCablePage), nullptr);
    }

    KernelRecorder kernel_;
    std::unique_ptr<e2e::AppSession> session_;
    std::unique_ptr<Sheet> sheet_;
};

// What the registry held each time the link saw a connect request.
class LinkWatch {
public:
    standins::UsbLink::Report Sink() {
        return [this](const std::string& line) {
            if (line.find("connect requested (USBCONNEvent)") == std::string::npos)
                return;
            std::lock_guard<std::mutex> lock(mutex_);
            cnctAtConnect_.push_back(Cnct().bytes == Utf16(L"`USB"));
        };
    }
    std::vector<bool> cnctAtConnect() {
        std::lock_guard<std::mutex> lock(mutex_);
        return cnctAtConnect_;
    }

private:
    std::mutex mutex_;
    std::vector<bool> cnctAtConnect_;
};

TEST_F(DevtuneCableE2E, ConnectWritesTheValuesThenSetsTheConnectEventOnEveryClick) {
    LinkWatch watch;
    standins::UsbLink link(watch.Sink());
    ASSERT_TRUE(link.Start());
    OpenCablePage();

    sheet_->Click(kCablePage, kConnectButton);
    ASSERT_TRUE(link.WaitFor(1, 0, kTimeoutMs));
    ExpectConnectValues();

    StoreStaleConnectValues();
    sheet_->Click(kCablePage, kConnectButton);
    ASSERT_TRUE(link.WaitFor(2, 0, kTimeoutMs));
    ExpectConnectValues();

    EXPECT_EQ(link.counts().disconnects, 0);
    EXPECT_EQ(watch.cnctAtConnect(), (std::vector<bool>{true, true}));
    sheet_->PressCancel();
    EXPECT_EQ(sheet_->ExitCode(), 0u);
    ExpectConnectValues();
    EXPECT_TRUE(kernel_.calls().empty());
}

TEST_F(DevtuneCableE2E, DisconnectSetsTheDisconnectEventAndTouchesNoValue) {
    standins::UsbLink link;
    ASSERT_TRUE(link.Start());
    StoreStaleConnectValues();
    OpenCablePage();

    sheet_->Click(kCablePage, kDisconnectButton);
    sheet_->Click(kCablePage, kDisconnectButton);
    ASSERT_TRUE(link.WaitFor(0, 2, kTimeoutMs));

    EXPECT_EQ(link.counts().connects, 0);
    ExpectStaleConnectValues();
    sheet_->PressOk();
    EXPECT_EQ(sheet_->ExitCode(), 0u);
}

TEST_F(DevtuneCableE2E, WithoutTheLinkEachButtonShowsTheMessageBox) {
    OpenCablePage();

    sheet_->PostClick(kCablePage, kConnectButton);
    MessageBoxSeen box = WaitForMessageBox(session_->processId(), L"ERROR", kTimeoutMs);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, L"Cann't open event!");
    EXPECT_EQ(box.owner, nullptr);
    ExpectConnectValues(); // written before the event was looked for
    ASSERT_TRUE(CloseMessageBox(box.window));

    StoreStaleConnectValues();
    sheet_->PostClick(kCablePage, kDisconnectButton);
    box = WaitForMessageBox(session_->processId(), L"ERROR", kTimeoutMs);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, L"Cann't open event!");
    ASSERT_TRUE(CloseMessageBox(box.window));
    ExpectStaleConnectValues();

    sheet_->PressCancel();
    EXPECT_EQ(sheet_->ExitCode(), 0u);
}

TEST_F(DevtuneCableE2E, CancelAfterConnectKeepsTheValues) {
    standins::UsbLink link;
    ASSERT_TRUE(link.Start());
    OpenCablePage();
    sheet_->Click(kCablePage, kConnectButton);
    ASSERT_TRUE(link.WaitFor(1, 0, kTimeoutMs));

    sheet_->PressCancel();
    EXPECT_EQ(sheet_->ExitCode(), 0u);
    ExpectConnectValues();
}

TEST_F(DevtuneCableE2E, ConnectLeavesTheModePageUnchanged) {
    WriteValue(HKEY_LOCAL_MACHINE, kDriversKey, L"DefaultClientDriver", REG_SZ,
               Utf16(L"Mass_Storage_Class"));
    standins::UsbLink link;
    ASSERT_TRUE(link.Start());
    OpenCablePage();
    sheet_->Click(kCablePage, kConnectButton);
    ASSERT_TRUE(link.WaitFor(1, 0, kTimeoutMs));

    sheet_->SelectPage(kModePage);
    EXPECT_TRUE(sheet_->Checked(kModePage, 1005));
    sheet_->PressOk();
    EXPECT_EQ(sheet_->ExitCode(), 0u);
    EXPECT_TRUE(kernel_.calls().empty()) << "pending mode still equals the initial mode";
    EXPECT_EQ(StoredClientDriver(), L"Mass_Storage_Class");
}

} // namespace
