#include "present/RaceViewTables.h"

#include <array>
#include <span>

#include "present/CardCells.h"
#include "present/FieldFormat.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/CodeNames.h"
#include "vocab/RacingTerms.h"
#include "vocab/TextHelpers.h"

namespace vornal {
namespace {

// The full-width blank of the prepared data cells.
const std::string& WideBlank()
{
    return Sjis("　");
}

int Runners(const RaceSlot& race)
{
    return race.RunnerCount < 0 ? 0 : (race.RunnerCount > kRunnerSlots ? kRunnerSlots : race.RunnerCount);
}

// One row of the past-run table: a runner and one of its past runs, or no run for the row of
// a runner without any.
struct PastRow
{
    const Runner* Horse = nullptr;
    const PastRun* Run = nullptr;
};

// A value of the row's past run; nothing on the row of a runner without runs.
template <typename Get> CellValue OfRun(const PastRow& row, Get get)
{
    return row.Run != nullptr ? CellValue(get(*row.Run)) : CellValue();
}

std::string RunDate(const PastRun& run)
{
    const std::string_view key = run.PastRunKey.View();
    if (IsBlank(key)) {
        return {};
    }
    return Field(key, 1, 4) + "." + Field(key, 5, 2) + "." + Field(key, 7, 2);
}

CellValue RunGround(const PastRun& run)
{
    const std::string_view track = run.PastTrack.View();
    if (IsBlank(track)) {
        return std::string();
    }
    std::string text = PastRunGroundMark(track);
    const std::string_view going = run.PastGoing.View();
    if (going == "1") {
        text += Sjis("良");
    } else if (going == "2") {
        text += Sjis("稍重");
    } else if (going == "3") {
        text += Sjis("重");
    } else if (going == "4") {
        text += Sjis("不良");
    } else {
        text += "  ";
    }
    return text;
}

std::string Corners(const PastRun& run)
{
    std::string text;
    for (int position : run.PastCorner) {
        text += fmt::sprintf("%3d", position);
    }
    return text;
}

const Column<PastRow> kPastRunColumns[] = {
    {{"", "順"}, [](const PastRow&) -> CellValue { return {}; }},
    {{"FrameNo", "枠"}, [](const PastRow& r) -> CellValue { return " " + r.Horse->FrameNo.Str(); }},
    {{"HorseNo", "馬"}, [](const PastRow& r) -> CellValue { return r.Horse->HorseNo.Str(); }},
    {{"HorseName", "馬名"}, [](const PastRow& r) -> CellValue { return r.Horse->HorseName.Str(); }},
    {{"ClassValue", "格", "%8.0f"}, [](const PastRow& r) -> CellValue { return r.Horse->ClassValue; }},
    {{"TotalStarts", "出走", "%4d"}, [](const PastRow& r) -> CellValue { return r.Horse->TotalStarts; }},
    // A run slot without a record (every runner has five) shows an empty date, not the "　"
    // of the table: "　" sorts after the digits and would put those rows before the newest
    // run in the "馬番" order, date descending.
    {{"PastRunKey", "年月日"},
     [](const PastRow& r) -> CellValue {
         if (r.Run == nullptr) {
             return {};
         }
         return RunDate(*r.Run);
     }},
    {{"PastCondition", "クラス"},
     [](const PastRow& r) {
         return OfRun(r, [](const PastRun& p) { return ConditionClassName(p.PastCondition.View()); });
     }},
    {{"PastGrade", "ｸﾞﾚｰﾄﾞ"},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return GradeMark(p.PastGrade.View()); }); }},
    {{"PastRunKey", "開催"},
     [](const PastRow& r) {
         return OfRun(r,
                      [](const PastRun& p) { return CourseName(Field(p.PastRunKey.View(), 9, 2), CourseForm::Short); });
     }},
    {{"PastTrack", "馬場"},
     [](const PastRow& r) -> CellValue { return r.Run != nullptr ? RunGround(*r.Run) : CellValue(); }},
    {{"PastPlace", "着順", "%3d", ShowWhen::Positive},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.PastPlace; }); }},
    // The apostrophe keeps a spreadsheet from reading "-003" as a number.
    {{"PastTimeDiff", "着差"},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return "'" + p.PastTimeDiff.Str(); }); }},
    {{"PastDistance", "距離", "%4d", ShowWhen::Positive},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.PastDistance; }); }},
    {{"PastTime", "タイム"},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.PastTime.Str(); }); }},
    {{"PastLast3F", "3F"},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.PastLast3F.Str(); }); }},
    {{"PastBaseTime", "基準TM", "%6.1f", ShowWhen::Positive},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.PastBaseTime; }); }},
    {{"PastCorner", "展開"}, [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return Corners(p); }); }},
    {{"RunningStyle", "脚質", "%5.1f"}, [](const PastRow& r) -> CellValue { return r.Horse->RunningStyle; }},
    {{"Corner4StdDev", "偏差", "%5.1f"}, [](const PastRow& r) -> CellValue { return r.Horse->Corner4StdDev; }},
    {{"BestBaseTime", "最良TM", "%6.1f", ShowWhen::Positive},
     [](const PastRow& r) -> CellValue { return r.Horse->BestBaseTime; }},
    {{"RankBestBaseTime", "順", "%2d"}, [](const PastRow& r) -> CellValue { return r.Horse->RankBestBaseTime; }},
    {{"PastWinnerFirstPace", "前半SP", "%6.1f", ShowWhen::Positive},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.PastWinnerFirstPace; }); }},
    {{"PastFirstPaceGap", "偏差", "%6.1f", ShowWhen::BelowNoValue},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.PastFirstPaceGap; }); }},
    {{"PastAdjLast3F", "後半SP", "%6.1f", ShowWhen::Positive},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.PastAdjLast3F; }); }},
    {{"PastLast3FGap", "偏差", "%6.1f", ShowWhen::BelowNoValue},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.PastLast3FGap; }); }},
    {{"OverallMin", "総合min", "%6.1f", ShowWhen::BelowNoValue},
     [](const PastRow& r) -> CellValue { return r.Horse->OverallMin; }},
    {{"RankOverallMin", "順", "%2d"}, [](const PastRow& r) -> CellValue { return r.Horse->RankOverallMin; }},
    {{"Last3FOffset", "FT差", "%6.1f"}, [](const PastRow& r) -> CellValue { return r.Horse->Last3FOffset; }},
    {{"PastGradeCode", "大局"},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.PastGradeCode.Str(); }); }},
    {{"AbilityIndex", "実力指数", "%6.1f", ShowWhen::Positive},
     [](const PastRow& r) -> CellValue { return r.Horse->AbilityIndex; }},
    {{"RankAbility", "順", "%2d", ShowWhen::Positive},
     [](const PastRow& r) -> CellValue { return r.Horse->RankAbility; }},
    {{"RIndex", "R指数", "%6.1f", ShowWhen::Positive},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.RIndex; }); }},
    {{"RIndexRank", "順", "%2d", ShowWhen::Positive},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.RIndexRank; }); }},
    {{"RTime", "RTM", "%6.1f", ShowWhen::Positive},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.RTime; }); }},
    {{"RTimeRank", "順", "%2d", ShowWhen::Positive},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.RTimeRank; }); }},
    {{"AbilityDeviation", "偏差値", "%6.1f", ShowWhen::Positive},
     [](const PastRow& r) -> CellValue { return r.Horse->AbilityDeviation; }},
    {{"Stamina", "スタミナ", "%6.1f", ShowWhen::Positive},
     [](const PastRow& r) -> CellValue { return r.Horse->Stamina; }},
    {{"RankStamina", "順", "%2d", ShowWhen::Positive},
     [](const PastRow& r) -> CellValue { return r.Horse->RankStamina; }},
    {{"PastAxisCode", "軸Code"},
     [](const PastRow& r) { return OfRun(r, [](const PastRun& p) { return p.PastAxisCode.Str(); }); }},
};

// Columns of the past-run table that start empty rather than "　".
constexpr std::array kEmptiedPastRunColumns{16, 20, 29, 31, 33};
constexpr int kPastRunHorseColumn = 2;

CellValue Text(std::string_view text)
{
    return std::string(text);
}

const Column<Runner> kLapCardColumns[] = {
    {{"FrameNo", "枠"}, [](const Runner& x) { return Text(x.FrameNo); }},
    {{"HorseNo", "馬"}, [](const Runner& x) { return Text(x.HorseNo); }},
    {{"HorseName", "馬名"}, [](const Runner& x) { return Text(x.HorseName); }},
    {{"RunningStyle", "脚質", "%6.2f"}, [](const Runner& x) -> CellValue { return x.RunningStyle; }},
    {{"RunningStyleRank", "順", "%2d"}, [](const Runner& x) -> CellValue { return x.RunningStyleRank; }},
    {{"Corner4StdDev", "偏差", "%5.2f"}, [](const Runner& x) -> CellValue { return x.Corner4StdDev; }},
    {{"RecordTime", "実績TM", "%6.2f", ShowWhen::BelowNoValue},
     [](const Runner& x) -> CellValue { return x.RecordTime; }},
    {{"RankRecordTime", "順", "%2d", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.RankRecordTime; }},
    {{"FrontSpeed", "前半SP", "%6.2f", ShowWhen::BelowNoValue},
     [](const Runner& x) -> CellValue { return x.FrontSpeed; }},
    {{"RankFrontSpeed", "順", "%2d", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.RankFrontSpeed; }},
    {{"BackSpeed", "後半SP", "%6.2f", ShowWhen::BelowNoValue},
     [](const Runner& x) -> CellValue { return x.BackSpeed; }},
    {{"RankBackSpeed", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.RankBackSpeed; }},
    {{"AbilityIndex", "実力指数", "%6.1f", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.AbilityIndex; }},
    {{"RankAbility", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.RankAbility; }},
    {{"AbilityTime", "実力TM", "%6.1f", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.AbilityTime; }},
    {{"RankAbilityTime", "順", "%2d", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.RankAbilityTime; }},
    {{"Stamina", "ｽﾀﾐﾅ", "%6.1f", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.Stamina; }},
    {{"RankStamina", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.RankStamina; }},
    {{"RunnerAxisCode", "軸ｺｰﾄﾞ"},
     [](const Runner& x) -> CellValue { return x.RunnerAxisCode.Str().substr(0, 6) + x.LapMark.Str(); }},
    {{"AbilityDeviation", "実力偏差値", "%6.2f", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.AbilityDeviation; }},
    {{"FinishPos", "着順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.FinishPos; }},
};

const Column<Runner> kRankingColumns[] = {
    {{"FrameNo", "枠"}, [](const Runner& x) { return Text(x.FrameNo); }},
    {{"HorseNo", "馬"}, [](const Runner& x) { return Text(x.HorseNo); }},
    {{"HorseName", "馬名"}, [](const Runner& x) { return Text(x.HorseName); }},
    {{"AbilityIndex", "実力", "%6.1f", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.AbilityIndex; }},
    {{"RankAbility", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.RankAbility; }},
    {{"Stamina", "ｽﾀﾐﾅ", "%6.1f", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.Stamina; }},
    {{"RankStamina", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.RankStamina; }},
    {{"FrontSpeed", "前半TM", "%6.2f", ShowWhen::BelowNoValue},
     [](const Runner& x) -> CellValue { return x.FrontSpeed; }},
    {{"RankFrontSpeed", "順", "%2d", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.RankFrontSpeed; }},
    {{"BackSpeed", "後半TM", "%6.2f", ShowWhen::BelowNoValue},
     [](const Runner& x) -> CellValue { return x.BackSpeed; }},
    {{"RankBackSpeed", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.RankBackSpeed; }},
    {{"BShare", "B確率", "%6.2f"}, [](const Runner& x) -> CellValue { return x.BShare; }},
    {{"BRank", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.BRank; }},
    {{"AchievementProb", "実績確率", "%6.1f"}, [](const Runner& x) -> CellValue { return x.AchievementProb * 100.0; }},
    {{"RankAchievement", "順", "%2d", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.RankAchievement; }},
    {{"ClassValue", "格", "%8.0f"}, [](const Runner& x) -> CellValue { return x.ClassValue; }},
    {{"RankClass", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.RankClass; }},
    {{"AvgMargin", "平均着差", "%6.3f"}, [](const Runner& x) -> CellValue { return x.AvgMargin; }},
    {{"RankAvgMargin", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.RankAvgMargin; }},
    {{"RotationShare", "修正RT", "%6.3f"}, [](const Runner& x) -> CellValue { return x.RotationShare; }},
    {{"RankRotation", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.RankRotation; }},
    {{"GoalMargin", "ｺﾞｰﾙ着差", "%6.3f"}, [](const Runner& x) -> CellValue { return x.GoalMargin; }},
    {{"RankGoal", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.RankGoal; }},
    {{"FinalGoalMargin", "最終ｺﾞｰﾙ", "%6.3f"}, [](const Runner& x) -> CellValue { return x.FinalGoalMargin; }},
    {{"RankFinalGoal", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.RankFinalGoal; }},
    {{"PastBaseTime", "基準TM", "%6.1f", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.Past[0].PastBaseTime; }},
    {{"RankBaseTime", "順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.RankBaseTime; }},
    {{"BestBaseTime", "最良TM", "%6.1f", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.BestBaseTime; }},
    {{"RankBestBaseTime", "順", "%2d", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.RankBestBaseTime; }},
    {{"RunningStyle", "脚質", "%5.1f"}, [](const Runner& x) -> CellValue { return x.RunningStyle; }},
    {{"RunningStyleRank", "順", "%2d", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.RunningStyleRank; }},
    {{"OverallMin", "総合Min", "%6.1f", ShowWhen::BelowNoValue},
     [](const Runner& x) -> CellValue { return x.OverallMin; }},
    {{"RankOverallMin", "順", "%2d", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.RankOverallMin; }},
    {{"Last3FOffset", "FT差", "%6.1f"}, [](const Runner& x) -> CellValue { return x.Last3FOffset; }},
    {{"Last3FOffsetRank", "順", "%2d", ShowWhen::Positive},
     [](const Runner& x) -> CellValue { return x.Last3FOffsetRank; }},
    {{"FinishPos", "着順", "%2d", ShowWhen::Positive}, [](const Runner& x) -> CellValue { return x.FinishPos; }},
};

// A stored digit field as a number for a "%2d" cell; nothing for a blank field.
CellValue NumberOf(std::string_view digits)
{
    return IsBlank(digits) ? CellValue() : CellValue(static_cast<int>(LeadingNumber(digits)));
}

// The race card's cells hold only sort keys; the headers are those of the drawn card.
const Column<Runner> kRaceCardColumns[] = {
    {{"FrameNo", "枠", "%2d"}, [](const Runner& x) { return NumberOf(x.FrameNo.View()); }},
    {{"HorseNo", "馬", "%2d"}, [](const Runner& x) { return NumberOf(x.HorseNo.View()); }},
    {{"RunningStyleRank", "馬名", "%2d"}, [](const Runner& x) -> CellValue { return x.RunningStyleRank; }},
    {{"RankAchievement", "騎手/厩舎", "%2d"}, [](const Runner& x) -> CellValue { return x.RankAchievement; }},
    {{"RankClass", "確定着順/配当", "%2d"}, [](const Runner& x) -> CellValue { return x.RankClass; }},
    {{"RankAvgMargin", "ﾒﾝﾃﾅﾝｽ用一覧1", "%2d"}, [](const Runner& x) -> CellValue { return x.RankAvgMargin; }},
    {{"RankRotation", "ﾒﾝﾃﾅﾝｽ用一覧2", "%2d"}, [](const Runner& x) -> CellValue { return x.RankRotation; }},
    {{"RankGoal", "ﾗﾝｷﾝｸﾞ", "%2d"}, [](const Runner& x) -> CellValue { return x.RankGoal; }},
    {{"RankFinalGoal", "前 1走", "%2d"}, [](const Runner& x) -> CellValue { return x.RankFinalGoal; }},
    {{"RankOverallMin", "前 2走", "%2d"}, [](const Runner& x) -> CellValue { return x.RankOverallMin; }},
    // A runner without a result sorts after the placed ones.
    {{"FinishPos", "前 3走", "%2d"}, [](const Runner& x) -> CellValue { return x.FinishPos < 1 ? 99 : x.FinishPos; }},
    {{"RankBaseTime", "前 4走", "%2d"}, [](const Runner& x) -> CellValue { return x.RankBaseTime; }},
    {{"RankBestBaseTime", "前 5走", "%2d"}, [](const Runner& x) -> CellValue { return x.RankBestBaseTime; }},
    {{"WinRank", "", "%2d"}, [](const Runner& x) -> CellValue { return x.WinRank; }},
    {{"BRank", "", "%2d"}, [](const Runner& x) -> CellValue { return x.BRank; }},
};

const Column<Runner> kDetailGridColumns[] = {
    {{"", "枠"}, [](const Runner&) -> CellValue { return {}; }},
    {{"HorseNo", "馬"}, [](const Runner& x) { return Text(x.HorseNo); }},
    {{"", "馬名"}, [](const Runner&) -> CellValue { return {}; }},
    {{"", "ﾒﾝﾀﾅﾝｽ用一覧"}, [](const Runner&) -> CellValue { return {}; }},
    {{"", "前 1走"}, [](const Runner&) -> CellValue { return {}; }},
    {{"", "前 2走"}, [](const Runner&) -> CellValue { return {}; }},
    {{"", "前 3走"}, [](const Runner&) -> CellValue { return {}; }},
    {{"", "前 4走"}, [](const Runner&) -> CellValue { return {}; }},
    {{"", "前 5走"}, [](const Runner&) -> CellValue { return {}; }},
};

// One row per runner, the data cells first set to "　" when `blankFill`.
CellGrid RunnerTable(const RaceSlot& race, std::span<const Column<Runner>> columns, bool blankFill)
{
    CellGrid grid(1 + Runners(race), static_cast<int>(columns.size()));
    WriteHeaders<Runner>(grid, columns);
    if (blankFill) {
        grid.FillData(WideBlank());
    }
    for (int h = 0; h < Runners(race); ++h) {
        WriteCells<Runner>(grid, h + 1, columns, race.Runners[h]);
    }
    return grid;
}

} // namespace

CellGrid BuildPastRunTable(const RaceSlot& race)
{
    const std::span<const Column<PastRow>> columns(kPastRunColumns);
    CellGrid grid(race.PastRowCount > 0 ? race.PastRowCount + 1 : 2, static_cast<int>(columns.size()));
    WriteHeaders<PastRow>(grid, columns);
    grid.FillData(WideBlank());
    for (int column : kEmptiedPastRunColumns) {
        grid.FillDataColumn(column, "");
    }
    int row = 1;
    auto writeRow = [&](const PastRow& pastRow) {
        // The row count comes from the ability deviation pass; a table that needs more rows
        // gets them rather than losing runs.
        if (row >= grid.RowCount()) {
            grid.SetRowCount(row + 1);
            for (int c = 0; c < grid.ColumnCount(); ++c) {
                grid.Set(row, c, WideBlank());
            }
            for (int column : kEmptiedPastRunColumns) {
                grid.Set(row, column, "");
            }
        }
        WriteCells<PastRow>(grid, row, columns, pastRow);
        ++row;
    };
    for (int h = 0; h < Runners(race); ++h) {
        const Runner& runner = race.Runners[h];
        bool anyRun = false;
        for (int k = kPastRuns - 1; k >= 0; --k) {
            if (runner.Past[k].PastRunPresent) {
                writeRow({&runner, &runner.Past[k]});
                anyRun = true;
            }
        }
        if (!anyRun) {
            writeRow({&runner, nullptr});
        }
    }
    // The slots beyond the runners were counted too: drop their empty rows at the bottom.
    int rows = grid.RowCount();
    while (rows > 2 && Trim(DropWideBlanks(grid.Cell(rows - 1, kPastRunHorseColumn))).empty()) {
        --rows;
    }
    grid.SetRowCount(rows);
    return grid;
}

CellGrid BuildLapCard(const RaceSlot& race)
{
    return RunnerTable(race, kLapCardColumns, true);
}

CellGrid BuildRankingTable(const RaceSlot& race)
{
    return RunnerTable(race, kRankingColumns, true);
}

CellGrid BuildRaceCardKeys(const RaceSlot& race)
{
    CellGrid grid = RunnerTable(race, kRaceCardColumns, false);
    for (std::size_t c = 0; c < kRaceCardColumnWidths.size(); ++c) {
        grid.SetColumnWidth(static_cast<int>(c), kRaceCardColumnWidths[c]);
    }
    return grid;
}

CellGrid BuildDetailGridKeys(const RaceSlot& race)
{
    CellGrid grid = RunnerTable(race, kDetailGridColumns, false);
    for (std::size_t c = 0; c < kDetailColumnWidths.size(); ++c) {
        grid.SetColumnWidth(static_cast<int>(c), kDetailColumnWidths[c]);
    }
    return grid;
}

std::vector<FieldFormat> RaceTableFields(std::string_view table)
{
    std::vector<FieldFormat> fields;
    auto add = [&fields](const auto& columns) {
        for (const auto& column : columns) {
            fields.push_back(column.Field);
        }
    };
    if (table == "pastruns") {
        add(kPastRunColumns);
    } else if (table == "lapcard") {
        add(kLapCardColumns);
    } else if (table == "ranking") {
        add(kRankingColumns);
    } else if (table == "card") {
        add(kRaceCardColumns);
    } else if (table == "detail") {
        add(kDetailGridColumns);
    }
    return fields;
}

} // namespace vornal
