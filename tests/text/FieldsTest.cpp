#include <gtest/gtest.h>

#include "text/Fields.h"
#include "text/Format.h"

namespace vornal {
namespace {

TEST(Fields, ReadsOneBasedPositions)
{
    std::string_view record = "RA7202601050601010112";
    EXPECT_EQ(Field(record, 1, 2), "RA");
    EXPECT_EQ(Field(record, 3, 1), "7");
    EXPECT_EQ(Field(record, 4, 8), "20260105");
}

TEST(Fields, ShortRecordReadsAsBlanks)
{
    std::string_view record = "RA7";
    EXPECT_EQ(Field(record, 2, 4), "A7  ");
    EXPECT_EQ(Field(record, 10, 3), "   ");
    EXPECT_EQ(Field(record, 0, 2), "  ");
    EXPECT_EQ(Field(record, 1, 0), "");
    EXPECT_EQ(FieldView(record, 2, 4), "A7");
    EXPECT_EQ(FieldView(record, 10, 3), "");
    EXPECT_EQ(FieldNumber(record, 10, 3), 0);
}

TEST(Fields, LeadingNumberConventions)
{
    EXPECT_EQ(LeadingNumber("0123"), 123);
    EXPECT_EQ(LeadingNumber("  12ab"), 12);
    EXPECT_EQ(LeadingNumber("    "), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("----"), 0);
    EXPECT_EQ(LeadingNumber("-5"), 0);
    EXPECT_EQ(LeadingNumber("1 2"), 1);
    EXPECT_EQ(SignedLeadingNumber(" -12"), -12);
    EXPECT_EQ(SignedLeadingNumber("+003"), 3);
    EXPECT_EQ(SignedLeadingNumber("   "), 0);
    // Far too many digits saturate instead of overflowing.
    EXPECT_GT(LeadingNumber("99999999999999999999999"), 0);
}

TEST(Fields, StrictIntegerRead)
{
    EXPECT_EQ(ParseInt(" 42 "), 42);
    EXPECT_EQ(ParseInt("-7"), -7);
    EXPECT_EQ(ParseInt("+7"), 7);
    EXPECT_FALSE(ParseInt(""));
    EXPECT_FALSE(ParseInt("   "));
    EXPECT_FALSE(ParseInt("12a"));
    EXPECT_FALSE(ParseInt("+"));
    EXPECT_FALSE(ParseInt("+-1"));
    EXPECT_FALSE(ParseInt("1.5"));
    EXPECT_FALSE(ParseInt("99999999999"));
}

TEST(Fields, StrictDecimalRead)
{
    EXPECT_DOUBLE_EQ(*ParseDouble("0.26"), 0.26);
    EXPECT_DOUBLE_EQ(*ParseDouble(" -1.5"), -1.5);
    EXPECT_DOUBLE_EQ(*ParseDouble("3"), 3.0);
    EXPECT_DOUBLE_EQ(*ParseDouble(".5"), 0.5);
    EXPECT_FALSE(ParseDouble("abc"));
    EXPECT_FALSE(ParseDouble("1.2.3"));
    EXPECT_FALSE(ParseDouble("inf"));
    EXPECT_FALSE(ParseDouble("0x10"));
    EXPECT_FALSE(ParseDouble("."));
    EXPECT_FALSE(ParseDouble(""));
}

TEST(Fields, DigitsAndBlanks)
{
    EXPECT_TRUE(IsAllDigits("0123456789"));
    EXPECT_FALSE(IsAllDigits(""));
    EXPECT_FALSE(IsAllDigits("12 4"));
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank("    "));
    EXPECT_FALSE(IsBlank(" 0 "));
}

TEST(Fields, TrimKeepsDoubleByteCharacters)
{
    EXPECT_EQ(Trim("  abc \r\n"), "abc");
    EXPECT_EQ(TrimLeft("  abc "), "abc ");
    EXPECT_EQ(TrimRight("  abc "), "  abc");
    // ソ ends in 0x5C and 表 in 0x5C as well: neither trail byte is a blank or a backslash.
    std::string text = " \x83\x5C\x95\x5C ";
    EXPECT_EQ(Trim(text), "\x83\x5C\x95\x5C");
    // The full-width blank is text, not ASCII white space.
    EXPECT_EQ(Trim("\x81\x40x\x81\x40"), "\x81\x40x\x81\x40");
}

TEST(Fields, Padding)
{
    EXPECT_EQ(PadRight("ab", 4), "ab  ");
    EXPECT_EQ(PadRight("abcdef", 4), "abcd");
    EXPECT_EQ(PadLeft("7", 3), "  7");
    EXPECT_EQ(PadLeft("1234", 3), "1234");
    EXPECT_EQ(PadLeft("5", 2, '0'), "05");
}

TEST(Fields, LfLinesDropTheCrBeforeTheLfOnly)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitLfLines("a\r\nb\n\nc"), (Lines{"a", "b", "", "c"}));
    EXPECT_EQ(SplitLfLines("a\rb\r\n"), (Lines{"a\rb"}));
    EXPECT_TRUE(SplitLfLines("").empty());
}

TEST(Format, PrintfStyleMeansWhatItSays)
{
    EXPECT_EQ(fmt::sprintf("%6.1f", 12.345), "  12.3");
    EXPECT_EQ(fmt::sprintf("%-4s|", "ab"), "ab  |");
    EXPECT_EQ(fmt::sprintf("%3d", 7), "  7");
    EXPECT_EQ(fmt::sprintf("%02d%02d", 9, 5), "0905");
    std::string runtimeFormat = "%5.2f";
    EXPECT_EQ(fmt::sprintf(runtimeFormat, 3.14159), " 3.14");
}

} // namespace
} // namespace vornal
