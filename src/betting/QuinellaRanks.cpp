#include "betting/QuinellaRanks.h"

#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/Combinations.h"

namespace vornal {
namespace {

constexpr int kQuinellaHorses = 18;
constexpr int kBrackets = 8;
constexpr int kJudgedBets = 3;

} // namespace

int ShareClass(double s)
{
    if (s < 49.8) {
        return 1;
    }
    if (s <= 53.5) {
        return 2;
    }
    if (s <= 56.6) {
        return 3;
    }
    if (s <= 59.2) {
        return 4;
    }
    if (s <= 62.4) {
        return 5;
    }
    if (s <= 65.1) {
        return 6;
    }
    if (s <= 68.4) {
        return 7;
    }
    return 8;
}

std::string ShareClassLabel(int shareClass)
{
    static constexpr const char* kLabels[] = {"49.8未満", "53.5以下", "56.6以下", "59.2以下",
                                              "62.4以下", "65.1以下", "68.4以下", "68.5以上"};
    if (shareClass < 1 || shareClass > kShareClasses) {
        return {};
    }
    return Sjis(kLabels[shareClass - 1]);
}

std::string RankEvaluationMark(double hitRate, double expectedValue, bool betPrefix)
{
    if (expectedValue < 1.0) {
        return {};
    }
    const char* mark = nullptr;
    if (expectedValue >= 2.0) {
        mark = "★";
    } else if (hitRate >= 10.0) {
        mark = "◎";
    } else if (hitRate >= 5.0) {
        mark = "○";
    } else if (hitRate >= 2.5) {
        mark = "▲";
    } else if (hitRate >= 1.25) {
        mark = "△";
    } else {
        mark = "？";
    }
    return (betPrefix ? std::string("S") : std::string()) + Sjis(mark);
}

void EvaluateQuinellaRanks(RaceDay& day, const TuningTables& tables)
{
    for (std::size_t r = 0; r < static_cast<std::size_t>(kRaceSlots); ++r) {
        const RaceSlot& race = day.Races[r];
        if (!race.RaceLoaded) {
            continue;
        }
        BetRecord& bets = day.Bets[r];
        const int c = ShareClass(race.PopularityShare);
        bets.CumulativeHitRate.fill(0.0);
        for (auto& mark : bets.RankMark) {
            mark.Clear();
        }

        // Summed over the combinations in number order for every i, so the figure is the
        // same wherever it is recomputed: combination k adds its rate to every i from its
        // rank up, which keeps each sum's order while the sums run side by side.
        for (int k = 1; k <= kQuinellaCount; ++k) {
            const int rank = race.QuinellaRank[static_cast<std::size_t>(k)];
            if (rank < 1 || rank > kQuinellaCount) {
                continue;
            }
            const double rate = tables.RankHitRate(c, rank);
            for (std::size_t i = static_cast<std::size_t>(rank); i <= static_cast<std::size_t>(kQuinellaCount); ++i) {
                bets.CumulativeHitRate[i] += rate;
            }
        }

        // The bet ranks come from slots 1..m, m being the number of bets that are not blank;
        // the selection fills the slots from 1 without gaps.
        int betCount = 0;
        for (int i = 1; i <= kJudgedBets; ++i) {
            if (!TrimView(bets.BetCombos[static_cast<std::size_t>(i)].View()).empty()) {
                ++betCount;
            }
        }
        std::vector<int> betRanks;
        for (int i = 1; i <= betCount; ++i) {
            int index = QuinellaIndex(bets.BetCombos[static_cast<std::size_t>(i)].View());
            betRanks.push_back(index > 0 ? race.QuinellaRank[static_cast<std::size_t>(index)] : 0);
        }

        for (int rank : betRanks) {
            if (rank >= 1 && rank <= kQuinellaCount) {
                bets.RankMark[static_cast<std::size_t>(rank)] =
                    RankEvaluationMark(tables.RankHitRate(c, rank), tables.RankExpectedValue(c, rank), true);
            }
        }
        for (int k = 1; k <= kQuinellaCount; ++k) {
            int rank = race.QuinellaRank[static_cast<std::size_t>(k)];
            if (rank < 1 || rank > kQuinellaCount) {
                continue;
            }
            auto& mark = bets.RankMark[static_cast<std::size_t>(rank)];
            if (TrimView(mark.View()).empty()) {
                mark = RankEvaluationMark(tables.RankHitRate(c, rank), tables.RankExpectedValue(c, rank), false);
            }
        }
    }
}

const std::string& TriangleGrid::Cell(int smaller, int larger) const
{
    static const std::string empty;
    if (smaller < 1 || larger < 1 || smaller > m_size || larger > m_size) {
        return empty;
    }
    return m_cells[static_cast<std::size_t>((larger - 1) * m_size + (smaller - 1))];
}

void TriangleGrid::Set(int smaller, int larger, std::string text)
{
    if (smaller < 1 || larger < 1 || smaller > m_size || larger > m_size) {
        return;
    }
    m_cells[static_cast<std::size_t>((larger - 1) * m_size + (smaller - 1))] = std::move(text);
}

TriangleGrid ShowQuinellaMatrix(const RaceDay& day, int race, MatrixView view)
{
    TriangleGrid grid(kQuinellaHorses);
    if (race < 0 || race >= kRaceSlots) {
        return grid;
    }
    const RaceSlot& slot = day.Races[static_cast<std::size_t>(race)];
    for (int k = 1; k <= kQuinellaCount; ++k) {
        auto [a, b] = *QuinellaPair(k);
        double value = view == MatrixView::Payout ? slot.PredictedQuinellaPayout[static_cast<std::size_t>(k)]
                                                  : slot.QuinellaProb[static_cast<std::size_t>(k)] * 100.0;
        if (value > 0.0) {
            grid.Set(a, b, fmt::sprintf(view == MatrixView::Payout ? "%7.0f" : "%6.1f", value));
        }
    }
    return grid;
}

TriangleGrid ShowBracketMatrix(const RaceDay& day, int race, MatrixView view)
{
    TriangleGrid grid(kBrackets);
    if (race < 0 || race >= kRaceSlots || view != MatrixView::Payout) {
        return grid;
    }
    const RaceSlot& slot = day.Races[static_cast<std::size_t>(race)];
    for (int b = 1; b <= kBracketCount; ++b) {
        auto [low, high] = *BracketPair(b);
        double value = slot.BracketOddsValue[static_cast<std::size_t>(b)];
        if (value > 0.0) {
            grid.Set(low, high, fmt::sprintf("%7.0f", value));
        }
    }
    return grid;
}

} // namespace vornal
