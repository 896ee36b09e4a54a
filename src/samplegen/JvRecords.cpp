#include "samplegen/JvRecords.h"

#include <algorithm>
#include <cstdlib>

#include "samplegen/RaceSimulation.h"
#include "samplegen/RacingRules.h"
#include "samplegen/SampleNames.h"
#include "store/JvLayout.h"
#include "text/Format.h"
#include "vocab/Combinations.h"

namespace vornal::samplegen {
namespace {

namespace jv = vornal::jv;

// A blank record of `length` bytes ending in CR LF.
std::string Blank(int length)
{
    std::string record(static_cast<std::size_t>(length), ' ');
    record[record.size() - 2] = '\r';
    record[record.size() - 1] = '\n';
    return record;
}

// Writes `text` into the field; the text is cut or blank-padded to the field's width so a
// record never changes length.
void Put(std::string& record, jv::FieldPos field, std::string_view text)
{
    const std::size_t at = static_cast<std::size_t>(field.position - 1);
    const std::size_t width = static_cast<std::size_t>(field.length);
    for (std::size_t i = 0; i < width; ++i) {
        record[at + i] = i < text.size() ? text[i] : ' ';
    }
}

// A zero-padded number filling the field; negative values and overflow are clamped to the
// field's range, as the service never sends a longer number.
void PutNumber(std::string& record, jv::FieldPos field, long long value)
{
    long long limit = 1;
    for (int i = 0; i < field.length; ++i) {
        limit *= 10;
    }
    value = std::clamp(value, 0LL, limit - 1);
    Put(record, field, fmt::sprintf("%0*lld", field.length, value));
}

void PutCounts(std::string& record, int position, int width, const PlaceCounts& counts)
{
    for (int i = 0; i < 6; ++i) {
        PutNumber(record, {position + i * width, width}, counts[static_cast<std::size_t>(i)]);
    }
}

void PutIdentity(std::string& record, std::string_view kind, char division, const SampleDate& made, const Race& race)
{
    Put(record, jv::kRecordKind, kind);
    record[2] = division;
    Put(record, jv::kCreationDate, DateDigits(made));
    Put(record, jv::kYear, fmt::sprintf("%04d", race.date.year));
    Put(record, jv::kMonthDay, MonthDayDigits(race.date));
    Put(record, jv::kCourseCode, race.course->code);
    PutNumber(record, jv::kMeeting, race.meeting);
    PutNumber(record, jv::kMeetingDay, race.meetingDay);
    PutNumber(record, jv::kRaceNo, race.number);
}

bool Entries(char division)
{
    return division == '1' || division == '2';
}

std::string TimeText(int tenths)
{
    // Minutes, seconds and tenths: 1:34.5 is "1345".
    return fmt::sprintf("%1d%02d%1d", tenths / 600 % 10, tenths % 600 / 10, tenths % 10);
}

// The winner's figure carries a minus sign even when the runner-up was timed alike.
std::string MarginText(int tenths, bool winner)
{
    if (tenths == kNoMargin) {
        return "9999";
    }
    return fmt::sprintf("%c%03d", winner ? '-' : '+', std::abs(tenths));
}

std::string OddsText(int tenths, int width)
{
    if (tenths == kOddsNoSale) {
        return std::string(static_cast<std::size_t>(width), '-');
    }
    if (tenths == kOddsBlank) {
        return std::string(static_cast<std::size_t>(width), ' ');
    }
    return fmt::sprintf("%0*d", width, tenths);
}

std::string AnnouncementText(const Announcement& at)
{
    return fmt::sprintf("%02d%02d%02d%02d", at.month, at.day, at.hour, at.minute);
}

void PutPayTable(std::string& record, const jv::hr::PayTable& table, const std::vector<PayEntry>& entries, bool pair,
                 bool bracket)
{
    for (std::size_t i = 0; i < entries.size() && static_cast<int>(i) < table.entries; ++i) {
        const PayEntry& entry = entries[i];
        const int n = static_cast<int>(i) + 1;
        std::string key = bracket ? fmt::sprintf("%1d%1d", entry.first, entry.second)
                          : pair  ? fmt::sprintf("%02d%02d", entry.first, entry.second)
                                  : fmt::sprintf("%02d", entry.first);
        Put(record, jv::Nth(table.key, table.stride, n), key);
        PutNumber(record, jv::Nth(table.payout, table.stride, n), entry.yen);
        PutNumber(record, jv::Nth(table.popularity, table.stride, n), entry.popularity);
    }
}

enum class Direction { Straight, Right, Left };

Direction DirectionOf(std::string_view track)
{
    const int code = std::atoi(std::string(track).c_str());
    if (code == 10 || code == 29) {
        return Direction::Straight;
    }
    if ((code >= 11 && code <= 16) || code == 23 || code == 25 || code == 27) {
        return Direction::Left;
    }
    return Direction::Right;
}

int DistanceBand(int distance)
{
    return distance <= 1600 ? 0 : distance <= 2200 ? 1 : 2;
}

int GoingIndex(char going)
{
    return going >= '1' && going <= '4' ? going - '1' : 0;
}

void Count(PlaceCounts& counts, int bucket)
{
    ++counts[static_cast<std::size_t>(bucket)];
}

} // namespace

std::string RaRecord(const Race& race, char division, const SampleDate& made)
{
    std::string record = Blank(jv::kLengthRA);
    PutIdentity(record, "RA", division, made, race);
    if (!race.name.empty()) {
        Put(record, jv::ra::kRaceName, FullWidthField(race.name, 60));
        Put(record, jv::ra::kShortName, FullWidthField(race.name, 6));
    }
    record[jv::ra::kGrade.position - 1] = race.grade;
    const bool jump = race.surface == Surface::Jump;
    const bool jra = race.course->region == CourseRegion::Jra;
    // Races outside JRA carry the initial codes: the service does not classify them.
    Put(record, jv::ra::kRaceKind, jra ? RaceKindCode(race.age, jump) : "00");
    Put(record, jv::ra::kRaceSymbol, jra ? race.symbol : "000");
    record[jv::ra::kWeightKind.position - 1] = jra ? race.weightKind : '0';
    // Condition codes for 2-year-olds, 3-year-olds, 4-year-olds, 5 and older, and the
    // youngest age admitted: "000" for the ages the race is not open to.
    const std::string code = jra ? ConditionCode(race.raceClass) : "000";
    const bool open[4] = {race.age == AgeRule::TwoYear,
                          race.age == AgeRule::ThreeYear || race.age == AgeRule::ThreePlus,
                          race.age == AgeRule::ThreePlus || race.age == AgeRule::FourPlus,
                          race.age == AgeRule::ThreePlus || race.age == AgeRule::FourPlus};
    for (int i = 0; i < 4; ++i) {
        Put(record, jv::Nth(jv::ra::kCondition, 3, i + 1), open[i] ? code : "000");
    }
    Put(record, jv::ra::kConditionYoungest, code);
    PutNumber(record, jv::ra::kDistance, race.distance);
    Put(record, jv::ra::kTrack, race.track);
    PutNumber(record, jv::ra::kPostTime, race.postTime);
    PutNumber(record, jv::ra::kRegistered, race.registered);
    record[jv::ra::kGoingTurf.position - 1] = Entries(division) ? '0' : race.goingTurf;
    record[jv::ra::kGoingDirt.position - 1] = Entries(division) ? '0' : race.goingDirt;
    return record;
}

std::string SeRecord(const World& world, const Race& race, const Runner& runner, char division, const SampleDate& made)
{
    std::string record = Blank(jv::kLengthSE);
    PutIdentity(record, "SE", division, made, race);
    const Horse& horse = world.horses[static_cast<std::size_t>(runner.horse)];
    PutNumber(record, jv::se::kFrameNo, division == '1' ? 0 : runner.frame);
    PutNumber(record, jv::se::kHorseNo, division == '1' ? 0 : runner.number);
    Put(record, jv::se::kHorseId, horse.id);
    Put(record, jv::se::kHorseName, horse.name);
    record[jv::se::kSex.position - 1] = horse.sex;
    Put(record, jv::se::kCoatColour, horse.coat);
    const Trainer& trainer = world.trainers[static_cast<std::size_t>(runner.trainer)];
    Put(record, jv::se::kTrainerCode, trainer.code);
    Put(record, jv::se::kTrainerName, trainer.shortName);
    PutNumber(record, jv::se::kCarriedWeight, runner.weight);
    const Jockey& jockey = world.jockeys[static_cast<std::size_t>(runner.jockey)];
    Put(record, jv::se::kJockeyCode, jockey.code);
    Put(record, jv::se::kJockeyName, jockey.shortName);
    if (Entries(division)) {
        PutNumber(record, jv::se::kArrivalOrder, 0);
        PutNumber(record, jv::se::kFinalPosition, 0);
        PutNumber(record, jv::se::kTime, 0);
        for (int c = 1; c <= 4; ++c) {
            PutNumber(record, jv::Nth(jv::se::kCorner, 2, c), 0);
        }
        PutNumber(record, jv::se::kWinOdds, 0);
        PutNumber(record, jv::se::kPopularity, 0);
        PutNumber(record, jv::se::kLast3F, 0);
        return record;
    }
    PutNumber(record, jv::se::kArrivalOrder, runner.position);
    PutNumber(record, jv::se::kFinalPosition, runner.position);
    Put(record, jv::se::kTime, runner.timeTenths > 0 ? TimeText(runner.timeTenths) : "0000");
    for (int c = 1; c <= 4; ++c) {
        PutNumber(record, jv::Nth(jv::se::kCorner, 2, c), runner.corners[static_cast<std::size_t>(c - 1)]);
    }
    PutNumber(record, jv::se::kWinOdds, runner.oddsTenths);
    PutNumber(record, jv::se::kPopularity, runner.popularity);
    PutNumber(record, jv::se::kLast3F, runner.last3FTenths);
    Put(record, jv::se::kTimeDiff, MarginText(runner.marginTenths, runner.position == 1));
    return record;
}

std::string HrRecord(const Race& race, char division, const SampleDate& made)
{
    std::string record = Blank(jv::kLengthHR);
    PutIdentity(record, "HR", division, made, race);
    PutPayTable(record, jv::hr::kWin, race.pay.win, false, false);
    PutPayTable(record, jv::hr::kPlace, race.pay.place, false, false);
    PutPayTable(record, jv::hr::kBracketQuinella, race.pay.bracket, true, true);
    PutPayTable(record, jv::hr::kQuinella, race.pay.quinella, true, false);
    PutPayTable(record, jv::hr::kWide, race.pay.wide, true, false);
    return record;
}

std::string O1Record(const Race& race, const OddsBoard& board, char division, const SampleDate& made,
                     const Announcement& at)
{
    std::string record = Blank(jv::kLengthO1);
    PutIdentity(record, "O1", division, made, race);
    Put(record, jv::o1::kAnnounced, AnnouncementText(at));
    for (std::size_t i = 0; i < board.win.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        Put(record, jv::Nth(jv::o1::kWinOdds, 8, n), OddsText(board.win[i], 4));
        Put(record, jv::Nth(jv::o1::kPlaceOddsLow, 12, n), OddsText(board.placeLow[i], 4));
        Put(record, jv::Nth(jv::o1::kPlaceOddsHigh, 12, n), OddsText(board.placeHigh[i], 4));
    }
    for (int k = 1; k <= 36; ++k) {
        Put(record, jv::Nth(jv::o1::kBracketOdds, 9, k), OddsText(board.bracket[static_cast<std::size_t>(k - 1)], 5));
    }
    return record;
}

std::string O2Record(const Race& race, const OddsBoard& board, char division, const SampleDate& made,
                     const Announcement& at)
{
    std::string record = Blank(jv::kLengthO2);
    PutIdentity(record, "O2", division, made, race);
    Put(record, jv::o2::kAnnounced, AnnouncementText(at));
    for (int q = 1; q <= kQuinellaCount; ++q) {
        Put(record, jv::Nth(jv::o2::kQuinellaOdds, 13, q),
            OddsText(board.quinella[static_cast<std::size_t>(q - 1)], 6));
    }
    return record;
}

CareerTotals HorseTotals(const Season& season, const Horse& horse, int cutoffDay)
{
    CareerTotals totals;
    const PriorCareer& prior = horse.prior;
    // Runs before the season count in the groups of the horse's usual surface, on good
    // going and at its best distance (the feed does not show them, the master does).
    for (int b = 0; b < 6; ++b) {
        const std::size_t i = static_cast<std::size_t>(b);
        const int flat = prior.flat[i];
        const int jump = prior.jump[i];
        totals.overall[i] += flat + jump;
        totals.jra[i] += flat + jump;
        totals.jump[i] += jump;
        totals.jumpGoing[0][i] += jump;
        if (horse.surface == Surface::Turf) {
            totals.turfRight[i] += flat;
            totals.turfGoing[0][i] += flat;
            totals.turfDistance[static_cast<std::size_t>(DistanceBand(horse.bestDistance))][i] += flat;
        } else {
            totals.dirtRight[i] += flat;
            totals.dirtGoing[0][i] += flat;
            totals.dirtDistance[static_cast<std::size_t>(DistanceBand(horse.bestDistance))][i] += flat;
        }
    }
    totals.flatPrize = prior.flatPrize;
    totals.jumpPrize = prior.jumpPrize;
    totals.flatAdded = prior.flatAdded;
    totals.flatEarned = prior.flatEarned;
    totals.jumpEarned = prior.jumpEarned;

    for (const RunRef& run : horse.runs) {
        const Race& race = season.races[static_cast<std::size_t>(run.race)];
        const Runner& runner = race.runners[static_cast<std::size_t>(run.runner)];
        if (race.day >= cutoffDay || !race.published || runner.status == RunStatus::Scratched) {
            continue;
        }
        const int bucket = PlaceBucket(runner.position);
        Count(totals.overall, bucket);
        const bool jump = race.surface == Surface::Jump;
        if (race.course->region != CourseRegion::Jra) {
            // Prize abroad or at local racecourses only lifts the horse's class.
            (jump ? totals.jumpEarned : totals.flatEarned) += runner.earned;
            continue;
        }
        Count(totals.jra, bucket);
        if (jump) {
            Count(totals.jump, bucket);
            Count(totals.jumpGoing[static_cast<std::size_t>(GoingIndex(race.goingTurf))], bucket);
            totals.jumpPrize += runner.prize;
            totals.jumpAdded += runner.addedPrize;
            totals.jumpEarned += runner.earned;
            continue;
        }
        const Direction direction = DirectionOf(race.track);
        const std::size_t band = static_cast<std::size_t>(DistanceBand(race.distance));
        if (race.surface == Surface::Turf) {
            Count(direction == Direction::Straight ? totals.turfStraight
                  : direction == Direction::Right  ? totals.turfRight
                                                   : totals.turfLeft,
                  bucket);
            Count(totals.turfGoing[static_cast<std::size_t>(GoingIndex(race.goingTurf))], bucket);
            Count(totals.turfDistance[band], bucket);
        } else {
            Count(direction == Direction::Straight ? totals.dirtStraight
                  : direction == Direction::Right  ? totals.dirtRight
                                                   : totals.dirtLeft,
                  bucket);
            Count(totals.dirtGoing[static_cast<std::size_t>(GoingIndex(race.goingDirt))], bucket);
            Count(totals.dirtDistance[band], bucket);
        }
        totals.flatPrize += runner.prize;
        totals.flatAdded += runner.addedPrize;
        totals.flatEarned += runner.earned;
    }
    return totals;
}

std::string UmRecord(const Horse& horse, const CareerTotals& totals, const SampleDate& made)
{
    namespace um = jv::um;
    std::string record = Blank(jv::kLengthUM);
    Put(record, jv::kRecordKind, "UM");
    record[2] = '4'; // an update of a registered horse
    Put(record, jv::kCreationDate, DateDigits(made));
    Put(record, um::kHorseId, horse.id);
    const long long prizes[6] = {totals.flatPrize, totals.jumpPrize,  totals.flatAdded,
                                 totals.jumpAdded, totals.flatEarned, totals.jumpEarned};
    for (int i = 0; i < 6; ++i) {
        PutNumber(record, jv::Nth(um::kPrize, 9, i + 1), prizes[i]);
    }
    const int group = um::kCountGroupLength;
    PutCounts(record, um::kGroupOverall, 3, totals.overall);
    PutCounts(record, um::kGroupJra, 3, totals.jra);
    PutCounts(record, um::kGroupTurfStraight, 3, totals.turfStraight);
    PutCounts(record, um::kGroupTurfRight, 3, totals.turfRight);
    PutCounts(record, um::kGroupTurfLeft, 3, totals.turfLeft);
    PutCounts(record, um::kGroupDirtStraight, 3, totals.dirtStraight);
    PutCounts(record, um::kGroupDirtRight, 3, totals.dirtRight);
    PutCounts(record, um::kGroupDirtLeft, 3, totals.dirtLeft);
    PutCounts(record, um::kGroupJump, 3, totals.jump);
    for (int g = 0; g < 4; ++g) {
        const std::size_t i = static_cast<std::size_t>(g);
        PutCounts(record, um::kGroupTurfGoing + g * group, 3, totals.turfGoing[i]);
        PutCounts(record, um::kGroupDirtGoing + g * group, 3, totals.dirtGoing[i]);
        PutCounts(record, um::kGroupJumpGoing + g * group, 3, totals.jumpGoing[i]);
    }
    for (int band = 0; band < 3; ++band) {
        const std::size_t i = static_cast<std::size_t>(band);
        PutCounts(record, um::kGroupTurfDistance + band * group, 3, totals.turfDistance[i]);
        PutCounts(record, um::kGroupDirtDistance + band * group, 3, totals.dirtDistance[i]);
    }
    return record;
}

namespace {

// A jockey or trainer master record: the two share one shape at different positions.
struct PersonLayout
{
    int length;
    const char* kind;
    jv::FieldPos code;
    jv::FieldPos affiliation;
    jv::FieldPos thisYearFlat;
    jv::FieldPos thisYearJump;
    jv::FieldPos lastYearFlat;
    jv::FieldPos lastYearJump;
};

std::string PersonRecord(const PersonLayout& layout, const std::string& code, char affiliation,
                         const YearRecord& thisYear, const YearRecord& lastYear, const SampleDate& made)
{
    std::string record = Blank(layout.length);
    Put(record, jv::kRecordKind, layout.kind);
    record[2] = '2';
    Put(record, jv::kCreationDate, DateDigits(made));
    Put(record, layout.code, code);
    record[static_cast<std::size_t>(layout.affiliation.position - 1)] = affiliation;
    PutCounts(record, layout.thisYearFlat.position, 6, thisYear.flat);
    PutCounts(record, layout.thisYearJump.position, 6, thisYear.jump);
    PutCounts(record, layout.lastYearFlat.position, 6, lastYear.flat);
    PutCounts(record, layout.lastYearJump.position, 6, lastYear.jump);
    return record;
}

} // namespace

std::string KsRecord(const Jockey& jockey, const YearRecord& thisYear, const YearRecord& lastYear,
                     const SampleDate& made)
{
    static constexpr PersonLayout kLayout{jv::kLengthKS,          "KS",
                                          jv::ks::kJockeyCode,    jv::ks::kAffiliation,
                                          jv::ks::kThisYearFlat,  jv::ks::kThisYearJump,
                                          jv::ks::kLastYearFlat,  jv::ks::kLastYearJump};
    return PersonRecord(kLayout, jockey.code, jockey.affiliation, thisYear, lastYear, made);
}

std::string ChRecord(const Trainer& trainer, const YearRecord& thisYear, const YearRecord& lastYear,
                     const SampleDate& made)
{
    static constexpr PersonLayout kLayout{jv::kLengthCH,          "CH",
                                          jv::ch::kTrainerCode,   jv::ch::kAffiliation,
                                          jv::ch::kThisYearFlat,  jv::ch::kThisYearJump,
                                          jv::ch::kLastYearFlat,  jv::ch::kLastYearJump};
    return PersonRecord(kLayout, trainer.code, trainer.affiliation, thisYear, lastYear, made);
}

YearTables CountYear(const Season& season, int year, int cutoffDay)
{
    YearTables tables;
    tables.jockeys.assign(season.world.jockeys.size(), YearRecord{year, {}, {}});
    tables.trainers.assign(season.world.trainers.size(), YearRecord{year, {}, {}});
    auto addBefore = [year](YearRecord& target, const std::vector<YearRecord>& before) {
        for (const YearRecord& record : before) {
            if (record.year == year) {
                for (std::size_t i = 0; i < 6; ++i) {
                    target.flat[i] += record.flat[i];
                    target.jump[i] += record.jump[i];
                }
            }
        }
    };
    for (std::size_t j = 0; j < season.world.jockeys.size(); ++j) {
        addBefore(tables.jockeys[j], season.world.jockeys[j].before);
    }
    for (std::size_t t = 0; t < season.world.trainers.size(); ++t) {
        addBefore(tables.trainers[t], season.world.trainers[t].before);
    }
    for (const Race& race : season.races) {
        if (race.date.year != year || race.day >= cutoffDay || !race.published ||
            race.course->region != CourseRegion::Jra) {
            continue;
        }
        const bool jump = race.surface == Surface::Jump;
        for (const Runner& runner : race.runners) {
            if (runner.status == RunStatus::Scratched || runner.horse < 0) {
                continue;
            }
            const std::size_t bucket = static_cast<std::size_t>(PlaceBucket(runner.position));
            YearRecord& jockey = tables.jockeys[static_cast<std::size_t>(runner.jockey)];
            YearRecord& trainer = tables.trainers[static_cast<std::size_t>(runner.trainer)];
            ++(jump ? jockey.jump : jockey.flat)[bucket];
            ++(jump ? trainer.jump : trainer.flat)[bucket];
        }
    }
    return tables;
}

} // namespace vornal::samplegen
