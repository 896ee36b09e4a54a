#pragma once

#include <string>
#include <vector>

#include "raceday/RaceDay.h"

// The race list from which a race is chosen for analysis.
namespace vornal {

struct RaceListEntry
{
    int Slot = 0;     // the race slot the entry shows
    std::string Text; // "東京3回 5日11R" (CP932)
    // The load found runner records of the race missing (no figures, no bets).
    bool Incomplete = false;
};

// The entry text of race slot `race`: the racecourse name (short form) of the SlotKey's
// racecourse code, the meeting number, "回 ", the day number, "日", "%2d" of the race number
// and "R". Meeting and day are written without a leading zero.
std::string RaceListText(const RaceSlot& race);

// One entry per race slot 0..35 whose race record has a 開催年, in slot order.
std::vector<RaceListEntry> BuildRaceList(const RaceDay& day);

} // namespace vornal
