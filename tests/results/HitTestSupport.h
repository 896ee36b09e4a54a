#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "raceday/RaceDay.h"
#include "raceday/RecordBuilder.h"
#include "results/ResultsLoader.h"
#include "store/JvLayout.h"

// Race days for the hit tests: races placed in slots with their payout records, results
// taken by LoadResults as a day load does, so the keys compared are the loader's own.
namespace vornal::test {

// A payout record of the race, entries 1-based as the record numbers them.
class PayoutBuilder
{
public:
    PayoutBuilder() : m_hr(BlankRecord(jv::kLengthHR, "HR")) { Put(m_hr, jv::kDate, "20260105"); }

    PayoutBuilder& Win(int i, int horseNo, int payout) { return Entry(jv::hr::kWin, i, Digits(horseNo, 2), payout); }
    PayoutBuilder& Place(int i, int horseNo, int payout)
    {
        return Entry(jv::hr::kPlace, i, Digits(horseNo, 2), payout);
    }
    // `pair` as the record holds it: "35" for brackets, "0305" for horses.
    PayoutBuilder& Bracket(int i, std::string_view pair, int payout)
    {
        return Entry(jv::hr::kBracketQuinella, i, pair, payout);
    }
    PayoutBuilder& Quinella(int i, std::string_view pair, int payout)
    {
        return Entry(jv::hr::kQuinella, i, pair, payout);
    }
    PayoutBuilder& Wide(int i, std::string_view pair, int payout) { return Entry(jv::hr::kWide, i, pair, payout); }

    const std::string& Record() const { return m_hr; }

private:
    PayoutBuilder& Entry(const jv::hr::PayTable& table, int i, std::string_view key, int payout)
    {
        Put(m_hr, jv::Nth(table.key, table.stride, i), key);
        Put(m_hr, jv::Nth(table.payout, table.stride, i), Digits(payout, table.payout.length));
        Put(m_hr, jv::Nth(table.popularity, table.stride, i), Digits(1, table.popularity.length));
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

// Loads race `slot` (the next one of the day) with `runners` registered runners at racecourse
// `course`, meeting 3, day 5, and its payout record; the bets are cleared.
inline void AddRace(RaceDay& day, int slot, int runners, const PayoutBuilder& payouts = PayoutBuilder(),
                    std::string course = "06")
{
    RaceSpec spec;
    spec.course = course;
    spec.raceNo = slot + 1;
    spec.registered = runners;
    std::string ra = MakeRA(spec);
    Put(ra, jv::kMeeting, "03");
    Put(ra, jv::kMeetingDay, "05");
    day.RaceRA[slot] = ra;
    day.RaceHR[slot] = payouts.Record();
    RaceSlot& race = day.Races[slot];
    race.RaceLoaded = true;
    race.SlotKey = std::string_view(ra).substr(11, 16);
    race.RunnerCount = runners;
    day.Bets[slot] = BetRecord{};
    day.RaceCount = std::max(day.RaceCount, slot + 1);
    LoadResults(day);
}

inline void SetBets(RaceDay& day, int slot, std::string_view bet1, std::string_view bet2 = "",
                    std::string_view bet3 = "", int runner = 0)
{
    BetRecord& bets = day.Bets[slot];
    bets.BetCombos[1] = bet1;
    bets.BetCombos[2] = bet2;
    bets.BetCombos[3] = bet3;
    bets.BetRunner = runner;
}

} // namespace vornal::test
