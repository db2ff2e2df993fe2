// KernelIoControl over the host link, against the stand-in restart handler and against
// handlers that refuse.
#include "ce/kernel.h"

#include "driver_server.h"
#include "restart_handler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kRestart = 0x0101003C;

TEST(KernelIoControlTest, FailsWithFileNotFoundWhenNoHandlerServes) {
    DWORD argument = 1085;
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(ce::KernelIoControl(kRestart, &argument, 0, nullptr, 0, nullptr));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(KernelIoControlTest, RestartHandlerRecordsTheShapeOfEachRequest) {
    std::vector<std::string> lines;
    standins::RestartHandler handler([&](const std::string& line) { lines.push_back(line); });
    ASSERT_TRUE(handler.Start());

    DWORD argument = 1085;
    DWORD out = 0xAAAAAAAA;
    DWORD returned = 77;
    EXPECT_TRUE(ce::KernelIoControl(kRestart, &argument, 0, nullptr, 0, nullptr));
    EXPECT_TRUE(ce::KernelIoControl(kRestart, nullptr, 0, nullptr, 0, nullptr));
    EXPECT_TRUE(ce::KernelIoControl(0x01010040, &argument, 4, &out, 4, &returned));
    EXPECT_EQ(returned, 0u) << "the handler sends nothing back";
    EXPECT_EQ(out, 0xAAAAAAAAu);

    std::vector<ce::hostlink::Request> requests = handler.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].code, kRestart);
    EXPECT_EQ(requests[0].hasIn, 1u);
    EXPECT_EQ(requests[0].inWord, 1085u);
    EXPECT_EQ(requests[0].inSize, 0u);
    EXPECT_EQ(requests[0].outSize, 0u);
    EXPECT_EQ(requests[0].hasReturned, 0u);
    EXPECT_EQ(requests[1].hasIn, 0u);
    EXPECT_EQ(requests[1].inSize, 0u);
    EXPECT_EQ(requests[2].code, 0x01010040u);
    EXPECT_EQ(requests[2].inSize, 4u);
    EXPECT_EQ(requests[2].outSize, 4u);
    EXPECT_EQ(requests[2].hasReturned, 1u);

    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0],
              "kernel: KernelIoControl 0x0101003C in=&1085 inSize=0 outSize=0 returned=none");
    EXPECT_EQ(lines[1],
              "kernel: KernelIoControl 0x0101003C in=none inSize=0 outSize=0 returned=none");
}

TEST(KernelIoControlTest, AfterStopRequestsFailAgain) {
    standins::RestartHandler handler;
    ASSERT_TRUE(handler.Start());
    handler.Stop();
    EXPECT_FALSE(ce::KernelIoControl(kRestart, nullptr, 0, nullptr, 0, nullptr));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(KernelIoControlTest, SecondRestartHandlerDoesNotStartBesideARunningOne) {
    standins::RestartHandler first;
    ASSERT_TRUE(first.Start());
    std::vector<std::string> lines;
    standins::RestartHandler second([&](const std::string& line) { lines.push_back(line); });
    EXPECT_FALSE(second.Start());
    EXPECT_EQ(lines.size(), 1u);
}

struct HandlerAnswer {
    const char* name;
    ce::hostlink::Reply reply;
    BOOL expectedResult;
    DWORD expectedError;
};

ce::hostlink::Reply WithOutput(DWORD returned) {
    ce::hostlink::Reply reply = standins::Succeed();
    reply.returned = returned;
    for (DWORD i = 0; i < ce::hostlink::kMaxOutBytes; ++i)
        reply.out[i] = static_cast<std::uint8_t>(i + 1);
    return reply;
}

ce::hostlink::Reply RefusedWithoutError() {
    ce::hostlink::Reply reply{};
    return reply;
}

class KernelAnswerTest : public ::testing::TestWithParam<HandlerAnswer> {};

TEST_P(KernelAnswerTest, ResultFollowsTheHandlersAnswer) {
    const HandlerAnswer answer = GetParam();
    standins::DriverServer server(ce::hostlink::kKernelPipe,
                                  [&](const ce::hostlink::Request&) { return answer.reply; });
    ASSERT_TRUE(server.started());
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(ce::KernelIoControl(kRestart, nullptr, 0, nullptr, 0, nullptr),
              answer.expectedResult);
    if (!answer.expectedResult) {
        EXPECT_EQ(::GetLastError(), answer.expectedError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, KernelAnswerTest,
    ::testing::Values(
        HandlerAnswer{"Success", standins::Succeed(), TRUE, 0},
        HandlerAnswer{"Refused", standins::Fail(ERROR_NOT_SUPPORTED), FALSE, ERROR_NOT_SUPPORTED},
        // A refusal that names no error must still read as a failure.
        HandlerAnswer{"RefusedWithoutError", RefusedWithoutError(), FALSE, ERROR_GEN_FAILURE}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(KernelOutputTest, CopiesNoMoreThanTheCallersBuffer) {
    standins::DriverServer server(ce::hostlink::kKernelPipe,
                                  [](const ce::hostlink::Request&) { return WithOutput(8); });
    ASSERT_TRUE(server.started());
    BYTE out[6] = {0, 0, 0, 0, 0xEE, 0xEE};
    DWORD returned = 0;
    ASSERT_TRUE(ce::KernelIoControl(kRestart, nullptr, 0, out, 4, &returned));
    EXPECT_EQ(returned, 4u);
    const BYTE expected[6] = {1, 2, 3, 4, 0xEE, 0xEE};
    EXPECT_EQ(std::memcmp(out, expected, sizeof out), 0);
}

} // namespace
