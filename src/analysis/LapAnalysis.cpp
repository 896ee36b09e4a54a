#include "analysis/LapAnalysis.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "raceday/RunnerRanking.h"
#include "store/JvLayout.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "vocab/CodeNames.h"
#include "vocab/RacingTerms.h"

namespace vornal {
namespace {

bool IsTurf(std::string_view trackCode)
{
    return IsCurvedTurfTrack(static_cast<int>(LeadingNumber(trackCode)));
}

LapSurface SurfaceOf(std::string_view trackCode)
{
    return IsTurf(trackCode) ? LapSurface::Turf : LapSurface::Dirt;
}

bool IsObstacle(std::string_view trackCode)
{
    return IsSteeplechaseTrack(trackCode);
}

bool IsLocal(std::string_view courseCode)
{
    return CourseKindOf(courseCode) == CourseKind::Local;
}

bool IsOverseas(std::string_view courseCode)
{
    return CourseKindOf(courseCode) == CourseKind::Overseas;
}

// Racecourse code of a past run: characters 9-10 of its run key (date and racecourse).
std::string_view RunCourse(const PastRun& run)
{
    std::string_view key = run.PastRunKey.View();
    return key.size() >= 10 ? key.substr(8, 2) : std::string_view{};
}

// The number of a digits-only field, nothing when any byte is not a digit.
std::optional<int> Digits(std::string_view text)
{
    if (!IsAllDigits(text)) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// Per-run working figures: 10000 where a run gives no speed figures, 0 where it gives no
// stamina figure.
struct RunFigures
{
    double record = kNoValue;
    double front = kNoValue;
    double back = kNoValue;
    double stamina = 0.0;
};

std::string ConversionError(int race, int runner, int run, const char* field, std::string_view text)
{
    return Sjis("新ラップ：") + std::to_string(race + 1) + Sjis("番目のレース ") + std::to_string(runner + 1) +
           Sjis("番 ") + std::to_string(run + 1) + Sjis("走前の") + Sjis(field) + Sjis("「") + std::string(text) +
           Sjis("」が数字ではありません。");
}

// The speed figures of one past run against the standard race of its own type and
// distance, or an error text when a time meant to be read is not digits.
std::optional<std::string> SpeedFigures(const PastRun& run, const TuningTables& tables, RunFigures& figures, int race,
                                        int runner, int k)
{
    int d = LapDistanceIndex(run.PastDistance);
    if (d == kNoLapDistance) {
        return std::nullopt;
    }
    std::string_view course = RunCourse(run);
    if (IsLocal(course) || IsOverseas(course) || IsObstacle(run.PastTrack)) {
        return std::nullopt;
    }
    // Soft and heavy going distort times too much to compare with a standard race.
    if (run.PastGoing == "3" || run.PastGoing == "4") {
        return std::nullopt;
    }
    std::string_view time = run.PastTime.View();
    std::string_view last3f = run.PastLast3F.View();
    if (IsBlank(time) || time == "0000" || IsBlank(last3f) || last3f == "000") {
        return std::nullopt;
    }
    LapSurface surface = SurfaceOf(run.PastTrack);
    double w = tables.BaseLap(d, surface, LapMeasure::WinTime);
    if (!(w > 0.0)) {
        return std::nullopt;
    }
    std::optional<int> timeDigits = time.size() == 4 ? Digits(time) : std::nullopt;
    if (!timeDigits) {
        return ConversionError(race, runner, k, "走破タイム", time);
    }
    std::optional<int> last3fDigits = last3f.size() == 3 ? Digits(last3f) : std::nullopt;
    if (!last3fDigits) {
        return ConversionError(race, runner, k, "上がり3F", last3f);
    }
    // "mSSf": minutes, two digits of seconds, tenths. "SSf" for the last 600 m.
    double t = (*timeDigits / 1000) * 60 + (*timeDigits / 10 % 100) + (*timeDigits % 10) / 10.0;
    double f = (*last3fDigits / 10) + (*last3fDigits % 10) / 10.0;
    double distance = run.PastDistance;
    double p = tables.BaseLap(d, surface, LapMeasure::FirstHalfSpeed);
    double l = tables.BaseLap(d, surface, LapMeasure::SecondHalfSpeed);
    figures.record = 100.0 - (t - (0.06 * distance - 6.0)) - w;
    figures.front = p - (t - f) / (distance - 600.0) * 600.0;
    figures.back = l - f;
    return std::nullopt;
}

// Stamina rewards long races finished near the front. Local runs count; overseas runs and
// jumps do not.
void StaminaFigure(const PastRun& run, RunFigures& figures)
{
    if (IsOverseas(RunCourse(run)) || IsObstacle(run.PastTrack) || run.PastPlace == 0 || run.PastDistance == 0 ||
        IsBlank(run.PastGoing) || run.PastGoing == "0") {
        return;
    }
    double x = run.PastDistance / 100.0 + (18 - run.PastPlace);
    bool firmGoing = run.PastGoing == "1" || run.PastGoing == "2";
    bool turf = IsTurf(run.PastTrack);
    // On good ground a dirt run is worth more; on soft ground a turf run is.
    figures.stamina = (firmGoing != turf) ? x * 1.25 : x;
}

bool Eligible(const RaceDay& day, int r, const TuningTables& tables)
{
    if (!day.Races[r].RaceLoaded || day.Races[r].incomplete) {
        return false;
    }
    std::string_view ra = day.RaceRA[r].View();
    std::string_view course = jv::View(ra, jv::kCourseCode);
    if (IsBlank(course) || course == "00" || IsLocal(course) || IsOverseas(course)) {
        return false;
    }
    std::string_view track = jv::View(ra, jv::ra::kTrack);
    if (IsObstacle(track)) {
        return false;
    }
    std::string_view condition = jv::View(ra, jv::ra::kConditionYoungest);
    if (condition == "701" || condition == "702") {
        return false;
    }
    int d = LapDistanceIndex(static_cast<int>(jv::Number(ra, jv::ra::kDistance)));
    return d != kNoLapDistance && tables.BaseLap(d, SurfaceOf(track), LapMeasure::WinTime) > 0.0;
}

// One ranking of the lap card, descending, over the runners below `registered` that have
// `presence` (every runner when it is null).
void RankRunners(RaceSlot& race, int registered, int Runner::*rank, double Runner::*primary, double Runner::*secondary,
                 int secondaryDecimals, double Runner::*presence)
{
    const std::span<Runner> runners(race.Runners.data(), static_cast<std::size_t>(std::clamp(registered, 0, kRunnerSlots)));
    vornal::RankRunners(runners, RankDirection::Descending, rank, [&](const Runner& runner) -> std::optional<RankEntry> {
        if (presence != nullptr && !(runner.*presence < kNoValue)) {
            return std::nullopt;
        }
        RankEntry entry;
        entry.keys[0] = {runner.*primary, 5};
        entry.keys[1] = {runner.*secondary, secondaryDecimals};
        entry.keyCount = 2;
        return entry;
    });
}

std::string_view MarkOf(double score, int category, const TuningTables& tables)
{
    if (score >= tables.Threshold(category, ThresholdLevel::Percent38)) {
        return "A";
    }
    if (score >= tables.Threshold(category, ThresholdLevel::Percent50)) {
        return "B";
    }
    if (score > tables.Threshold(category, ThresholdLevel::Percent90)) {
        return "-";
    }
    return "/";
}

Status AnalyseRace(RaceDay& day, int r, const TuningTables& tables)
{
    RaceSlot& race = day.Races[r];
    std::string_view ra = day.RaceRA[r].View();
    int registered = std::clamp(static_cast<int>(jv::Number(ra, jv::ra::kRegistered)), 0, kRunnerSlots);
    std::string_view track = jv::View(ra, jv::ra::kTrack);
    int distance = static_cast<int>(jv::Number(ra, jv::ra::kDistance));
    int d = LapDistanceIndex(distance);
    LapSurface surface = SurfaceOf(track);

    // Figures of every run first, so that a faulty time leaves the race as it was.
    std::array<std::array<RunFigures, kPastRuns>, kRunnerSlots> figures{};
    for (int h = 0; h < registered; ++h) {
        for (int k = 0; k < kPastRuns; ++k) {
            const PastRun& run = race.Runners[h].Past[k];
            if (std::optional<std::string> error = SpeedFigures(run, tables, figures[h][k], r, h, k)) {
                return Status::Failure(std::move(*error));
            }
            StaminaFigure(run, figures[h][k]);
        }
    }

    for (int h = 0; h < registered; ++h) {
        Runner& runner = race.Runners[h];
        int count = 0;
        double record = 0.0;
        double front = 0.0;
        double back = 0.0;
        double stamina = 0.0;
        for (const RunFigures& run : figures[h]) {
            if (run.record < kNoValue) {
                ++count;
                record += run.record;
                front += run.front;
                back += run.back;
            }
            stamina = std::max(stamina, run.stamina);
        }
        if (count > 0) {
            runner.RecordTime = record / count;
            runner.FrontSpeed = front / count;
            runner.BackSpeed = back / count;
        }
        runner.Stamina = stamina;
    }

    // Today's field is measured against the standard race: how much faster or slower the
    // past winners of these runners were than the standard shifts every runner alike.
    double w = tables.BaseLap(d, surface, LapMeasure::WinTime);
    double p = tables.BaseLap(d, surface, LapMeasure::FirstHalfSpeed);
    double l = tables.BaseLap(d, surface, LapMeasure::SecondHalfSpeed);
    double offsetRecord = race.RaceMeanWinnerBase != 0.0 ? race.RaceMeanWinnerBase - w : 0.0;
    double offsetFront = race.RaceMeanFirstPace != 0.0 ? p - race.RaceMeanFirstPace : 0.0;
    double offsetBack = race.RaceMeanLast3F != 0.0 ? l - race.RaceMeanLast3F : 0.0;
    for (int h = 0; h < registered; ++h) {
        Runner& runner = race.Runners[h];
        if (runner.RecordTime < kNoValue) {
            runner.RecordTime -= offsetRecord;
        }
        if (runner.FrontSpeed < kNoValue) {
            runner.FrontSpeed -= offsetFront;
        }
        if (runner.BackSpeed < kNoValue) {
            runner.BackSpeed -= offsetBack;
        }
    }

    race.LapSpreadPlus = {race.RaceSdWinnerBase, race.RaceSdFirstPace, race.RaceSdLast3F};
    race.LapSpreadMinus = {-race.RaceSdWinnerBase, -race.RaceSdFirstPace, -race.RaceSdLast3F};

    for (int h = 0; h < registered; ++h) {
        Runner& runner = race.Runners[h];
        runner.AbilityIndex = 100.0 - (runner.ClassMargin + runner.FinalGoalMargin);
        if (runner.RecordTime < kNoValue) {
            runner.AbilityTime = runner.AbilityIndex + runner.RecordTime;
        }
    }

    RankRunners(race, registered, &Runner::RankAbility, &Runner::AbilityIndex, &Runner::AchievementProb, 5, nullptr);
    RankRunners(race, registered, &Runner::RankAbilityTime, &Runner::AbilityTime, &Runner::AchievementProb, 5,
                &Runner::RecordTime);
    RankRunners(race, registered, &Runner::RankStamina, &Runner::Stamina, &Runner::AchievementProb, 5, nullptr);
    RankRunners(race, registered, &Runner::RankRecordTime, &Runner::RecordTime, &Runner::PredictedWinPayout, 1,
                &Runner::RecordTime);
    RankRunners(race, registered, &Runner::RankFrontSpeed, &Runner::FrontSpeed, &Runner::PredictedWinPayout, 1,
                &Runner::FrontSpeed);
    RankRunners(race, registered, &Runner::RankBackSpeed, &Runner::BackSpeed, &Runner::PredictedWinPayout, 1,
                &Runner::BackSpeed);

    int category = LapCategory(track, distance);
    for (int h = 0; h < registered; ++h) {
        Runner& runner = race.Runners[h];
        if (runner.RankRecordTime == 0 || runner.RankFrontSpeed == 0 || runner.RankBackSpeed == 0) {
            continue;
        }
        int j = LapRankBucket(runner.RankRecordTime);
        int z = LapRankBucket(runner.RankFrontSpeed);
        int kBucket = LapRankBucket(runner.RankBackSpeed);
        double score = tables.RankPair(category, RankPairKind::JZ, j, z) +
                       tables.RankPair(category, RankPairKind::JK, j, kBucket) +
                       tables.RankPair(category, RankPairKind::ZK, z, kBucket);
        runner.LapMark = MarkOf(score, category, tables);
    }
    return Status::Success();
}

} // namespace

int LapRankBucket(int rank)
{
    if (rank < 1) {
        return 0;
    }
    return std::min((rank - 1) / 3 + 1, kRankBuckets);
}

int LapCategory(std::string_view trackCode, int distanceMetres)
{
    bool shortRace = distanceMetres <= 1650;
    if (IsTurf(trackCode)) {
        return shortRace ? 1 : 2;
    }
    return shortRace ? 3 : 4;
}

Status ComputeLapAnalysis(RaceDay& day, const TuningTables& tables)
{
    for (int r = 0; r < kRaceSlots; ++r) {
        if (!Eligible(day, r, tables)) {
            continue;
        }
        if (Status result = AnalyseRace(day, r, tables); !result) {
            return result;
        }
    }
    return Status::Success();
}

} // namespace vornal
