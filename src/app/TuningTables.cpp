#include "app/TuningTables.h"

#include <system_error>

#include "app/TuningFiles.h"

// Checked reads of the tuning tables and the start-up sequence that fills them.
namespace vornal {
namespace {

bool InRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

} // namespace

double TuningTables::GateAdj(int fieldSizeIndex, int slot) const
{
    if (!InRange(fieldSizeIndex, 0, kGateFieldSizes - 1) || !InRange(slot, 0, kGateSlots - 1)) {
        return 0.0;
    }
    return GateAdjTable[fieldSizeIndex][slot];
}

double TuningTables::Rotation(int pastRun, int bucket) const
{
    if (!InRange(pastRun, 1, kRotationRuns) || !InRange(bucket, 1, kRotationBuckets)) {
        return 0.0;
    }
    return RotationTable[pastRun][bucket];
}

double TuningTables::RankHitRate(int shareClass, int rank) const
{
    if (!InRange(shareClass, 1, kShareClasses) || !InRange(rank, 1, kQuinellaRanks)) {
        return 0.0;
    }
    return RankHitTable[shareClass][rank].HitRate;
}

double TuningTables::RankExpectedValue(int shareClass, int rank) const
{
    if (!InRange(shareClass, 1, kShareClasses) || !InRange(rank, 1, kQuinellaRanks)) {
        return 0.0;
    }
    return RankHitTable[shareClass][rank].ExpectedValue;
}

double TuningTables::RankWin(int kind, int rank) const
{
    if (!InRange(kind, 1, kRatingKinds) || !InRange(rank, 1, kRankedRunners)) {
        return 0.0;
    }
    return RankWinRate[kind][rank];
}

double TuningTables::RankTopTwo(int kind, int rank) const
{
    if (!InRange(kind, 1, kRatingKinds) || !InRange(rank, 1, kRankedRunners)) {
        return 0.0;
    }
    return RankTopTwoRate[kind][rank];
}

double TuningTables::FieldRankWin(int runners, int favourite) const
{
    if (!InRange(runners, kMinFieldRankRunners, kRankedRunners) || !InRange(favourite, 1, kRankedRunners)) {
        return 0.0;
    }
    return FieldRankWinRate[runners][favourite];
}

double TuningTables::ShareClassStat(int shareClass, ShareStat stat) const
{
    int column = static_cast<int>(stat);
    if (!InRange(shareClass, 1, kShareClasses) || !InRange(column, 1, kShareStats)) {
        return 0.0;
    }
    return ShareClassStats[shareClass][column];
}

double TuningTables::BaseLap(int distanceIndex, LapSurface surface, LapMeasure measure) const
{
    int s = static_cast<int>(surface);
    int m = static_cast<int>(measure);
    if (!InRange(distanceIndex, 1, kLapDistances) || !InRange(s, 0, 1) || !InRange(m, 0, 2)) {
        return 0.0;
    }
    return BaseLapTable[distanceIndex][s][m];
}

double TuningTables::Threshold(int category, ThresholdLevel level) const
{
    int p = static_cast<int>(level);
    if (!InRange(category, 1, kLapCategories) || !InRange(p, 0, 2)) {
        return 0.0;
    }
    return ThresholdTable[category][p];
}

double TuningTables::RankPair(int category, RankPairKind pair, int i, int j) const
{
    int p = static_cast<int>(pair);
    if (!InRange(category, 1, kLapCategories) || !InRange(p, 0, 2) || !InRange(i, 1, kRankBuckets) ||
        !InRange(j, 1, kRankBuckets)) {
        return 0.0;
    }
    return RankPairTable[category][p][i][j];
}

int FieldSizeIndex(int registeredRunners)
{
    return registeredRunners <= 7 ? 0 : registeredRunners - 7;
}

Status LoadTuningTables(const std::filesystem::path& appDir, TuningTables& tables)
{
    if (Status result = LoadGateAdj(appDir / kGateAdjFileName, tables); !result) {
        return result;
    }
    SetBuiltInTables(tables);
    // Rank rates measured on the user's own days replace the built-in ones when present.
    if (std::error_code error; std::filesystem::exists(appDir / kRankRateFileName, error)) {
        if (Status result = LoadRankRates(appDir / kRankRateFileName, tables); !result) {
            return result;
        }
    }
    if (Status result = LoadRotation(appDir / kRotationFileName, tables); !result) {
        return result;
    }
    return LoadRankHit(appDir / kRankHitFileName, tables);
}

} // namespace vornal
