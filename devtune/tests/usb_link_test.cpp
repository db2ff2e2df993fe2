// The stand-in USB link component: owns the two events while it runs and reports every set.
#include "usb_link.h"

#include "ce/unique_handle.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

namespace {

class Lines {
public:
    standins::UsbLink::Report Sink() {
        return [this](const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(line);
        };
    }
    std::vector<std::string> Get() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

HANDLE Open(const wchar_t* name) {
    return ::OpenEventW(EVENT_ALL_ACCESS, FALSE, name);
}

TEST(UsbLinkTest, ReportsEachSetOfEitherEvent) {
    Lines lines;
    standins::UsbLink link(lines.Sink());
    ASSERT_TRUE(link.Start());

    ce::UniqueHandle connect(Open(L"USBCONNEvent"));
    ce::UniqueHandle disconnect(Open(L"USBDISCONNEvent"));
    ASSERT_TRUE(connect);
    ASSERT_TRUE(disconnect);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(::SetEvent(connect.get()));
        ASSERT_TRUE(link.WaitFor(i + 1, 0, 5000));
    }
    ASSERT_TRUE(::SetEvent(disconnect.get()));
    ASSERT_TRUE(link.WaitFor(2, 1, 5000));

    EXPECT_EQ(link.counts().connects, 2);
    EXPECT_EQ(link.counts().disconnects, 1);
    EXPECT_EQ(lines.Get(),
              (std::vector<std::string>{"USB link: waiting on USBCONNEvent and USBDISCONNEvent",
                                        "USB link: connect requested (USBCONNEvent)",
                                        "USB link: connect requested (USBCONNEvent)",
                                        "USB link: disconnect requested (USBDISCONNEvent)"}));
}

TEST(UsbLinkTest, EventsAreGoneOnceStopped) {
    {
        standins::UsbLink link;
        ASSERT_TRUE(link.Start());
        link.Stop();
    }
    EXPECT_FALSE(ce::UniqueHandle(Open(L"USBCONNEvent")));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(ce::UniqueHandle(Open(L"USBDISCONNEvent")));
}

TEST(UsbLinkTest, DoesNotStartWhileAnotherComponentOwnsTheEvents) {
    standins::UsbLink first;
    ASSERT_TRUE(first.Start());
    Lines lines;
    standins::UsbLink second(lines.Sink());
    EXPECT_FALSE(second.Start());
    ASSERT_EQ(lines.Get().size(), 1u);
    EXPECT_EQ(lines.Get()[0], "USB link: not started: the event already exists");
}

} // namespace
