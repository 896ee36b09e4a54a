#include "app/Settings.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempDir.h"

using namespace vornal;

namespace {

using Strings = std::vector<std::string>;

class SettingsTest : public ::testing::Test
{
protected:
    std::filesystem::path File() const { return m_dir / "vornal.ini"; }
    Settings Ini() const { return Settings(File()); }
    void Put(const std::string& bytes) const { PutFile(File(), bytes); }
    std::string Get() const { return GetFile(File()); }

    TempDir m_dir;
};

// ---- strings and their quoting ----

struct QuotingCase
{
    const char* stored;
    const char* expected;
};

TEST_F(SettingsTest, StoredValuesAreUnquoted)
{
    const QuotingCase cases[] = {
        {"\xA2 abc \xA3", " abc "}, // ｢ abc ｣ keeps the blanks inside
        {"\"\"", ""},               // two double quotes
        {"\xA2\xA3", ""},           // ｢｣
        {"\"x", "\"x"},             // quote at one end only
        {"\"", "\""},               // a lone quote
        {"\xA2", "\xA2"},           // a lone ｢
        {"\"a b\"", "a b"},
        {"\"\"\"", "\""}, // three quotes lose the outer two
        {"\xA2\"\xA3", "\""},
        {"\xA2x\"", "\xA2x\""}, // mixed delimiters stay
        {"\"x\xA3", "\"x\xA3"},
        {"\"\xA3", "\"\xA3"},             // a mixed pair of two is not empty
        {"\"\x83\x5C\"", "\x83\x5C"},     // "ソ"
        {"\xA2\x83\xA3", "\xA2\x83\xA3"}, // ｢ then a double-byte character whose trail byte is 0xA3, not ｣
        {"plain", "plain"},
        {"", ""},                 // an empty value is not a missing key
        {"  padded  ", "padded"}, // blanks around an unquoted value are not part of it
    };
    for (const QuotingCase& c : cases) {
        Put(std::string("[s]\r\nk=") + c.stored + "\r\n");
        EXPECT_EQ(Ini().ReadString("s", "k", "default"), c.expected) << "stored: " << c.stored;
    }
}

TEST_F(SettingsTest, MissingStringGivesTheDefaultUnchanged)
{
    Put("[s]\r\nother=1\r\n");
    Settings ini = Ini();
    EXPECT_EQ(ini.ReadString("s", "k", "abc"), "abc");
    EXPECT_EQ(ini.ReadString("s", "k", "\"quoted\""), "\"quoted\"");
    EXPECT_EQ(ini.ReadString("s", "k", "\xA2x\xA3"), "\xA2x\xA3");
    EXPECT_EQ(ini.ReadString("s", "k", ""), "");
    EXPECT_EQ(ini.ReadString("other-section", "other", "d"), "d");
    EXPECT_EQ(Settings(m_dir / "absent.ini").ReadString("s", "k", "d"), "d");
}

TEST_F(SettingsTest, Cp932ValuesRoundTripByteForByte)
{
    Settings ini = Ini();
    // ソ and 表 end in the trail byte 0x5C, which is not a backslash here; ゾ ends in 0x5D.
    const std::string values[] = {"\x83\x5C", "\x95\x5C\x8E\xA6", "C:\\Data\\\x83\x5C", "\x83\x5D]=x", "a=b"};
    for (const std::string& value : values) {
        ASSERT_TRUE(ini.WriteString("Dir", "jikeiretu", value));
        EXPECT_EQ(ini.ReadString("Dir", "jikeiretu", ""), value);
    }
    EXPECT_EQ(Get(), "[Dir]\r\njikeiretu=a=b\r\n");
}

TEST_F(SettingsTest, DoubleByteSectionAndKeyNames)
{
    Settings ini = Ini();
    const std::string section = "\x83\x5D"; // ゾ: trail byte 0x5D is not "]"
    ASSERT_TRUE(ini.WriteString(section, "\x83\x5C", "v"));
    EXPECT_EQ(ini.ReadString(section, "\x83\x5C", ""), "v");
    EXPECT_EQ(Get(), "[\x83\x5D]\r\n\x83\x5C=v\r\n");
}

// ---- integers and booleans ----

TEST_F(SettingsTest, IntegerMissingOrMalformedGivesTheDefault)
{
    Put("[locate]\r\ntop=abc\r\nleft=12a\r\nwidth= 640 \r\nheight=-5\r\nbig=99999999999\r\nTop=3\r\n"
        "[other]\r\nzoom=2\r\n");
    Settings ini = Ini();
    EXPECT_EQ(ini.ReadInteger("locate", "top", 10), 10);
    EXPECT_EQ(ini.ReadInteger("locate", "left", 10), 10);
    EXPECT_EQ(ini.ReadInteger("locate", "width", 1200), 640);
    EXPECT_EQ(ini.ReadInteger("locate", "height", 800), -5);
    EXPECT_EQ(ini.ReadInteger("locate", "big", 7), 7);
    EXPECT_EQ(ini.ReadInteger("locate", "zoom", 1), 1);  // a key of another section
    EXPECT_EQ(ini.ReadInteger("Locate", "width", 9), 9); // names are case-sensitive
    EXPECT_EQ(ini.ReadInteger("other", "zoom", 1), 2);
}

TEST_F(SettingsTest, BooleansAreWrittenAsOneAndZero)
{
    Settings ini = Ini();
    EXPECT_TRUE(ini.ReadBool("datalist", "close", true));
    EXPECT_FALSE(ini.ReadBool("datalist", "close", false));

    ASSERT_TRUE(ini.WriteBool("datalist", "close", true));
    EXPECT_EQ(Get(), "[datalist]\r\nclose=1\r\n");
    EXPECT_TRUE(ini.ReadBool("datalist", "close", false));
    ASSERT_TRUE(ini.WriteBool("datalist", "close", false));
    EXPECT_EQ(Get(), "[datalist]\r\nclose=0\r\n");
    EXPECT_FALSE(ini.ReadBool("datalist", "close", true));
}

TEST_F(SettingsTest, BooleanReadsOtherIntegersAsTrueAndTextAsDefault)
{
    Put("[b]\r\ntwo=2\r\nminus=-1\r\nword=true\r\nempty=\r\n");
    Settings ini = Ini();
    EXPECT_TRUE(ini.ReadBool("b", "two", false));
    EXPECT_TRUE(ini.ReadBool("b", "minus", false));
    EXPECT_FALSE(ini.ReadBool("b", "word", false));
    EXPECT_TRUE(ini.ReadBool("b", "word", true));
    EXPECT_TRUE(ini.ReadBool("b", "empty", true));
}

// ---- writing ----

TEST_F(SettingsTest, WrittenValueIsSeenByTheNextReadOfAnyObject)
{
    Settings first = Ini();
    Settings second = Ini();
    EXPECT_EQ(second.ReadInteger("Time", "AutoOzGet", 30), 30);
    ASSERT_TRUE(first.WriteInteger("Time", "AutoOzGet", 15));
    EXPECT_EQ(second.ReadInteger("Time", "AutoOzGet", 30), 15);
    ASSERT_TRUE(second.WriteInteger("Time", "AutoOzGet", -2));
    EXPECT_EQ(first.ReadInteger("Time", "AutoOzGet", 30), -2);

    // A change made to the file behind the objects' backs shows at once: nothing is cached.
    Put("[Time]\r\nAutoOzGet=45\r\n");
    EXPECT_EQ(first.ReadInteger("Time", "AutoOzGet", 30), 45);
}

TEST_F(SettingsTest, WriteChangesOnlyItsOwnLine)
{
    const std::string before = "; comment line\r\n"
                               "[locate]\r\n"
                               "top = 5\r\n"
                               "left=7\r\n"
                               "\r\n"
                               "[Dir]\n" // a hand-edited line with LF only
                               "jikeiretu=\x83\x5C\\\r\n"
                               "  odd line without equals\r\n"
                               "[kaime]\r\n"
                               "No=2"; // no final line end
    Put(before);
    Settings ini = Ini();

    ASSERT_TRUE(ini.WriteInteger("locate", "top", 123));
    std::string expected = before;
    expected.replace(expected.find("top = 5"), 7, "top=123");
    EXPECT_EQ(Get(), expected);

    ASSERT_TRUE(ini.WriteInteger("kaime", "No", 3));
    expected.replace(expected.size() - 4, 4, "No=3");
    EXPECT_EQ(Get(), expected);
    EXPECT_EQ(ini.ReadString("Dir", "jikeiretu", ""), "\x83\x5C\\");
    EXPECT_EQ(ini.ReadInteger("locate", "left", 0), 7);
}

TEST_F(SettingsTest, MissingKeyGoesAtTheEndOfItsSection)
{
    Put("[locate]\r\ntop=1\r\n\r\n[Dir]\r\njikeiretu=x\r\n");
    Settings ini = Ini();
    ASSERT_TRUE(ini.WriteInteger("locate", "left", 2));
    EXPECT_EQ(Get(), "[locate]\r\ntop=1\r\nleft=2\r\n\r\n[Dir]\r\njikeiretu=x\r\n");
    ASSERT_TRUE(ini.WriteString("Dir", "other", "y"));
    EXPECT_EQ(Get(), "[locate]\r\ntop=1\r\nleft=2\r\n\r\n[Dir]\r\njikeiretu=x\r\nother=y\r\n");
}

TEST_F(SettingsTest, MissingSectionIsAppendedWithCrLf)
{
    Put("[a]\r\nx=1"); // the last line has no line end
    Settings ini = Ini();
    ASSERT_TRUE(ini.WriteString("b", "y", "2"));
    EXPECT_EQ(Get(), "[a]\r\nx=1\r\n[b]\r\ny=2\r\n");
    EXPECT_EQ(ini.ReadInteger("a", "x", 0), 1);
    EXPECT_EQ(ini.ReadInteger("b", "y", 0), 2);
}

TEST_F(SettingsTest, FirstOfDuplicateKeysAndSectionsCounts)
{
    Put("[s]\r\nk=first\r\nk=second\r\n[s]\r\nk=third\r\nonly=later\r\n");
    Settings ini = Ini();
    EXPECT_EQ(ini.ReadString("s", "k", ""), "first");
    EXPECT_EQ(ini.ReadString("s", "only", "none"), "none");
    ASSERT_TRUE(ini.WriteString("s", "k", "new"));
    EXPECT_EQ(Get(), "[s]\r\nk=new\r\nk=second\r\n[s]\r\nk=third\r\nonly=later\r\n");
}

TEST_F(SettingsTest, WritesThatWouldDamageTheFileAreRefused)
{
    const std::string before = "[s]\r\nk=v\r\n";
    Put(before);
    Settings ini = Ini();
    EXPECT_FALSE(ini.WriteString("s", "k", "two\r\n[lines]"));
    EXPECT_FALSE(ini.WriteString("s", "k", "bare\rcr"));
    EXPECT_FALSE(ini.WriteString("s", "a=b", "v"));
    EXPECT_FALSE(ini.WriteString("s", "", "v"));
    EXPECT_FALSE(ini.WriteString("s", "[x", "v"));
    EXPECT_FALSE(ini.WriteString("s]", "k", "v"));
    EXPECT_FALSE(ini.WriteStrings("s", "list", {"ok", "bad\nitem"}));
    EXPECT_EQ(Get(), before);
}

TEST_F(SettingsTest, WriteFailsWithoutLosingAnything)
{
    Settings inMissingFolder(m_dir / "no-folder" / "vornal.ini");
    EXPECT_FALSE(inMissingFolder.WriteInteger("s", "k", 1));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "no-folder"));

    // A settings "file" that cannot be read must not be replaced by a file holding one key.
    std::filesystem::create_directory(File());
    PutFile(File() / "inside", "x");
    EXPECT_FALSE(Ini().WriteInteger("s", "k", 1));
    EXPECT_EQ(GetFile(File() / "inside"), "x");
    EXPECT_EQ(Ini().ReadInteger("s", "k", 9), 9);
}

// ---- lists ----

TEST_F(SettingsTest, ListReadTakesMissingPartsFromTheCurrentList)
{
    Put("[User]\r\nCarHosei.Count=3\r\nCarHosei.0=\"9.9\"\r\n");
    Strings list{"a", "b"};
    Ini().ReadStrings("User", "CarHosei", list);
    EXPECT_EQ(list, (Strings{"9.9", "b", ""}));
}

TEST_F(SettingsTest, ListReadWithoutCountKeepsTheCurrentLength)
{
    Put("[User]\r\nKKHosei.1=x\r\nKKHosei.5=beyond\r\n");
    Strings list{"a", "b", "c"};
    Ini().ReadStrings("User", "KKHosei", list);
    EXPECT_EQ(list, (Strings{"a", "x", "c"}));

    Strings empty;
    Ini().ReadStrings("User", "KKHosei", empty);
    EXPECT_TRUE(empty.empty());
}

TEST_F(SettingsTest, ListCountZeroNegativeMalformedOrAbsurd)
{
    Settings ini = Ini();
    const Strings current{"a", "b"};
    struct
    {
        const char* count;
        Strings expected;
    } cases[] = {
        {"0", {}},
        {"-3", {}},
        {"two", {"a", "b"}},
        {"2000000000", {"a", "b"}},
    };
    for (const auto& c : cases) {
        Put(std::string("[s]\r\nL.Count=") + c.count + "\r\n");
        Strings list = current;
        ini.ReadStrings("s", "L", list);
        EXPECT_EQ(list, c.expected) << "count " << c.count;
    }
}

TEST_F(SettingsTest, ListWriteLeavesItemsBeyondTheNewCount)
{
    Put("[s]\r\nL.Count=4\r\nL.0=a\r\nL.1=b\r\nL.2=c\r\nL.3=d\r\n[t]\r\nx=1\r\n");
    Settings ini = Ini();
    ASSERT_TRUE(ini.WriteStrings("s", "L", {"\x83\x5C", "\xA2 q \xA3"}));
    EXPECT_EQ(Get(), "[s]\r\nL.Count=2\r\nL.0=\x83\x5C\r\nL.1=\xA2 q \xA3\r\nL.2=c\r\nL.3=d\r\n[t]\r\nx=1\r\n");

    Strings list;
    ini.ReadStrings("s", "L", list);
    EXPECT_EQ(list, (Strings{"\x83\x5C", " q "}));

    // The items left over come back once the count grows again.
    ASSERT_TRUE(ini.WriteInteger("s", "L.Count", 4));
    ini.ReadStrings("s", "L", list);
    EXPECT_EQ(list, (Strings{"\x83\x5C", " q ", "c", "d"}));
}

TEST_F(SettingsTest, ListWriteIntoNewFile)
{
    Settings ini = Ini();
    ASSERT_TRUE(ini.WriteStrings("User", "CarHosei", {"1.2", "0.3"}));
    EXPECT_EQ(Get(), "[User]\r\nCarHosei.Count=2\r\nCarHosei.0=1.2\r\nCarHosei.1=0.3\r\n");
    ASSERT_TRUE(ini.WriteStrings("User", "CarHosei", {}));
    EXPECT_EQ(Get(), "[User]\r\nCarHosei.Count=0\r\nCarHosei.0=1.2\r\nCarHosei.1=0.3\r\n");
}

} // namespace
