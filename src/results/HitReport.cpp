#include "results/HitReport.h"

#include <algorithm>
#include <initializer_list>

#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/CodeNames.h"
#include "vocab/RaceTexts.h"

namespace vornal {
namespace {

using Colour = HitCellColour;

// Racecourse name, meeting number, "回 ", day number, "日", "%2d" race number, "R", the
// numbers without leading zeros, as in the race list: "東京3回 5日11R".
std::string RaceLabel(const RaceSlot& race)
{
    const std::string_view key = race.SlotKey.View();
    const std::string course(TrimRightView(CourseName(std::string(FieldView(key, 9, 2)), CourseForm::Display)));
    return course + MeetingDayText(FieldNumber(key, 11, 2), FieldNumber(key, 13, 2), true) +
           RaceNumberLabel(FieldNumber(key, 15, 2));
}

std::string Payout(int yen)
{
    return fmt::sprintf("%7d", yen);
}

// A bet cell: grey when empty, else red for a 馬連 (単勝) hit, magenta for a ワイド (複勝)
// hit, white otherwise.
Colour BetColour(bool filled, bool firstHit, bool secondHit)
{
    if (!filled) {
        return Colour::LightGrey;
    }
    return firstHit ? Colour::Red : secondHit ? Colour::Magenta : Colour::White;
}

// The 馬連 (単勝) payout cell: red with a payout, cyan for a race bought without a hit.
Colour FirstPayoutColour(const std::string& text, bool bought)
{
    return !text.empty() ? Colour::Red : bought ? Colour::Cyan : Colour::LightGrey;
}

// A ワイド (複勝) payout cell of a bought bet: magenta for a hit, yellow for a miss.
Colour SecondPayoutColour(bool filled, bool hit)
{
    return !filled ? Colour::LightGrey : hit ? Colour::Magenta : Colour::Yellow;
}

std::vector<HitReportCell> RaceCells(const RaceSlot& race, const std::string& marks)
{
    return {{marks, Colour::White},
            {RaceLabel(race), Colour::InfoTip},
            {fmt::sprintf("%2d", race.RunnerCount) + Sjis("頭"), Colour::InfoTip}};
}

HitReportRow QuinellaWideRow(int slot, const RaceSlot& race, const BetRecord& bets)
{
    HitReportRow row{slot, RaceCells(race, ResultMarksOf(race).QuinellaWideText())};
    std::string quinellaPay;
    bool bought = false;
    for (std::size_t i = 1; i <= 3; ++i) {
        const bool filled = !IsBlank(bets.BetCombos[i].View());
        bought = bought || filled;
        row.Cells.push_back({bets.BetCombos[i].Str(), BetColour(filled, bets.QuinellaHit[i], bets.WideHit[i])});
        if (bets.QuinellaHit[i]) {
            quinellaPay = Payout(bets.QuinellaHitPay[i]);
        }
    }
    row.Cells.push_back({quinellaPay, FirstPayoutColour(quinellaPay, bought)});
    for (std::size_t i = 1; i <= 3; ++i) {
        const bool filled = !IsBlank(bets.BetCombos[i].View());
        row.Cells.push_back({bets.WideHit[i] ? Payout(bets.WideHitPay[i]) : std::string(),
                             SecondPayoutColour(filled, bets.WideHit[i])});
    }
    return row;
}

HitReportRow WinPlaceRow(int slot, const RaceSlot& race, const BetRecord& bets)
{
    HitReportRow row{slot, RaceCells(race, ResultMarksOf(race).WinPlaceText())};
    const bool filled = bets.BetRunner > 0;
    const std::string winPay = bets.WinHit ? Payout(bets.WinHitPay) : std::string();
    row.Cells.push_back(
        {filled ? fmt::sprintf("%2d", bets.BetRunner) : std::string(), BetColour(filled, bets.WinHit, bets.PlaceHit)});
    row.Cells.push_back({winPay, FirstPayoutColour(winPay, filled)});
    row.Cells.push_back(
        {bets.PlaceHit ? Payout(bets.PlaceHitPay) : std::string(), SecondPayoutColour(filled, bets.PlaceHit)});
    return row;
}

HitReportTotals TotalsLine(BetType type, const DayTotals& totals)
{
    const BetTypeTotals& of = totals[type];
    return {BetTypeName(type) + Sjis("："),
            {fmt::sprintf("%3d", of.Points) + Sjis("点"), fmt::sprintf("%3d", of.Hits) + Sjis("点"),
             fmt::sprintf("%5d", of.Staked()) + Sjis("円"), fmt::sprintf("%7d", of.Returned) + Sjis("円"),
             of.RateText()}};
}

std::vector<std::string> Texts(std::initializer_list<const char*> utf8)
{
    std::vector<std::string> texts;
    for (const char* text : utf8) {
        texts.push_back(Sjis(text));
    }
    return texts;
}

} // namespace

Rgb ColourRgb(HitCellColour colour)
{
    switch (colour) {
    case Colour::White:
        return {0xFF, 0xFF, 0xFF};
    case Colour::InfoTip:
        return {0xFF, 0xFF, 0xE1};
    case Colour::Red:
        return {0xFF, 0x00, 0x00};
    case Colour::Magenta:
        return {0xFF, 0x00, 0xFF};
    case Colour::Cyan:
        return {0x00, 0xFF, 0xFF};
    case Colour::Yellow:
        return {0xFF, 0xFF, 0x00};
    case Colour::LightGrey:
        break;
    }
    return {0xEA, 0xEA, 0xEA};
}

const std::string& NoDayForHitReportMessage()
{
    return Sjis("分析用ﾃﾞｰﾀを選択してください。");
}

std::optional<HitReport> BuildHitReport(const RaceDay& day, std::string_view dayName, const DayTotals& totals)
{
    if (RaceListCount(day) == 0) {
        return std::nullopt;
    }
    HitReport report;
    report.WindowTitle = Sjis("的中判定");
    const std::vector<std::string> captions = Texts({"買い点数", "的中点数", "買い金額", "回収金額", "回収率"});
    std::copy(captions.begin(), captions.end(), report.TotalsCaptions.begin());
    report.Notes = {Sjis("※的中判定は判定可能なﾚｰｽ結果が入力済みのものにおいてのみ計算しております。"),
                    Sjis("※買い金額、回収金額は１点１００円として計算おります。")};

    HitReportTable& pairs = report.QuinellaWide;
    pairs.TabName = Sjis("馬連・ワイド");
    pairs.Title = Sjis("的中判定表[馬連･ﾜｲﾄﾞ]　") + std::string(dayName);
    pairs.Headers = Texts(
        {"判定", "レース", "頭数", "買い目1", "買い目2", "買い目3", "馬連配当", "ﾜｲﾄﾞ配当1", "ﾜｲﾄﾞ配当2", "ﾜｲﾄﾞ配当3"});
    pairs.Totals = {TotalsLine(BetType::Quinella, totals), TotalsLine(BetType::Wide, totals)};

    HitReportTable& single = report.WinPlace;
    single.TabName = Sjis("単勝・複勝");
    single.Title = Sjis("的中判定表[単勝･複勝]　") + std::string(dayName);
    single.Headers = Texts({"判定", "レース", "頭数", "買い目", "単勝配当", "複勝配当"});
    single.Totals = {TotalsLine(BetType::Win, totals), TotalsLine(BetType::Place, totals)};

    for (int r = 0; r < kRaceSlots; ++r) {
        if (IsBlank(jv::View(day.RaceRA[r].View(), jv::kYear))) {
            continue;
        }
        pairs.Rows.push_back(QuinellaWideRow(r, day.Races[r], day.Bets[r]));
        single.Rows.push_back(WinPlaceRow(r, day.Races[r], day.Bets[r]));
    }
    return report;
}

} // namespace vornal
