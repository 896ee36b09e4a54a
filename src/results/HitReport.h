#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "raceday/RaceDay.h"
#include "results/HitJudgement.h"

// The hit evaluation report of a loaded day (window "的中判定"), as plain data that the
// window, a printout and vornal-cli all read: per race which bets hit and what they paid,
// and per bet type the day's totals. Two tables, "馬連・ワイド" (the three bet combinations,
// judged as 馬連 and ワイド) and "単勝・複勝" (the single-runner bet). Texts are CP932 and
// every cell is shown centred. The report only reads what the hit evaluation and the hit
// judgement computed for the current bets.
namespace vornal {

// The background colours of the report's data cells.
enum class HitCellColour {
    White,
    InfoTip,   // the platform's information-tip background
    Red,       // a hit
    Magenta,   // a ワイド or 複勝 hit
    Cyan,      // a payout cell of a race bought without a hit
    Yellow,    // a ワイド or 複勝 payout cell of a bet that did not hit
    LightGrey, // an empty cell: RGB EA EA EA
};

struct Rgb
{
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The colour's RGB value. InfoTip gives the usual information-tip yellow FF FF E1, for a
// face that does not take the platform's own.
Rgb ColourRgb(HitCellColour colour);

struct HitReportCell
{
    std::string Text;
    HitCellColour Colour = HitCellColour::White;
};

// One race: the cells of its row, left to right, and the race slot it shows.
struct HitReportRow
{
    int Slot = 0;
    std::vector<HitReportCell> Cells;
};

// One totals line of a tab: "馬連：" and the five totals in the order of the captions
// (points "%3d点", hits "%3d点", staked "%5d円", returned "%7d円", the rate text).
struct HitReportTotals
{
    std::string Label;
    std::array<std::string, 5> Texts{};
};

struct HitReportTable
{
    std::string TabName; // "馬連・ワイド" or "単勝・複勝"
    std::string Title;   // "的中判定表[馬連･ﾜｲﾄﾞ]　" + the date text
    std::vector<std::string> Headers;
    std::vector<HitReportRow> Rows; // one per race-list entry, in race slot order
    std::array<HitReportTotals, 2> Totals{};
};

struct HitReport
{
    std::string WindowTitle; // "的中判定"
    // "買い点数", "的中点数", "買い金額", "回収金額", "回収率": the captions of the totals.
    std::array<std::string, 5> TotalsCaptions{};
    // The two fixed notes shown on both tabs.
    std::array<std::string, 2> Notes{};
    // Columns: "判定" (marks U/W), "レース", "頭数", "買い目1".."買い目3", "馬連配当",
    // "ﾜｲﾄﾞ配当1".."ﾜｲﾄﾞ配当3"; totals 馬連 and ﾜｲﾄﾞ.
    HitReportTable QuinellaWide;
    // Columns: "判定" (marks T/F), "レース", "頭数", "買い目", "単勝配当", "複勝配当";
    // totals 単勝 and 複勝.
    HitReportTable WinPlace;
};

// The message a face shows instead of the report while the race list is empty:
// "分析用ﾃﾞｰﾀを選択してください。".
const std::string& NoDayForHitReportMessage();

// The report of the loaded day: a row for every race slot whose race record has a year,
// with the race marks (recomputed from the results, so they agree with the judgement),
// the race label ("東京3回 5日11R"), the runner count ("%2d頭"), the bets and the payouts
// ("%7d") of the bets that hit, each cell with its colour; the totals from `totals` (as
// JudgeHits gave them); the titles with `dayName`. Nothing when the race list is empty.
std::optional<HitReport> BuildHitReport(const RaceDay& day, std::string_view dayName, const DayTotals& totals);

} // namespace vornal
