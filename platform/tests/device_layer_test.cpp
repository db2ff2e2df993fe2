// The device layer against the bench's COM1 cable (far end COM11) and stand-in driver pipes.
#include "ce/device.h"
#include "ce/hostlink.h"

#include "driver_server.h"
#include "serial_peer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

HANDLE OpenPort() {
    return ce::CreateFile(L"COM1:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                          nullptr);
}

// Runs every operation on `h`; each must fail at once with ERROR_INVALID_HANDLE.
void ExpectEveryOperationRefused(HANDLE h) {
    BYTE byte = 0;
    DWORD count = 0;
    DCB dcb{};
    COMMTIMEOUTS timeouts{};
    DWORD start = ::GetTickCount();
    std::pair<const char*, BOOL> results[] = {
        {"read", ce::ReadFile(h, &byte, 1, &count, nullptr)},
        {"write", ce::WriteFile(h, &byte, 1, &count, nullptr)},
        {"ioctl", ce::DeviceIoControl(h, 0x00192058, nullptr, 0, &byte, 1, &count, nullptr)},
        {"get settings", ce::GetCommState(h, &dcb)},
        {"set settings", ce::SetCommState(h, &dcb)},
        {"set timeouts", ce::SetCommTimeouts(h, &timeouts)},
        {"close", ce::CloseHandle(h)},
    };
    for (auto& [what, result] : results) {
        EXPECT_FALSE(result) << what;
    }
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_LT(::GetTickCount() - start, 200u);
}

TEST(DeviceLayer, TheInvalidHandleFailsEveryOperation) {
    ExpectEveryOperationRefused(INVALID_HANDLE_VALUE);
    ExpectEveryOperationRefused(nullptr);
}

TEST(DeviceLayer, ClosingEndsAWaitingReadAndTheOldValueStaysDead) {
    standins::SerialPeer peer(L"COM11", 9600);
    ASSERT_TRUE(peer.isOpen());
    peer.Purge();
    HANDLE port = OpenPort();
    ASSERT_NE(port, INVALID_HANDLE_VALUE);

    // Every byte value crosses unchanged.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    ASSERT_TRUE(peer.Write(all));
    for (int b = 0; b < 256; ++b) {
        BYTE got = 0;
        DWORD count = 0;
        ASSERT_TRUE(ce::ReadFile(port, &got, 1, &count, nullptr));
        ASSERT_EQ(count, 1u);
        ASSERT_EQ(got, b);
    }

    std::atomic<bool> readFailed{false};
    std::thread reader([&] {
        BYTE got = 0;
        DWORD count = 0;
        readFailed = !ce::ReadFile(port, &got, 1, &count, nullptr);
    });
    ::Sleep(200); // the read is waiting: nothing comes
    DWORD closedAt = ::GetTickCount();
    ASSERT_TRUE(ce::CloseHandle(port));
    reader.join();
    EXPECT_TRUE(readFailed);
    EXPECT_LT(::GetTickCount() - closedAt, 500u) << "the waiting read ends promptly";

    HANDLE again = OpenPort();
    ASSERT_NE(again, INVALID_HANDLE_VALUE);
    EXPECT_NE(again, port) << "a value is never handed out twice";
    ExpectEveryOperationRefused(port);
    EXPECT_TRUE(ce::CloseHandle(again));
}

// Opened without sharing, a port is busy for every other open until it is closed.
TEST(DeviceLayer, APortOpenedWithoutSharingIsBusyUntilClosed) {
    HANDLE first = OpenPort();
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenPort(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(ce::CloseHandle(first));
    HANDLE again = OpenPort();
    EXPECT_NE(again, INVALID_HANDLE_VALUE) << "free again once closed";
    EXPECT_TRUE(ce::CloseHandle(again));
}

TEST(DeviceLayer, OverlappedCallsAreRefused) {
    HANDLE port = OpenPort();
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    OVERLAPPED ov{};
    BYTE byte = 0;
    EXPECT_FALSE(ce::ReadFile(port, &byte, 1, nullptr, &ov));
    EXPECT_FALSE(ce::WriteFile(port, &byte, 1, nullptr, &ov));
    EXPECT_TRUE(ce::CloseHandle(port));
}

// A request of the port's own driver goes to its stand-in, with the caller's shapes.
TEST(DeviceLayer, DriverRequestsGoToTheStandInOrFail) {
    HANDLE port = OpenPort();
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    BYTE out = 0;
    DWORD returned = 77;
    EXPECT_FALSE(ce::DeviceIoControl(port, 0x00192058, nullptr, 0, &out, 1, &returned, nullptr))
        << "nothing serves the request";

    ce::hostlink::Request seen{};
    {
        standins::DriverServer driver(std::wstring(ce::hostlink::kDriverPipePrefix) + L"COM1",
                                      [&](const ce::hostlink::Request& request) {
                                          seen = request;
                                          ce::hostlink::Reply reply = standins::Succeed();
                                          reply.out[0] = 0x5A;
                                          reply.returned = 1;
                                          return reply;
                                      });
        ASSERT_TRUE(driver.started());
        EXPECT_TRUE(ce::DeviceIoControl(port, 0x00192058, nullptr, 0, &out, 1, &returned, nullptr));
    }
    EXPECT_EQ(seen.code, 0x00192058u);
    EXPECT_EQ(seen.hasIn, 0u);
    EXPECT_EQ(seen.inSize, 0u);
    EXPECT_EQ(seen.outSize, 1u);
    EXPECT_EQ(seen.hasReturned, 1u);
    EXPECT_EQ(out, 0x5A);
    EXPECT_EQ(returned, 1u);
    EXPECT_TRUE(ce::CloseHandle(port));
}

TEST(DeviceLayer, AnotherDriverOpensOnlyWhileItsStandInServes) {
    auto open = [] {
        return ce::CreateFile(L"HCD1:", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    EXPECT_EQ(open(), INVALID_HANDLE_VALUE);

    standins::DriverServer driver(std::wstring(ce::hostlink::kDriverPipePrefix) + L"HCD1",
                                  [](const ce::hostlink::Request& request) {
                                      return request.code == 0x80002100
                                                 ? standins::Succeed()
                                                 : standins::Fail(ERROR_INVALID_PARAMETER);
                                  });
    ASSERT_TRUE(driver.started());
    HANDLE hcd = open();
    ASSERT_NE(hcd, INVALID_HANDLE_VALUE);
    BYTE out = 0;
    DWORD returned = 0;
    EXPECT_TRUE(ce::DeviceIoControl(hcd, 0x80002100, nullptr, 0, &out, 1, &returned, nullptr));
    EXPECT_FALSE(ce::DeviceIoControl(hcd, 0x80002108, nullptr, 0, &out, 1, &returned, nullptr));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    BYTE byte = 0;
    EXPECT_FALSE(ce::ReadFile(hcd, &byte, 1, &returned, nullptr))
        << "a driver link only takes requests";
    EXPECT_EQ(driver.openConnections(), 1);
    EXPECT_TRUE(ce::CloseHandle(hcd));
    for (int i = 0; i < 50 && driver.openConnections() != 0; ++i)
        ::Sleep(10);
    EXPECT_EQ(driver.openConnections(), 0) << "closing the handle ends the connection";
}

} // namespace
