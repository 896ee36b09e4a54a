#include "raceday/RaceDay.h"

#include "raceday/DayBlock.h"

namespace vornal {

void* RaceDay::operator new(std::size_t size)
{
    return AllocateDayBlock(size);
}

void RaceDay::operator delete(void* day, std::size_t size) noexcept
{
    FreeDayBlock(day, size);
}

RaceDay::RaceDay(const RaceDay& other, CloneTag)
    : RaceCount(other.RaceCount), OddsO1Path(other.OddsO1Path), OddsO2Path(other.OddsO2Path), RaceRA(other.RaceRA),
      RaceHR(other.RaceHR), RaceO1(other.RaceO1), RaceO2(other.RaceO2), RunnerSE(other.RunnerSE),
      RunnerUM(other.RunnerUM), PastSE(other.PastSE), PastRA(other.PastRA), Races(other.Races), Bets(other.Bets),
      BetKindSuffix(other.BetKindSuffix)
{
}

std::unique_ptr<RaceDay> RaceDay::Clone() const
{
    return std::unique_ptr<RaceDay>(new RaceDay(*this, CloneTag{}));
}

void ClearRaceDay(RaceDay& day)
{
    static const RaceSlot kCleared{};
    day.RaceCount = 0;
    for (RaceSlot& race : day.Races) {
        // The odds survive a clearing: the loader sets them for every slot of a loaded race,
        // and the odds of slots the new day does not use keep the previous day's values.
        std::array<std::array<double, 3>, kRunnerSlots> odds{};
        for (int h = 0; h < kRunnerSlots; ++h) {
            const Runner& runner = race.Runners[h];
            odds[h] = {runner.WinOdds, runner.PlaceOddsLow, runner.PlaceOddsHigh};
        }
        race = kCleared;
        for (int h = 0; h < kRunnerSlots; ++h) {
            Runner& runner = race.Runners[h];
            runner.WinOdds = odds[h][0];
            runner.PlaceOddsLow = odds[h][1];
            runner.PlaceOddsHigh = odds[h][2];
        }
    }
}

void BlankRaceDayRecords(RaceDay& day)
{
    for (int r = 0; r < kRaceSlots; ++r) {
        day.RaceRA[r].Blank();
        day.RaceHR[r].Blank();
        day.RaceO1[r].Blank();
        day.RaceO2[r].Blank();
        for (int h = 0; h < kRunnerSlots; ++h) {
            day.RunnerSE[r][h].Blank();
            day.RunnerUM[r][h].Blank();
            for (int k = 0; k < kPastRuns; ++k) {
                day.PastSE[r][h][k].Blank();
                day.PastRA[r][h][k].Blank();
            }
        }
    }
}

std::unique_ptr<RaceDay> ClearedRaceDay(const RaceDay* kept)
{
    // Default-initialised, not value-initialised: every member has its initial value in its
    // declaration, and zeroing the 9 MB first would write the block twice.
    std::unique_ptr<RaceDay> day(new RaceDay);
    if (kept == nullptr) {
        return day;
    }
    for (int r = 0; r < kRaceSlots; ++r) {
        for (int h = 0; h < kRunnerSlots; ++h) {
            const Runner& from = kept->Races[r].Runners[h];
            Runner& to = day->Races[r].Runners[h];
            to.WinOdds = from.WinOdds;
            to.PlaceOddsLow = from.PlaceOddsLow;
            to.PlaceOddsHigh = from.PlaceOddsHigh;
        }
    }
    day->Bets = kept->Bets;
    day->BetKindSuffix = kept->BetKindSuffix;
    return day;
}

} // namespace vornal
