#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/AppDir.h"
#include "app/SettingKeys.h"
#include "app/TempDir.h"
#include "betting/BetMethod.h"
#include "betting/UserSetFile.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

using Fields = std::vector<std::string>;

TEST(SplitCommaText, BlanksSeparateQuotesProtectEmptyFieldsCount)
{
    EXPECT_EQ(SplitCommaText(" 1,,a b,\"x,y\",\"q\"\"q\","), (Fields{"1", "", "a", "b", "x,y", "q\"q", ""}));
    EXPECT_EQ(SplitCommaText(Sjis("ソ,表")), (Fields{Sjis("ソ"), Sjis("表")}));
    EXPECT_TRUE(SplitCommaText("  ").empty());
}

UserRuleSet TurfOnly()
{
    UserRuleSet set;
    set.name = "A";
    set.turf.win = {Sjis("実績確率"), 1};
    set.turf.pairs[0] = {{Sjis("格"), 2}, {Sjis("脚質"), 10}};
    set.turf.runnersFrom = 10;
    set.turf.runnersTo = 16;
    set.turf.distanceFrom = 1200;
    set.turf.distanceTo = 2400;
    set.dirt.runnersFrom = 5;
    set.dirt.runnersTo = 18;
    return set;
}

TEST(UserRuleSetLine, FieldsAreWrittenAsTheWindowShowsThem)
{
    std::string line = UserRuleSetLine(TurfOnly());
    EXPECT_EQ(line, "A," + Sjis("実績確率") + ", 1,,," + Sjis("格") + ", 2," + Sjis("脚質") + ",10" +
                        std::string(20, ',') + ",10,16,1200,2400, 5,18,1000,3000");
    EXPECT_EQ(UserRuleSetFromFields(SplitCommaText(line)), TurfOnly());

    // A hand-edited line: an unknown rating, rank 25 and 3 runners show as empty inputs.
    UserRuleSet edited =
        *UserRuleSetFromFields(SplitCommaText("X,?,7,," + std::string(24, ',') + ",3,25,900,1100,,,1000,3000"));
    EXPECT_EQ(edited.turf.win, (RatingRank{"?", 7}));
    EXPECT_EQ(edited.turf.runnersTo, 25);
    UserRuleSet shown = AsShownInWindow(edited);
    EXPECT_EQ(shown.turf.win, (RatingRank{"", 7}));
    EXPECT_EQ(shown.turf.runnersFrom, 0);
    EXPECT_EQ(shown.turf.runnersTo, 0);
    EXPECT_EQ(shown.turf.distanceFrom, 900);
}

TEST(ValidateUserRuleSet, ChecksInTheWindowsOrder)
{
    UserRuleSet set = TurfOnly();
    set.turf.win.rank = 0;
    set.dirt.win = {"", 3};
    set.turf.pairs[0].second = set.turf.pairs[0].first; // the same member twice
    set.turf.pairs[1] = {{Sjis("格"), 1}, {Sjis("格"), 0}};
    set.turf.pairs[2] = {{Sjis("格"), 1}, {Sjis("実力"), 19}};
    set.dirt.pairs[0] = {{"x", 1}, {Sjis("格"), 2}};
    set.dirt.pairs[1] = {{"", 0}, {Sjis("格"), 2}};
    set.dirt.pairs[2] = {{Sjis("格"), 2}, {Sjis("格"), 2}};
    set.name = "  ";
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"単勝・芝の入力が不正です。", [&] { set.turf.win.rank = 1; }},
        {"単勝・ダートの入力が不正です。", [&] { set.dirt.win = {}; }},
        {"芝１点目の入力が不正です。", [&] { set.turf.pairs[0].second.rank = 3; }},
        {"芝２点目の入力が不正です。", [&] { set.turf.pairs[1] = {}; }},
        {"芝３点目の入力が不正です。", [&] { set.turf.pairs[2].second.rank = 18; }},
        {"ﾀﾞｰﾄ１点目の入力が不正です。", [&] { set.dirt.pairs[0].first.rating = Sjis("FT差"); }},
        {"ﾀﾞｰﾄ２点目の入力が不正です。", [&] { set.dirt.pairs[1] = {}; }},
        {"ﾀﾞｰﾄ３点目の入力が不正です。", [&] { set.dirt.pairs[2].first.rank = 1; }},
        {"設定名を入力してくだい。", [&] { set.name = " a,b "; }},
        {"設定名に使えない文字が含まれています。", [&] { set.name = Sjis("ソソソソソ"); }},
        {"設定名は8バイト（全角4文字）以内で入力してください。", [&] { set.name = Sjis(" ソポソポ "); }},
    };
    for (const auto& [message, fix] : steps) {
        EXPECT_EQ(ValidateUserRuleSet(set), Sjis(message)) << message;
        fix();
    }
    EXPECT_EQ(ValidateUserRuleSet(set), "") << "trail bytes 0x5C and 0x7C are not \\ and |";
    for (const char* name : {"a/b", "a\"b", "x:y", "a b"}) {
        EXPECT_NE(SetNameProblem(name), "") << name;
    }
    EXPECT_NE(SetNameProblem("\x82,"), "");
}

// Empty runner counts (0..0) or no filled rule on either surface: the set bets in no race.
TEST(ValidateUserRuleSet, RefusesASetThatCanNeverBet)
{
    const std::string never = Sjis(kNeverBetsMessage);
    UserRuleSet set = TurfOnly();
    set.turf.runnersFrom = 0;
    set.turf.runnersTo = 0;
    EXPECT_EQ(ValidateUserRuleSet(set), never) << "the dirt range alone bets on no dirt rule";
    set.dirt.pairs[1] = {{Sjis("格"), 1}, {Sjis("実力"), 1}};
    EXPECT_EQ(ValidateUserRuleSet(set), "");
    set.dirt.runnersFrom = 0;
    set.dirt.runnersTo = 0;
    EXPECT_EQ(ValidateUserRuleSet(set), never);
    set.turf.runnersFrom = 18;
    EXPECT_EQ(ValidateUserRuleSet(set), "") << "a range the wrong way round still bets";

    UserRuleSet empty;
    empty.name = "E";
    empty.turf.runnersFrom = empty.dirt.runnersFrom = 5;
    empty.turf.runnersTo = empty.dirt.runnersTo = 18;
    EXPECT_EQ(ValidateUserRuleSet(empty), never);
}

class UserSetFileTest : public ::testing::Test
{
protected:
    TempDir dir;
    std::filesystem::path file = UserSetPath(dir.Path());
    static bool Yes(const std::string&) { return true; }
};

TEST_F(UserSetFileTest, BadLinesAreReportedSkippedAndKept)
{
    UserRuleSet c = TurfOnly();
    c.name = "C";
    const std::string shortLine = "B" + std::string(35, ','); // 36 fields
    const std::string badBytes = "D\x82," + UserRuleSetLine(c).substr(2);
    const std::string quotedName = "\"a/b\"" + UserRuleSetLine(c).substr(1);
    PutFile(file, UserRuleSetLine(TurfOnly()) + "\r\n" + shortLine + "\r\n" + badBytes + "\r\n" + UserRuleSetLine(c) +
                      "\r\n" + quotedName + "\r\n");
    UserSetFile sets = LoadUserSets(dir.Path());
    EXPECT_EQ(sets.SetLines(), (std::vector<int>{0, 3}));
    ASSERT_EQ(sets.problems.size(), 3u);
    EXPECT_NE(sets.problems[0].find(Sjis(" 2 行目")), std::string::npos) << ToUtf8(sets.problems[0]);
    EXPECT_NE(sets.problems[1].find(Sjis(" 3 行目")), std::string::npos) << ToUtf8(sets.problems[1]);
    EXPECT_NE(sets.problems[2].find(Sjis(" 5 行目")), std::string::npos) << "a quoted name with a slash";
    ASSERT_NE(sets.SetAt(3), nullptr);
    EXPECT_EQ(sets.SetAt(3)->name, "C");

    UserRuleSet e = TurfOnly();
    e.name = " E ";
    e.dirt.distanceFrom = 800;
    UserSetResult saved = SaveUserSet(sets, e, Yes);
    EXPECT_EQ(saved.outcome, UserSetOutcome::Saved);
    EXPECT_EQ(saved.message, Sjis("設定[E]を保存しました。"));
    EXPECT_EQ(saved.shownLine, 5);
    std::string bytes = GetFile(file);
    EXPECT_NE(bytes.find("\r\n" + shortLine + "\r\n" + badBytes + "\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nE,"), std::string::npos);
    EXPECT_EQ(LoadUserSets(dir.Path()).SetAt(5)->dirt.distanceFrom, 1000);
}

TEST_F(UserSetFileTest, OverwritingAsksAndNoLeavesTheFile)
{
    UserSetFile sets = LoadUserSets(dir.Path());
    EXPECT_TRUE(sets.readable && sets.lines.empty());
    ASSERT_EQ(SaveUserSet(sets, TurfOnly(), Yes).outcome, UserSetOutcome::Saved);
    UserRuleSet b = TurfOnly();
    b.name = "B";
    ASSERT_EQ(SaveUserSet(sets, b, Yes).outcome, UserSetOutcome::Saved);
    const std::string before = GetFile(file);

    UserRuleSet changed = TurfOnly();
    changed.turf.win.rank = 7;
    std::string asked;
    UserSetResult no = SaveUserSet(sets, changed, [&](const std::string& q) {
        asked = q;
        return false;
    });
    EXPECT_EQ(no.outcome, UserSetOutcome::Declined);
    EXPECT_EQ(asked, Sjis("[A]はすでに登録済みの名称です。上書きしますか?"));
    EXPECT_EQ(GetFile(file), before);

    UserSetResult yes = SaveUserSet(sets, changed, Yes);
    EXPECT_EQ(yes.outcome, UserSetOutcome::Overwritten);
    EXPECT_EQ(yes.message, Sjis("設定[A]を上書保存しました。"));
    EXPECT_EQ(yes.shownLine, 1) << "the window shows the last set after saving";
    EXPECT_EQ(LoadUserSets(dir.Path()).SetAt(0)->turf.win.rank, 7);

    UserSetResult deleted = DeleteUserSet(sets, 0, [&](const std::string& q) {
        asked = q;
        return true;
    });
    EXPECT_EQ(asked, Sjis("A を削除しますか?"));
    EXPECT_EQ(deleted.outcome, UserSetOutcome::Deleted);
    EXPECT_EQ(GetFile(file), UserRuleSetLine(b) + "\r\n");
    ASSERT_EQ(DeleteUserSet(sets, 0, Yes).outcome, UserSetOutcome::Deleted);
    EXPECT_EQ(DeleteUserSet(sets, 0, Yes).message, Sjis("削除項目がありません。"));
}

TEST_F(UserSetFileTest, NothingIsWrittenForAnInvalidSetOrAnUnreadableFile)
{
    UserSetFile sets = LoadUserSets(dir.Path());
    UserRuleSet set = TurfOnly();
    set.name = "a,b";
    EXPECT_EQ(SaveUserSet(sets, set, Yes).outcome, UserSetOutcome::Invalid);
    EXPECT_FALSE(std::filesystem::exists(file));

    // A file that exists but cannot be read must not be replaced by a list of one set.
    std::filesystem::create_directory(file);
    sets = LoadUserSets(dir.Path());
    EXPECT_FALSE(sets.readable);
    EXPECT_EQ(sets.problems.size(), 1u);
    UserSetResult result = SaveUserSet(sets, TurfOnly(), Yes);
    EXPECT_EQ(result.outcome, UserSetOutcome::Failed);
    EXPECT_FALSE(result.message.empty());
    EXPECT_TRUE(std::filesystem::is_directory(file));
}

TEST_F(UserSetFileTest, SettingsChooseTheMethodAndPriorityNeedsTheMarker)
{
    Settings settings(SettingsFile(dir.Path()));
    UserRuleSet b = TurfOnly();
    b.name = "B";
    PutFile(file, UserRuleSetLine(TurfOnly()) + "\r\n" + UserRuleSetLine(b) + "\r\n");
    ASSERT_TRUE(kBettingSet.Write(settings, 3));
    ASSERT_TRUE(kUserBettingSetId.Write(settings, 1));
    BetMethodChoice user = ReadPipelineBetMethod(dir.Path(), settings);
    EXPECT_EQ(user.method.kind, BetMethodKind::User);
    EXPECT_EQ(BetMethodLabel(user.method), Sjis("ﾕｰｻﾞｰ指定:B"));
    ASSERT_TRUE(kUserBettingSetId.Write(settings, 2));
    EXPECT_FALSE(ReadSelectedBetMethod(dir.Path(), settings).method.userSet) << "SetID names no line";

    ASSERT_TRUE(kBettingSet.Write(settings, 2));
    ASSERT_TRUE(kDeveloperBettingSet.Write(settings, 2));
    ASSERT_TRUE(kDeveloperBetsFirst.Write(settings, true));
    EXPECT_EQ(ReadPipelineBetMethod(dir.Path(), settings).method.kind, BetMethodKind::No2);
    PutFile(dir / kDeveloperMarkerFile, "");
    EXPECT_EQ(ReadPipelineBetMethod(dir.Path(), settings).method.kind, BetMethodKind::Developer2);
    EXPECT_EQ(BetMethodLabel(ReadSelectedBetMethod(dir.Path(), settings).method), "No2");
    ASSERT_TRUE(kDeveloperBetsFirst.Write(settings, false));
    ASSERT_TRUE(kBettingSet.Write(settings, 7));
    EXPECT_EQ(ReadPipelineBetMethod(dir.Path(), settings).method.kind, BetMethodKind::No1);
}

} // namespace
} // namespace vornal

namespace vornal {
namespace {

// Every kind goes by a distinct command-line name that reads back to it, and by a distinct
// caption; a season run or a backtest named by one face is the same method in the other.
TEST(BetMethodNames, EachKindRoundTripsAndTheNamesDiffer)
{
    const BetMethodKind kinds[] = {BetMethodKind::No1,        BetMethodKind::No2,        BetMethodKind::User,
                                   BetMethodKind::Developer1, BetMethodKind::Developer2, BetMethodKind::Developer3};
    std::set<std::string_view> names;
    std::set<std::string> captions;
    for (BetMethodKind kind : kinds) {
        EXPECT_EQ(BetMethodOfName(BetMethodName(kind)), kind);
        names.insert(BetMethodName(kind));
        captions.insert(BetMethodCaption(kind));
    }
    EXPECT_EQ(names.size(), std::size(kinds));
    EXPECT_EQ(captions.size(), std::size(kinds));
    EXPECT_EQ(BetMethodName(BetMethodKind::Developer1), "sp1");
    EXPECT_EQ(BetMethodCaption(BetMethodKind::User), Sjis("ﾕｰｻﾞｰ指定"));
    EXPECT_FALSE(BetMethodOfName("No1"));
    EXPECT_FALSE(BetMethodOfName(""));
    EXPECT_EQ(BetMethodSheetMark(BetMethodKind::Developer1), Sjis("【開発/買い目1】"));
    EXPECT_EQ(BetMethodSheetMark(BetMethodKind::User), "");
}

} // namespace
} // namespace vornal
