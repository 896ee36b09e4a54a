#include "raceday/Ranking.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vornal {

long long RoundedKey(double value, int decimals)
{
    double scaled = value * std::pow(10.0, decimals);
    // A value like 0.123445 stored as 0.12344499999 must still round up at 5 decimals: nudge
    // by a few units of the double's precision before rounding.
    scaled += std::copysign(std::fabs(scaled) * 4e-15, scaled);
    // Far beyond any racing figure (a huge stand-in for "no value"): saturate, keeping order.
    constexpr double kLimit = 9.0e18;
    if (!(scaled < kLimit)) {
        return scaled != scaled ? 0 : static_cast<long long>(kLimit);
    }
    if (scaled <= -kLimit) {
        return -static_cast<long long>(kLimit);
    }
    return std::llround(scaled);
}

void RankEntries(std::span<const RankEntry> entries, RankDirection direction, std::span<int> ranks)
{
    struct Sortable
    {
        const RankEntry* entry;
        std::array<long long, kMaxRankKeys> keys;
    };
    std::vector<Sortable> items;
    items.reserve(entries.size());
    for (const RankEntry& entry : entries) {
        Sortable item{&entry, {}};
        for (int i = 0; i < entry.keyCount && i < kMaxRankKeys; ++i) {
            item.keys[static_cast<std::size_t>(i)] = RoundedKey(entry.keys[static_cast<std::size_t>(i)].value,
                                                                entry.keys[static_cast<std::size_t>(i)].decimals);
        }
        items.push_back(item);
    }
    const bool descending = direction == RankDirection::Descending;
    auto before = [descending](const Sortable& a, const Sortable& b) {
        if (a.entry->hasPrimary != b.entry->hasPrimary) {
            return a.entry->hasPrimary;
        }
        int keyCount = std::max(a.entry->keyCount, b.entry->keyCount);
        for (int i = a.entry->hasPrimary ? 0 : 1; i < keyCount; ++i) {
            long long x = a.keys[static_cast<std::size_t>(i)];
            long long y = b.keys[static_cast<std::size_t>(i)];
            if (x != y) {
                return descending ? x > y : x < y;
            }
        }
        if (a.entry->horseNo != b.entry->horseNo) {
            return descending ? a.entry->horseNo > b.entry->horseNo : a.entry->horseNo < b.entry->horseNo;
        }
        return a.entry->slot < b.entry->slot;
    };
    std::sort(items.begin(), items.end(), before);
    int rank = 1;
    for (const Sortable& item : items) {
        if (item.entry->slot >= 0 && static_cast<std::size_t>(item.entry->slot) < ranks.size()) {
            ranks[static_cast<std::size_t>(item.entry->slot)] = rank;
        }
        ++rank;
    }
}

} // namespace vornal
