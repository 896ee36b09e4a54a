#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "app/TuningTables.h"

// The tuning files as bytes, for the tables measured again on the user's own days, and the
// one file the built-in rank rates may be replaced by.
//
// "RankRate.dat" holds the win and top-two percentages of the runner ranked r by each of
// the ten ratings (the tables the predicted payouts weigh the ranks with) and the number
// of ranked runners behind every cell. One record of 3600 bytes, little-endian, each table
// [kind 1..10][rank 1..18] with the rank varying fastest:
//
//   byte offset  size  content
//   0            720   int32  [10][18]: ranked runners counted
//   720          1440  double [10][18]: win percentage (0..100)
//   2160         1440  double [10][18]: top-two percentage (0..100)
//
// The file is optional: without it the built-in values hold.
namespace vornal {

inline constexpr const char* kRankRateFileName = "RankRate.dat";
inline constexpr std::size_t kRankRateFileSize = 3600;

// The ranked runners behind each cell of the rank rates, [kind 1..10][rank 1..18].
using RankRateCounts = TuningGrid<std::int32_t, kRatingKinds + 1, kRankedRunners + 1>;

// "RT.dat": two records of 4400 bytes. Record 1 (the one read) holds the seven tables of
// `stats`; record 0 is not read and is written as zeros.
std::string RotationFileBytes(const RotationStatsTables& stats);

// "senuj.dat": one record, per share class 1..8 the 153 hit rates and then the 153
// expected values.
std::string RankHitFileBytes(const TuningTables& tables);

// "RankRate.dat" from the rank rates of `tables` and the counts behind them.
std::string RankRateFileBytes(const TuningTables& tables, const RankRateCounts& counts);

// Reads "RankRate.dat" into RankWinRate and RankTopTwoRate (and `counts` when given). A file
// of another size, a negative count, or a rate that is not a number in 0..100 fails with a
// message naming the file and the byte; the tables are then left unchanged.
Status LoadRankRates(const std::filesystem::path& file, TuningTables& tables, RankRateCounts* counts = nullptr);

} // namespace vornal
