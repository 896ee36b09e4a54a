#include "analysis/Ratings.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "vocab/TextHelpers.h"
#include "app/Progress.h"
#include "raceday/RunnerRanking.h"
#include "store/JvLayout.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/CodeNames.h"
#include "vocab/RaceTexts.h"
#include "vocab/RacingTerms.h"

namespace vornal {
namespace {

// Start values of the race minima of AvgMargin and RawGoalMargin.
constexpr double kMinimumStart = 9999.0;

// The 9.9 s that stands for a local run beaten by 9.5 s or more; such runs count as a
// career run but stay out of the averages.
constexpr int kCappedMargin = 99;

// A run at a local or overseas racecourse: its final position counts when the arrival
// order is missing, and a local run is scored 0.4 s worse than it was. A code the table
// lacks is taken as a JRA run.
enum class CourseClass { Jra, Local, Overseas };

CourseClass ClassOfCourse(std::string_view courseCode)
{
    switch (CourseKindOf(courseCode)) {
    case CourseKind::Local:
        return CourseClass::Local;
    case CourseKind::Overseas:
        return CourseClass::Overseas;
    case CourseKind::Jra:
    case CourseKind::Unknown:
        break;
    }
    return CourseClass::Jra;
}

bool IsPlacing(std::string_view text)
{
    return !IsBlank(text) && text != "00";
}

Status Failure(std::string message)
{
    return {false, std::move(message)};
}

std::string RunnerText(int race, int slot, int pastRun)
{
    return fmt::sprintf(Sjis("レース枠 %d の %d 番の %d 走前"), race, slot + 1, pastRun);
}

// The per-runner sums of the past runs.
struct PastSums
{
    int careerRuns = 0;
    int averaged = 0;
    long long marginSum = 0; // tenths of a second
    long long weightSum = 0; // tenths of a kilogram
    double rotationValue = 0.0;
};

// Derives the working values of past run k (1..5) of one runner and adds it to the sums.
// Fails for a finishing position that is not a number.
Status RatePastRun(PastRun& past, std::string_view se, int k, const TuningTables& tables, PastSums& sums,
                          int race, int slot)
{
    std::string_view key = past.PastRunKey.View();
    bool usable = !IsBlank(key) && key.substr(0, 8) != "00000000";
    if (!usable) {
        past.PastFinish.Clear();
        past.PastMargin.Clear();
        past.PastWeight.Clear();
        sums.rotationValue += tables.Rotation(k, kRotationBuckets);
        return {};
    }
    CourseClass course = ClassOfCourse(key.size() >= 10 ? key.substr(8, 2) : std::string_view());

    // Finishing position: the arrival order wherever it is given; abroad and at local
    // racecourses the final position stands in for a missing arrival order.
    std::string_view arrival = jv::View(se, jv::se::kArrivalOrder);
    std::string_view finalPosition = jv::View(se, jv::se::kFinalPosition);
    std::string_view finish;
    if (course != CourseClass::Jra && IsPlacing(finalPosition)) {
        finish = finalPosition;
    }
    if (IsPlacing(arrival)) {
        finish = arrival;
    }

    // Margin behind the winner in tenths: the winner's own (negative) difference is 0, a
    // missing difference 1.0 s (1.5 s for a horse without a final position), "9999" (did
    // not finish) 1.5 s.
    std::string_view timeDiff = jv::View(se, jv::se::kTimeDiff);
    int margin = 0;
    if (!IsBlank(timeDiff)) {
        margin = timeDiff.front() == '+' ? static_cast<int>(LeadingNumber(timeDiff.substr(1))) : 0;
    } else {
        margin = finalPosition == "00" ? 15 : 10;
    }
    if (timeDiff == "9999") {
        margin = 15;
    }
    if (course == CourseClass::Local) {
        margin = margin >= 95 ? kCappedMargin : margin + 4;
    }

    std::string_view weightField = jv::View(se, jv::se::kCarriedWeight);
    std::string_view weight = (!IsBlank(weightField) && weightField != "000") ? weightField : std::string_view("550");

    past.PastFinish = finish;
    past.PastMargin = std::to_string(margin);
    past.PastWeight = weight;

    if (!finish.empty()) {
        ++sums.careerRuns;
        if (margin != kCappedMargin) {
            sums.marginSum += margin;
            sums.weightSum += LeadingNumber(weight);
            ++sums.averaged;
        }
    }

    int bucket = kRotationBuckets;
    if (!finish.empty()) {
        std::optional<int> place = ParseInt(finish);
        if (!place) {
            return Failure(fmt::sprintf(Sjis("%s の着順 \"%s\" は数値ではありません。"), RunnerText(race, slot, k),
                                        std::string(finish)));
        }
        // A place of 0 or below is no usable finishing position.
        if (*place >= 1) {
            bucket = std::min(*place, kRotationBuckets - 1);
        }
    }
    sums.rotationValue += tables.Rotation(k, bucket);
    return {};
}

int ClampedRunners(std::string_view ra)
{
    long long n = jv::Number(ra, jv::ra::kRegistered);
    return static_cast<int>(std::clamp<long long>(n, 0, kRunnerSlots));
}

RankEntry Keys(double primary, int primaryDecimals)
{
    RankEntry entry;
    entry.keys[0] = {primary, primaryDecimals};
    entry.keyCount = 1;
    return entry;
}

RankEntry Keys(double primary, int primaryDecimals, double secondary, int secondaryDecimals)
{
    RankEntry entry;
    entry.keys[0] = {primary, primaryDecimals};
    entry.keys[1] = {secondary, secondaryDecimals};
    entry.keyCount = 2;
    return entry;
}

// Base times above 999 are leftovers of a broken time text, not figures.
constexpr double kBaseTimeLimit = 999.0;

void RankRace(std::vector<Runner>& runners)
{
    using enum RankDirection;
    RankRunners(runners, Descending, &Runner::RankAchievement,
                [](const Runner& x) { return Keys(x.AchievementProb, 5); });
    RankRunners(runners, Descending, &Runner::RankClass,
                [](const Runner& x) { return Keys(x.ClassValue, 3, x.AchievementProb, 5); });
    RankRunners(runners, Ascending, &Runner::RankAvgMargin,
                [](const Runner& x) { return Keys(x.AvgMargin, 5, x.RankAchievement, 0); });
    RankRunners(runners, Descending, &Runner::RankRotation,
                [](const Runner& x) { return Keys(x.RotationShare, 3, x.AchievementProb, 3); });
    RankRunners(runners, Ascending, &Runner::RankGoal,
                [](const Runner& x) { return Keys(x.GoalMargin, 5, x.RankAchievement, 0); });
    RankRunners(runners, Ascending, &Runner::RankFinalGoal,
                [](const Runner& x) { return Keys(x.FinalGoalMargin, 5, x.RankAchievement, 0); });

    for (Runner& runner : runners) {
        if (runner.Past[0].PastBaseTime > kBaseTimeLimit) {
            runner.Past[0].PastBaseTime = 0.0;
        }
        if (runner.BestBaseTime > kBaseTimeLimit) {
            runner.BestBaseTime = 0.0;
        }
    }
    // Equal base times go to the smaller final goal margin.
    RankRunners(runners, Descending, &Runner::RankBaseTime,
                [](const Runner& x) { return Keys(x.Past[0].PastBaseTime, 3, 10000.0 - x.FinalGoalMargin, 3); });
    RankRunners(runners, Descending, &Runner::RankBestBaseTime,
                [](const Runner& x) { return Keys(x.BestBaseTime, 3, 10000.0 - x.FinalGoalMargin, 3); });
    // Runners without a last-600 m gap come after all others.
    RankRunners(runners, Descending, &Runner::RankOverallMin, [](const Runner& x) {
        RankEntry entry = Keys(x.OverallMin, 5, x.AchievementProb, 5);
        entry.hasPrimary = x.OverallMin < kNoValue;
        return entry;
    });
}

// The waiting window shows the race on its first progress line, the runner on the second
// and the runner's slot on the bar (0 .. n - 1); pending events run between runners.
void ReportRace(Progress* progress, std::string_view ra)
{
    if (progress != nullptr) {
        progress->SetLine(0, RatingRaceCaption(ra));
    }
}

void ReportRunner(Progress* progress, int slot, int runners, std::string_view se)
{
    if (progress != nullptr) {
        progress->SetLine(1, RatingRunnerCaption(slot, se));
        progress->SetBar(0, slot, std::max(runners - 1, 0));
    }
}

} // namespace

std::string RatingRaceCaption(std::string_view ra)
{
    std::string_view monthDay = jv::View(ra, jv::kMonthDay);
    return std::string(jv::View(ra, jv::kYear)) + "/" + std::string(monthDay.substr(0, 2)) + "/" +
           std::string(monthDay.substr(2)) + " " + CourseName(jv::View(ra, jv::kCourseCode), CourseForm::Short) + " " +
           RecordRaceLabel(jv::View(ra, jv::kRaceNo));
}

std::string RatingRunnerCaption(int slot, std::string_view se)
{
    return CircledNumber(slot + 1) + TrimRight(jv::View(se, jv::se::kHorseName));
}

bool IsRatedRace(const RaceDay& day, int race)
{
    if (race < 0 || race >= kRaceSlots) {
        return false;
    }
    if (day.Races[race].incomplete) {
        return false; // runners are missing: the blanks must not be rated beside the others
    }
    std::optional<int> horseNo = ParseInt(jv::View(day.RunnerSE[race][0].View(), jv::se::kHorseNo));
    return horseNo && *horseNo == 1;
}

double RotationPayoutOf(double rotationShare)
{
    double s = std::max(5.1, rotationShare);
    double x = 100.0 * 80.0 / ((63.0 - (s - 15.3) / -0.127778) * 0.917469050894085282 + 15.81692);
    return x >= 100.0 ? x : 100.0;
}

double ClassMarginOf(double classValue)
{
    // Two straight pieces that do not meet at 628: a horse past that class is priced by
    // the second line alone.
    if (classValue < 628.0) {
        return 4.0 - (4.0 / 628.0) * classValue;
    }
    return (-0.3 / 988.0) * classValue;
}

Status RateRace(RaceDay& day, int race, const TuningTables& tables, const UserSettings& settings,
                       const MasterRates& jockeys, const MasterRates& trainers, Progress* progress)
{
    if (!IsRatedRace(day, race)) {
        return {};
    }
    std::string_view ra = day.RaceRA[race].View();
    const int n = ClampedRunners(ra);
    const int f = FieldSizeIndex(n);
    ReportRace(progress, ra);

    UserNumber kk = settings.JockeyTrainerCoefficient(f);
    if (!kk) {
        return Failure(kk.message());
    }
    const double rtsw = settings.Rtsw;

    // The race is worked on in a copy and written back whole, so a race that fails half way
    // keeps the values it had.
    RaceSlot& slot = day.Races[race];
    std::vector<Runner> runners(slot.Runners.begin(), slot.Runners.begin() + n);
    std::vector<PastSums> sums(static_cast<std::size_t>(n));

    double classSum = 0.0;
    for (int s = 0; s < n; ++s) {
        Runner& runner = runners[s];
        std::string_view se = day.RunnerSE[race][s].View();
        ReportRunner(progress, s, n, se);

        PastSums& past = sums[s];
        for (int k = 1; k <= kPastRuns; ++k) {
            Status result =
                RatePastRun(runner.Past[k - 1], day.PastSE[race][s][k - 1].View(), k, tables, past, race, s);
            if (!result) {
                return result;
            }
        }
        if (past.careerRuns == 0) {
            past.rotationValue = 0.0;
            for (int k = 1; k <= kPastRuns; ++k) {
                past.rotationValue += tables.Rotation(k, kRotationBuckets);
            }
        }
        runner.RotationValue = past.rotationValue;
        runner.CareerRuns = past.careerRuns;
        runner.AvgWeight = past.averaged == 0 ? 0.0 : static_cast<double>(past.weightSum) / 10.0 / past.averaged;

        std::string_view um = day.RunnerUM[race][s].View();
        long long prize = 0;
        long long starts = 0;
        for (int i = 1; i <= 6; ++i) {
            prize += jv::Number(um, jv::Nth(jv::um::kPrize, jv::um::kPrize.length, i));
            starts += jv::Number(um, jv::Nth(jv::um::kTotalCounts, jv::um::kTotalCounts.length, i));
        }
        runner.TotalPrize = static_cast<int>(prize / 100);
        runner.TotalStarts = static_cast<int>(starts);
        runner.ClassValue = (static_cast<double>(runner.TotalPrize) + 7.0) / (static_cast<double>(starts) + 10.0);
        runner.ClassMargin = ClassMarginOf(runner.ClassValue);
        classSum += runner.ClassValue;

        runner.JockeyRate = jockeys.Rate(jv::View(se, jv::se::kJockeyCode));
        runner.TrainerRate = trainers.Rate(jv::View(se, jv::se::kTrainerCode));
    }

    double minAvgMargin = kMinimumStart;
    double minRawGoal = kMinimumStart;
    double rotationSum = 0.0;
    for (int s = 0; s < n; ++s) {
        Runner& runner = runners[s];
        const PastSums& past = sums[s];
        runner.GateAdj = tables.GateAdj(f, s);
        UserNumber careerAdj = settings.CareerAdj(runner.CareerRuns);
        if (!careerAdj) {
            return Failure(careerAdj.message());
        }
        runner.CareerAdj = careerAdj.value;
        double averageMargin = past.averaged == 0 ? 0.0 : static_cast<double>(past.marginSum) / 10.0 / past.averaged;
        runner.AvgMargin = averageMargin + runner.CareerAdj;
        minAvgMargin = std::min(minAvgMargin, runner.AvgMargin);

        double weightFactor = runner.CareerRuns > 0 ? 0.2 : 0.0;
        double currentWeight =
            static_cast<double>(jv::Number(day.RunnerSE[race][s].View(), jv::se::kCarriedWeight)) / 10.0;
        // A short record is penalised twice: once inside the average margin, once here.
        runner.RawGoalMargin = runner.JockeyRate * kk.value + runner.AvgMargin + runner.TrainerRate * kk.value +
                               (currentWeight - runner.AvgWeight) * weightFactor + runner.GateAdj + runner.CareerAdj;
        minRawGoal = std::min(minRawGoal, runner.RawGoalMargin);
        runner.ClassShare = runner.ClassValue / classSum * 100.0;
        rotationSum += runner.RotationValue;
    }

    double maxGoal = 0.0;
    for (Runner& runner : runners) {
        runner.GoalMargin = runner.RawGoalMargin - minRawGoal;
        maxGoal = std::max(maxGoal, runner.GoalMargin);
        runner.RelMargin = runner.AvgMargin - minAvgMargin;
        runner.ConditionTerm = runner.RawGoalMargin - runner.AvgMargin;
        // Rotation values that are all 0 say nothing: every runner gets a share of 0.
        runner.RotationShare = rotationSum == 0.0 ? 0.0 : runner.RotationValue / rotationSum * 100.0;
        runner.RotationPayout = RotationPayoutOf(runner.RotationShare);
        runner.RotationWinRate = 80.0 / runner.RotationPayout * 100.0;
        runner.RotationExcess = runner.RotationWinRate - runner.RotationShare;
    }

    // Closeness: 50 for the best runner down to 1 for the worst; when every runner has the
    // same predicted margin they are all equally close.
    std::vector<double> closeness(runners.size());
    double closenessSum = 0.0;
    for (std::size_t s = 0; s < runners.size(); ++s) {
        Runner& runner = runners[s];
        closeness[s] = maxGoal > 0.0 ? 50.0 - 49.0 * runner.GoalMargin / maxGoal : 50.0;
        closenessSum += closeness[s];
        double divisor = runner.RotationShare * rtsw;
        runner.FinalGoalMargin = divisor == 0.0 ? kNoFinalGoalMargin : runner.GoalMargin / divisor;
    }
    for (std::size_t s = 0; s < runners.size(); ++s) {
        Runner& runner = runners[s];
        runner.GoalShare = closeness[s] / closenessSum * 100.0;
        runner.AchievementProb = (0.05 * runner.GoalShare + runner.ClassShare) / 100.0;
    }

    RankRace(runners);
    std::copy(runners.begin(), runners.end(), slot.Runners.begin());
    return {};
}

Status CalculateRatings(RaceDay& day, const RatingInputs& inputs, Progress* progress)
{
    std::optional<MasterRates> jockeys;
    std::optional<MasterRates> trainers;
    std::optional<UserSettings> settings;
    const int raceCount = std::clamp(day.RaceCount, 0, kRaceSlots);
    for (int race = 0; race < raceCount; ++race) {
        if (!IsRatedRace(day, race)) {
            continue;
        }
        if (!jockeys) {
            const RecordFile* jockeyFile = inputs.masters != nullptr ? inputs.masters->JockeyFile() : nullptr;
            const RecordFile* trainerFile = inputs.masters != nullptr ? inputs.masters->TrainerFile() : nullptr;
            MasterRatesResult jockeyResult =
                jockeyFile != nullptr
                    ? ParseMasterRates(jockeyFile->Bytes(), MasterKind::Jockey, PathText(inputs.jockeyMasterFile))
                    : ReadMasterRates(inputs.jockeyMasterFile, MasterKind::Jockey);
            if (!jockeyResult) {
                return Failure(jockeyResult.message());
            }
            MasterRatesResult trainerResult =
                trainerFile != nullptr
                    ? ParseMasterRates(trainerFile->Bytes(), MasterKind::Trainer, PathText(inputs.trainerMasterFile))
                    : ReadMasterRates(inputs.trainerMasterFile, MasterKind::Trainer);
            if (!trainerResult) {
                return Failure(trainerResult.message());
            }
            jockeys = std::move(jockeyResult.value);
            trainers = std::move(trainerResult.value);
        }
        // The settings are read once a calculation, at its first rated race, so an edit of
        // the file takes effect at the next calculation.
        if (!settings) {
            Result<UserSettings> read = ReadUserSettings(inputs.settings);
            if (!read) {
                return Failure(read.message());
            }
            settings = std::move(read.value);
        }
        Status result = RateRace(day, race, inputs.tables, *settings, *jockeys, *trainers, progress);
        if (!result) {
            return result;
        }
    }
    return {};
}

} // namespace vornal
