#include "raceday/Ranking.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "text/Format.h"

namespace vornal {

namespace {

// The key the long way: the value printed, its digits read back.
long long PrintedKey(double value, int decimals)
{
    const std::string text = fmt::sprintf("%.*f", decimals, value);
    long long units = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            units = units * 10 + (c - '0');
        }
    }
    return text.front() == '-' ? -units : units;
}

} // namespace

long long RoundedKey(double value, int decimals)
{
    // The key is the value as printed with the stated decimals ("%.3f"), read back as a
    // count of units of the last place: the same rounding as the fixed-width key texts the
    // rankings were first defined by (the exact binary value decides; exact halves go to
    // even). Scaling by a power of ten first would add its own rounding error.
    if (value != value) {
        return 0;
    }
    constexpr double kLimit = 9.0e17; // far beyond any racing figure: saturate, keeping order
    // The powers of ten up to 10^9 are exact: taken from the table, the same as pow gives.
    static constexpr double kExactScale[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const bool tabled = decimals >= 0 && decimals <= 9;
    const double scale = tabled ? kExactScale[decimals] : std::pow(10.0, decimals);
    if (std::fabs(value) * scale >= kLimit) {
        return value > 0 ? static_cast<long long>(kLimit) : -static_cast<long long>(kLimit);
    }
    // The scaled value is off by at most half a unit in its last binary place (the powers of
    // ten up to 10^9 are exact), far less than 1e-6 below 2^31: unless it lies that close to
    // a half, the nearest whole number is the printed rounding. Printing stays for the rest.
    if (tabled) {
        const double scaled = value * scale;
        if (std::fabs(scaled) < 2147483648.0) {
            const double whole = std::floor(scaled);
            const double fraction = scaled - whole;
            if (std::fabs(fraction - 0.5) > 1e-6) {
                return static_cast<long long>(fraction < 0.5 ? whole : whole + 1.0);
            }
        }
    }
    return PrintedKey(value, decimals);
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
