#include "receive_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Text(const ReceiveBuffer& buffer) {
    return buffer.text();
}

void StoreText(ReceiveBuffer& buffer, const std::string& bytes) {
    for (char c : bytes)
        buffer.Store(static_cast<std::uint8_t>(c));
}

void FillTo(ReceiveBuffer& buffer, std::uint32_t index) {
    while (buffer.writeIndex() < index)
        buffer.Store('x');
}

TEST(ReceiveBuffer, EachByteBecomesOneSignExtendedUnit) {
    struct Case {
        std::uint8_t byte;
        char16_t unit;
    } cases[] = {{0x01, 0x0001}, {0x41, 0x0041}, {0x7F, 0x007F},
                 {0x80, 0xFF80}, {0xB5, 0xFFB5}, {0xFF, 0xFFFF}};
    for (const Case& c : cases) {
        ReceiveBuffer buffer;
        buffer.Store(c.byte);
        EXPECT_EQ(buffer.text()[0], c.unit) << "byte " << int(c.byte);
        EXPECT_EQ(buffer.writeIndex(), 1u);
        EXPECT_TRUE(buffer.hasNewData());
    }
}

TEST(ReceiveBuffer, ATickClosesTheLineOnceForAllBytesSinceTheLast) {
    ReceiveBuffer buffer;
    EXPECT_FALSE(buffer.TakeForDisplay()) << "nothing came yet";

    StoreText(buffer, "ABC");
    ASSERT_TRUE(buffer.TakeForDisplay());
    EXPECT_EQ(Text(buffer), u"ABC\r\n");
    EXPECT_EQ(buffer.writeIndex(), 5u);
    EXPECT_FALSE(buffer.hasNewData());
    EXPECT_FALSE(buffer.TakeForDisplay()) << "a tick without new data changes nothing";
    EXPECT_EQ(Text(buffer), u"ABC\r\n");

    StoreText(buffer, "D");
    ASSERT_TRUE(buffer.TakeForDisplay());
    EXPECT_EQ(Text(buffer), u"ABC\r\nD\r\n");
}

TEST(ReceiveBuffer, TheByteThatLandsInTheLastUnitClearsEverything) {
    ReceiveBuffer buffer;
    FillTo(buffer, ReceiveBuffer::kLastIndex);
    EXPECT_EQ(Text(buffer).size(), 1023u);

    buffer.Store('Z');
    EXPECT_EQ(buffer.writeIndex(), 0u);
    EXPECT_EQ(Text(buffer), u"");
    for (std::size_t i = 0; i < ReceiveBuffer::kUnits; ++i)
        ASSERT_EQ(buffer.text()[i], u'\0') << "unit " << i;
    ASSERT_TRUE(buffer.TakeForDisplay()) << "the lost byte still counts as new data";
    EXPECT_EQ(Text(buffer), u"\r\n");
}

TEST(ReceiveBuffer, ATickNearTheEndClearsInsteadOfAppending) {
    struct Case {
        std::uint32_t index;
        std::size_t shownLength; // 0: cleared
        std::uint32_t indexAfter;
    } cases[] = {{1021, 1023, 1023}, {1022, 0, 0}, {1023, 0, 0}};
    for (const Case& c : cases) {
        ReceiveBuffer buffer;
        FillTo(buffer, c.index);
        ASSERT_TRUE(buffer.TakeForDisplay());
        EXPECT_EQ(Text(buffer).size(), c.shownLength) << "index " << c.index;
        EXPECT_EQ(buffer.writeIndex(), c.indexAfter) << "index " << c.index;
    }
}

TEST(ReceiveBuffer, AZeroByteHidesWhatFollowsUntilTheNextClear) {
    ReceiveBuffer buffer;
    buffer.Store('A');
    buffer.Store('B');
    buffer.Store(0x00);
    StoreText(buffer, "CD");
    EXPECT_EQ(Text(buffer), u"AB");

    ASSERT_TRUE(buffer.TakeForDisplay());
    EXPECT_EQ(Text(buffer), u"AB\r\n") << "the break goes where the visible text ends";
    EXPECT_EQ(buffer.writeIndex(), 7u) << "the index still moves on from where it was";

    StoreText(buffer, "EF");
    ASSERT_TRUE(buffer.TakeForDisplay());
    EXPECT_EQ(Text(buffer), u"AB\r\n\r\n") << "later data stays hidden; only breaks show";
}

} // namespace
