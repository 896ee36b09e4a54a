#pragma once

#include <string>
#include <vector>

#include "app/TuningTables.h"
#include "raceday/RaceDay.h"

// Popularity share and quinella ranking ("馬連順位、占有率", senujBtn). A race whose three
// favourites hold a large share of the win expectation (人気占有率) pays less than an open
// one; the race's share class picks, for each quinella popularity rank, the historical hit
// rate 的中率 and expected value 期待値 of RankHitTable. From them every rank of the race
// gets a cumulative hit rate and an evaluation mark, and the ranks the race's bets fall on
// are marked with a leading "S".
namespace vornal {

// The popularity-share class 1..8 of a PopularityShare in percent: below 49.8 is 1,
// 49.8..53.5 is 2, then up to 56.6, 59.2, 62.4, 65.1 and 68.4 inclusive are 3..7, and
// above 68.4 is 8.
int ShareClass(double popularityShare);

// The row label of a share class in the share-class statistics: "49.8未満", "53.5以下",
// "56.6以下", "59.2以下", "62.4以下", "65.1以下", "68.4以下", "68.5以上" (CP932); empty
// outside 1..8.
std::string ShareClassLabel(int shareClass);

// The evaluation mark of a rank with hit rate `hitRate` (percent) and expected value
// `expectedValue`: none (empty) below an expected value of 1.0, "★" from 2.0, otherwise
// "◎" from a hit rate of 10, "○" from 5, "▲" from 2.5, "△" from 1.25 and "？" below.
// With `betPrefix` the mark gets a leading "S" ("S◎"). CP932.
std::string RankEvaluationMark(double hitRate, double expectedValue, bool betPrefix);

// For every race slot whose RaceLoaded is set: rebuilds CumulativeHitRate[1..153] (the sum
// of the class's hit rates over the ranks up to i that occur in the race) and RankMark
// [1..153] (the "S" mark of each bet rank, the plain mark of every other ranked
// combination). Reads PopularityShare, QuinellaRank and BetCombos[1..3]. Other slots are
// left untouched. Never fails.
void EvaluateQuinellaRanks(RaceDay& day, const TuningTables& tables);

// What a payout matrix shows: "配当" (the initial choice) or "投票率".
enum class MatrixView { Payout, VoteShare };

// The cell texts of a triangle of pair combinations: one column per smaller number, one row
// per larger number, numbers 1..Size(). Cells off the triangle are empty.
class TriangleGrid
{
public:
    explicit TriangleGrid(int size) : m_size(size), m_cells(static_cast<std::size_t>(size * size)) {}

    int Size() const { return m_size; }
    // The cell of the pair (smaller, larger), 1-based; empty outside the grid.
    const std::string& Cell(int smaller, int larger) const;
    void Set(int smaller, int larger, std::string text);

private:
    int m_size;
    std::vector<std::string> m_cells;
};

// The quinella matrix of race slot `race` (18 x 18, rows 2..18): with "配当" each
// combination's PredictedQuinellaPayout "%7.0f", with "投票率" its QuinellaProb x 100
// "%6.1f"; a value not above 0 leaves the cell empty. A slot outside 0..35 gives empty cells.
TriangleGrid ShowQuinellaMatrix(const RaceDay& day, int race, MatrixView view);

// The bracket-quinella matrix of race slot `race` (8 x 8, the diagonal included): with
// "配当" each BracketOddsValue "%7.0f" when above 0 (imported odds use -1 and -2 for none).
// "投票率" has no source of values and gives empty cells.
TriangleGrid ShowBracketMatrix(const RaceDay& day, int race, MatrixView view);

} // namespace vornal
