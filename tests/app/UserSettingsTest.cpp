#include "app/UserSettings.h"

#include <string>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "app/AppDir.h"
#include "app/TuningTables.h"
#include "text/Encoding.h"

using namespace vornal;

namespace {

class UserSettingsTest : public ::testing::Test
{
protected:
    Settings Ini() const { return Settings(SettingsFile(m_dir.Path())); }
    void Put(const std::string& userSection) const
    {
        PutFile(SettingsFile(m_dir.Path()), "[Other]\r\nRTSW=9\r\n[User]\r\n" + userSection);
    }
    UserSettings Read() const
    {
        Result<UserSettings> result = ReadUserSettings(Ini());
        EXPECT_TRUE(result) << ToUtf8(result.message());
        return result.value;
    }

    TempDir m_dir;
};

bool Mentions(const std::string& message, const std::string& part)
{
    return message.find(part) != std::string::npos;
}

// ---- defaults ----

TEST_F(UserSettingsTest, EmptySectionGivesTheBuiltInValues)
{
    Put("");
    UserSettings s = Read();
    EXPECT_DOUBLE_EQ(s.Rtsw, 0.26);
    const double career[] = {1.2, 0.3, 0.0, 0.0};
    for (int runs = 0; runs < 4; ++runs) {
        UserNumber adj = s.CareerAdj(runs);
        ASSERT_TRUE(adj) << runs;
        EXPECT_DOUBLE_EQ(adj.value, career[runs]);
    }
    const double kk[] = {-1.457, -1.526, -1.426, -1.421, -1.384, -1.452,
                         -1.558, -1.409, -1.407, -1.503, -1.232, -1.392};
    for (int f = 0; f < 12; ++f) {
        UserNumber coefficient = s.JockeyTrainerCoefficient(f);
        ASSERT_TRUE(coefficient) << f;
        EXPECT_DOUBLE_EQ(coefficient.value, kk[f]);
    }
    // 8 runners take item 1, 18 runners item 11.
    EXPECT_DOUBLE_EQ(s.JockeyTrainerCoefficient(FieldSizeIndex(8)).value, -1.526);
    EXPECT_DOUBLE_EQ(s.JockeyTrainerCoefficient(FieldSizeIndex(18)).value, -1.392);
    // The defaults are not written back.
    EXPECT_EQ(GetFile(SettingsFile(m_dir.Path())), "[Other]\r\nRTSW=9\r\n[User]\r\n");
}

TEST_F(UserSettingsTest, NoFileAndZeroCountsGiveTheBuiltInLists)
{
    UserSettings none = Read();
    EXPECT_DOUBLE_EQ(none.Rtsw, 0.26);
    EXPECT_EQ(none.KKHosei.size(), 12u);

    Put("CarHosei.Count=0\r\nCarHosei.0=5\r\nKKHosei.Count=0\r\n");
    UserSettings zero = Read();
    EXPECT_DOUBLE_EQ(zero.CareerAdj(0).value, 1.2);
    EXPECT_DOUBLE_EQ(zero.JockeyTrainerCoefficient(11).value, -1.392);
}

TEST_F(UserSettingsTest, FourOrFiveRunsHaveNoCareerAdjustment)
{
    Put("CarHosei.Count=4\r\nCarHosei.0=2\r\nCarHosei.1=1\r\nCarHosei.2=0.5\r\nCarHosei.3=0.25\r\n");
    UserSettings s = Read();
    EXPECT_DOUBLE_EQ(s.CareerAdj(3).value, 0.25);
    for (int runs : {4, 5}) {
        UserNumber adj = s.CareerAdj(runs);
        EXPECT_TRUE(adj);
        EXPECT_EQ(adj.value, 0.0);
    }
}

// ---- values edited by hand ----

TEST_F(UserSettingsTest, EditedValuesReplaceTheBuiltIns)
{
    Put("RTSW=\"0.5\"\r\nCarHosei.Count=4\r\nCarHosei.0=0\r\nCarHosei.1=0\r\nCarHosei.2=0\r\nCarHosei.3=0\r\n"
        "KKHosei.Count=12\r\n"
        "KKHosei.0=0\r\nKKHosei.1=0\r\nKKHosei.2=0\r\nKKHosei.3=0\r\nKKHosei.4=0\r\nKKHosei.5=0\r\n"
        "KKHosei.6=0\r\nKKHosei.7=0\r\nKKHosei.8=0\r\nKKHosei.9=0\r\nKKHosei.10=0\r\nKKHosei.11=\xA2-2.5\xA3\r\n");
    UserSettings s = Read();
    EXPECT_DOUBLE_EQ(s.Rtsw, 0.5);
    EXPECT_EQ(s.CareerAdj(0).value, 0.0);
    EXPECT_EQ(s.JockeyTrainerCoefficient(0).value, 0.0);
    EXPECT_DOUBLE_EQ(s.JockeyTrainerCoefficient(11).value, -2.5);
}

TEST_F(UserSettingsTest, SettingsAreReadAfreshEachTime)
{
    Put("RTSW=0.26\r\n");
    EXPECT_DOUBLE_EQ(Read().Rtsw, 0.26);
    Put("RTSW=0.3\r\n");
    EXPECT_DOUBLE_EQ(Read().Rtsw, 0.3);
}

// ---- malformed values ----

TEST_F(UserSettingsTest, MalformedRtswIsAnErrorNamingTheKey)
{
    for (const char* bad : {"abc", "", "0.2.6", "1e-1", "0,26"}) {
        Put(std::string("RTSW=") + bad + "\r\n");
        Result<UserSettings> result = ReadUserSettings(Ini());
        EXPECT_FALSE(result) << bad;
        EXPECT_TRUE(Mentions(result.message(), "RTSW")) << ToUtf8(result.message());
        EXPECT_TRUE(Mentions(result.message(), std::string("\"") + bad + "\"")) << ToUtf8(result.message());
    }
    // "0" is a number; what a zero divisor means is the rating pass's concern.
    Put("RTSW=0\r\n");
    EXPECT_EQ(Read().Rtsw, 0.0);
}

// A negative RTSW would turn every order by the final goal margin over, and a coefficient of
// 50 would drown every other term: both stop the pass with section, key and value named.
TEST_F(UserSettingsTest, ValuesOutOfTheirRangeStopThePass)
{
    Put("RTSW=-0.26\r\n");
    Result<UserSettings> negative = ReadUserSettings(Ini());
    EXPECT_FALSE(negative);
    EXPECT_TRUE(Mentions(negative.message(), "[User] RTSW")) << ToUtf8(negative.message());
    EXPECT_TRUE(Mentions(negative.message(), "\"-0.26\"")) << ToUtf8(negative.message());

    Put("CarHosei.Count=4\r\nCarHosei.0=1.2\r\nCarHosei.1=30\r\nCarHosei.2=-10\r\nCarHosei.3=0\r\n");
    UserSettings s = Read();
    EXPECT_TRUE(s.CareerAdj(0));
    EXPECT_TRUE(s.CareerAdj(2)) << "the bound itself is inside";
    UserNumber far = s.CareerAdj(1);
    EXPECT_FALSE(far);
    EXPECT_TRUE(Mentions(far.message(), "CarHosei.1")) << ToUtf8(far.message());
}

TEST_F(UserSettingsTest, ShortListFailsOnlyWhenAMissingItemIsNeeded)
{
    Put("KKHosei.Count=5\r\nKKHosei.0=-1\r\nKKHosei.1=-1\r\nKKHosei.2=-1\r\nKKHosei.3=-1\r\nKKHosei.4=-1.25\r\n"
        "CarHosei.Count=2\r\nCarHosei.0=1\r\nCarHosei.1=0.5\r\n");
    UserSettings s = Read();
    EXPECT_DOUBLE_EQ(s.JockeyTrainerCoefficient(4).value, -1.25);
    UserNumber beyond = s.JockeyTrainerCoefficient(FieldSizeIndex(16));
    EXPECT_FALSE(beyond);
    EXPECT_TRUE(Mentions(beyond.message(), "KKHosei")) << ToUtf8(beyond.message());

    EXPECT_DOUBLE_EQ(s.CareerAdj(1).value, 0.5);
    UserNumber career = s.CareerAdj(2);
    EXPECT_FALSE(career);
    EXPECT_TRUE(Mentions(career.message(), "CarHosei")) << ToUtf8(career.message());
    // Runners with four or more runs never ask for an item.
    EXPECT_TRUE(s.CareerAdj(4));
}

TEST_F(UserSettingsTest, BadOrMissingItemIsAConversionErrorWhenUsed)
{
    // A count of 4 with item 2 absent: the missing item reads as an empty text.
    Put("CarHosei.Count=4\r\nCarHosei.0=1\r\nCarHosei.1=x1\r\nCarHosei.3=0\r\n");
    UserSettings s = Read();
    EXPECT_TRUE(s.CareerAdj(0));
    EXPECT_TRUE(s.CareerAdj(3));
    UserNumber bad = s.CareerAdj(1);
    EXPECT_FALSE(bad);
    EXPECT_TRUE(Mentions(bad.message(), "CarHosei.1")) << ToUtf8(bad.message());
    EXPECT_TRUE(Mentions(bad.message(), "\"x1\""));
    UserNumber missing = s.CareerAdj(2);
    EXPECT_FALSE(missing);
    EXPECT_TRUE(Mentions(missing.message(), "CarHosei.2")) << ToUtf8(missing.message());
}

} // namespace
