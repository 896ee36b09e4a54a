#pragma once

#include <array>
#include <string>
#include <string_view>

#include "raceday/RaceDay.h"

// Hit judgement, the "判定" step after the hit evaluation: which bet types of each race have
// results (the race marks), and the day's totals per bet type: points bought, hits, amount
// staked, amount returned and return rate, every point a 100-yen ticket. Also the lines of
// the yearly hit-judgement files (".ksr"), as text; HitJudgementFiles.h writes them.
// Everything here is computation on the race day: nothing is read or written on disk, so a
// backtest over many days can total without touching files.
namespace vornal {

// In the order the day's files are written: 単勝, 複勝, 馬連, ワイド.
enum class BetType { Win, Place, Quinella, Wide };
inline constexpr std::array<BetType, 4> kBetTypes{BetType::Win, BetType::Place, BetType::Quinella, BetType::Wide};

// The bet type as the hit files and the report name it (CP932): "単勝", "複勝", "馬連",
// "ﾜｲﾄﾞ" (half-width).
const std::string& BetTypeName(BetType type);

// The bet types of a race that have results:
//   Quinella "U"  the first 馬連 result is a pair of two non-zero numbers, or, with
//                 RunnerCount 8 or less, the first 枠連 result is;
//   Wide     "W"  the first ワイド result is such a pair;
//   Win      "T"  the first 単勝 horse number is above 0;
//   Place    "F"  the first 複勝 horse number is above 0.
struct ResultMarks
{
    bool Quinella = false;
    bool Wide = false;
    bool Win = false;
    bool Place = false;

    // The report's mark pairs, "-" for a missing mark: "UW", "U-", "--"; "TF", "-F" ...
    std::string QuinellaWideText() const;
    std::string WinPlaceText() const;
};

ResultMarks ResultMarksOf(const RaceSlot& race);

// Writes the marks of `race` into the bet record's ResultMark* fields: the letter, or an
// empty text for a missing mark.
void SetResultMarks(const RaceSlot& race, BetRecord& bets);

// The totals of one bet type. Staked is always points × 100 yen.
struct BetTypeTotals
{
    int Points = 0;         // 買い点数
    int Hits = 0;           // 的中点数
    long long Returned = 0; // 回収金額, yen

    long long Staked() const { return 100LL * Points; } // 買い金額, yen
    // 回収率 in percent: returned ÷ points (= returned ÷ staked × 100); 0 without points.
    double Rate() const;
    // The rate as the files and the report show it: "%6.1f" of Rate() followed by "%"
    // (2300 yen over 10 points: " 230.0%"), or seven blanks without points.
    std::string RateText() const;

    // Adds another day's totals, for a total over many days.
    BetTypeTotals& operator+=(const BetTypeTotals& other);
};

// The day totals (DayTotals), one set per bet type.
struct DayTotals
{
    std::array<BetTypeTotals, kBetTypes.size()> ByType{};

    BetTypeTotals& operator[](BetType type) { return ByType[static_cast<std::size_t>(type)]; }
    const BetTypeTotals& operator[](BetType type) const { return ByType[static_cast<std::size_t>(type)]; }
    DayTotals& operator+=(const DayTotals& other);
};

// The day totals of the judged bets (EvaluateDayHits), over the race slots whose RaceLoaded
// is set:
//   points   単勝/複勝: races with mark T/F and BetRunner > 0; 馬連: the non-empty bets 1..3
//            of races with mark U; ワイド: the non-empty bets 1..3 of races with mark W and
//            RunnerCount 9 or more;
//   hits     races with WinHit/PlaceHit; QuinellaHit[1..3]/WideHit[1..3] set;
//   returned the payouts of those hits.
// Marks are taken from the results, not from the bet record.
DayTotals TotalHits(const RaceDay& day);

// The "判定" computation: sets the marks of every loaded race slot (and clears those of the
// other slots), then returns TotalHits.
DayTotals JudgeHits(RaceDay& day);

// Race slots whose race record has a year: the entries of the race list.
int RaceListCount(const RaceDay& day);

// --- Hit-judgement file lines ---------------------------------------------------------

// The CP932 file name of a bet type's hit file, in the application folder: the year of
// `dayName` ("YYYY年", its first 6 bytes), the bet type, `betKindSuffix` and ".ksr":
// "2005年馬連_No01.ksr". Not checked; see HitJudgementFiles.h.
std::string HitFileName(std::string_view dayName, BetType type, std::string_view betKindSuffix);

// The 20-byte key of the day's lines: the month and day of `dayName` ("MM月DD日", bytes
// 7..14), the first two characters of the racecourse name of the first loaded race slot,
// and its meeting and day numbers as "03回05日". On a day with two racecourses the key
// names the first one while the totals cover every race. Empty when no race is loaded.
std::string HitFileKey(const RaceDay& day, std::string_view dayName);

// One line of a hit file without its CR LF: `key`, then "%3d点" points, "%3d点" hits,
// "%5d円" staked, "%7d円" returned and the rate text.
std::string HitFileLine(std::string_view key, const BetTypeTotals& totals);

// The day's line for each bet type, in the order of kBetTypes (empty when no race is
// loaded): what the files receive, and what a face prints per day.
std::array<std::string, kBetTypes.size()> HitFileLines(const RaceDay& day, std::string_view dayName,
                                                       const DayTotals& totals);

// The contents of a hit file after filing `line` into `fileBytes` (the old contents, CR LF
// or LF lines): every line whose 20-byte key equals the key of `line` gives way to it, and
// the lines are kept in ascending byte order without duplicates or empty lines, each
// ended by CR LF. Filing the same day twice gives the same contents as filing it once.
std::string FileHitLine(std::string_view fileBytes, std::string_view line);

} // namespace vornal
