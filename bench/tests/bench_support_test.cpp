// The benchmarks' own arithmetic: reading a reader's position off a log box, and the order
// statistics of the figures. No timing here.
#include "statistics.h"
#include "stream_pattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace bench;

std::string Stream(std::uint64_t offset, std::size_t size) {
    std::string bytes(size, '\0');
    FillStream(offset, bytes.data(), size);
    return bytes;
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

TEST(StreamPattern, PiecesWrittenAtTheirOffsetsMakeTheWholeStream) {
    std::string whole = Stream(0, 200);
    EXPECT_EQ(whole.substr(0, 32), "#0000000000.wxyz#0000000016.wxyz");
    for (std::size_t cut : {1u, 15u, 16u, 17u, 100u}) {
        EXPECT_EQ(Stream(0, cut) + Stream(cut, 200 - cut), whole) << "cut at " << cut;
    }
    EXPECT_EQ(whole.find('\0'), std::string::npos) << "a zero byte would hide the rest";
}

TEST(StreamPattern, ThePositionComesFromTheLastTicksData) {
    struct Case {
        const char* what;
        std::wstring text;
        bool found;
        std::uint64_t position;
    } cases[] = {
        {"one tick", Wide(Stream(0, 40)) + L"\r\n", true, 40},
        {"a later tick, the earlier one before it",
         Wide(Stream(0, 40)) + L"\r\n" + Wide(Stream(40, 300)) + L"\r\n", true, 340},
        {"a tick's data starting mid-record", Wide(Stream(1005, 30)) + L"\r\n", true, 1035},
        {"too little for a whole record number",
         Wide(Stream(0, 40)) + L"\r\n" + Wide(Stream(41, 12)) + L"\r\n", false, 0},
        {"a tick's data ending inside a record number", Wide(Stream(16, 5)) + L"\r\n", false, 0},
        {"the status text the box shows before any data", L" Open COM3: Port !!\r\n", false, 0},
        {"no line break at the end yet", Wide(Stream(0, 40)), false, 0},
        {"an emptied box", L"", false, 0},
        {"a lone line break", L"\r\n", false, 0},
    };
    for (const Case& c : cases) {
        std::uint64_t position = 0;
        EXPECT_EQ(StreamPositionShown(c.text, position), c.found) << c.what;
        if (c.found) {
            EXPECT_EQ(position, c.position) << c.what;
        }
    }
}

TEST(Statistics, PercentilesAreNearestRank) {
    std::vector<double> hundred;
    for (int i = 100; i >= 1; --i)
        hundred.push_back(i);
    EXPECT_EQ(Percentile(hundred, 0.99), 99);
    EXPECT_EQ(Percentile(hundred, 0.5), 50);
    EXPECT_EQ(Percentile({1, 2, 3, 4}, 0.5), 2);
    EXPECT_EQ(Percentile({7}, 0.99), 7);
    EXPECT_EQ(Percentile({}, 0.5), 0);

    Summary s = Summarise({3, 1, 2});
    EXPECT_EQ(s.count, 3u);
    EXPECT_EQ(s.min, 1);
    EXPECT_EQ(s.median, 2);
    EXPECT_EQ(s.max, 3);
    EXPECT_EQ(s.mean, 2);
}

} // namespace
