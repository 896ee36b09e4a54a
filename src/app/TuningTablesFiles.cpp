#include "app/TuningTables.h"
#include "app/TuningFiles.h"

#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "text/Encoding.h"
#include "text/Format.h"

// The three tuning files are sequences of fixed-size records of little-endian IEEE 754
// doubles and signed 32-bit integers, written on the machines the statistics were made
// on. They are decoded byte by byte, so the result does not depend on this machine's
// byte order, and every record is checked to lie inside the file before it is read.
namespace vornal {
namespace {

constexpr std::size_t kDoubleSize = 8;
constexpr std::size_t kInt32Size = 4;

constexpr std::size_t kGateAdjRecordSize = 576; // 72 doubles
constexpr int kGateAdjFirstRecord = 4;          // row f = 1
constexpr int kGateAdjLastRecord = 14;          // row f = 11
constexpr std::size_t kGateAdjFirstSlotDouble = 36;

constexpr std::size_t kRotationRecordSize = 4400;
constexpr int kRotationRecord = 1;
constexpr std::size_t kRotationCells = kRotationRuns * kRotationBuckets;

constexpr std::size_t kRankHitRecordSize = 19584; // 2448 doubles
constexpr int kRankHitRecord = 0;

std::uint64_t LittleEndian(std::string_view bytes, std::size_t offset, std::size_t width)
{
    unsigned char raw[8] = {};
    std::memcpy(raw, bytes.data() + offset, width);
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) {
        value = (value << 8) | raw[i];
    }
    return value;
}

// The callers have checked that the record holds the value.
double DoubleAt(std::string_view record, std::size_t offset)
{
    std::uint64_t bits = LittleEndian(record, offset, kDoubleSize);
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::int32_t Int32At(std::string_view record, std::size_t offset)
{
    auto bits = static_cast<std::uint32_t>(LittleEndian(record, offset, kInt32Size));
    std::int32_t value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string FileName(const std::filesystem::path& file)
{
    return PathText(file.filename());
}

// The whole file, or the failure naming it.
Status ReadTuningFile(const std::filesystem::path& file, std::string& bytes)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return Status::Failure(FileName(file) + Sjis(" が見つかりません。"));
    }
    std::optional<std::string> read = ReadFileBytes(file);
    if (!read) {
        return Status::Failure(FileName(file) + Sjis(" を読み込めません。"));
    }
    bytes = std::move(*read);
    return Status::Success();
}

// Checks that records `first`..`last` of `recordSize` bytes lie inside the file.
Status CheckRecords(const std::filesystem::path& file, std::string_view bytes, std::size_t recordSize, int first,
                    int last)
{
    for (int record = first; record <= last; ++record) {
        std::size_t end = (static_cast<std::size_t>(record) + 1) * recordSize;
        if (end > bytes.size()) {
            std::size_t needed = (static_cast<std::size_t>(last) + 1) * recordSize;
            return Status::Failure(
                FileName(file) +
                fmt::sprintf(Sjis(" が短すぎます：レコード %d を読めません（%d バイト、必要 %d バイト）。"), record,
                             bytes.size(), needed));
        }
    }
    return Status::Success();
}

std::string_view Record(std::string_view bytes, std::size_t recordSize, int record)
{
    return bytes.substr(static_cast<std::size_t>(record) * recordSize, recordSize);
}

// A NaN or an infinity would poison every rating and ranking it enters.
Status NotANumber(const std::filesystem::path& file, int record, std::size_t byteOffset)
{
    return Status::Failure(
        FileName(file) +
        fmt::sprintf(Sjis("：レコード %d のバイト %d からの値が数値ではありません。"), record, byteOffset));
}

// The bounds each value's meaning allows. A gate adjustment is added to a runner's time
// figure: the built-in row is about 1.5, and more than ten either way would outweigh every
// other term. A rate of "RT.dat" is a share of races (0..1) and a count cannot be negative.
// A hit rate of "senuj.dat" is a percentage; an expected value is a return ratio, never
// negative and, even for a long shot seen in few races, far below a thousand times the stake.
struct Bounds
{
    double low;
    double high;
};
constexpr Bounds kGateAdjBounds{-10.0, 10.0};
constexpr Bounds kRotationRateBounds{0.0, 1.0};
constexpr Bounds kHitRateBounds{0.0, 100.0};
constexpr Bounds kExpectedValueBounds{0.0, 1000.0};
constexpr Bounds kPercentBounds{0.0, 100.0};

bool Within(double value, Bounds bounds)
{
    return std::isfinite(value) && value >= bounds.low && value <= bounds.high;
}

// A finite value outside its bounds would overturn the rankings as surely as a NaN.
Status OutOfRange(const std::filesystem::path& file, int record, std::size_t byteOffset, double value, Bounds bounds)
{
    if (!std::isfinite(value)) {
        return NotANumber(file, record, byteOffset);
    }
    return Status::Failure(FileName(file) +
                           fmt::sprintf(Sjis("：レコード %d のバイト %d からの値 %g が範囲外です（%g～%g）。"), record,
                                        byteOffset, value, bounds.low, bounds.high));
}

} // namespace

Status LoadGateAdj(const std::filesystem::path& file, TuningTables& tables)
{
    std::string bytes;
    if (Status result = ReadTuningFile(file, bytes); !result) {
        return result;
    }
    if (Status result = CheckRecords(file, bytes, kGateAdjRecordSize, kGateAdjFirstRecord, kGateAdjLastRecord);
        !result) {
        return result;
    }
    TuningGrid<double, kGateFieldSizes, kGateSlots> rows{};
    for (int record = kGateAdjFirstRecord; record <= kGateAdjLastRecord; ++record) {
        std::string_view data = Record(bytes, kGateAdjRecordSize, record);
        int f = record - kGateAdjFirstRecord + 1;
        for (int slot = 0; slot < kGateSlots; ++slot) {
            std::size_t index = kGateAdjFirstSlotDouble + static_cast<std::size_t>(slot);
            double value = DoubleAt(data, index * kDoubleSize);
            if (!Within(value, kGateAdjBounds)) {
                return OutOfRange(file, record, index * kDoubleSize, value, kGateAdjBounds);
            }
            rows[f][slot] = value;
        }
    }
    // Row 0 (small fields) is built in; only the rows of the file are replaced.
    for (int f = 1; f < kGateFieldSizes; ++f) {
        tables.GateAdjTable[f] = rows[f];
    }
    return Status::Success();
}

Status LoadRotation(const std::filesystem::path& file, TuningTables& tables)
{
    std::string bytes;
    if (Status result = ReadTuningFile(file, bytes); !result) {
        return result;
    }
    if (Status result = CheckRecords(file, bytes, kRotationRecordSize, kRotationRecord, kRotationRecord); !result) {
        return result;
    }
    std::string_view data = Record(bytes, kRotationRecordSize, kRotationRecord);

    // Seven [11][10] tables one after another, the bucket varying fastest. The first value
    // out of its bounds is reported with its table and cell.
    RotationStatsTables stats;
    std::size_t offset = 0;
    std::optional<Status> bad;
    auto badCell = [&](const char* label, int k, int b, std::string_view value, std::string_view bounds) {
        bad = Status::Failure(
            FileName(file) +
            fmt::sprintf(Sjis("：レコード %d のバイト %d からの%s（%d走 %d着）の値 %s が範囲外です（%s）。"),
                         kRotationRecord, offset, Sjis(label), k, b, value, bounds));
    };
    auto readCounts = [&](auto& table, const char* label) {
        for (int k = 1; k <= kRotationRuns; ++k) {
            for (int b = 1; b <= kRotationBuckets; ++b) {
                table[k][b] = Int32At(data, offset);
                if (table[k][b] < 0 && !bad) {
                    badCell(label, k, b, std::to_string(table[k][b]), Sjis("0 以上"));
                }
                offset += kInt32Size;
            }
        }
    };
    auto readRates = [&](auto& table, const char* label) {
        for (int k = 1; k <= kRotationRuns; ++k) {
            for (int b = 1; b <= kRotationBuckets; ++b) {
                table[k][b] = DoubleAt(data, offset);
                if (!Within(table[k][b], kRotationRateBounds) && !bad) {
                    if (!std::isfinite(table[k][b])) {
                        bad = NotANumber(file, kRotationRecord, offset);
                    } else {
                        badCell(label, k, b, fmt::sprintf("%g", table[k][b]), Sjis("0～1"));
                    }
                }
                offset += kDoubleSize;
            }
        }
    };
    readCounts(stats.Races, "レース数");
    readCounts(stats.Wins, "勝数");
    readRates(stats.WinRate, "勝率");
    readCounts(stats.TopTwo, "連対数");
    readRates(stats.TopTwoRate, "連対率");
    readCounts(stats.TopThree, "３着内数");
    readRates(stats.TopThreeRate, "複勝率");
    static_assert(kRotationCells * (4 * kInt32Size + 3 * kDoubleSize) == kRotationRecordSize);
    if (bad) {
        return *bad;
    }

    // Each past-run row of a rate table divided by the row's sum, so that every row of the
    // normalised tables sums to 1.
    using RateTable = TuningGrid<double, kRotationRuns + 1, kRotationBuckets + 1>;
    RateTable normalised[3]{};
    const RateTable* rates[3] = {&stats.WinRate, &stats.TopTwoRate, &stats.TopThreeRate};
    const char* labels[3] = {"勝率", "連対率", "複勝率"};
    for (int t = 0; t < 3; ++t) {
        for (int k = 1; k <= kRotationRuns; ++k) {
            double sum = 0.0;
            for (int b = 1; b <= kRotationBuckets; ++b) {
                sum += (*rates[t])[k][b];
            }
            bool usable = sum != 0.0;
            for (int b = 1; usable && b <= kRotationBuckets; ++b) {
                normalised[t][k][b] = (*rates[t])[k][b] / sum;
                usable = std::isfinite(normalised[t][k][b]);
            }
            if (!usable) {
                return Status::Failure(FileName(file) +
                                       fmt::sprintf(Sjis("：%d走の%sの合計が 0 です。"), k, Sjis(labels[t])));
            }
        }
    }
    tables.RotationStats = stats;
    tables.RotationTable = normalised[0];
    tables.RotationTopTwoTable = normalised[1];
    tables.RotationTopThreeTable = normalised[2];
    return Status::Success();
}

Status LoadRankHit(const std::filesystem::path& file, TuningTables& tables)
{
    std::string bytes;
    if (Status result = ReadTuningFile(file, bytes); !result) {
        return result;
    }
    if (Status result = CheckRecords(file, bytes, kRankHitRecordSize, kRankHitRecord, kRankHitRecord); !result) {
        return result;
    }
    std::string_view data = Record(bytes, kRankHitRecordSize, kRankHitRecord);
    TuningGrid<RankHitEntry, kShareClasses + 1, kQuinellaRanks + 1> hits{};
    // Per share class: the 153 hit rates, then the 153 expected values.
    for (int shareClass = 1; shareClass <= kShareClasses; ++shareClass) {
        std::size_t classStart = static_cast<std::size_t>(shareClass - 1) * 2 * kQuinellaRanks;
        for (int rank = 1; rank <= kQuinellaRanks; ++rank) {
            std::size_t hitIndex = classStart + static_cast<std::size_t>(rank - 1);
            std::size_t valueIndex = hitIndex + kQuinellaRanks;
            RankHitEntry& entry = hits[shareClass][rank];
            entry.HitRate = DoubleAt(data, hitIndex * kDoubleSize);
            entry.ExpectedValue = DoubleAt(data, valueIndex * kDoubleSize);
            if (!Within(entry.HitRate, kHitRateBounds)) {
                return OutOfRange(file, kRankHitRecord, hitIndex * kDoubleSize, entry.HitRate, kHitRateBounds);
            }
            if (!Within(entry.ExpectedValue, kExpectedValueBounds)) {
                return OutOfRange(file, kRankHitRecord, valueIndex * kDoubleSize, entry.ExpectedValue,
                                  kExpectedValueBounds);
            }
        }
    }
    tables.RankHitTable = hits;
    return Status::Success();
}

Status LoadRankRates(const std::filesystem::path& file, TuningTables& tables, RankRateCounts* counts)
{
    std::string bytes;
    if (Status result = ReadTuningFile(file, bytes); !result) {
        return result;
    }
    // A file of another size is not one this program wrote: refuse it rather than read
    // rates from the wrong offsets.
    if (bytes.size() != kRankRateFileSize) {
        return Status::Failure(FileName(file) + fmt::sprintf(Sjis(" の大きさが違います（%d バイト、必要 %d バイト）。"),
                                                             bytes.size(), kRankRateFileSize));
    }
    constexpr std::size_t kCells = static_cast<std::size_t>(kRatingKinds) * kRankedRunners;
    RankRateCounts read{};
    TuningGrid<double, kRatingKinds + 1, kRankedRunners + 1> win{};
    TuningGrid<double, kRatingKinds + 1, kRankedRunners + 1> topTwo{};
    for (int kind = 1; kind <= kRatingKinds; ++kind) {
        for (int rank = 1; rank <= kRankedRunners; ++rank) {
            const std::size_t cell = static_cast<std::size_t>(kind - 1) * kRankedRunners + static_cast<std::size_t>(rank - 1);
            const std::size_t countOffset = cell * kInt32Size;
            const std::size_t winOffset = kCells * kInt32Size + cell * kDoubleSize;
            const std::size_t topTwoOffset = kCells * (kInt32Size + kDoubleSize) + cell * kDoubleSize;
            read[kind][rank] = Int32At(bytes, countOffset);
            win[kind][rank] = DoubleAt(bytes, winOffset);
            topTwo[kind][rank] = DoubleAt(bytes, topTwoOffset);
            if (read[kind][rank] < 0) {
                return OutOfRange(file, 0, countOffset, read[kind][rank], {0.0, 2147483647.0});
            }
            if (!Within(win[kind][rank], kPercentBounds)) {
                return OutOfRange(file, 0, winOffset, win[kind][rank], kPercentBounds);
            }
            if (!Within(topTwo[kind][rank], kPercentBounds)) {
                return OutOfRange(file, 0, topTwoOffset, topTwo[kind][rank], kPercentBounds);
            }
        }
    }
    static_assert(kCells * (kInt32Size + 2 * kDoubleSize) == kRankRateFileSize);
    tables.RankWinRate = win;
    tables.RankTopTwoRate = topTwo;
    if (counts != nullptr) {
        *counts = read;
    }
    return Status::Success();
}

} // namespace vornal
