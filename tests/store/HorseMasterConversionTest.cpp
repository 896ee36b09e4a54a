#include <gtest/gtest.h>

#include "app/AppDir.h"
#include "store/HorseMasterConversion.h"
#include "store/StoreLines.h"
#include "store/StorePaths.h"

#include "store/JvRecords.h"

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
               OldRecord("2001000003") + OldRecord("2001000001") + OldRecord("2001000002") + "partial");
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

TEST_F(HorseMasterFileTest, UnreadableInputFails)
{
    std::filesystem::create_directories(OldHorseMasterFile(App(), m_day));
    const HorseMasterConversion result = ConvertHorseMaster(App(), m_day);
    EXPECT_FALSE(result.io);
    EXPECT_FALSE(std::filesystem::exists(HorseMasterFile(App(), m_day)));
}

} // namespace
} // namespace vornal
