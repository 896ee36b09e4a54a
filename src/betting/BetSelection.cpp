#include "betting/BetSelection.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <span>
#include <utility>
#include <vector>

#include "store/JvLayout.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/Combinations.h"
#include "vocab/RacingTerms.h"

namespace vornal {
namespace {

using RankField = int Runner::*;

struct PairRule
{
    RankField rating;
    int first;
    int second;
};

struct SingleRule
{
    RankField rating;
    int rank;
};

struct RuleRow
{
    std::vector<PairRule> pairs;
    std::vector<SingleRule> singles;
};

// The built-in tables by field size: up to 13 runners over 1000..2000 m, and 14..16
// runners over 1000 m or more; every other race has no rules.
struct BuiltInMethod
{
    RuleRow smallTurf;
    RuleRow smallDirt;
    RuleRow largeTurf;
    RuleRow largeDirt;
};

constexpr RankField kAchievement = &Runner::RankAchievement; // 実績確率
constexpr RankField kClass = &Runner::RankClass;             // 格
constexpr RankField kAvgMargin = &Runner::RankAvgMargin;     // 平均着差
constexpr RankField kGoal = &Runner::RankGoal;               // ｺﾞｰﾙ着差
constexpr RankField kFinalGoal = &Runner::RankFinalGoal;     // 最終ｺﾞｰﾙ
constexpr RankField kBaseTime = &Runner::RankBaseTime;       // 基準TM
constexpr RankField kBestBaseTime = &Runner::RankBestBaseTime;
constexpr RankField kStyle = &Runner::RunningStyleRank; // 脚質
constexpr RankField kOverallMin = &Runner::RankOverallMin;
constexpr RankField kB = &Runner::BRank; // B確率
constexpr RankField kAbility = &Runner::RankAbility;
constexpr RankField kStamina = &Runner::RankStamina;
constexpr RankField kWin = &Runner::WinRank;         // 単勝ランキング
constexpr RankField kLap1 = &Runner::RankRecordTime; // 実績TM
constexpr RankField kLap2 = &Runner::RankFrontSpeed; // 前半
constexpr RankField kLap3 = &Runner::RankBackSpeed;  // 後半

const BuiltInMethod& MethodNo1()
{
    static const BuiltInMethod method{
        {{{kAchievement, 1, 3}, {kWin, 1, 2}, {kStyle, 1, 2}}, {{kBestBaseTime, 2}}},
        {{{kAchievement, 3, 5}, {kGoal, 1, 3}, {kWin, 1, 5}}, {{kStamina, 6}}},
        {{{kGoal, 1, 4}, {kFinalGoal, 1, 2}, {kAbility, 1, 2}}, {{kBestBaseTime, 1}}},
        {{{kAchievement, 1, 2}, {kFinalGoal, 2, 3}, {kAbility, 1, 2}}, {{kAbility, 2}}},
    };
    return method;
}

const BuiltInMethod& MethodNo2()
{
    static const BuiltInMethod method{
        {{{kAchievement, 1, 3}, {kWin, 1, 2}, {kStyle, 1, 2}}, {{kBestBaseTime, 2}}},
        {{{kAchievement, 3, 5}, {kGoal, 1, 3}, {kWin, 1, 5}}, {{kStamina, 6}}},
        {{{kWin, 1, 8}, {kBaseTime, 1, 8}, {kStamina, 3, 4}}, {{kAvgMargin, 5}}},
        {{{kGoal, 2, 3}, {kFinalGoal, 2, 3}, {kStyle, 3, 4}}, {{kStyle, 7}}},
    };
    return method;
}

// 買い目１: short races (up to 1600 m) and long races (1700 m or more).
struct DeveloperRows
{
    RuleRow shortTurf;
    RuleRow shortDirt;
    RuleRow longTurf;
    RuleRow longDirt;
};

const DeveloperRows& Developer1Rows()
{
    static const DeveloperRows rows{
        {{{kGoal, 2, 8}, {kBestBaseTime, 1, 8}, {kClass, 3, 10}, {kAchievement, 3, 10}}, {{kAvgMargin, 5}, {kLap2, 2}}},
        {{{kFinalGoal, 1, 2}, {kGoal, 1, 2}, {kLap1, 8, 10}, {kB, 4, 7}}, {{kOverallMin, 3}, {kStamina, 4}}},
        {{{kAbility, 1, 2}, {kStamina, 3, 4}, {kLap3, 4, 5}}, {{kB, 3}, {kStamina, 3}}},
        {{{kFinalGoal, 2, 3}, {kAbility, 1, 2}, {kGoal, 2, 3}, {kB, 4, 7}}, {{kStamina, 6}, {kOverallMin, 4}}},
    };
    return rows;
}

// The ratings a user rule may name, by the names of the window's lists.
RankField UserRatingField(std::string_view rating)
{
    static const std::vector<std::pair<std::string, RankField>> fields = [] {
        std::vector<std::pair<std::string, RankField>> list;
        const std::pair<const char*, RankField> names[] = {
            {"実績確率", kAchievement},
            {"格", kClass},
            {"平均着差", kAvgMargin},
            {"修正ﾛｰﾃ", &Runner::RankRotation},
            {"ｺﾞｰﾙ着差", kGoal},
            {"最終ｺﾞｰﾙ", kFinalGoal},
            {"基準TM", kBaseTime},
            {"最良基準TM", kBestBaseTime},
            {"脚質", kStyle},
            {"総合min", kOverallMin},
            {"B確率", kB},
            {"実力", kAbility},
            {"ｽﾀﾐﾅ", kStamina},
            {"FT差", &Runner::Last3FOffsetRank},
        };
        for (const auto& [name, field] : names) {
            list.emplace_back(Sjis(name), field);
        }
        return list;
    }();
    for (const auto& [name, field] : fields) {
        if (name == rating) {
            return field;
        }
    }
    return nullptr;
}

// What the rules of every method ask of a race.
struct RaceFacts
{
    int runners = 0; // RunnerCount as registered
    int slots = 0;   // the runner slots the built-in rules scan
    int distance = 0;
    int track = 0;
    bool excluded = false; // steeplechase, 新馬 or 未出走
};

RaceFacts FactsOf(const RaceSlot& race)
{
    RaceFacts facts;
    facts.runners = race.RunnerCount;
    facts.slots = std::clamp(race.RunnerCount, 0, kRunnerSlots);
    facts.distance = ParseInt(race.DistanceText.View()).value_or(0);
    facts.track = ParseInt(race.TrackCode.View()).value_or(0);
    std::string_view track = race.TrackCode.View();
    std::string_view youngest = race.ConditionCodes[4].View();
    facts.excluded = IsSteeplechaseTrack(track) || youngest == "701" || youngest == "702";
    return facts;
}

// The horse number of the lowest runner slot below `slots` holding `rank`, 0 for none.
int RunnerWithRank(const RaceSlot& race, RankField rating, int rank, int slots)
{
    if (rating == nullptr || rank <= 0) {
        return 0;
    }
    for (int h = 0; h < slots; ++h) {
        if (race.Runners[static_cast<std::size_t>(h)].*rating == rank) {
            return h + 1;
        }
    }
    return 0;
}

// The candidates of one race: "%10.1f" payout + combination text, once each, in text order.
class Candidates
{
public:
    explicit Candidates(const RaceSlot& race) : m_race(race) {}

    // The text a pair of horse numbers adds, or nothing for a missing or repeated runner.
    std::optional<std::string> TextOf(int horseA, int horseB) const
    {
        if (horseA == 0 || horseB == 0 || horseA == horseB) {
            return std::nullopt;
        }
        int index = QuinellaIndex(std::min(horseA, horseB), std::max(horseA, horseB));
        return fmt::sprintf("%10.1f", m_race.PredictedQuinellaPayout[static_cast<std::size_t>(index)]) +
               QuinellaText(index);
    }

    void Add(std::string text) { m_texts.insert(std::move(text)); }

    // The first three combinations become BetCombos[1..3]. The combination is the text's
    // last five characters, which are characters 11..15 for every payout that fits "%10.1f".
    void FillBets(BetRecord& bets) const
    {
        int i = 1;
        for (const std::string& text : m_texts) {
            if (i > 3) {
                break;
            }
            bets.BetCombos[static_cast<std::size_t>(i++)] = std::string_view(text).substr(text.size() - 5);
        }
    }

private:
    const RaceSlot& m_race;
    std::set<std::string> m_texts;
};

// The number a "%10.1f" candidate text prints: the thresholds of 買い目１ compare the
// printed payout, so 1500.04 counts as 1500.0.
double PrintedValue(std::string_view text)
{
    return std::strtod(std::string(text).c_str(), nullptr);
}

void ApplyRow(const RuleRow& row, const RaceSlot& race, int slots, BetRecord& bets)
{
    Candidates candidates(race);
    for (const PairRule& rule : row.pairs) {
        if (auto text = candidates.TextOf(RunnerWithRank(race, rule.rating, rule.first, slots),
                                          RunnerWithRank(race, rule.rating, rule.second, slots))) {
            candidates.Add(std::move(*text));
        }
    }
    for (const SingleRule& rule : row.singles) {
        if (int horse = RunnerWithRank(race, rule.rating, rule.rank, slots)) {
            bets.BetRunner = horse;
        }
    }
    candidates.FillBets(bets);
}

const RuleRow* BuiltInRow(const BuiltInMethod& method, const RaceFacts& facts)
{
    bool turf = IsTurfTrack(facts.track);
    if (facts.runners >= 1 && facts.runners <= 13 && facts.distance >= 1000 && facts.distance <= 2000) {
        return turf ? &method.smallTurf : &method.smallDirt;
    }
    if (facts.runners >= 14 && facts.runners <= 16 && facts.distance >= 1000) {
        return turf ? &method.largeTurf : &method.largeDirt;
    }
    return nullptr;
}

std::pair<int, int> OrderedRange(int from, int to)
{
    return from > to ? std::pair{to, from} : std::pair{from, to};
}

void ApplyUserRules(const UserRuleSet& set, const RaceSlot& race, const RaceFacts& facts, BetRecord& bets)
{
    bool turf = IsTurfTrack(facts.track);
    const UserSurfaceRules& rules = turf ? set.turf : set.dirt;
    auto [fewest, most] = OrderedRange(rules.runnersFrom, rules.runnersTo);
    auto [shortest, longest] = OrderedRange(rules.distanceFrom, rules.distanceTo);
    if (facts.runners < fewest || facts.runners > most || facts.distance < shortest || facts.distance > longest) {
        return;
    }
    // A user rule looks at all 18 runner slots; slots beyond the field hold no rank.
    auto runnerOf = [&](const RatingRank& input) {
        return RunnerWithRank(race, UserRatingField(input.rating), input.rank, kRunnerSlots);
    };
    Candidates candidates(race);
    for (const UserPairRule& rule : rules.pairs) {
        if (auto text = candidates.TextOf(runnerOf(rule.first), runnerOf(rule.second))) {
            candidates.Add(std::move(*text));
        }
    }
    if (int horse = runnerOf(rules.win)) {
        bets.BetRunner = horse;
    }
    candidates.FillBets(bets);
}

void ApplyDeveloper1(const RaceSlot& race, const RaceFacts& facts, BetRecord& bets)
{
    if (facts.runners < 13 || facts.runners > 16 || facts.excluded) {
        return;
    }
    // Straight turf (TrackCode 10) is not turf for this method.
    bool turf = IsCurvedTurfTrack(facts.track);
    const DeveloperRows& rows = Developer1Rows();
    const RuleRow* row = nullptr;
    if (facts.distance <= 1600) {
        row = turf ? &rows.shortTurf : &rows.shortDirt;
    } else if (facts.distance >= 1700) {
        row = turf ? &rows.longTurf : &rows.longDirt;
    } else {
        return;
    }
    const int slots = facts.slots;
    Candidates candidates(race);
    for (const PairRule& rule : row->pairs) {
        auto text = candidates.TextOf(RunnerWithRank(race, rule.rating, rule.first, slots),
                                      RunnerWithRank(race, rule.rating, rule.second, slots));
        if (text && PrintedValue(std::string_view(*text).substr(0, text->size() - 5)) > 1500.0) {
            candidates.Add(std::move(*text));
        }
    }
    // The single candidates: "%10.1f" predicted win payout + "%2d" horse number, duplicates
    // kept; the highest payout is the last text.
    std::multiset<std::string> singles;
    for (const SingleRule& rule : row->singles) {
        if (int horse = RunnerWithRank(race, rule.rating, rule.rank, slots)) {
            singles.insert(
                fmt::sprintf("%10.1f", race.Runners[static_cast<std::size_t>(horse - 1)].PredictedWinPayout) +
                fmt::sprintf("%2d", horse));
        }
    }
    if (!singles.empty()) {
        std::string_view last = *singles.rbegin();
        if (PrintedValue(last.substr(0, last.size() - 2)) >= 1000.0) {
            bets.BetRunner = ParseInt(last.substr(last.size() - 2)).value_or(0);
        }
    }
    candidates.FillBets(bets);
}

bool HasYear(const RaceDay& day, int r)
{
    return !IsBlank(FieldView(day.RaceRA[static_cast<std::size_t>(r)].View(), jv::kYear.position, jv::kYear.length));
}

void ClearBets(BetRecord& bets)
{
    for (int i = 1; i <= kBetSlots; ++i) {
        bets.BetCombos[static_cast<std::size_t>(i)].Clear();
    }
    bets.BetRunner = 0;
}

// Calls `bet` for every race slot with a year, after clearing its bets.
template <typename Bet> void ForEachRace(RaceDay& day, Bet bet)
{
    for (int r = 0; r < kRaceSlots; ++r) {
        if (!HasYear(day, r)) {
            continue;
        }
        BetRecord& bets = day.Bets[static_cast<std::size_t>(r)];
        ClearBets(bets);
        const RaceSlot& race = day.Races[static_cast<std::size_t>(r)];
        if (race.incomplete) {
            continue; // runners are missing from the store: no bet on a field not known whole
        }
        bet(race, FactsOf(race), bets);
    }
}

} // namespace

BetSelectionResult SelectBets(RaceDay& day, const BetMethod& method)
{
    BetSelectionResult result;
    switch (method.kind) {
    case BetMethodKind::Developer1:
    case BetMethodKind::Developer2:
    case BetMethodKind::Developer3:
        SelectDeveloperBets(day, method.kind);
        return result;
    case BetMethodKind::No1:
    case BetMethodKind::No2: {
        const BuiltInMethod& rules = method.kind == BetMethodKind::No1 ? MethodNo1() : MethodNo2();
        ForEachRace(day, [&](const RaceSlot& race, const RaceFacts& facts, BetRecord& bets) {
            if (facts.excluded) {
                return;
            }
            if (const RuleRow* row = BuiltInRow(rules, facts)) {
                ApplyRow(*row, race, facts.slots, bets);
            }
        });
        break;
    }
    case BetMethodKind::User:
        ForEachRace(day, [&](const RaceSlot& race, const RaceFacts& facts, BetRecord& bets) {
            if (method.userSet && !facts.excluded) {
                ApplyUserRules(*method.userSet, race, facts, bets);
            }
        });
        if (!method.userSet) {
            result.message = NoUserSetMessage();
        }
        break;
    }
    day.BetKindSuffix = BetKindSuffixOf(method);
    return result;
}

void SelectDeveloperBets(RaceDay& day, BetMethodKind method)
{
    if (method != BetMethodKind::Developer2 && method != BetMethodKind::Developer3) {
        method = BetMethodKind::Developer1;
    }
    ForEachRace(day, [&](const RaceSlot& race, const RaceFacts& facts, BetRecord& bets) {
        // 買い目2 and 買い目3 have no rules yet: their races stay without bets.
        if (method == BetMethodKind::Developer1) {
            ApplyDeveloper1(race, facts, bets);
        }
    });
    day.BetKindSuffix = BetKindSuffixOf(BetMethod{method, std::nullopt});
}

} // namespace vornal
