#include "analysis/AxisCodes.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "store/JvLayout.h"
#include "raceday/PastPerformance.h"
#include "text/Fields.h"

namespace vornal {
namespace {

bool InTopThree(int rank)
{
    return rank >= 1 && rank <= 3;
}

char WinRankCharacter(int winRank)
{
    if (winRank >= 1 && winRank <= 3) {
        return static_cast<char>('A' + winRank - 1);
    }
    if (winRank >= 4 && winRank <= 9) {
        return static_cast<char>('0' + winRank);
    }
    return winRank >= 10 ? '-' : '0';
}

} // namespace

void AxisCodes(RaceDay& day, int race)
{
    if (race < 0 || race >= kRaceSlots) {
        return;
    }
    std::string_view ra = day.RaceRA[race].View();
    int registered = std::clamp(static_cast<int>(jv::Number(ra, jv::ra::kRegistered)), 0, kRunnerSlots);
    long long distance = jv::Number(ra, jv::ra::kDistance);
    for (int h = 0; h < registered; ++h) {
        Runner& runner = day.Races[race].Runners[h];
        std::string base = "000000";
        if (runner.RunningStyle <= 3.0) {
            base[0] = 'C';
        }
        if (InTopThree(runner.RankAvgMargin) || InTopThree(runner.RankFinalGoal)) {
            base[2] = '$';
        }
        base[5] = WinRankCharacter(runner.WinRank);
        runner.Past[0].PastAxisCode = base;

        for (PastRun& run : runner.Past) {
            long long gap = std::llabs(distance - run.PastDistance);
            if (!IsJraRun(run) || gap > 400 || !(run.PastBaseTime > 0.0)) {
                continue;
            }
            std::string code = base;
            code[1] = ((run.PastPlace == 1 || run.PastPlace == 2) && gap <= 200) ? 'J' : '0';
            code[4] = run.PastGradeCode.View().starts_with('5') ? '*' : '0';
            run.PastAxisCode = code;
        }

        std::string_view best = runner.RunnerAxisCode.View();
        bool hasBest = best.size() == 1 && best[0] >= '0' && best[0] < '0' + kPastRuns;
        int bestRun = hasBest ? best[0] - '0' : 0;
        runner.RunnerAxisCode = runner.Past[bestRun].PastAxisCode.View();
    }
}

} // namespace vornal
