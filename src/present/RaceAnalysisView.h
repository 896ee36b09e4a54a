#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/TuningTables.h"
#include "present/CellGrid.h"
#include "present/LapPanels.h"
#include "raceday/RaceDay.h"

// The race analysis view of one race as data: every text and table the view shows for the
// selected race, read from the RaceDay after the passes. The window only places them; the
// CLI prints them; the print sheets read the same values.
namespace vornal {

// The texts of the race header. All CP932.
struct RaceHeaderTexts
{
    std::string RunnerCount; // "%2d" followed by "頭  "
    std::string CourseName;  // racecourse name (short form) of the SlotKey
    std::string RaceNumber;  // the race number as a plain integer
    std::string DateLine;    // "2026年 1月 5日中山 1回 1日"
    std::string RaceName;
    std::string WeightKind; // "ハンデ", "別定　", "馬齢　", "定量　" or empty
    std::string Class;      // race-kind name and class ("サラ系３歳上2000万円下")
    std::string Track;      // "芝直", "芝左" ... or empty
    bool TurfPanel = false; // the track panel is green for track codes below 23, dark red otherwise
    std::string Distance;   // "%4dm"
    std::string PostTime;   // "15時40分発走"
    std::string Grade;      // grade name of the grade code
};

// The popularity-share panel: the race's share, its ability statistics and the payout
// statistics of its share class.
// The captions of SharePanel::Percentages and SharePanel::Averages, in order (UTF-8).
inline constexpr std::array<std::string_view, 8> kShareStatCaptions{
    "1000円未満", "2000円未満", "3000円未満", "4000円未満", "4000円以上", "8000円以上", "単勝平均", "馬連平均"};

struct SharePanel
{
    std::string Share;         // "%5.1f" followed by " %"
    std::string AbilityMean;   // "%6.2f", empty unless above 0
    std::string AbilitySpread; // "%6.2f", empty unless above 0
    int ShareClass = 1;        // 1..8
    // "%5.1f %" under "1000円未満", "2000円未満", "3000円未満", "4000円未満", "4000円以上",
    // "8000円以上".
    std::array<std::string, 6> Percentages;
    // "%5.0f" under "単勝平均" and "馬連平均".
    std::array<std::string, 2> Averages;
};

// A pick of the race with the predicted payout of its box and whether the box turns red.
struct PickBox
{
    std::string Text;
    std::string Payout; // "%6.0f", empty unless above 0
    bool Hit = false;   // the pick is among the winning combinations (or winners)
};

// One row of a result table: horse number or combination, popularity, payout; all empty for
// a row without a result.
struct ResultRow
{
    std::string Key;
    std::string Popularity; // "%2d", empty unless 1 or more
    std::string Payout;     // "%8d"
};

struct RaceResults
{
    std::array<ResultRow, 3> Win;
    std::array<ResultRow, 5> Place;
    std::array<ResultRow, 3> Bracket;
    std::array<ResultRow, 3> Quinella;
    std::array<ResultRow, 7> Wide;
};

struct RaceAnalysis
{
    int Slot = 0;
    // The information message when the race has too little data; then nothing else is set
    // and the view's grids stay hidden.
    std::optional<std::string> Message;
    // The load found runner records of the race missing: its runners are shown as read,
    // without figures, ranks or bets. IncompleteRaceNote() says so.
    bool Incomplete = false;

    RaceHeaderTexts Header;
    std::array<LapPanelRow, 3> LapPanels;
    SharePanel Share;
    // The tables in horse-number order, as the view's own "馬番" sorts leave them.
    CellGrid PastRuns;
    CellGrid RaceCard;
    CellGrid DetailGrid;
    CellGrid LapCard;
    CellGrid Ranking;
    // "人気順位(秘)": one row per ranked quinella combination, by rank.
    CellGrid PopularityOrder;
    // The quinella list, in text order.
    std::vector<std::string> QuinellaList;
    std::array<PickBox, 3> ComboPicks;
    PickBox RunnerPick;
    RaceResults Results;
};

// The message for a race with too little data, or nothing: "本レースはデータが不十分です。"
// when the SlotKey's race number is below 1 (or the slot lies outside 0..35), R followed by "レースはデータが不十分です。"
// when runner slot 0 has no horse number (its runner records were never downloaded).
std::optional<std::string> InsufficientDataMessage(const RaceDay& day, int slot);

// "出走馬のデータが欠けているため、このレースは評価も買い目もありません。" (CP932): the note of an
// incomplete race in the race list, the view and the listings.
const std::string& IncompleteRaceNote();

// The quinella list and the "評価" column show a rank mark like this: a secret "★" (alone or
// after "S") and a blank mark as three blanks, a two-character mark with a trailing blank.
std::string ShownRankMark(std::string_view mark);

// Everything the view shows for race slot `slot` (0..35). The window stores the slot as the
// day's SelectedRace before showing the result, message or not.
RaceAnalysis ShowRaceAnalysis(const RaceDay& day, const TuningTables& tables, int slot);

} // namespace vornal
