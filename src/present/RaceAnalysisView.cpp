#include "present/RaceAnalysisView.h"

#include "betting/QuinellaRanks.h"

#include <algorithm>

#include "present/GridSort.h"
#include "present/FieldFormat.h"
#include "present/RaceLabels.h"
#include "present/RaceViewTables.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/CodeNames.h"
#include "vocab/Combinations.h"
#include "vocab/RaceTexts.h"
#include "vocab/RacingTerms.h"
#include "vocab/TextHelpers.h"

namespace vornal {
namespace {

RaceHeaderTexts HeaderTexts(const RaceSlot& race)
{
    RaceHeaderTexts header;
    const std::string_view key = race.SlotKey.View();
    const std::string course = SlotCourseCode(race);
    header.RunnerCount = fmt::sprintf("%2d", race.RunnerCount) + Sjis("頭  ");
    header.CourseName = CourseName(course, CourseForm::Short);
    header.RaceNumber = fmt::sprintf("%d", RaceNumber(race));
    header.DateLine = SpacedDateText(key) + CourseFirstTwo(course) + " " +
                      MeetingDayText(MeetingNumber(race), MeetingDayNumber(race), true);
    header.RaceName = race.RaceName.Str();
    static constexpr std::array<std::string_view, 4> kWeightKinds{"ハンデ", "別定　", "馬齢　", "定量　"};
    const std::string_view weight = race.WeightKindCode.View();
    if (weight.size() == 1 && weight[0] >= '1' && weight[0] <= '4') {
        header.WeightKind = Sjis(kWeightKinds[static_cast<std::size_t>(weight[0] - '1')]);
    }
    header.Class = RaceKindName(race.RaceKindCode.View()) + ConditionText(race.ConditionCodes[4].View());
    header.Track = TrackLabel(race.TrackCode.View());
    header.TurfPanel = IsTurfPanelTrack(race.TrackCode.View());
    header.Distance = fmt::sprintf("%4lldm", LeadingNumber(race.DistanceText.View()));
    const std::string_view post = race.PostTime.View();
    header.PostTime = Field(post, 1, 2) + Sjis("時") + Field(post, 3, 2) + Sjis("分発走");
    header.Grade = GradeMark(race.GradeCode.View());
    return header;
}

std::string ShownIfPositive(std::string_view format, double value)
{
    return value > 0.0 ? fmt::sprintf(std::string(format), value) : std::string();
}

SharePanel ShareTexts(const RaceSlot& race, const TuningTables& tables)
{
    SharePanel panel;
    panel.Share = fmt::sprintf("%5.1f", race.PopularityShare) + " %";
    panel.AbilityMean = ShownIfPositive("%6.2f", race.AbilityMean);
    panel.AbilitySpread = ShownIfPositive("%6.2f", race.AbilitySpread);
    panel.ShareClass = ShareClass(race.PopularityShare);
    for (int i = 0; i < 6; ++i) {
        panel.Percentages[static_cast<std::size_t>(i)] =
            fmt::sprintf("%5.1f", tables.ShareClassStat(panel.ShareClass, static_cast<ShareStat>(i + 1))) + " %";
    }
    panel.Averages[0] = fmt::sprintf("%5.0f", tables.ShareClassStat(panel.ShareClass, ShareStat::WinAverage));
    panel.Averages[1] = fmt::sprintf("%5.0f", tables.ShareClassStat(panel.ShareClass, ShareStat::QuinellaAverage));
    return panel;
}

// The ranked combinations of the race, by rank and then by combination number.
std::vector<int> RankedCombinations(const RaceSlot& race)
{
    std::vector<int> combinations;
    for (int q = 1; q <= kQuinellaCount; ++q) {
        if (race.QuinellaRank[q] >= 1) {
            combinations.push_back(q);
        }
    }
    std::stable_sort(combinations.begin(), combinations.end(),
                     [&](int a, int b) { return race.QuinellaRank[a] < race.QuinellaRank[b]; });
    return combinations;
}

// A rank's entry of the bet record; ranks beyond the table read as nothing.
template <typename T, std::size_t N> T RankEntry(const std::array<T, N>& values, int rank)
{
    return rank >= 0 && static_cast<std::size_t>(rank) < N ? values[static_cast<std::size_t>(rank)] : T{};
}

std::vector<std::string> QuinellaLines(const RaceSlot& race, const BetRecord& bets)
{
    std::vector<std::string> lines;
    for (int q : RankedCombinations(race)) {
        const int rank = race.QuinellaRank[q];
        lines.push_back(fmt::sprintf("%3d", rank) + " " + QuinellaText(q) + " " +
                        ShownRankMark(RankEntry(bets.RankMark, rank).View()) +
                        PayoutText("%7.0f", race.PredictedQuinellaPayout[q]) +
                        fmt::sprintf("%6.1f", RankEntry(bets.CumulativeHitRate, rank)) + "  ");
    }
    // The list keeps its lines sorted as texts.
    std::sort(lines.begin(), lines.end());
    return lines;
}

CellGrid PopularityOrderGrid(const RaceSlot& race, const BetRecord& bets, const TuningTables& tables, int shareClass)
{
    const std::vector<int> ranked = RankedCombinations(race);
    CellGrid grid(1 + static_cast<int>(ranked.size()), 7);
    constexpr std::array<std::string_view, 7> kHeaders{"順位", "連番",   "評価",      "予想配当",
                                                       "実績", "期待値", "累積的中率"};
    for (std::size_t c = 0; c < kHeaders.size(); ++c) {
        grid.Set(0, static_cast<int>(c), Sjis(kHeaders[c]));
    }
    grid.FillData(Sjis("　"));
    int row = 1;
    for (int q : ranked) {
        const int rank = race.QuinellaRank[q];
        grid.Set(row, 0, fmt::sprintf("%3d", rank));
        grid.Set(row, 1, QuinellaText(q));
        grid.Set(row, 2, ShownRankMark(RankEntry(bets.RankMark, rank).View()));
        grid.Set(row, 3, PayoutText("%7.0f", race.PredictedQuinellaPayout[q]));
        grid.Set(row, 4, fmt::sprintf("%5.1f", tables.RankHitRate(shareClass, rank)));
        grid.Set(row, 5, fmt::sprintf("%5.1f", tables.RankExpectedValue(shareClass, rank)));
        grid.Set(row, 6, fmt::sprintf("%6.1f", RankEntry(bets.CumulativeHitRate, rank)));
        ++row;
    }
    return grid;
}

void FillPicks(RaceAnalysis& view, const RaceSlot& race, const BetRecord& bets)
{
    // Eight runners or fewer stand one to a bracket, and their quinella is judged on the
    // bracket quinella result.
    const auto& winning = race.RunnerCount < 9 ? race.BracketResult : race.QuinellaResult;
    for (int i = 1; i <= 3; ++i) {
        PickBox& box = view.ComboPicks[static_cast<std::size_t>(i - 1)];
        const std::string_view pick = bets.BetCombos[i].View();
        box.Text = std::string(pick);
        const int q = QuinellaIndex(pick);
        if (q > 0) {
            box.Payout = ShownIfPositive("%6.0f", race.PredictedQuinellaPayout[q]);
        }
        // An empty pick must not match the empty key of a result the race does not have.
        if (!TrimView(pick).empty()) {
            box.Hit = std::any_of(winning.begin(), winning.end(),
                                  [&](const PairPayout& result) { return result.Key.View() == pick; });
        }
    }
    const int horse = bets.BetRunner;
    if (horse >= 1 && horse <= kRunnerSlots) {
        view.RunnerPick.Text = fmt::sprintf("%2d", horse);
        view.RunnerPick.Payout = ShownIfPositive("%6.0f", race.Runners[horse - 1].PredictedWinPayout);
        view.RunnerPick.Hit = std::any_of(race.WinResult.begin(), race.WinResult.end(),
                                          [&](const RunnerPayout& result) { return result.Key == horse; });
    }
}

ResultRow RowOf(const RunnerPayout& result)
{
    if (result.Key < 1) {
        return {};
    }
    return {fmt::sprintf("%2d", result.Key), result.Popularity >= 1 ? fmt::sprintf("%2d", result.Popularity) : "",
            fmt::sprintf("%8d", result.Payout)};
}

ResultRow RowOf(const PairPayout& result)
{
    if (TrimView(result.Key.View()).empty()) {
        return {};
    }
    return {result.Key.Str(), result.Popularity >= 1 ? fmt::sprintf("%2d", result.Popularity) : "",
            fmt::sprintf("%8d", result.Payout)};
}

template <typename Entry, std::size_t N> std::array<ResultRow, N> RowsOf(const std::array<Entry, N>& results)
{
    std::array<ResultRow, N> rows;
    for (std::size_t i = 0; i < N; ++i) {
        rows[i] = RowOf(results[i]);
    }
    return rows;
}

} // namespace

std::optional<std::string> InsufficientDataMessage(const RaceDay& day, int slot)
{
    // A slot outside the day holds no race at all.
    if (slot < 0 || slot >= kRaceSlots) {
        return Sjis("本レースはデータが不十分です。");
    }
    const long long raceNumber = FieldNumber(day.Races[slot].SlotKey.View(), 15, 2);
    if (raceNumber < 1) {
        return Sjis("本レースはデータが不十分です。");
    }
    if (FieldNumber(day.RunnerSE[slot][0].View(), 29, 2) < 1) {
        return fmt::sprintf("%lld", raceNumber) + Sjis("レースはデータが不十分です。");
    }
    return std::nullopt;
}

const std::string& IncompleteRaceNote()
{
    return Sjis("出走馬のデータが欠けているため、このレースは評価も買い目もありません。");
}

std::string ShownRankMark(std::string_view mark)
{
    const std::string& star = Sjis("★");
    if (TrimView(mark).empty() || mark == star) {
        return "   ";
    }
    std::size_t characters = 0;
    std::size_t secondStart = 0;
    for (std::size_t i = 0; i < mark.size(); i += CharLength(mark, i)) {
        if (characters == 1) {
            secondStart = i;
        }
        ++characters;
    }
    if (characters >= 2 && mark.substr(secondStart, CharLength(mark, secondStart)) == star) {
        return "   ";
    }
    return characters == 2 ? std::string(mark) + " " : std::string(mark);
}

RaceAnalysis ShowRaceAnalysis(const RaceDay& day, const TuningTables& tables, int slot)
{
    RaceAnalysis view;
    view.Slot = slot;
    view.Message = InsufficientDataMessage(day, slot);
    if (view.Message) {
        return view;
    }
    view.Incomplete = day.Races[view.Slot].incomplete;
    const RaceSlot& race = day.Races[view.Slot];
    const BetRecord& bets = day.Bets[view.Slot];
    view.Header = HeaderTexts(race);
    view.LapPanels = LapPanelRows(race);
    view.Share = ShareTexts(race, tables);
    // The view presses the "馬番" toggles itself, so every table starts in horse-number order.
    view.PastRuns = BuildPastRunTable(race);
    PressToggle(view.PastRuns, SortTable::PastRuns, "馬番");
    view.RaceCard = BuildRaceCardKeys(race);
    PressToggle(view.RaceCard, SortTable::RaceCard, "馬番");
    view.DetailGrid = BuildDetailGridKeys(race);
    view.LapCard = BuildLapCard(race);
    PressToggle(view.LapCard, SortTable::LapCard, "馬番");
    view.Ranking = BuildRankingTable(race);
    PressToggle(view.Ranking, SortTable::Ranking, "馬番");
    view.QuinellaList = QuinellaLines(race, bets);
    view.PopularityOrder = PopularityOrderGrid(race, bets, tables, view.Share.ShareClass);
    FillPicks(view, race, bets);
    view.Results = {RowsOf(race.WinResult), RowsOf(race.PlaceResult), RowsOf(race.BracketResult),
                    RowsOf(race.QuinellaResult), RowsOf(race.WideResult)};
    return view;
}

} // namespace vornal
