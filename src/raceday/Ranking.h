#pragma once

#include <array>
#include <span>

// The one ranking routine of the race analysis. A ranking orders the runners of a race by a
// primary key, then further keys, then the horse number, all in the ranking's direction,
// and gives rank 1 to the first. Real keys are compared after rounding to their stated
// decimals, so values equal at that precision are ties and fall to the next key.
namespace vornal {

enum class RankDirection { Ascending, Descending };

struct RankKey
{
    double value = 0.0;
    int decimals = 0;
};

constexpr int kMaxRankKeys = 3;

struct RankEntry
{
    int slot = 0;    // runner slot 0..17: where the rank is written
    int horseNo = 0; // last key
    std::array<RankKey, kMaxRankKeys> keys{};
    int keyCount = 1;
    // An entry without its primary key (a missing value) comes after every entry that has
    // one, ordered among the others by the remaining keys and the horse number.
    bool hasPrimary = true;
};

// `value` rounded half away from zero to `decimals` places, as an integer count of units of
// the last place, so that comparisons are exact.
long long RoundedKey(double value, int decimals);

// Ranks 1..n in `ranks[entry.slot]` for the entries given; slots not among the entries are
// left as they are. The same input always gives the same ranks.
void RankEntries(std::span<const RankEntry> entries, RankDirection direction, std::span<int> ranks);

} // namespace vornal
