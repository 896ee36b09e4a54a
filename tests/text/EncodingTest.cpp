#include <gtest/gtest.h>

#include "text/Encoding.h"

namespace vornal {
namespace {

TEST(Encoding, LiteralBecomesCp932Bytes)
{
    EXPECT_EQ(Sjis("中山"), "\x92\x86\x8E\x52");
    EXPECT_EQ(Sjis("ソ"), "\x83\x5C");
    // Half-width katakana are single bytes, the ideographic blank two.
    EXPECT_EQ(Sjis("ｵﾏｰﾝ"), "\xB5\xCF\xB0\xDD");
    EXPECT_EQ(Sjis("　"), "\x81\x40");
    // The NEC extensions that plain Shift_JIS lacks.
    EXPECT_EQ(Sjis("①"), "\x87\x40");
    EXPECT_EQ(Sjis("⑱"), "\x87\x51");
}

TEST(Encoding, CachedLiteralIsStable)
{
    const std::string& first = Sjis("東京");
    for (int i = 0; i < 100; ++i) {
        Sjis("filler " + std::to_string(i));
    }
    EXPECT_EQ(&first, &Sjis("東京"));
    EXPECT_EQ(first, "\x93\x8C\x8B\x9E");
}

TEST(Encoding, RoundTripOfOrdinaryText)
{
    std::string utf8 = "ｻﾗ系3歳以上 ①⑱ テスト abc";
    EXPECT_EQ(ToUtf8(ToCp932(utf8)), utf8);
}

TEST(Encoding, DamagedBytesStillConvert)
{
    // A lone lead byte at the end and an undefined double-byte code.
    std::string bad = std::string("A\x85\x40", 3) + "B\x81";
    std::string utf8 = ToUtf8(bad);
    EXPECT_EQ(utf8.front(), 'A');
    EXPECT_NE(utf8.find('B'), std::string::npos);
    EXPECT_NE(utf8.find("\xEF\xBF\xBD"), std::string::npos);
}

TEST(Encoding, UnrepresentableCharacterBecomesQuestionMark)
{
    EXPECT_EQ(ToCp932("a\xF0\x9F\x90\x8E" "b"), "a?b"); // a horse emoji
}

TEST(Encoding, LeadBytes)
{
    EXPECT_TRUE(IsLeadByte(0x81));
    EXPECT_TRUE(IsLeadByte(0x9F));
    EXPECT_TRUE(IsLeadByte(0xE0));
    EXPECT_TRUE(IsLeadByte(0xFC));
    EXPECT_FALSE(IsLeadByte(0x80));
    EXPECT_FALSE(IsLeadByte(0xA0));
    EXPECT_FALSE(IsLeadByte(0xB1)); // half-width katakana
    EXPECT_FALSE(IsLeadByte(0x5C));
    EXPECT_EQ(CharLength("\x83\x5C", 0), 2u);
    EXPECT_EQ(CharLength("a\x83", 1), 1u); // cut off at the end
}

} // namespace
} // namespace vornal

namespace vornal {
namespace {

TEST(Encoding, TellsUtf8FromCp932)
{
    EXPECT_TRUE(IsValidUtf8("plain ascii"));
    EXPECT_TRUE(IsValidUtf8("中山"));
    EXPECT_FALSE(IsValidUtf8(Sjis("2026年01月05日中山.jvSEr")));
    EXPECT_FALSE(IsValidUtf8("\xE4\xB8")); // cut off
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));
}

} // namespace
} // namespace vornal
