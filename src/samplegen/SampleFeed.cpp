#include "samplegen/SampleFeed.h"

#include <algorithm>
#include <cmath>

#include "samplegen/JvRecords.h"
#include "samplegen/Market.h"
#include "samplegen/SampleRandom.h"
#include "samplegen/SampleWorld.h"
#include "text/Format.h"

namespace vornal::samplegen {
namespace {

std::string Stamp(int day, int hour, int minute)
{
    return DateDigits(DateOfDay(day)) + fmt::sprintf("%02d%02d00", hour, minute);
}

std::string StoredName(int day, int hour, int minute, const std::string& name)
{
    return "stored/" + Stamp(day, hour, minute) + "-" + name + ".jvd";
}

std::string RaceKeyText(const Race& race)
{
    return DateDigits(race.date) + std::string(race.course->code) +
           fmt::sprintf("%02d%02d%02d", race.meeting, race.meetingDay, race.number);
}

// The records of one race: RA, its runners' SE, and HR when `hrDivision` is set.
void AppendRace(std::string& out, const World& world, const Race& race, char division, char hrDivision,
                const SampleDate& made)
{
    out += RaRecord(race, division, made);
    for (const Runner& runner : race.runners) {
        if (runner.horse >= 0) {
            out += SeRecord(world, race, runner, division, made);
        }
    }
    if (hrDivision != 0) {
        out += HrRecord(race, hrDivision, made);
    }
}

std::string DayFile(const Season& season, const RaceDay& raceDay, char division, char hrDivision,
                    const SampleDate& made)
{
    std::string out;
    for (int index : raceDay.races) {
        AppendRace(out, season.world, season.races[static_cast<std::size_t>(index)], division, hrDivision, made);
    }
    return out;
}

// The odds announcements of a race on its day: every ten minutes from the opening of
// betting at 9:00, and the last one a minute before the off. The main race is also sold the
// day before; its evening announcement carries that day's date.
struct Snapshot
{
    Announcement at;
    SampleDate made;
    std::vector<double> shares;
};

std::vector<Snapshot> OddsSnapshots(const Race& race, std::uint64_t seed, std::size_t raceIndex)
{
    std::vector<std::pair<Announcement, SampleDate>> times;
    if (race.number == 11) {
        const SampleDate eve = DateOfDay(race.day - 1);
        times.push_back({{eve.month, eve.day, 17, 0}, eve});
    }
    const int post = race.postTime / 100 * 60 + race.postTime % 100;
    for (int minute = 9 * 60; minute <= post - 2; minute += 10) {
        times.push_back({{race.date.month, race.date.day, minute / 60, minute % 60}, race.date});
    }
    times.push_back({{race.date.month, race.date.day, (post - 1) / 60, (post - 1) % 60}, race.date});

    // The money moves as the morning goes on: going back from the final odds, each earlier
    // announcement strays a little further from them.
    SampleRandom random = SampleRandom::Stream(seed, kStreamOdds, raceIndex);
    const std::size_t n = race.runners.size();
    std::vector<double> drift(n, 0.0);
    std::vector<Snapshot> snapshots(times.size());
    for (std::size_t s = times.size(); s-- > 0;) {
        std::vector<double> shares(n, 0.0);
        double total = 0;
        for (std::size_t i = 0; i < n; ++i) {
            shares[i] = race.runners[i].winShare * std::exp(drift[i]);
            total += shares[i];
        }
        for (double& share : shares) {
            share = total > 0 ? share / total : 0;
        }
        if (s + 1 == times.size()) {
            for (std::size_t i = 0; i < n; ++i) {
                shares[i] = race.runners[i].winShare; // the final announcement is the final odds
            }
        }
        snapshots[s] = {times[s].first, times[s].second, std::move(shares)};
        for (double& d : drift) {
            d += random.Normal() * 0.06;
        }
    }
    return snapshots;
}

void AddMasters(SampleFeed& feed, const Season& season, const FeedOptions& options)
{
    const int madeDay = season.lastDay - 1;
    const SampleDate made = DateOfDay(madeDay);
    std::string out;
    const YearTables thisYear = CountYear(season, made.year, season.lastDay);
    const YearTables lastYear = CountYear(season, made.year - 1, season.lastDay);
    for (std::size_t j = 0; j < season.world.jockeys.size(); ++j) {
        out += KsRecord(season.world.jockeys[j], thisYear.jockeys[j], lastYear.jockeys[j], made);
    }
    for (std::size_t t = 0; t < season.world.trainers.size(); ++t) {
        out += ChRecord(season.world.trainers[t], thisYear.trainers[t], lastYear.trainers[t], made);
    }
    // The horses of the last day's races (or every horse that has been entered at all).
    std::vector<char> wanted(season.world.horses.size(), 0);
    if (options.allHorseMasters) {
        for (std::size_t h = 0; h < season.world.horses.size(); ++h) {
            const Horse& horse = season.world.horses[h];
            wanted[h] = !horse.runs.empty() || horse.starts > 0;
        }
    } else if (!season.raceDays.empty()) {
        for (int index : season.raceDays.back().races) {
            for (const Runner& runner : season.races[static_cast<std::size_t>(index)].runners) {
                wanted[static_cast<std::size_t>(runner.horse)] = 1;
            }
        }
    }
    for (std::size_t h = 0; h < season.world.horses.size(); ++h) {
        if (wanted[h]) {
            const Horse& horse = season.world.horses[h];
            out += UmRecord(horse, HorseTotals(season, horse, season.lastDay), made);
        }
    }
    feed.feed.push_back({StoredName(madeDay, 23, 30, "MASTERS"), std::move(out)});
}

void AddDayOdds(SampleFeed& feed, const Season& season, const RaceDay& raceDay, const FeedOptions& options);

void AddLastDay(SampleFeed& feed, const Season& season, const FeedOptions& options)
{
    const RaceDay& last = season.raceDays.back();
    const int weekday = Weekday(last.day);
    // Entries on the Thursday before the weekend, race cards on the Friday.
    const int thursday = last.day - (weekday == 0 ? 3 : 2);
    const int friday = thursday + 1;
    const std::string tag = DateDigits(last.date);
    feed.feed.push_back(
        {StoredName(thursday, 16, 0, "RACE-ENTRIES-" + tag), DayFile(season, last, '1', 0, DateOfDay(thursday))});
    feed.feed.push_back(
        {StoredName(friday, 17, 0, "RACE-CARDS-" + tag), DayFile(season, last, '2', 0, DateOfDay(friday))});
    feed.feed.push_back({"realtime/0B12/" + tag + ".jvd", DayFile(season, last, '6', '1', last.date)});
    AddDayOdds(feed, season, last, options);
}

// The odds of a day's races as they moved: each race's O1 announcements, with the final O2,
// as the feed's real-time odds (a link with a clock answers the one of the moment), and the
// same O1 announcements as the outside program's time-series files. Each race draws from a stream of its own, so the
// odds of one day do not depend on which other days are written.
void AddDayOdds(SampleFeed& feed, const Season& season, const RaceDay& raceDay, const FeedOptions& options)
{
    const std::string tag = DateDigits(raceDay.date);
    for (int index : raceDay.races) {
        const Race& race = season.races[static_cast<std::size_t>(index)];
        const std::vector<Snapshot> snapshots = OddsSnapshots(race, options.seed, static_cast<std::size_t>(index));
        std::string o1;
        for (const Snapshot& snapshot : snapshots) {
            o1 += O1Record(race, MakeOddsBoard(race, snapshot.shares), '1', snapshot.made, snapshot.at);
        }
        const Snapshot& final = snapshots.back();
        std::string realtime = o1 + O2Record(race, MakeOddsBoard(race, final.shares), '1', race.date, final.at);
        feed.feed.push_back({"realtime/0B30/" + RaceKeyText(race) + ".jvd", std::move(realtime)});
        if (options.timeSeries) {
            feed.timeSeries.push_back({tag + "/" + RaceKeyText(race).substr(8) + ".jvO1", std::move(o1)});
        }
    }
}

} // namespace

SampleFeed BuildFeed(const Season& season, const FeedOptions& options)
{
    SampleFeed feed;
    std::size_t outside = 0;
    for (std::size_t d = 0; d + 1 < season.raceDays.size(); ++d) {
        const RaceDay& raceDay = season.raceDays[d];
        const std::string tag = DateDigits(raceDay.date);
        feed.feed.push_back(
            {StoredName(raceDay.day, 17, 0, "RACE-FLASH-" + tag), DayFile(season, raceDay, '6', '1', raceDay.date)});
        feed.feed.push_back(
            {StoredName(raceDay.day, 22, 0, "RACE-RESULTS-" + tag), DayFile(season, raceDay, '7', '2', raceDay.date)});
        AddDayOdds(feed, season, raceDay, options);
        // Races abroad on the same day and local exchange races before the next race day.
        const int nextDay = season.raceDays[d + 1].day;
        for (; outside < season.outsideRaces.size(); ++outside) {
            const Race& race = season.races[static_cast<std::size_t>(season.outsideRaces[outside])];
            if (race.day >= nextDay) {
                break;
            }
            const bool abroad = race.course->region == CourseRegion::Abroad;
            std::string out;
            AppendRace(out, season.world, race, abroad ? 'B' : 'A', 0, race.date);
            feed.feed.push_back(
                {StoredName(race.day, 23, 0, (abroad ? "RACE-ABROAD-" : "RACE-LOCAL-") + DateDigits(race.date)),
                 std::move(out)});
        }
    }
    if (!season.raceDays.empty()) {
        AddLastDay(feed, season, options);
        AddMasters(feed, season, options);
    }
    std::stable_sort(feed.feed.begin(), feed.feed.end(),
                     [](const FeedFile& a, const FeedFile& b) { return a.path < b.path; });
    return feed;
}

std::string AcquireFromText(const Season& season)
{
    // The Thursday entries of a one-day season are the earliest file; a day before that
    // covers every case.
    const SampleDate from = DateOfDay(season.firstDay - 4);
    return fmt::sprintf("%04d/%02d/%02d 00:00:00", from.year, from.month, from.day);
}

} // namespace vornal::samplegen
