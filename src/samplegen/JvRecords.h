#pragma once

#include <string>

#include "samplegen/Market.h"
#include "samplegen/SeasonModel.h"

// JV-Data records of the sample season. Each record has the exact length of its kind with
// the CR LF the data service ends it with; the fields the system reads are filled the way the
// service fills them and every other byte is blank.
namespace vornal::samplegen {

// RA (race). Division '1' and '2' (entries, race cards) leave the going as its initial "0".
std::string RaRecord(const Race& race, char division, const SampleDate& made);

// SE (runner). In divisions '1' and '2' the result fields hold their initial values (zeros,
// a blank margin) and division '1' has no frame or horse number yet ("0", "00").
std::string SeRecord(const World& world, const Race& race, const Runner& runner, char division, const SampleDate& made);

// HR (payouts).
std::string HrRecord(const Race& race, char division, const SampleDate& made);

// O1 (win, place and bracket quinella odds) and O2 (quinella odds) of one announcement at
// `month`/`day` `hour`:`minute`.
struct Announcement
{
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
};
std::string O1Record(const Race& race, const OddsBoard& board, char division, const SampleDate& made,
                     const Announcement& at);
std::string O2Record(const Race& race, const OddsBoard& board, char division, const SampleDate& made,
                     const Announcement& at);

// Finishing counts and prizes of a horse's career up to (not including) `cutoffDay`, in the
// groups of the horse master: its runs in the feed plus what it did before the season.
struct CareerTotals
{
    PlaceCounts overall{}, jra{}, turfStraight{}, turfRight{}, turfLeft{}, dirtStraight{}, dirtRight{}, dirtLeft{},
        jump{};
    std::array<PlaceCounts, 4> turfGoing{}, dirtGoing{}, jumpGoing{};
    std::array<PlaceCounts, 3> turfDistance{}, dirtDistance{};
    long long flatPrize = 0, jumpPrize = 0, flatAdded = 0, jumpAdded = 0, flatEarned = 0, jumpEarned = 0;
};
CareerTotals HorseTotals(const Season& season, const Horse& horse, int cutoffDay);

// UM (horse master) with the totals above.
std::string UmRecord(const Horse& horse, const CareerTotals& totals, const SampleDate& made);

// KS (jockey) and CH (trainer) masters: this year's and last year's finishing counts,
// flat and jumps. `thisYear` and `lastYear` are the counts of the years around `made`.
std::string KsRecord(const Jockey& jockey, const YearRecord& thisYear, const YearRecord& lastYear,
                     const SampleDate& made);
std::string ChRecord(const Trainer& trainer, const YearRecord& thisYear, const YearRecord& lastYear,
                     const SampleDate& made);

// The yearly counts of every jockey and trainer in JRA races before `cutoffDay`, with their
// counts from before the season, for `year`.
struct YearTables
{
    std::vector<YearRecord> jockeys;
    std::vector<YearRecord> trainers;
};
YearTables CountYear(const Season& season, int year, int cutoffDay);

} // namespace vornal::samplegen
