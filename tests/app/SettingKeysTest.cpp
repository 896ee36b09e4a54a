#include "app/SettingKeys.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "app/AppDir.h"

using namespace vornal;

namespace {

using Strings = std::vector<std::string>;

TEST(Clock, AddDaysCrossesMonthYearAndLeapDay)
{
    EXPECT_EQ(AddDays({2024, 3, 3, 12, 0, 0}, -8), (LocalDateTime{2024, 2, 24, 12, 0, 0}));
    EXPECT_EQ(AddDays({2023, 3, 3, 0, 0, 1}, -8), (LocalDateTime{2023, 2, 23, 0, 0, 1}));
    EXPECT_EQ(AddDays({2026, 1, 5, 23, 59, 59}, -8), (LocalDateTime{2025, 12, 28, 23, 59, 59}));
    EXPECT_EQ(AddDays({2024, 2, 28, 0, 0, 0}, 1), (LocalDateTime{2024, 2, 29, 0, 0, 0}));
    EXPECT_EQ(FormatDateTime({987, 1, 2, 3, 4, 5}), "0987/01/02 03:04:05");
}

TEST(SettingKeys, LastAcquisitionDefaultsToEightDaysBeforeNow)
{
    TempDir dir;
    Settings settings(SettingsFile(dir.Path()));
    FixedClock clock({2026, 3, 2, 7, 8, 9});
    EXPECT_EQ(DefaultLastAcquisitionTime(clock), "2026/02/22 07:08:09");
    EXPECT_EQ(ReadLastAcquisitionTime(settings, clock), "2026/02/22 07:08:09");

    clock.Set({2026, 3, 9, 7, 8, 9});
    EXPECT_EQ(ReadLastAcquisitionTime(settings, clock), "2026/03/01 07:08:09");

    ASSERT_TRUE(kLastAcquisitionTime.Write(settings, "2025/12/31 10:00:00"));
    EXPECT_EQ(ReadLastAcquisitionTime(settings, clock), "2025/12/31 10:00:00");
    EXPECT_EQ(GetFile(settings.File()), "[JvDataGet]\r\nLastTime=2025/12/31 10:00:00\r\n");
}

TEST(SettingKeys, WindowPlaceDefaultsAndRoundTrip)
{
    TempDir dir;
    Settings settings(SettingsFile(dir.Path()));
    PutFile(settings.File(), "[Dir]\r\njikeiretu=x\r\n");
    EXPECT_EQ(kMainWindowPlace.Read(settings), (WindowRect{10, 10, 1200, 800}));
    EXPECT_EQ(kPrintPreviewPlace.Read(settings), (WindowRect{10, 10, 630, 450}));
    EXPECT_EQ(kHitReportPlace.Read(settings), (WindowRect{10, 10, 630, 450}));

    ASSERT_TRUE(kMainWindowPlace.Write(settings, {33, 44, 1000, 700}));
    EXPECT_EQ(kMainWindowPlace.Read(settings), (WindowRect{33, 44, 1000, 700}));
    EXPECT_EQ(kPrintPreviewPlace.Read(settings), (WindowRect{10, 10, 630, 450}));
    EXPECT_EQ(GetFile(settings.File()),
              "[Dir]\r\njikeiretu=x\r\n[locate]\r\ntop=33\r\nleft=44\r\nwidth=1000\r\nheight=700\r\n");
}

TEST(SettingKeys, WindowPlaceAndZoomOutsideTheirRangeReadAsDefaultsWithAWarningEach)
{
    TempDir dir;
    Settings settings(SettingsFile(dir.Path()));
    // A window saved minimised sits at -32000; a hand edit left a zero width and a word.
    PutFile(settings.File(), "[locate]\r\ntop=-32001\r\nleft=-32000\r\nwidth=0\r\nheight=tall\r\n"
                             "[Printlocate]\r\ntop=5\r\nleft=6\r\nwidth=100\r\nheight=32000\r\n"
                             "[PrintZoom]\r\nratio=4\r\n");
    const CheckedWindowRect main = kMainWindowPlace.ReadChecked(settings);
    EXPECT_EQ(main.rect, (WindowRect{10, -32000, 1200, 800}));
    ASSERT_EQ(main.warnings.size(), 3U);
    EXPECT_NE(main.warnings[0].find("[locate] top"), std::string::npos);
    EXPECT_NE(main.warnings[1].find("[locate] width"), std::string::npos);
    EXPECT_NE(main.warnings[2].find("[locate] height"), std::string::npos);

    const CheckedWindowRect preview = kPrintPreviewPlace.ReadChecked(settings);
    EXPECT_EQ(preview.rect, (WindowRect{5, 6, 100, 32000}));
    EXPECT_TRUE(preview.warnings.empty());

    const CheckedInteger zoom = ReadPrintZoom(settings);
    EXPECT_EQ(zoom.value, 1);
    EXPECT_NE(zoom.warning.find("[PrintZoom] ratio"), std::string::npos);
}

TEST(SettingKeys, BettingSetOutsideOneToThreeSelectsSetOne)
{
    TempDir dir;
    Settings settings(SettingsFile(dir.Path()));
    EXPECT_EQ(SelectedSetNumber(kBettingSet.Read(settings)), 1);
    PutFile(settings.File(), "[kaime]\r\nNo=7\r\n[kaihatu]\r\nNo=3\r\npriority=1\r\n");
    EXPECT_EQ(SelectedSetNumber(kBettingSet.Read(settings)), 1);
    EXPECT_EQ(SelectedSetNumber(kDeveloperBettingSet.Read(settings)), 3);
    EXPECT_TRUE(kDeveloperBetsFirst.Read(settings));
    EXPECT_EQ(SelectedSetNumber(-1), 1);
    EXPECT_EQ(SelectedSetNumber(2), 2);
}

TEST(SettingKeys, EmptyFileGivesEveryDefault)
{
    TempDir dir;
    Settings settings(SettingsFile(dir.Path()));
    EXPECT_EQ(kAutoOddsMinutes.Read(settings), 30);
    EXPECT_EQ(kPrintZoom.Read(settings), 1);
    EXPECT_EQ(kUserBettingSetId.Read(settings), 0);
    EXPECT_FALSE(kCloseDateList.Read(settings));
    EXPECT_FALSE(kDeveloperBetsFirst.Read(settings));
    EXPECT_EQ(kOddsSeriesFolder.Read(settings), "");
    EXPECT_EQ(kOddsSeriesFolder.Read(settings, dir.Path().string()), dir.Path().string());
    EXPECT_EQ(kRtsw.Read(settings), "0.26");
    EXPECT_EQ(kCarHosei.Read(settings, DefaultCarHosei()), DefaultCarHosei());
    EXPECT_EQ(kKkHosei.Read(settings, DefaultKkHosei()), DefaultKkHosei());
    EXPECT_EQ(DefaultCarHosei().size(), 4u);
    EXPECT_EQ(DefaultKkHosei().size(), 12u);
    EXPECT_FALSE(std::filesystem::exists(settings.File()));
}

TEST(SettingKeys, HandEditedUserListsOverrideTheBuiltInItems)
{
    TempDir dir;
    Settings settings(SettingsFile(dir.Path()));
    PutFile(settings.File(), "[User]\r\nRTSW=\"0.3\"\r\nKKHosei.Count=12\r\nKKHosei.11=0\r\nCarHosei.Count=2\r\n");
    EXPECT_EQ(kRtsw.Read(settings), "0.3");
    Strings kk = kKkHosei.Read(settings, DefaultKkHosei());
    ASSERT_EQ(kk.size(), 12u);
    EXPECT_EQ(kk[11], "0");
    EXPECT_EQ(kk[0], DefaultKkHosei()[0]);
    EXPECT_EQ(kCarHosei.Read(settings, DefaultCarHosei()), (Strings{DefaultCarHosei()[0], DefaultCarHosei()[1]}));
}

} // namespace
