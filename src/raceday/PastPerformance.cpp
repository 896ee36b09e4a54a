#include "raceday/PastPerformance.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "raceday/Ranking.h"
#include "store/JvLayout.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/RacingTerms.h"

namespace vornal {
namespace {

// Last-600 m time lost or gained per metre of distance difference, by today's surface.
constexpr double kCoefTurf = 0.00125;
constexpr double kCoefDirt = 0.00165;
// Running-style and spread values of a runner without a counted 4th-corner position.
constexpr double kNoCornerAverage = 6.5;
constexpr double kNoCornerSpread = 10.0;
// Keys at or above this do not enter the gap ranking.
constexpr double kRankKeyLimit = 1000.0;

int Number(std::string_view text)
{
    return static_cast<int>(LeadingNumber(text));
}

// Sample standard deviation (divisor n - 1); 0 when it cannot be computed.
double SampleStdDev(const std::vector<double>& values)
{
    if (values.size() < 2) {
        return 0.0;
    }
    double sum = 0.0;
    for (double v : values) {
        sum += v;
    }
    const double mean = sum / static_cast<double>(values.size());
    double squares = 0.0;
    for (double v : values) {
        squares += (v - mean) * (v - mean);
    }
    const double result = std::sqrt(squares / static_cast<double>(values.size() - 1));
    return std::isfinite(result) ? result : 0.0;
}

double Mean(const std::vector<double>& values)
{
    double sum = 0.0;
    for (double v : values) {
        sum += v;
    }
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

// Grade digit of a gap against its race spread: "9" far above, "5" near the mean, "1" far
// below.
char GradeDigit(double x, double s)
{
    if (x > 2.0 * s) {
        return '9';
    }
    if (x > s) {
        return '8';
    }
    if (x > 2.0 * s / 3.0) {
        return '7';
    }
    if (x > s / 3.0) {
        return '6';
    }
    if (x >= -s / 3.0) {
        return '5';
    }
    if (x >= -2.0 * s / 3.0) {
        return '4';
    }
    if (x >= -s) {
        return '3';
    }
    if (x >= -2.0 * s) {
        return '2';
    }
    return '1';
}

// Race time of a "mSSf" text in tenths of a second; 0 when blank or "0000".
int TimeTenths(std::string_view time)
{
    if (IsBlank(time) || time == "0000") {
        return 0;
    }
    return Number(time.substr(0, 1)) * 600 + Number(time.substr(1, 3));
}

// Seconds the run's horse finished behind the winner: "-" (it won) gives 0, "+ddd" the
// tenths. Any other first character has no defined offset and counts as 0.
double WinnerOffset(std::string_view timeDiff)
{
    if (!timeDiff.empty() && timeDiff[0] == '+') {
        return static_cast<double>(Number(timeDiff.substr(1, 3))) / 10.0;
    }
    return 0.0;
}

// Per-race sums of the figures that enter the race means and spreads.
struct RaceSums
{
    std::vector<double> nearLast3F; // sum A
    std::vector<double> firstPace;  // sum B
    std::vector<double> winnerBase; // sum C
};

struct RaceContext
{
    int todayClass = 0;
    double coef = 0.0;
    int distance = 0;
};

void CopyIdentification(PastRun& past, std::string_view se, std::string_view ra)
{
    past.PastRunPresent = true;
    past.PastRaceKey = jv::View(se, jv::kRaceKey);
    past.PastRunKey = jv::Get(se, jv::kYear) + jv::Get(se, jv::kMonthDay) + jv::Get(se, jv::kCourseCode);
    past.PastDistance = Number(jv::View(ra, jv::ra::kDistance));
    past.PastPlace = Number(jv::View(se, jv::se::kFinalPosition));
    past.PastTime = jv::View(se, jv::se::kTime);
    past.PastLast3F = jv::View(se, jv::se::kLast3F);
    past.PastTrack = jv::View(ra, jv::ra::kTrack);
    const int pastClass = PastSurfaceClass(past.PastTrack);
    if (pastClass == 1) {
        past.PastGoing = jv::View(ra, jv::ra::kGoingTurf);
    } else if (pastClass == 2) {
        past.PastGoing = jv::View(ra, jv::ra::kGoingDirt);
    } else {
        past.PastGoing.Clear();
    }
    past.PastHorseNo = jv::View(se, jv::se::kHorseNo);
    past.PastFrameNo = jv::View(se, jv::se::kFrameNo);
    for (int c = 0; c < 4; ++c) {
        past.PastCorner[c] = Number(jv::View(se, jv::Nth(jv::se::kCorner, 2, c + 1)));
    }
    past.PastTimeDiff = jv::View(se, jv::se::kTimeDiff);
    past.PastRaceName3 = jv::View(ra, jv::ra::kShortName);
    past.PastGrade = jv::View(ra, jv::ra::kGrade);
    past.PastRaceKind = jv::View(ra, jv::ra::kRaceKind);
    past.PastRaceSymbol = jv::View(ra, jv::ra::kRaceSymbol);
    past.PastWeightKind = jv::View(ra, jv::ra::kWeightKind);
    past.PastCondition = jv::View(ra, jv::ra::kConditionYoungest);
    past.PastPopularity = Number(jv::View(se, jv::se::kPopularity));
}

// The speed figures of one JRA run (base time through the race sums).
void RunFigures(PastRun& past, const RaceContext& today, RaceSums& sums)
{
    const int distanceGap = std::abs(today.distance - past.PastDistance);
    const bool near400 = distanceGap <= 400;
    const bool near200 = distanceGap <= 200;
    const int last3F = Number(past.PastLast3F);
    const int time = TimeTenths(past.PastTime);

    if (near400 && past.PastDistance != 0 && today.todayClass != 0 &&
        PastSurfaceClass(past.PastTrack) == today.todayClass && (past.PastGoing == "1" || past.PastGoing == "2") &&
        time != 0) {
        // A run's time against the standard for its distance: 1600 m in 90.0 s is 100.
        past.PastBaseTime = 100.0 - (time / 10.0 - (0.06 * past.PastDistance - 6.0));
    }
    if (!near400 || past.PastBaseTime <= 0.0) {
        return;
    }
    if (last3F > 0) {
        past.PastAdjLast3F = (today.distance - past.PastDistance) * today.coef + last3F / 10.0;
        if (near200) {
            past.PastNearLast3F = past.PastAdjLast3F;
        }
    }
    // The pace before the last 600 m needs a longer race than 600 m; a shorter distance
    // in a damaged record must not divide by zero.
    const bool hasFirstPart = past.PastDistance > 600;
    if (past.PastAdjLast3F > 0.0 && time > 0 && hasFirstPart) {
        past.PastFirstPace = (time / 10.0 - past.PastAdjLast3F) * 600.0 / (past.PastDistance - 600);
    }
    const double offset = WinnerOffset(past.PastTimeDiff);
    if (past.PastAdjLast3F > 0.0 && time > 0 && near200 && hasFirstPart) {
        past.PastWinnerFirstPace = (time / 10.0 - offset - past.PastNearLast3F) * 600.0 / (past.PastDistance - 600);
    }
    if (near200) {
        past.PastWinnerBaseTime = past.PastBaseTime + offset;
        if (past.PastNearLast3F > 0.0) {
            sums.nearLast3F.push_back(past.PastNearLast3F);
        }
        if (past.PastFirstPace > 0.0) {
            sums.firstPace.push_back(past.PastFirstPace);
        }
        if (past.PastWinnerBaseTime > 0.0) {
            sums.winnerBase.push_back(past.PastWinnerBaseTime);
        }
    }
}

// True for a run that carries base-time figures: a JRA run within 400 m with a base time.
bool HasFigures(const PastRun& past, std::string_view se, int todayDistance)
{
    return IsJraRun(se) && std::abs(todayDistance - past.PastDistance) <= 400 && past.PastBaseTime > 0.0;
}

struct GapEntry
{
    bool negative;       // the key's text carries a minus sign
    long long magnitude; // the key's digits at five decimals
    int runner;
    int k;
};

// Orders the ranked runs as their key lines ("%10.5f" key, then runner slot and k) sort:
// non-negative keys ascending, then negative keys by ascending magnitude, ties to the
// lower runner slot, then the lower k.
GapEntry MakeGapEntry(double key, int runner, int k)
{
    // The printed digits are RoundedKey's units (which reads them the same way) and the
    // text has a minus sign exactly when the sign bit is set, "-0.00000" included. Within
    // racing figures that is taken without printing; anything else is printed and read.
    if (std::isfinite(key) && std::fabs(key) < 20000.0) {
        const long long units = RoundedKey(key, 5);
        return GapEntry{std::signbit(key), units < 0 ? -units : units, runner, k};
    }
    const std::string text = fmt::sprintf("%10.5f", key);
    GapEntry entry{text.find('-') != std::string::npos, 0, runner, k};
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            entry.magnitude = entry.magnitude * 10 + (c - '0');
        }
    }
    return entry;
}

void RankGaps(RaceSlot& slot, std::vector<GapEntry>& entries)
{
    std::stable_sort(entries.begin(), entries.end(), [](const GapEntry& a, const GapEntry& b) {
        if (a.negative != b.negative) {
            return !a.negative;
        }
        if (a.magnitude != b.magnitude) {
            return a.magnitude < b.magnitude;
        }
        if (a.runner != b.runner) {
            return a.runner < b.runner;
        }
        return a.k < b.k;
    });
    int rank = 0;
    for (const GapEntry& entry : entries) {
        slot.Runners[entry.runner].Past[entry.k].PastGapRank = ++rank;
    }
}

// Ranks 1..n by `less` over runner slots 0..n-1 (a strict order; the slot breaks ties).
template <typename Less> void RankRunners(RaceSlot& slot, int registered, int Runner::*rank, Less less)
{
    std::vector<int> order(static_cast<std::size_t>(registered));
    for (int h = 0; h < registered; ++h) {
        order[h] = h;
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return less(slot.Runners[a], slot.Runners[b]); });
    for (int i = 0; i < registered; ++i) {
        slot.Runners[order[i]].*rank = i + 1;
    }
}

} // namespace

int TodaySurfaceClass(std::string_view trackCode)
{
    if (IsSteeplechaseTrack(trackCode)) {
        return 5;
    }
    const int code = Number(trackCode);
    if (code == 0) {
        return 0;
    }
    if (code <= 22) {
        return 1;
    }
    if (code <= 24) {
        return 2;
    }
    return 3;
}

int PastSurfaceClass(std::string_view trackCode)
{
    const int today = TodaySurfaceClass(trackCode);
    const int code = Number(trackCode);
    return today == 3 && code <= 29 ? 2 : today;
}

bool IsJraRun(std::string_view seRecord)
{
    return IsJraCourseCode(jv::View(seRecord, jv::kCourseCode));
}

bool IsJraRun(const PastRun& run)
{
    const std::string_view key = run.PastRunKey.View();
    return key.size() >= 10 && IsJraCourseCode(key.substr(8, 2));
}

void PastPerformancePass(RaceDay& day, int race)
{
    RaceSlot& slot = day.Races[race];
    const RaRecord& ra = day.RaceRA[race];
    RaceContext today;
    today.todayClass = TodaySurfaceClass(jv::View(ra, jv::ra::kTrack));
    today.coef = today.todayClass == 1 ? kCoefTurf : today.todayClass == 2 ? kCoefDirt : 0.0;
    today.distance = Number(jv::View(ra, jv::ra::kDistance));
    const int registered = std::clamp(Number(jv::View(ra, jv::ra::kRegistered)), 0, kRunnerSlots);

    RaceSums sums;
    for (int h = 0; h < registered; ++h) {
        Runner& runner = slot.Runners[h];
        const SeRecord& se = day.RunnerSE[race][h];
        runner.CoatColourCode = Number(jv::View(se, jv::se::kCoatColour));
        const UmRecord& um = day.RunnerUM[race][h];
        for (int g = 0; g < kFinishCountGroups; ++g) {
            for (int i = 0; i < kFinishCountPlaces; ++i) {
                runner.FinishCounts[g][i] = Number(FieldView(um, jv::um::kCountGroups[g] + 3 * i, 3));
            }
        }
        std::vector<double> corners;
        for (int k = 0; k < kPastRuns; ++k) {
            PastRun& past = runner.Past[k];
            const SeRecord& pastSe = day.PastSE[race][h][k];
            CopyIdentification(past, pastSe, day.PastRA[race][h][k]);
            // Local and overseas runs are shown but their times are not comparable.
            if (!IsJraRun(pastSe)) {
                continue;
            }
            if (past.PastCorner[3] > 0) {
                corners.push_back(past.PastCorner[3]);
            }
            RunFigures(past, today, sums);
            if (past.PastBaseTime > runner.BestBaseTime) {
                runner.BestBaseTime = past.PastBaseTime;
            }
        }
        runner.AvgCorner4 = corners.empty() ? kNoCornerAverage : Mean(corners);
        runner.Corner4StdDev = corners.size() >= 2 ? SampleStdDev(corners) : kNoCornerSpread;
    }

    // Running style: the most forward runner of the race gets 1.
    double forward = 999.0;
    for (int h = 0; h < registered; ++h) {
        forward = std::min(forward, slot.Runners[h].AvgCorner4);
    }
    for (int h = 0; h < registered; ++h) {
        slot.Runners[h].RunningStyle = slot.Runners[h].AvgCorner4 - forward + 1.0;
    }
    RankRunners(slot, registered, &Runner::RunningStyleRank,
                [](const Runner& a, const Runner& b) { return a.RunningStyle < b.RunningStyle; });

    slot.RaceSdLast3F = SampleStdDev(sums.nearLast3F);
    slot.RaceSdFirstPace = SampleStdDev(sums.firstPace);
    slot.RaceSdWinnerBase = SampleStdDev(sums.winnerBase);
    slot.RaceMeanLast3F = Mean(sums.nearLast3F);
    slot.RaceMeanFirstPace = Mean(sums.firstPace);
    slot.RaceMeanWinnerBase = Mean(sums.winnerBase);
    slot.RaceCountLast3F = static_cast<int>(sums.nearLast3F.size());
    slot.RaceCountFirstPace = static_cast<int>(sums.firstPace.size());
    slot.RaceCountWinnerBase = static_cast<int>(sums.winnerBase.size());

    std::vector<GapEntry> gapEntries;
    for (int h = 0; h < registered; ++h) {
        Runner& runner = slot.Runners[h];
        runner.OverallMin = kNoValue;
        int best = -1;
        for (int k = 0; k < kPastRuns; ++k) {
            PastRun& past = runner.Past[k];
            if (!HasFigures(past, day.PastSE[race][h][k], today.distance)) {
                continue;
            }
            if (past.PastAdjLast3F > 0.0 && slot.RaceMeanLast3F > 0.0) {
                past.PastLast3FGap = slot.RaceMeanLast3F - past.PastAdjLast3F;
            }
            if (past.PastWinnerFirstPace > 0.0 && slot.RaceMeanFirstPace > 0.0) {
                past.PastFirstPaceGap = slot.RaceMeanFirstPace - past.PastWinnerFirstPace;
            }
            past.PastBaseTimeGap = past.PastBaseTime - slot.RaceMeanWinnerBase;
            past.PastRankKey = past.PastLast3FGap;
            if (past.PastRankKey < kRankKeyLimit) {
                gapEntries.push_back(MakeGapEntry(past.PastRankKey, h, k));
                if (past.PastRankKey < runner.OverallMin) {
                    runner.OverallMin = past.PastRankKey;
                    best = k;
                }
            }
            if (past.PastBaseTime > 0.0 && past.PastAdjLast3F > 0.0 && past.PastWinnerFirstPace > 0.0) {
                const char grade[3] = {GradeDigit(past.PastBaseTimeGap, slot.RaceSdWinnerBase),
                                       GradeDigit(past.PastFirstPaceGap, slot.RaceSdFirstPace),
                                       GradeDigit(past.PastLast3FGap, slot.RaceSdLast3F)};
                past.PastGradeCode = std::string_view(grade, 3);
            }
        }
        if (best >= 0) {
            runner.BestGradeCode = runner.Past[best].PastGradeCode;
            // The axis-code step reads the best run back from here.
            runner.RunnerAxisCode = std::string(1, static_cast<char>('0' + best));
        }
    }
    RankGaps(slot, gapEntries);

    for (int h = 0; h < registered; ++h) {
        Runner& runner = slot.Runners[h];
        std::vector<double> adjusted;
        for (int k = 0; k < kPastRuns; ++k) {
            if (IsJraRun(day.PastSE[race][h][k]) && runner.Past[k].PastAdjLast3F > 0.0) {
                adjusted.push_back(runner.Past[k].PastAdjLast3F);
            }
        }
        // A runner without figures gets a typical last 600 m of today's surface.
        runner.AvgAdjLast3F = !adjusted.empty()       ? Mean(adjusted)
                              : today.todayClass == 1 ? 37.0
                              : today.todayClass == 5 ? 13.7
                                                      : 39.9;
        runner.Last3FOffset = slot.RaceMeanLast3F > 0.0 ? slot.RaceMeanLast3F - runner.AvgAdjLast3F : 0.0;
    }
    RankRunners(slot, registered, &Runner::Last3FOffsetRank, [](const Runner& a, const Runner& b) {
        const double ma = std::abs(a.Last3FOffset);
        const double mb = std::abs(b.Last3FOffset);
        if (ma != mb) {
            return ma < mb;
        }
        return a.AvgAdjLast3F < b.AvgAdjLast3F;
    });
}

} // namespace vornal
