#include <gtest/gtest.h>

#include "app/AppDir.h"
#include "store/HorseMasterConversion.h"
#include "store/StoreLines.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"

#include "support/JvRecordBuilder.h"

namespace vornal {
namespace {

// An earlier-layout record whose every data byte tells its position: byte p holds
// 'A' + (p % 26), so any shift in the conversion shows.
std::string OldRecord(std::string_view horseId)
{
    std::string record;
    for (int p = 1; p <= 1575; ++p) {
        record += static_cast<char>('A' + p % 26);
    }
    record.replace(0, 2, "UM");
    record.replace(11, horseId.size(), horseId);
    return record + "\r\n";
}

char At(std::string_view text, int position)
{
    return text[static_cast<std::size_t>(position) - 1];
}

TEST(HorseMasterLayout, WidensFourPlacesAndCopiesTheRest)
{
    const std::string old = OldRecord("2019104567");
    const std::string line = ConvertOldHorseMasterRecord(old);
    ASSERT_EQ(line.size(), 1607u);
    EXPECT_EQ(line.substr(0, 204), old.substr(0, 204));
    EXPECT_EQ(line.substr(11, 10), "2019104567");
    for (int entry = 0; entry < 14; ++entry) {
        const int out = 205 + entry * 46;
        const int in = 205 + entry * 44;
        EXPECT_EQ(line.substr(static_cast<std::size_t>(out) - 1, 2), "  ") << entry;
        EXPECT_EQ(line.substr(static_cast<std::size_t>(out) + 1, 44), old.substr(static_cast<std::size_t>(in) - 1, 44))
            << entry;
    }
    EXPECT_EQ(At(line, 849), At(old, 821));
    EXPECT_EQ(line.substr(848, 34), old.substr(820, 34));
    EXPECT_EQ(line.substr(882, 2), "  ");
    EXPECT_EQ(line.substr(884, 6), old.substr(854, 6));
    EXPECT_EQ(line.substr(890, 2), "  ");
    EXPECT_EQ(At(line, 893), At(old, 861));
    EXPECT_EQ(At(line, 1607), At(old, 1575));
}

class HorseMasterFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(EnsureAppFolders(App())); }
    const std::filesystem::path& App() const { return m_app.Path(); }
    const std::string m_day = DayNameFromDigits("20050105");
    test::TempDir m_app;
};

TEST_F(HorseMasterFileTest, ThreeRecordsGiveThreeLinesInOrder)
{
    test::Spit(OldHorseMasterFile(App(), m_day),
               OldRecord("2001000003") + OldRecord("2001000001") + OldRecord("2001000002"));
    test::Spit(HorseMasterFile(App(), m_day), "replaced\r\n");
    const HorseMasterConversion result = ConvertHorseMaster(App(), m_day);
    ASSERT_TRUE(result.io);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.records, 3);
    const std::string bytes = test::Slurp(HorseMasterFile(App(), m_day));
    ASSERT_EQ(bytes.size(), 3u * 1609u);
    const std::vector<std::string> lines = SplitLines(bytes);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(11, 10), "2001000003");
    EXPECT_EQ(lines[1].substr(11, 10), "2001000001");
    EXPECT_EQ(lines[2].substr(11, 10), "2001000002");
}

TEST_F(HorseMasterFileTest, NoInputNoOutput)
{
    const HorseMasterConversion missing = ConvertHorseMaster(App(), m_day);
    EXPECT_TRUE(missing.io);
    EXPECT_FALSE(missing.written);
    test::Spit(OldHorseMasterFile(App(), m_day), "");
    EXPECT_FALSE(ConvertHorseMaster(App(), m_day).written);
    EXPECT_FALSE(std::filesystem::exists(HorseMasterFile(App(), m_day)));
}

// A truncated or random .jvUMA once became the day's horse master; now it is refused with
// the file and the record, and no .jvUM2 appears.
TEST_F(HorseMasterFileTest, TruncatedOrForeignInputIsRefused)
{
    const std::string good = OldRecord("2001000001") + OldRecord("2001000002");
    const std::filesystem::path broken = std::filesystem::path(VORNAL_TEST_DATA_DIR) / "broken" / "horse-master";
    struct Case
    {
        std::string bytes;
        const char* message;
    };
    std::string badId = good;
    badId.replace(1577 + 11, 10, "20010000X2");
    std::string noLineEnd = good;
    noLineEnd[1577 + 1575] = ' ';
    const Case cases[] = {
        {good + OldRecord("2001000003").substr(0, 700),
         "2005年01月05日.jvUMA：3 件目のレコードが途中で切れています（700 バイト、1 件 1577 バイト）。"},
        {badId, "2005年01月05日.jvUMA：2 件目のレコードの血統登録番号が数字 10 桁ではありません。"},
        {noLineEnd, "2005年01月05日.jvUMA：2 件目のレコードの改行位置が違います。"},
        {test::Slurp(broken / "truncated.jvUMA"),
         "2005年01月05日.jvUMA：2 件目のレコードが途中で切れています（800 バイト、1 件 1577 バイト）。"},
        {test::Slurp(broken / "random.jvUMA"),
         "2005年01月05日.jvUMA：1 件目のレコードのレコード種別が UM ではありません。"},
    };
    for (const Case& c : cases) {
        test::Spit(OldHorseMasterFile(App(), m_day), c.bytes);
        const HorseMasterConversion result = ConvertHorseMaster(App(), m_day);
        EXPECT_FALSE(result.io);
        EXPECT_EQ(result.io.message, Sjis(c.message)) << ToUtf8(result.io.message);
        EXPECT_FALSE(result.written);
        EXPECT_FALSE(std::filesystem::exists(HorseMasterFile(App(), m_day)));
    }
}

TEST_F(HorseMasterFileTest, UnreadableInputFails)
{
    std::filesystem::create_directories(OldHorseMasterFile(App(), m_day));
    const HorseMasterConversion result = ConvertHorseMaster(App(), m_day);
    EXPECT_FALSE(result.io);
    EXPECT_FALSE(std::filesystem::exists(HorseMasterFile(App(), m_day)));
}

} // namespace
} // namespace vornal
