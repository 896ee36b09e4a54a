#pragma once

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "raceday/RaceDay.h"
#include "support/JvRecordBuilder.h"
#include "results/ResultsLoader.h"
#include "store/JvLayout.h"

// Race days for the hit tests: races with their payout records, results taken by
// LoadResults as in a day load, so the keys compared are the loader's own.
namespace vornal::test {

// A payout record. Entries are 1-based and keyed as the record holds them: "03" for a horse,
// "35" for brackets, "0305" for horses.
class Payouts
{
public:
    Payouts() : m_hr(BlankRecord("HR", jv::kLengthHR)) { Put(m_hr, jv::kDate, "20260105"); }

    Payouts& Win(int i, std::string_view key, int yen) { return Add(jv::hr::kWin, i, key, yen); }
    Payouts& Place(int i, std::string_view key, int yen) { return Add(jv::hr::kPlace, i, key, yen); }
    Payouts& Bracket(int i, std::string_view key, int yen) { return Add(jv::hr::kBracketQuinella, i, key, yen); }
    Payouts& Quinella(int i, std::string_view key, int yen) { return Add(jv::hr::kQuinella, i, key, yen); }
    Payouts& Wide(int i, std::string_view key, int yen) { return Add(jv::hr::kWide, i, key, yen); }
    const std::string& Record() const { return m_hr; }

private:
    Payouts& Add(const jv::hr::PayTable& table, int i, std::string_view key, int yen)
    {
        Put(m_hr, jv::Nth(table.key, table.stride, i), key);
        Put(m_hr, jv::Nth(table.payout, table.stride, i), Digits(yen, table.payout.length));
        return *this;
    }
    std::string m_hr;
};

inline std::unique_ptr<RaceDay> EmptyDay()
{
    auto day = std::make_unique<RaceDay>();
    ClearRaceDay(*day);
    BlankRaceDayRecords(*day);
    return day;
}

// Loads race `slot` (race number slot + 1, meeting 3, day 5 at `course`) with `runners`
// registered runners, its payouts and the bets `bet1..3` and `runner`.
inline void AddRace(RaceDay& day, int slot, int runners, const Payouts& payouts = Payouts(),
                    std::array<std::string_view, 3> bets = {}, int runner = 0, std::string course = "06")
{
    RaceSpec fields;
    fields.course = course;
    fields.raceNo = slot + 1;
    fields.registered = runners;
    std::string ra = MakeRA(fields);
    Put(ra, jv::kMeeting, "03");
    Put(ra, jv::kMeetingDay, "05");
    day.RaceRA[slot] = ra;
    day.RaceHR[slot] = payouts.Record();
    day.Races[slot].RaceLoaded = true;
    day.Races[slot].SlotKey = std::string_view(ra).substr(11, 16);
    day.Races[slot].RunnerCount = runners;
    day.RaceCount = std::max(day.RaceCount, slot + 1);
    day.Bets[slot] = BetRecord{};
    for (std::size_t i = 0; i < bets.size(); ++i) {
        day.Bets[slot].BetCombos[i + 1] = bets[i];
    }
    day.Bets[slot].BetRunner = runner;
    LoadResults(day);
}

} // namespace vornal::test
