#pragma once

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "raceday/RaceDay.h"
#include "raceday/Ranking.h"

namespace vornal {

// Ranks the runners of a race by RankEntries: runner slot = index in `runners`, horse number
// = index + 1 (the last key). `keysOf(runner)` gives the entry's keys, or nothing for a runner
// the ranking leaves out, who keeps the rank it had; every ranked runner's `rankField` is
// written. The one adapter between the runners and the ranking routine.
template <typename KeysOf>
void RankRunners(std::span<Runner> runners, RankDirection direction, int Runner::*rankField, const KeysOf& keysOf)
{
    std::vector<RankEntry> entries;
    entries.reserve(runners.size());
    std::array<int, kRunnerSlots> ranks{};
    for (std::size_t s = 0; s < runners.size() && s < ranks.size(); ++s) {
        ranks[s] = runners[s].*rankField;
        std::optional<RankEntry> entry = keysOf(runners[s]);
        if (!entry) {
            continue;
        }
        entry->slot = static_cast<int>(s);
        entry->horseNo = static_cast<int>(s) + 1;
        entries.push_back(*entry);
    }
    RankEntries(entries, direction, ranks);
    for (std::size_t s = 0; s < runners.size() && s < ranks.size(); ++s) {
        runners[s].*rankField = ranks[s];
    }
}

} // namespace vornal
