#include "analysis/AbilityDeviation.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "raceday/Ranking.h"
#include "text/Encoding.h"
#include "raceday/PastPerformance.h"
#include "text/Fields.h"

namespace vornal {
namespace {

constexpr int kRunsPerRace = kRunnerSlots * kPastRuns;

bool Processed(const RaceSlot& race)
{
    return !race.incomplete && LeadingNumber(race.Runners[0].HorseNo.View()) == 1;
}

void ResetRace(RaceSlot& race)
{
    race.AbilityMean = 0.0;
    race.AbilitySpread = 0.0;
    race.PastRowCount = 0;
    for (Runner& runner : race.Runners) {
        runner.AbilityDeviation = 0.0;
        bool anyPresent = false;
        for (PastRun& run : runner.Past) {
            run.RIndex = 0.0;
            run.RIndexRank = 0;
            run.RTime = 0.0;
            run.RTimeRank = 0;
            if (run.PastRunPresent) {
                ++race.PastRowCount;
                anyPresent = true;
            }
        }
        // The past-run table shows one empty row for a runner without any run.
        if (!anyPresent) {
            ++race.PastRowCount;
        }
    }
}

void AbilityStatistics(RaceSlot& race)
{
    std::vector<double> values;
    for (const Runner& runner : race.Runners) {
        if (runner.AbilityIndex > 0.0) {
            values.push_back(runner.AbilityIndex);
        }
    }
    if (values.empty()) {
        return;
    }
    double sum = 0.0;
    bool allEqual = true;
    for (double value : values) {
        sum += value;
        allEqual = allEqual && value == values.front();
    }
    double mean = sum / static_cast<double>(values.size());
    double spread = 0.0;
    // One index, or several equal ones, have no spread; the rounding of the mean must not
    // turn that into a tiny spread that blows the deviations up.
    if (values.size() > 1 && !allEqual) {
        double squares = 0.0;
        for (double value : values) {
            squares += (value - mean) * (value - mean);
        }
        spread = std::sqrt(squares / static_cast<double>(values.size() - 1));
    }
    race.AbilityMean = mean;
    race.AbilitySpread = spread;
    for (Runner& runner : race.Runners) {
        if (runner.AbilityIndex > 0.0) {
            runner.AbilityDeviation = spread > 0.0 ? (runner.AbilityIndex - mean) / spread * 10.0 + 50.0 : 50.0;
        }
    }
}

// Graded races are stronger fields: a run in one is worth more than the margin says.
double GradeBonus(std::string_view grade)
{
    if (grade == "A") {
        return -1.4;
    }
    if (grade == "B") {
        return -1.0;
    }
    if (grade == "C") {
        return -0.6;
    }
    if (grade == "E") {
        return -0.2;
    }
    return 0.0;
}

// The three bytes of the grade code as one number that orders like the text.
double GradeTieKey(std::string_view gradeCode)
{
    std::string text = IsBlank(gradeCode) ? std::string("000") : PadRight(gradeCode, 3);
    double key = 0.0;
    for (char c : text) {
        key = key * 256.0 + static_cast<unsigned char>(c);
    }
    return key;
}

struct Scored
{
    bool hasIndex = false;
    bool hasTime = false;
    double rIndex = 0.0;
    double rTime = 0.0;
    double tieKey = 0.0;
};

Status ScoreRuns(RaceSlot& race, int r)
{
    // Every run is scored before anything is written, so a faulty time difference leaves
    // the race as the reset left it.
    std::array<Scored, kRunsPerRace> scored{};
    for (int j = 0; j < kRunnerSlots; ++j) {
        const Runner& runner = race.Runners[j];
        for (int k = 0; k < kPastRuns; ++k) {
            const PastRun& run = runner.Past[k];
            if (!IsJraRun(run)) {
                continue;
            }
            double margin = 0.0;
            if (run.PastPlace >= 2 && !IsBlank(run.PastTimeDiff)) {
                std::optional<int> tenths = ParseInt(run.PastTimeDiff.View());
                if (!tenths) {
                    return Status::Failure(Sjis("実力偏差値：") + std::to_string(r + 1) + Sjis("番目のレース ") +
                                               std::to_string(j + 1) + Sjis("番 ") + std::to_string(k + 1) +
                                               Sjis("走前のタイム差「") + run.PastTimeDiff.Str() +
                                               Sjis("」が数値ではありません。"));
                }
                margin = *tenths / 10.0;
            } else if (run.PastPlace != 1) {
                // No finishing position, or placed without a time difference: no margin to
                // score the run by.
                continue;
            }
            Scored& entry = scored[j * kPastRuns + k];
            entry.hasIndex = true;
            entry.rIndex = 100.0 - runner.ClassMargin - margin - GradeBonus(run.PastGrade);
            entry.tieKey = GradeTieKey(run.PastGradeCode);
            if (run.PastBaseTime > 0.0) {
                entry.hasTime = true;
                entry.rTime = entry.rIndex + run.PastBaseTime;
            }
        }
    }

    // Both rankings run over the past runs of the whole race: an entry's slot is its
    // position runner x 5 + run, which is also the last key (higher runner, then older run).
    std::vector<RankEntry> byIndex;
    std::vector<RankEntry> byTime;
    for (int i = 0; i < kRunsPerRace; ++i) {
        if (!scored[i].hasIndex) {
            continue;
        }
        RankEntry entry;
        entry.slot = i;
        entry.horseNo = i / kPastRuns + 1;
        entry.keys[0] = {scored[i].rIndex, 1};
        entry.keys[1] = {scored[i].tieKey, 0};
        entry.keys[2] = {static_cast<double>(i), 0};
        entry.keyCount = 3;
        byIndex.push_back(entry);
        if (scored[i].hasTime) {
            entry.keys[0] = {scored[i].rTime, 1};
            byTime.push_back(entry);
        }
    }
    std::array<int, kRunsPerRace> indexRanks{};
    std::array<int, kRunsPerRace> timeRanks{};
    RankEntries(byIndex, RankDirection::Descending, indexRanks);
    RankEntries(byTime, RankDirection::Descending, timeRanks);
    for (int i = 0; i < kRunsPerRace; ++i) {
        PastRun& run = race.Runners[i / kPastRuns].Past[i % kPastRuns];
        run.RIndex = scored[i].rIndex;
        run.RTime = scored[i].rTime;
        run.RIndexRank = indexRanks[i];
        run.RTimeRank = timeRanks[i];
    }
    return Status::Success();
}

} // namespace

Status ComputeAbilityDeviation(RaceDay& day)
{
    for (RaceSlot& race : day.Races) {
        if (Processed(race)) {
            ResetRace(race);
        }
    }
    for (int r = 0; r < kRaceSlots; ++r) {
        RaceSlot& race = day.Races[r];
        if (!Processed(race)) {
            continue;
        }
        AbilityStatistics(race);
        if (Status result = ScoreRuns(race, r); !result) {
            return result;
        }
    }
    return Status::Success();
}

} // namespace vornal
