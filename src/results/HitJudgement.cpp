#include "results/HitJudgement.h"

#include <algorithm>
#include <vector>

#include "results/HitEvaluation.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/CodeNames.h"

namespace vornal {
namespace {

constexpr std::size_t kKeyLength = 20;
constexpr std::size_t kPlaceLength = 4;

int NonEmptyBets(const BetRecord& bets)
{
    int count = 0;
    for (int i = 1; i <= 3; ++i) {
        count += IsBlank(bets.BetCombos[static_cast<std::size_t>(i)].View()) ? 0 : 1;
    }
    return count;
}

// The first `count` characters of a CP932 text, double-byte characters kept whole.
std::string_view FirstCharacters(std::string_view text, int count)
{
    std::size_t end = 0;
    for (int c = 0; c < count && end < text.size(); ++c) {
        end += CharLength(text, end);
    }
    return text.substr(0, end);
}

} // namespace

const std::string& BetTypeName(BetType type)
{
    switch (type) {
    case BetType::Win:
        return Sjis("単勝");
    case BetType::Place:
        return Sjis("複勝");
    case BetType::Quinella:
        return Sjis("馬連");
    case BetType::Wide:
        break;
    }
    return Sjis("ﾜｲﾄﾞ");
}

std::string ResultMarks::QuinellaWideText() const
{
    return std::string(Quinella ? "U" : "-") + (Wide ? "W" : "-");
}

std::string ResultMarks::WinPlaceText() const
{
    return std::string(Win ? "T" : "-") + (Place ? "F" : "-");
}

ResultMarks ResultMarksOf(const RaceSlot& race)
{
    ResultMarks marks;
    marks.Quinella = IsPairResult(race.QuinellaResult[0].Key.View()) ||
                     (race.RunnerCount <= 8 && IsPairResult(race.BracketResult[0].Key.View()));
    marks.Wide = IsPairResult(race.WideResult[0].Key.View());
    marks.Win = race.WinResult[0].Key > 0;
    marks.Place = race.PlaceResult[0].Key > 0;
    return marks;
}

void SetResultMarks(const RaceSlot& race, BetRecord& bets)
{
    const ResultMarks marks = ResultMarksOf(race);
    bets.ResultMarkQuinella = marks.Quinella ? "U" : "";
    bets.ResultMarkWide = marks.Wide ? "W" : "";
    bets.ResultMarkWin = marks.Win ? "T" : "";
    bets.ResultMarkPlace = marks.Place ? "F" : "";
}

double BetTypeTotals::Rate() const
{
    return Points > 0 ? static_cast<double>(Returned) / Points : 0.0;
}

std::string BetTypeTotals::RateText() const
{
    return Points > 0 ? fmt::sprintf("%6.1f%%", Rate()) : std::string(7, ' ');
}

BetTypeTotals& BetTypeTotals::operator+=(const BetTypeTotals& other)
{
    Points += other.Points;
    Hits += other.Hits;
    Returned += other.Returned;
    return *this;
}

DayTotals& DayTotals::operator+=(const DayTotals& other)
{
    for (std::size_t t = 0; t < ByType.size(); ++t) {
        ByType[t] += other.ByType[t];
    }
    return *this;
}

DayTotals TotalHits(const RaceDay& day)
{
    DayTotals totals;
    BetTypeTotals& win = totals[BetType::Win];
    BetTypeTotals& place = totals[BetType::Place];
    BetTypeTotals& quinella = totals[BetType::Quinella];
    BetTypeTotals& wide = totals[BetType::Wide];
    for (int r = 0; r < kRaceSlots; ++r) {
        const RaceSlot& race = day.Races[r];
        if (!race.RaceLoaded) {
            continue;
        }
        const BetRecord& bets = day.Bets[r];
        const ResultMarks marks = ResultMarksOf(race);
        const int betCount = NonEmptyBets(bets);
        win.Points += (marks.Win && bets.BetRunner > 0) ? 1 : 0;
        place.Points += (marks.Place && bets.BetRunner > 0) ? 1 : 0;
        quinella.Points += marks.Quinella ? betCount : 0;
        wide.Points += (marks.Wide && race.RunnerCount >= 9) ? betCount : 0;
        if (bets.WinHit) {
            ++win.Hits;
            win.Returned += bets.WinHitPay;
        }
        if (bets.PlaceHit) {
            ++place.Hits;
            place.Returned += bets.PlaceHitPay;
        }
        for (std::size_t i = 1; i <= 3; ++i) {
            if (bets.QuinellaHit[i]) {
                ++quinella.Hits;
                quinella.Returned += bets.QuinellaHitPay[i];
            }
            if (bets.WideHit[i]) {
                ++wide.Hits;
                wide.Returned += bets.WideHitPay[i];
            }
        }
    }
    return totals;
}

DayTotals JudgeHits(RaceDay& day)
{
    for (int r = 0; r < kRaceSlots; ++r) {
        if (day.Races[r].RaceLoaded) {
            SetResultMarks(day.Races[r], day.Bets[r]);
        } else {
            BetRecord& bets = day.Bets[r];
            bets.ResultMarkQuinella.Clear();
            bets.ResultMarkWide.Clear();
            bets.ResultMarkWin.Clear();
            bets.ResultMarkPlace.Clear();
        }
    }
    return TotalHits(day);
}

int RaceListCount(const RaceDay& day)
{
    int count = 0;
    for (const RaRecord& ra : day.RaceRA) {
        count += IsBlank(jv::View(ra.View(), jv::kYear)) ? 0 : 1;
    }
    return count;
}

std::string HitFileName(std::string_view dayName, BetType type, std::string_view betKindSuffix)
{
    return std::string(dayName.substr(0, 6)) + BetTypeName(type) + std::string(betKindSuffix) + ".ksr";
}

std::string HitFileKey(const RaceDay& day, std::string_view dayName)
{
    // The place comes from the first loaded race (the loader fills slots from 0 up), so a
    // day with two racecourses is filed under the one whose races come first.
    for (int r = 0; r < kRaceSlots; ++r) {
        if (!day.Races[r].RaceLoaded) {
            continue;
        }
        const std::string_view slotKey = day.Races[r].SlotKey.View();
        const std::string course = std::string(FieldView(slotKey, 9, 2));
        std::string place(FirstCharacters(CourseName(course, CourseForm::Display), 2));
        place = PadRight(place, kPlaceLength);
        return PadRight(FieldView(dayName, 7, 8), 8) + place + Field(slotKey, 11, 2) + Sjis("回") +
               Field(slotKey, 13, 2) + Sjis("日");
    }
    return {};
}

std::string HitFileLine(std::string_view key, const BetTypeTotals& totals)
{
    return std::string(key) + fmt::sprintf("%3d", totals.Points) + Sjis("点") + fmt::sprintf("%3d", totals.Hits) +
           Sjis("点") + fmt::sprintf("%5d", totals.Staked()) + Sjis("円") + fmt::sprintf("%7d", totals.Returned) +
           Sjis("円") + totals.RateText();
}

std::array<std::string, kBetTypes.size()> HitFileLines(const RaceDay& day, std::string_view dayName,
                                                       const DayTotals& totals)
{
    std::array<std::string, kBetTypes.size()> lines{};
    const std::string key = HitFileKey(day, dayName);
    if (key.empty()) {
        return lines;
    }
    for (BetType type : kBetTypes) {
        lines[static_cast<std::size_t>(type)] = HitFileLine(key, totals[type]);
    }
    return lines;
}

std::string FileHitLine(std::string_view fileBytes, std::string_view line)
{
    const std::string_view key = line.substr(0, std::min(line.size(), kKeyLength));
    std::vector<std::string> lines;
    while (!fileBytes.empty()) {
        const std::size_t end = fileBytes.find('\n');
        std::string_view piece = fileBytes.substr(0, end);
        fileBytes = end == std::string_view::npos ? std::string_view() : fileBytes.substr(end + 1);
        if (!piece.empty() && piece.back() == '\r') {
            piece.remove_suffix(1);
        }
        // A file holds one line per key: every earlier line of this day gives way, even
        // one left twice by an older writer.
        if (!piece.empty() && piece.substr(0, std::min(piece.size(), kKeyLength)) != key) {
            lines.emplace_back(piece);
        }
    }
    lines.emplace_back(line);
    // std::string compares bytes as unsigned, the order of CP932 text.
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    std::string out;
    for (const std::string& kept : lines) {
        out += kept;
        out += "\r\n";
    }
    return out;
}

} // namespace vornal
