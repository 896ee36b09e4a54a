#include "present/DaySummaryTables.h"

#include <array>
#include <span>

#include "present/FieldFormat.h"
#include "present/RaceLabels.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/CodeNames.h"
#include "vocab/RaceTexts.h"
#include "vocab/RacingTerms.h"
#include "vocab/TextHelpers.h"

namespace vornal {
namespace {

// What one summary row is built from.
struct SummaryRow
{
    const RaceDay* Day = nullptr;
    int Slot = 0;
    const RaceSlot* Race = nullptr;
    std::array<const Runner*, 3> Placed{}; // the runners with 確定着順 1, 2 and 3, if any
    // The combination of the "馬連" columns: the first 馬連 result, or the first 枠連 result
    // when the race paid no 馬連 (with eight runners or fewer each bracket holds one horse,
    // so the bracket pair names the same two horses).
    const PairPayout* Pair = nullptr;
    int PairQuinella = 0; // the combination number of the pair's text, 0 when it names none
};

const Runner* RunnerPlaced(const RaceSlot& race, int position)
{
    for (int h = 0; h < race.RunnerCount && h < kRunnerSlots; ++h) {
        if (race.Runners[h].FinishPos == position) {
            return &race.Runners[h];
        }
    }
    return nullptr;
}

const Runner* RunnerByFinalGoalRank(const RaceSlot& race, int rank)
{
    for (int h = 0; h < race.RunnerCount && h < kRunnerSlots; ++h) {
        if (race.Runners[h].RankFinalGoal == rank) {
            return &race.Runners[h];
        }
    }
    return nullptr;
}

SummaryRow MakeRow(const RaceDay& day, int slot)
{
    SummaryRow row;
    row.Day = &day;
    row.Slot = slot;
    row.Race = &day.Races[slot];
    for (int p = 0; p < 3; ++p) {
        row.Placed[p] = RunnerPlaced(*row.Race, p + 1);
    }
    if (row.Race->QuinellaResult[0].Payout != 0) {
        row.Pair = &row.Race->QuinellaResult[0];
    } else if (row.Race->BracketResult[0].Payout != 0) {
        row.Pair = &row.Race->BracketResult[0];
    }
    if (row.Pair != nullptr) {
        row.PairQuinella = QuinellaIndex(row.Pair->Key.View());
    }
    return row;
}

std::string HorseCircle(const Runner& runner)
{
    return CircledNumber(static_cast<int>(LeadingNumber(runner.HorseNo.View())));
}

std::string GradeLabel(std::string_view code)
{
    if (IsBlank(code)) {
        return Sjis("一般");
    }
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kGrades{{
        {"A", "Ｇ１"},
        {"B", "Ｇ２"},
        {"C", "Ｇ３"},
        {"D", "重賞"},
        {"E", "特別"},
        {"F", "JG１"},
        {"G", "JG２"},
        {"H", "JG３"},
    }};
    for (const auto& [grade, text] : kGrades) {
        if (code == grade) {
            return Sjis(text);
        }
    }
    return {};
}

std::string WeightKindLabel(std::string_view code)
{
    static constexpr std::array<std::string_view, 4> kKinds{"ﾊﾝﾃﾞ", "別定", "馬齢", "定量"};
    if (code.size() == 1 && code[0] >= '1' && code[0] <= '4') {
        return Sjis(kKinds[static_cast<std::size_t>(code[0] - '1')]);
    }
    return {};
}

std::string TrackText(const RaceDay& day, int slot)
{
    const RaceSlot& race = day.Races[slot];
    const std::string_view ra = day.RaceRA[slot].View();
    // The turf going is blank or 0 on dirt: the dirt going then describes the race.
    long long going = FieldNumber(ra, 889, 1);
    if (going < 1) {
        going = FieldNumber(ra, 890, 1);
    }
    return TrackLabel(race.TrackCode.View()) + fmt::sprintf("%4lldm", LeadingNumber(race.DistanceText.View())) +
           GoingLabel(static_cast<int>(going));
}

// Columns 0..6 of all four tables.
const Column<SummaryRow> kRaceColumns[] = {
    {{"SlotKey", "場所回日ﾚｰｽNo"}, [](const SummaryRow& r) -> CellValue { return VenueRaceText(*r.Race); }},
    {{"RunnerCount", "頭数", "%2d頭"}, [](const SummaryRow& r) -> CellValue { return r.Race->RunnerCount; }},
    {{"RaceName", "競走名"}, [](const SummaryRow& r) -> CellValue { return r.Race->RaceName.Str(); }},
    {{"GradeCode", "ｸﾞﾚｰﾄﾞ"}, [](const SummaryRow& r) -> CellValue { return GradeLabel(r.Race->GradeCode.View()); }},
    {{"WeightKindCode", "重区"},
     [](const SummaryRow& r) -> CellValue { return WeightKindLabel(r.Race->WeightKindCode.View()); }},
    {{"ConditionCodes", "条件"},
     [](const SummaryRow& r) -> CellValue {
         return RaceKindName(r.Race->RaceKindCode.View()) + ConditionText(r.Race->ConditionCodes[4].View());
     }},
    {{"TrackCode", "ﾄﾗｯｸ"}, [](const SummaryRow& r) -> CellValue { return TrackText(*r.Day, r.Slot); }},
};

// The winner's and runner-up's block of "メイン用" (the first header is the place caption).
const Column<Runner> kMainRunnerColumns[] = {
    {{"HorseNo", ""}, [](const Runner& x) -> CellValue { return HorseCircle(x); }},
    {{"RankAchievement", "順", "%2d"}, [](const Runner& x) -> CellValue { return x.RankAchievement; }},
    {{"AchievementProb", "実績確", "%6.1f"}, [](const Runner& x) -> CellValue { return x.AchievementProb * 100.0; }},
    {{"RankClass", "順", "%2d"}, [](const Runner& x) -> CellValue { return x.RankClass; }},
    {{"ClassValue", "格", "%6.1f"}, [](const Runner& x) -> CellValue { return x.ClassValue; }},
    {{"RankAvgMargin", "順", "%2d"}, [](const Runner& x) -> CellValue { return x.RankAvgMargin; }},
    {{"AvgMargin", "着差", "%6.3f"}, [](const Runner& x) -> CellValue { return x.AvgMargin; }},
    {{"RankRotation", "順", "%2d"}, [](const Runner& x) -> CellValue { return x.RankRotation; }},
    {{"RotationShare", "修正RT", "%6.3f"}, [](const Runner& x) -> CellValue { return x.RotationShare; }},
    {{"RankGoal", "順", "%2d"}, [](const Runner& x) -> CellValue { return x.RankGoal; }},
    {{"GoalMargin", "ｺﾞｰﾙ差", "%6.3f"}, [](const Runner& x) -> CellValue { return x.GoalMargin; }},
    {{"RankFinalGoal", "順", "%2d"}, [](const Runner& x) -> CellValue { return x.RankFinalGoal; }},
    {{"FinalGoalMargin", "最終ｺﾞ", "%6.3f"}, [](const Runner& x) -> CellValue { return x.FinalGoalMargin; }},
};

CellValue WinPayout(const SummaryRow& r)
{
    return r.Race->WinResult[0].Payout;
}

CellValue PairText(const SummaryRow& r)
{
    return r.Pair != nullptr ? CellValue(" " + r.Pair->Key.Str()) : CellValue();
}

CellValue PairPayoutValue(const SummaryRow& r)
{
    return r.Pair != nullptr ? CellValue(r.Pair->Payout) : CellValue();
}

// A value of the runner with 確定着順 position + 1; nothing when there is none.
template <int Position, typename Get> CellValue OfPlaced(const SummaryRow& r, Get get)
{
    const Runner* runner = r.Placed[Position];
    return runner != nullptr ? CellValue(get(*runner)) : CellValue();
}

// Columns 33..46 of "メイン用".
const Column<SummaryRow> kMainTailColumns[] = {
    {{"WinResult", "単配当", "%7d", ShowWhen::Positive}, WinPayout},
    {{"QuinellaResult", "馬連"}, PairText},
    {{"QuinellaResult", "馬連配当", "%8d"}, PairPayoutValue},
    {{"WinRank", "1着R順", "%2d"},
     [](const SummaryRow& r) { return OfPlaced<0>(r, [](const Runner& x) { return x.WinRank; }); }},
    {{"PredictedWinPayout", "単勝配", "%8.0f"},
     [](const SummaryRow& r) { return OfPlaced<0>(r, [](const Runner& x) { return x.PredictedWinPayout; }); }},
    {{"WinRank", "2着R順", "%2d"},
     [](const SummaryRow& r) { return OfPlaced<1>(r, [](const Runner& x) { return x.WinRank; }); }},
    {{"PredictedWinPayout", "単勝配", "%8.0f"},
     [](const SummaryRow& r) { return OfPlaced<1>(r, [](const Runner& x) { return x.PredictedWinPayout; }); }},
    {{"PredictedQuinellaPayout", "馬連予配", "%8.0f", ShowWhen::Positive},
     [](const SummaryRow& r) -> CellValue {
         return r.PairQuinella > 0 ? CellValue(r.Race->PredictedQuinellaPayout[r.PairQuinella]) : CellValue();
     }},
    {{"QuinellaRank", "順", "%3d"},
     [](const SummaryRow& r) -> CellValue {
         return r.PairQuinella > 0 ? CellValue(r.Race->QuinellaRank[r.PairQuinella]) : CellValue();
     }},
    {{"PopularityShare", "占有率", "%5.1f"}, [](const SummaryRow& r) -> CellValue { return r.Race->PopularityShare; }},
    {{"BRank", "B1順", "%2d"},
     [](const SummaryRow& r) { return OfPlaced<0>(r, [](const Runner& x) { return x.BRank; }); }},
    {{"BRank", "B2順", "%2d"},
     [](const SummaryRow& r) { return OfPlaced<1>(r, [](const Runner& x) { return x.BRank; }); }},
    {{"WinPopularity", "単順", "%3d"},
     [](const SummaryRow& r) { return OfPlaced<0>(r, [](const Runner& x) { return x.WinPopularity; }); }},
    {{"QuinellaResult", "連順", "%3d"},
     [](const SummaryRow& r) -> CellValue { return r.Pair != nullptr ? CellValue(r.Pair->Popularity) : CellValue(); }},
};

// Columns 7..12 of "ﾗｯﾌﾟﾀｲﾑ": the past-run statistics of the race.
const Column<SummaryRow> kLapStatisticsColumns[] = {
    {{"RaceMeanWinnerBase", "勝TM", "%6.2f"},
     [](const SummaryRow& r) -> CellValue { return r.Race->RaceMeanWinnerBase; }},
    {{"RaceSdWinnerBase", "勝偏差", "%6.2f"},
     [](const SummaryRow& r) -> CellValue { return r.Race->RaceSdWinnerBase; }},
    {{"RaceMeanFirstPace", "前SP", "%6.2f"},
     [](const SummaryRow& r) -> CellValue { return r.Race->RaceMeanFirstPace; }},
    {{"RaceSdFirstPace", "前偏差", "%6.2f"}, [](const SummaryRow& r) -> CellValue { return r.Race->RaceSdFirstPace; }},
    {{"RaceMeanLast3F", "後SP", "%6.2f"}, [](const SummaryRow& r) -> CellValue { return r.Race->RaceMeanLast3F; }},
    {{"RaceSdLast3F", "後偏差", "%6.2f"}, [](const SummaryRow& r) -> CellValue { return r.Race->RaceSdLast3F; }},
};

// The winner's and runner-up's block of "ﾗｯﾌﾟﾀｲﾑ".
const Column<Runner> kLapTimeRunnerColumns[] = {
    {{"HorseNo", ""}, [](const Runner& x) -> CellValue { return HorseCircle(x); }},
    {{"PastBaseTime", "KTM", "%6.2f"}, [](const Runner& x) -> CellValue { return x.Past[0].PastBaseTime; }},
    {{"RankBaseTime", "順", "%2d"}, [](const Runner& x) -> CellValue { return x.RankBaseTime; }},
    {{"BestBaseTime", "最良TM", "%6.2f"}, [](const Runner& x) -> CellValue { return x.BestBaseTime; }},
    {{"RankBestBaseTime", "順", "%2d"}, [](const Runner& x) -> CellValue { return x.RankBestBaseTime; }},
    {{"RunningStyle", "脚質", "%6.2f"}, [](const Runner& x) -> CellValue { return x.RunningStyle; }},
    {{"RunningStyleRank", "順", "%2d"}, [](const Runner& x) -> CellValue { return x.RunningStyleRank; }},
    {{"OverallMin", "総合min", "%6.2f", ShowWhen::BelowNoValue},
     [](const Runner& x) -> CellValue { return x.OverallMin; }},
    {{"RankOverallMin", "順", "%2d"}, [](const Runner& x) -> CellValue { return x.RankOverallMin; }},
    {{"Last3FOffset", "FT差", "%6.2f"}, [](const Runner& x) -> CellValue { return x.Last3FOffset; }},
    {{"Last3FOffsetRank", "順", "%2d"}, [](const Runner& x) -> CellValue { return x.Last3FOffsetRank; }},
    {{"BestGradeCode", "大局"}, [](const Runner& x) -> CellValue { return x.BestGradeCode.Str(); }},
    {{"RunnerAxisCode", "軸馬ｺｰﾄﾞ"}, [](const Runner& x) -> CellValue { return x.RunnerAxisCode.Str(); }},
};

// Columns 39..55 of "ﾗｯﾌﾟﾀｲﾑ".
const Column<SummaryRow> kLapTimeTailColumns[] = {
    {{"WinResult", "単配当", "%7d", ShowWhen::Positive}, WinPayout},
    {{"QuinellaResult", "馬連"}, PairText},
    {{"QuinellaResult", "馬連配当", "%8d"}, PairPayoutValue},
    {{"RankAbility", "実1順", "%2d", ShowWhen::Positive},
     [](const SummaryRow& r) { return OfPlaced<0>(r, [](const Runner& x) { return x.RankAbility; }); }},
    {{"RankAbility", "実2順", "%2d", ShowWhen::Positive},
     [](const SummaryRow& r) { return OfPlaced<1>(r, [](const Runner& x) { return x.RankAbility; }); }},
    {{"RankAbilityTime", "実T1順", "%2d", ShowWhen::Positive},
     [](const SummaryRow& r) { return OfPlaced<0>(r, [](const Runner& x) { return x.RankAbilityTime; }); }},
    {{"RankAbilityTime", "実T2順", "%2d", ShowWhen::Positive},
     [](const SummaryRow& r) { return OfPlaced<1>(r, [](const Runner& x) { return x.RankAbilityTime; }); }},
    {{"RecordTime", "実TM1", "%6.2f", ShowWhen::BelowNoValue},
     [](const SummaryRow& r) { return OfPlaced<0>(r, [](const Runner& x) { return x.RecordTime; }); }},
    {{"FrontSpeed", "実前1", "%6.2f", ShowWhen::BelowNoValue},
     [](const SummaryRow& r) { return OfPlaced<0>(r, [](const Runner& x) { return x.FrontSpeed; }); }},
    {{"BackSpeed", "実後1", "%6.2f", ShowWhen::BelowNoValue},
     [](const SummaryRow& r) { return OfPlaced<0>(r, [](const Runner& x) { return x.BackSpeed; }); }},
    {{"RecordTime", "実TM2", "%6.2f", ShowWhen::BelowNoValue},
     [](const SummaryRow& r) { return OfPlaced<1>(r, [](const Runner& x) { return x.RecordTime; }); }},
    {{"FrontSpeed", "実前2", "%6.2f", ShowWhen::BelowNoValue},
     [](const SummaryRow& r) { return OfPlaced<1>(r, [](const Runner& x) { return x.FrontSpeed; }); }},
    {{"BackSpeed", "実後2", "%6.2f", ShowWhen::BelowNoValue},
     [](const SummaryRow& r) { return OfPlaced<1>(r, [](const Runner& x) { return x.BackSpeed; }); }},
    {{"Stamina", "ｽﾀﾐﾅ1", "%6.2f", ShowWhen::Positive},
     [](const SummaryRow& r) { return OfPlaced<0>(r, [](const Runner& x) { return x.Stamina; }); }},
    {{"RankStamina", "順", "%2d"},
     [](const SummaryRow& r) { return OfPlaced<0>(r, [](const Runner& x) { return x.RankStamina; }); }},
    {{"Stamina", "ｽﾀﾐﾅ2", "%6.2f", ShowWhen::Positive},
     [](const SummaryRow& r) { return OfPlaced<1>(r, [](const Runner& x) { return x.Stamina; }); }},
    {{"RankStamina", "順", "%2d"},
     [](const SummaryRow& r) { return OfPlaced<1>(r, [](const Runner& x) { return x.RankStamina; }); }},
};

// Columns 7..13 of "ラップ検証表": the sample count and the spreads of the lap analysis.
const Column<SummaryRow> kLapSpreadColumns[] = {
    {{"RaceCountWinnerBase", "S数", "%3d"},
     [](const SummaryRow& r) -> CellValue { return r.Race->RaceCountWinnerBase; }},
    {{"LapSpreadPlus", "勝幅H", "%5.1f"}, [](const SummaryRow& r) -> CellValue { return r.Race->LapSpreadPlus[0]; }},
    {{"LapSpreadMinus", "勝幅L", "%5.1f"}, [](const SummaryRow& r) -> CellValue { return r.Race->LapSpreadMinus[0]; }},
    {{"LapSpreadPlus", "前幅H", "%5.1f"}, [](const SummaryRow& r) -> CellValue { return r.Race->LapSpreadPlus[1]; }},
    {{"LapSpreadMinus", "前幅L", "%5.1f"}, [](const SummaryRow& r) -> CellValue { return r.Race->LapSpreadMinus[1]; }},
    {{"LapSpreadPlus", "後幅H", "%5.1f"}, [](const SummaryRow& r) -> CellValue { return r.Race->LapSpreadPlus[2]; }},
    {{"LapSpreadMinus", "後幅L", "%5.1f"}, [](const SummaryRow& r) -> CellValue { return r.Race->LapSpreadMinus[2]; }},
};

// Each of the first three finishers' block of "ラップ検証表".
const Column<Runner> kLapCheckRunnerColumns[] = {
    {{"AbilityIndex", "実力", "%5.1f", ShowWhen::BelowNoValue},
     [](const Runner& x) -> CellValue { return x.AbilityIndex; }},
    {{"RankAbility", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.RankAbility; }},
    {{"RunningStyle", "脚質", "%5.1f", ShowWhen::BelowNoValue},
     [](const Runner& x) -> CellValue { return x.RunningStyle; }},
    {{"RunningStyleRank", "順", "%2d", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.RunningStyleRank; }},
    {{"Corner4StdDev", "脚偏差", "%5.1f", ShowWhen::BelowNoValue},
     [](const Runner& x) -> CellValue { return x.Corner4StdDev; }},
    {{"RecordTime", "実績TM", "%5.1f", ShowWhen::BelowNoValue},
     [](const Runner& x) -> CellValue { return x.RecordTime; }},
    {{"RankRecordTime", "順", "%2d", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.RankRecordTime; }},
    {{"FrontSpeed", "前半SP", "%5.1f", ShowWhen::BelowNoValue},
     [](const Runner& x) -> CellValue { return x.FrontSpeed; }},
    {{"RankFrontSpeed", "順", "%2d", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.RankFrontSpeed; }},
    {{"BackSpeed", "後半SP", "%5.1f", ShowWhen::BelowNoValue},
     [](const Runner& x) -> CellValue { return x.BackSpeed; }},
    {{"RankBackSpeed", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.RankBackSpeed; }},
    {{"RunnerAxisCode", "軸Code"}, [](const Runner& x) -> CellValue { return x.RunnerAxisCode.Str(); }},
};

// Win and place payouts and popularities: written only for a race that paid a win.
template <int Entry, bool Place, bool Popularity> CellValue Payout(const SummaryRow& r)
{
    if (r.Race->WinResult[0].Payout <= 0) {
        return {};
    }
    const RunnerPayout& entry = Place ? r.Race->PlaceResult[Entry] : r.Race->WinResult[Entry];
    return Popularity ? entry.Popularity : entry.Payout;
}

// Wide and quinella payouts: written only for a race that paid a quinella.
template <int Entry> CellValue WidePayout(const SummaryRow& r)
{
    return r.Race->QuinellaResult[0].Payout > 0 ? CellValue(r.Race->WideResult[Entry].Payout) : CellValue();
}

// Columns 50..62 of "ラップ検証表".
const Column<SummaryRow> kLapCheckTailColumns[] = {
    {{"WinResult", "単勝配", "%7d"}, Payout<0, false, false>},
    {{"WinResult", "人順", "%2d"}, Payout<0, false, true>},
    {{"PlaceResult", "複配1", "%7d"}, Payout<0, true, false>},
    {{"PlaceResult", "人順", "%2d"}, Payout<0, true, true>},
    {{"PlaceResult", "複配2", "%7d"}, Payout<1, true, false>},
    {{"PlaceResult", "人順", "%2d"}, Payout<1, true, true>},
    {{"PlaceResult", "複配3", "%7d"}, Payout<2, true, false>},
    {{"PlaceResult", "人順", "%2d"}, Payout<2, true, true>},
    {{"WideResult", "ﾜｲﾄﾞ1", "%7d"}, WidePayout<0>},
    {{"WideResult", "ﾜｲﾄﾞ2", "%7d"}, WidePayout<1>},
    {{"WideResult", "ﾜｲﾄﾞ3", "%7d"}, WidePayout<2>},
    {{"QuinellaResult", "馬連配", "%8d"},
     [](const SummaryRow& r) -> CellValue {
         return r.Race->QuinellaResult[0].Payout > 0 ? CellValue(r.Race->QuinellaResult[0].Payout) : CellValue();
     }},
    {{"QuinellaResult", "人順", "%3d"},
     [](const SummaryRow& r) -> CellValue {
         return r.Race->QuinellaResult[0].Payout > 0 ? CellValue(r.Race->QuinellaResult[0].Popularity) : CellValue();
     }},
};

// "買い目候補": the post time, then per final-goal rank 1..5 the runner and its figures.
const Column<SummaryRow> kPostTimeColumns[] = {
    {{"PostTime", "発走"},
     [](const SummaryRow& r) -> CellValue {
         const std::string_view hhmm = r.Race->PostTime.View();
         if (IsBlank(hhmm)) {
             return {};
         }
         return Field(hhmm, 1, 2) + ":" + Field(hhmm, 3, 2);
     }},
};

const Column<Runner> kCandidateColumns[] = {
    {{"HorseNo", ""}, [](const Runner& x) -> CellValue { return HorseCircle(x); }},
    {{"AchievementProb", "配当", "%6.0f"}, [](const Runner& x) -> CellValue { return x.AchievementProb * 100.0; }},
    {{"FinalGoalMargin", "着差", "%6.3f"}, [](const Runner& x) -> CellValue { return x.FinalGoalMargin; }},
};

constexpr std::array<std::string_view, 5> kCandidateMarks{"◎", "○", "▲", "△", "⑤"};

int LoadedRaces(const RaceDay& day)
{
    int count = 0;
    for (const RaceSlot& race : day.Races) {
        count += race.RaceLoaded ? 1 : 0;
    }
    return count;
}

// A grid of `columns` with the race columns' headers, one row per loaded race.
CellGrid SummaryGrid(const RaceDay& day, int columns)
{
    CellGrid grid(1 + LoadedRaces(day), columns);
    WriteHeaders<SummaryRow>(grid, kRaceColumns);
    return grid;
}

// Calls `fill` for every race slot with a 開催年, with its row. A slot beyond the counted
// rows (a race record with a year in a slot not marked loaded) gets its row all the same
// rather than being dropped.
template <typename Fill> void ForEachSummaryRow(CellGrid& grid, const RaceDay& day, Fill fill)
{
    for (int s = 0; s < kRaceSlots; ++s) {
        if (!HasMeetingYear(day, s)) {
            continue;
        }
        if (s + 1 >= grid.RowCount()) {
            grid.SetRowCount(s + 2);
        }
        const SummaryRow row = MakeRow(day, s);
        WriteCells<SummaryRow>(grid, s + 1, kRaceColumns, row);
        fill(s + 1, row);
    }
}

// A block of runner columns from column `first`, headed by `caption` in its first column.
void RunnerBlockHeaders(CellGrid& grid, std::span<const Column<Runner>> columns, int first, std::string_view caption)
{
    WriteHeaders<Runner>(grid, columns, first);
    grid.Set(0, first, Sjis(caption));
}

void RunnerBlockCells(CellGrid& grid, int row, std::span<const Column<Runner>> columns, const Runner* runner, int first)
{
    if (runner != nullptr) {
        WriteCells<Runner>(grid, row, columns, *runner, first);
    }
}

constexpr int kFirstOwnColumn = std::size(kRaceColumns);

} // namespace

std::string VenueRaceText(const RaceSlot& race)
{
    return CourseFirstTwo(SlotCourseCode(race)) + MeetingDayText(MeetingNumber(race), MeetingDayNumber(race), false) +
           RaceNumberLabel(RaceNumber(race));
}

CellGrid BuildMainTable(const RaceDay& day)
{
    constexpr int kBlock = std::size(kMainRunnerColumns);
    constexpr int kTail = kFirstOwnColumn + 2 * kBlock;
    CellGrid grid = SummaryGrid(day, kTail + static_cast<int>(std::size(kMainTailColumns)));
    RunnerBlockHeaders(grid, kMainRunnerColumns, kFirstOwnColumn, "1着");
    RunnerBlockHeaders(grid, kMainRunnerColumns, kFirstOwnColumn + kBlock, "2着");
    WriteHeaders<SummaryRow>(grid, kMainTailColumns, kTail);
    ForEachSummaryRow(grid, day, [&](int r, const SummaryRow& row) {
        RunnerBlockCells(grid, r, kMainRunnerColumns, row.Placed[0], kFirstOwnColumn);
        RunnerBlockCells(grid, r, kMainRunnerColumns, row.Placed[1], kFirstOwnColumn + kBlock);
        WriteCells<SummaryRow>(grid, r, kMainTailColumns, row, kTail);
    });
    return grid;
}

CellGrid BuildLapTimeTable(const RaceDay& day)
{
    constexpr int kBlock = std::size(kLapTimeRunnerColumns);
    constexpr int kFirstBlock = kFirstOwnColumn + std::size(kLapStatisticsColumns);
    constexpr int kTail = kFirstBlock + 2 * kBlock;
    CellGrid grid = SummaryGrid(day, kTail + static_cast<int>(std::size(kLapTimeTailColumns)));
    WriteHeaders<SummaryRow>(grid, kLapStatisticsColumns, kFirstOwnColumn);
    RunnerBlockHeaders(grid, kLapTimeRunnerColumns, kFirstBlock, "1着");
    RunnerBlockHeaders(grid, kLapTimeRunnerColumns, kFirstBlock + kBlock, "2着");
    WriteHeaders<SummaryRow>(grid, kLapTimeTailColumns, kTail);
    ForEachSummaryRow(grid, day, [&](int r, const SummaryRow& row) {
        WriteCells<SummaryRow>(grid, r, kLapStatisticsColumns, row, kFirstOwnColumn);
        RunnerBlockCells(grid, r, kLapTimeRunnerColumns, row.Placed[0], kFirstBlock);
        RunnerBlockCells(grid, r, kLapTimeRunnerColumns, row.Placed[1], kFirstBlock + kBlock);
        WriteCells<SummaryRow>(grid, r, kLapTimeTailColumns, row, kTail);
    });
    return grid;
}

CellGrid BuildLapCheckTable(const RaceDay& day)
{
    constexpr int kBlock = std::size(kLapCheckRunnerColumns);
    constexpr int kFirstBlock = kFirstOwnColumn + std::size(kLapSpreadColumns);
    constexpr int kTail = kFirstBlock + 3 * kBlock;
    CellGrid grid = SummaryGrid(day, kTail + static_cast<int>(std::size(kLapCheckTailColumns)));
    WriteHeaders<SummaryRow>(grid, kLapSpreadColumns, kFirstOwnColumn);
    for (int p = 0; p < 3; ++p) {
        WriteHeaders<Runner>(grid, kLapCheckRunnerColumns, kFirstBlock + p * kBlock);
    }
    WriteHeaders<SummaryRow>(grid, kLapCheckTailColumns, kTail);
    ForEachSummaryRow(grid, day, [&](int r, const SummaryRow& row) {
        // Steeplechases and races for unraced horses have no lap figures to check.
        if (WithoutLapFigures(*row.Race)) {
            return;
        }
        WriteCells<SummaryRow>(grid, r, kLapSpreadColumns, row, kFirstOwnColumn);
        for (int p = 0; p < 3; ++p) {
            RunnerBlockCells(grid, r, kLapCheckRunnerColumns, row.Placed[p], kFirstBlock + p * kBlock);
        }
        WriteCells<SummaryRow>(grid, r, kLapCheckTailColumns, row, kTail);
    });
    return grid;
}

CellGrid BuildBetCandidateTable(const RaceDay& day)
{
    constexpr int kFirstBlock = kFirstOwnColumn + std::size(kPostTimeColumns);
    // The best runner shows no margin: it is the one the others are measured against.
    constexpr int kFirstWidth = 2;
    constexpr int kWidth = std::size(kCandidateColumns);
    auto blockStart = [](int rank) { return kFirstBlock + (rank == 1 ? 0 : kFirstWidth + (rank - 2) * kWidth); };
    CellGrid grid = SummaryGrid(day, blockStart(5) + kWidth);
    WriteHeaders<SummaryRow>(grid, kPostTimeColumns, kFirstOwnColumn);
    for (int rank = 1; rank <= 5; ++rank) {
        const std::string& mark = Sjis(kCandidateMarks[static_cast<std::size_t>(rank - 1)]);
        const int width = rank == 1 ? kFirstWidth : kWidth;
        for (int i = 0; i < width; ++i) {
            grid.Set(0, blockStart(rank) + i, mark + HeaderText(kCandidateColumns[i].Field));
        }
    }
    ForEachSummaryRow(grid, day, [&](int r, const SummaryRow& row) {
        WriteCells<SummaryRow>(grid, r, kPostTimeColumns, row, kFirstOwnColumn);
        for (int rank = 1; rank <= 5; ++rank) {
            const Runner* runner = RunnerByFinalGoalRank(*row.Race, rank);
            const std::span<const Column<Runner>> columns(kCandidateColumns, rank == 1 ? kFirstWidth : kWidth);
            RunnerBlockCells(grid, r, columns, runner, blockStart(rank));
        }
    });
    return grid;
}

std::vector<FieldFormat> DayTableFields(std::string_view table)
{
    std::vector<FieldFormat> fields;
    auto add = [&fields](const auto& columns) {
        for (const auto& column : columns) {
            fields.push_back(column.Field);
        }
    };
    if (table == "main") {
        add(kRaceColumns); add(kMainRunnerColumns); add(kMainTailColumns);
    } else if (table == "laptime") {
        add(kRaceColumns); add(kLapStatisticsColumns); add(kLapTimeRunnerColumns); add(kLapTimeTailColumns);
    } else if (table == "lapcheck") {
        add(kRaceColumns); add(kLapSpreadColumns); add(kLapCheckRunnerColumns); add(kLapCheckTailColumns);
    } else if (table == "candidates") {
        add(kRaceColumns); add(kPostTimeColumns); add(kCandidateColumns);
    }
    return fields;
}

} // namespace vornal
