#include "app/TuningFiles.h"

#include <bit>

namespace vornal {
namespace {

constexpr std::size_t kRotationRecordBytes = 4400;

void AppendDouble(std::string& out, double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) {
        out += static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
}

void AppendInt32(std::string& out, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
}

// One [k 1..11][b 1..10] table, the bucket varying fastest.
template <typename Grid, typename Append> void AppendRotationTable(std::string& out, const Grid& grid, Append append)
{
    for (int k = 1; k <= kRotationRuns; ++k) {
        for (int b = 1; b <= kRotationBuckets; ++b) {
            append(out, grid[k][b]);
        }
    }
}

} // namespace

std::string RotationFileBytes(const RotationStatsTables& stats)
{
    std::string out(kRotationRecordBytes, '\0');
    AppendRotationTable(out, stats.Races, AppendInt32);
    AppendRotationTable(out, stats.Wins, AppendInt32);
    AppendRotationTable(out, stats.WinRate, AppendDouble);
    AppendRotationTable(out, stats.TopTwo, AppendInt32);
    AppendRotationTable(out, stats.TopTwoRate, AppendDouble);
    AppendRotationTable(out, stats.TopThree, AppendInt32);
    AppendRotationTable(out, stats.TopThreeRate, AppendDouble);
    return out;
}

std::string RankHitFileBytes(const TuningTables& tables)
{
    std::string out;
    for (int shareClass = 1; shareClass <= kShareClasses; ++shareClass) {
        for (int rank = 1; rank <= kQuinellaRanks; ++rank) {
            AppendDouble(out, tables.RankHitTable[shareClass][rank].HitRate);
        }
        for (int rank = 1; rank <= kQuinellaRanks; ++rank) {
            AppendDouble(out, tables.RankHitTable[shareClass][rank].ExpectedValue);
        }
    }
    return out;
}

std::string RankRateFileBytes(const TuningTables& tables, const RankRateCounts& counts)
{
    std::string out;
    auto append = [&out](const auto& grid, auto write) {
        for (int kind = 1; kind <= kRatingKinds; ++kind) {
            for (int rank = 1; rank <= kRankedRunners; ++rank) {
                write(out, grid[kind][rank]);
            }
        }
    };
    append(counts, AppendInt32);
    append(tables.RankWinRate, AppendDouble);
    append(tables.RankTopTwoRate, AppendDouble);
    return out;
}

} // namespace vornal
