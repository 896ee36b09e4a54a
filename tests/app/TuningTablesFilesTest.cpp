#include "app/TuningTables.h"
#include "app/TuningFiles.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "text/Encoding.h"

using namespace vornal;

namespace {

// ---- writing little-endian records, independently of the loaders ----

void PutLittleEndian(std::string& bytes, std::size_t offset, std::uint64_t bits, int width)
{
    if (bytes.size() < offset + static_cast<std::size_t>(width)) {
        bytes.resize(offset + static_cast<std::size_t>(width), '\0');
    }
    for (int i = 0; i < width; ++i) {
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
}

void PutDouble(std::string& bytes, std::size_t offset, double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    PutLittleEndian(bytes, offset, bits, 8);
}

void PutInt32(std::string& bytes, std::size_t offset, std::int32_t value)
{
    PutLittleEndian(bytes, offset, static_cast<std::uint32_t>(value), 4);
}

constexpr std::size_t kGateRecord = 576;
constexpr std::size_t kRotationRecord = 4400;
constexpr std::size_t kRankHitRecord = 19584;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Fifteen records; double i of record r holds (r * 100 + i) / 1000, so every value tells
// where it was read from and stays inside the bounds of a gate adjustment.
double GateValue(int record, int i)
{
    return (record * 100 + i) / 1000.0;
}

std::string GateAdjBytes()
{
    std::string bytes(15 * kGateRecord, '\0');
    for (int record = 0; record < 15; ++record) {
        for (int i = 0; i < 72; ++i) {
            PutDouble(bytes, record * kGateRecord + i * 8, GateValue(record, i));
        }
    }
    return bytes;
}

// The seven [11][10] tables of the second record of "RT.dat".
struct RotationFile
{
    std::int32_t races[12][11] = {};
    std::int32_t wins[12][11] = {};
    double winRate[12][11] = {};
    std::int32_t topTwo[12][11] = {};
    double topTwoRate[12][11] = {};
    std::int32_t topThree[12][11] = {};
    double topThreeRate[12][11] = {};

    RotationFile()
    {
        for (int k = 1; k <= 11; ++k) {
            for (int b = 1; b <= 10; ++b) {
                races[k][b] = k * 100 + b;
                wins[k][b] = k * 10 + b;
                topTwo[k][b] = 100 * k + b + 7;
                topThree[k][b] = 1000000 * k + b;
                winRate[k][b] = b / 64.0; // row sum 55 / 64
                topTwoRate[k][b] = 0.125; // row sum 1.25
                topThreeRate[k][b] = b == k % 10 + 1 ? 0.75 : 0.0;
            }
        }
    }

    std::string Bytes() const
    {
        // Record 0 is never read: fill it with rates that would not normalise.
        std::string bytes(2 * kRotationRecord, '\0');
        std::size_t offset = kRotationRecord;
        auto ints = [&](const std::int32_t(&table)[12][11]) {
            for (int k = 1; k <= 11; ++k) {
                for (int b = 1; b <= 10; ++b, offset += 4) {
                    PutInt32(bytes, offset, table[k][b]);
                }
            }
        };
        auto reals = [&](const double(&table)[12][11]) {
            for (int k = 1; k <= 11; ++k) {
                for (int b = 1; b <= 10; ++b, offset += 8) {
                    PutDouble(bytes, offset, table[k][b]);
                }
            }
        };
        ints(races);
        ints(wins);
        reals(winRate);
        ints(topTwo);
        reals(topTwoRate);
        ints(topThree);
        reals(topThreeRate);
        EXPECT_EQ(offset, 2 * kRotationRecord);
        return bytes;
    }
};

double HitValue(int shareClass, int rank)
{
    return shareClass * 10 + rank / 16.0;
}

double ExpectedValueOf(int shareClass, int rank)
{
    return (shareClass * 1000 + rank) / 100.0;
}

std::string RankHitBytes()
{
    std::string bytes(kRankHitRecord, '\0');
    for (int c = 1; c <= 8; ++c) {
        for (int r = 1; r <= 153; ++r) {
            std::size_t classStart = static_cast<std::size_t>(c - 1) * 306 * 8;
            PutDouble(bytes, classStart + (r - 1) * 8, HitValue(c, r));
            PutDouble(bytes, classStart + (153 + r - 1) * 8, ExpectedValueOf(c, r));
        }
    }
    return bytes;
}

bool Mentions(const std::string& message, const std::string& part)
{
    return message.find(part) != std::string::npos;
}

class TuningFilesTest : public ::testing::Test
{
protected:
    std::filesystem::path Put(const std::string& name, const std::string& bytes) const
    {
        PutFile(m_dir / name, bytes);
        return m_dir / name;
    }

    TempDir m_dir;
    TuningTables m_tables;
};

// ---- GateAdj.dat ----

TEST_F(TuningFilesTest, GateAdjRowsComeFromRecordsFourToFourteen)
{
    SetBuiltInTables(m_tables);
    ASSERT_TRUE(LoadGateAdj(Put("GateAdj.dat", GateAdjBytes()), m_tables));
    // 8 runners: doubles 36..43 of record 4.
    EXPECT_EQ(m_tables.GateAdj(FieldSizeIndex(8), 0), GateValue(4, 36));
    EXPECT_EQ(m_tables.GateAdj(FieldSizeIndex(8), 7), GateValue(4, 43));
    EXPECT_EQ(m_tables.GateAdj(FieldSizeIndex(8), 17), GateValue(4, 53));
    // 18 runners: doubles 36..53 of record 14.
    EXPECT_EQ(m_tables.GateAdj(FieldSizeIndex(18), 0), GateValue(14, 36));
    EXPECT_EQ(m_tables.GateAdj(FieldSizeIndex(18), 17), GateValue(14, 53));
    EXPECT_EQ(m_tables.GateAdj(5, 9), GateValue(8, 45));
    // Small fields keep the built-in row.
    EXPECT_DOUBLE_EQ(m_tables.GateAdj(0, 0), 1.492);
    EXPECT_EQ(m_tables.GateAdj(0, 7), 0.0);
}

TEST_F(TuningFilesTest, DoublesAreDecodedLittleEndian)
{
    std::string bytes = GateAdjBytes();
    // 1.5 is 0x3FF8000000000000, -2.25 is 0xC002000000000000: lowest byte first.
    bytes.replace(4 * kGateRecord + 36 * 8, 8, std::string("\0\0\0\0\0\0\xF8\x3F", 8));
    bytes.replace(4 * kGateRecord + 37 * 8, 8, std::string("\0\0\0\0\0\0\x02\xC0", 8));
    ASSERT_TRUE(LoadGateAdj(Put("GateAdj.dat", bytes), m_tables));
    EXPECT_EQ(m_tables.GateAdj(1, 0), 1.5);
    EXPECT_EQ(m_tables.GateAdj(1, 1), -2.25);
}

TEST_F(TuningFilesTest, GateAdjMissingShortOrDamaged)
{
    m_tables.GateAdjTable[1][0] = 9.0;

    Status missing = LoadGateAdj(m_dir / "GateAdj.dat", m_tables);
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.message, Sjis("GateAdj.dat が見つかりません。"));

    // A folder of that name is no tuning file either.
    std::filesystem::create_directory(m_dir / "sub");
    std::filesystem::create_directory(m_dir / "sub" / "GateAdj.dat");
    EXPECT_EQ(LoadGateAdj(m_dir / "sub" / "GateAdj.dat", m_tables).message, Sjis("GateAdj.dat が見つかりません。"));

    // One byte short of record 14.
    std::string bytes = GateAdjBytes();
    bytes.pop_back();
    Status shortFile = LoadGateAdj(Put("GateAdj.dat", bytes), m_tables);
    EXPECT_FALSE(shortFile);
    EXPECT_TRUE(Mentions(shortFile.message, "GateAdj.dat")) << ToUtf8(shortFile.message);
    EXPECT_TRUE(Mentions(shortFile.message, "14")) << ToUtf8(shortFile.message);

    // Only four records: not even row 1 is there.
    Status fourRecords = LoadGateAdj(Put("GateAdj.dat", GateAdjBytes().substr(0, 4 * kGateRecord)), m_tables);
    EXPECT_FALSE(fourRecords);
    EXPECT_TRUE(Mentions(fourRecords.message, "GateAdj.dat"));
    EXPECT_FALSE(LoadGateAdj(Put("GateAdj.dat", ""), m_tables));

    // A NaN where a slot is read.
    bytes = GateAdjBytes();
    PutDouble(bytes, 9 * kGateRecord + 40 * 8, kNaN);
    Status nan = LoadGateAdj(Put("GateAdj.dat", bytes), m_tables);
    EXPECT_FALSE(nan);
    EXPECT_TRUE(Mentions(nan.message, "GateAdj.dat"));

    // Every failure left the table as it was.
    EXPECT_EQ(m_tables.GateAdj(1, 0), 9.0);
    EXPECT_EQ(m_tables.GateAdj(11, 17), 0.0);
}

TEST_F(TuningFilesTest, GateAdjIgnoresWhatItDoesNotRead)
{
    // Damage in records 0..3, in doubles outside 36..53 and in records after 14.
    std::string bytes = GateAdjBytes();
    PutDouble(bytes, 2 * kGateRecord + 40 * 8, kNaN);
    PutDouble(bytes, 4 * kGateRecord + 35 * 8, kNaN);
    PutDouble(bytes, 14 * kGateRecord + 54 * 8, kNaN);
    bytes += std::string(100, '\xFF');
    ASSERT_TRUE(LoadGateAdj(Put("GateAdj.dat", bytes), m_tables));
    EXPECT_EQ(m_tables.GateAdj(11, 17), GateValue(14, 53));
}

// ---- RT.dat ----

TEST_F(TuningFilesTest, RotationStatsAreReadFromTheSecondRecord)
{
    RotationFile file;
    ASSERT_TRUE(LoadRotation(Put("RT.dat", file.Bytes()), m_tables));
    const RotationStatsTables& s = m_tables.RotationStats;
    EXPECT_EQ(s.Races[1][1], 101);
    EXPECT_EQ(s.Races[11][10], 1110);
    EXPECT_EQ(s.Wins[6][3], 63);
    EXPECT_EQ(s.TopTwo[11][10], 1117);
    EXPECT_EQ(s.TopThree[11][10], 11000010);
    EXPECT_EQ(s.WinRate[4][7], 7.0 / 64.0);
    EXPECT_EQ(s.TopTwoRate[11][10], 0.125);
    EXPECT_EQ(s.TopThreeRate[2][3], 0.75);
    EXPECT_EQ(s.TopThreeRate[2][4], 0.0);
}

TEST_F(TuningFilesTest, RotationTablesAreRatesOverTheirRowSums)
{
    RotationFile file;
    file.winRate[1][10] = 45.0 / 64.0; // row 1 sums to 90 / 64
    ASSERT_TRUE(LoadRotation(Put("RT.dat", file.Bytes()), m_tables));
    // Win rates b over 1 + 2 + .. + 10 = 55.
    EXPECT_DOUBLE_EQ(m_tables.Rotation(3, 10), 10.0 / 55.0);
    EXPECT_DOUBLE_EQ(m_tables.Rotation(5, 1), 1.0 / 55.0);
    EXPECT_DOUBLE_EQ(m_tables.Rotation(11, 4), 4.0 / 55.0);
    EXPECT_DOUBLE_EQ(m_tables.Rotation(1, 10), 45.0 / 90.0);
    EXPECT_DOUBLE_EQ(m_tables.Rotation(1, 9), 9.0 / 90.0);
    // Ten equal top-two rates give a tenth each; the single top-three rate gives 1.
    EXPECT_DOUBLE_EQ(m_tables.RotationTopTwoTable[7][5], 0.1);
    EXPECT_DOUBLE_EQ(m_tables.RotationTopThreeTable[2][3], 1.0);
    EXPECT_DOUBLE_EQ(m_tables.RotationTopThreeTable[2][4], 0.0);
    for (int k = 1; k <= 11; ++k) {
        double sum = 0.0;
        for (int b = 1; b <= 10; ++b) {
            sum += m_tables.Rotation(k, b);
        }
        EXPECT_NEAR(sum, 1.0, 1e-12) << k;
    }
}

TEST_F(TuningFilesTest, RotationRowSummingToZeroStopsTheLoad)
{
    m_tables.RotationTable[1][1] = 0.5;

    RotationFile allZero;
    for (int b = 1; b <= 10; ++b) {
        allZero.winRate[7][b] = 0.0;
    }
    Status zero = LoadRotation(Put("RT.dat", allZero.Bytes()), m_tables);
    EXPECT_FALSE(zero);
    EXPECT_TRUE(Mentions(zero.message, "RT.dat"));
    EXPECT_TRUE(Mentions(zero.message, Sjis("7走"))) << ToUtf8(zero.message);

    RotationFile emptyTopThree;
    for (int b = 1; b <= 10; ++b) {
        emptyTopThree.topThreeRate[11][b] = 0.0;
    }
    Status empty = LoadRotation(Put("RT.dat", emptyTopThree.Bytes()), m_tables);
    EXPECT_FALSE(empty);
    EXPECT_TRUE(Mentions(empty.message, Sjis("11走の複勝率"))) << ToUtf8(empty.message);

    RotationFile nan;
    nan.topTwoRate[3][3] = kNaN;
    EXPECT_FALSE(LoadRotation(Put("RT.dat", nan.Bytes()), m_tables));

    EXPECT_EQ(m_tables.Rotation(1, 1), 0.5);
    EXPECT_EQ(m_tables.RotationStats.Races[1][1], 0);
}

TEST_F(TuningFilesTest, RotationMissingOrShort)
{
    Status missing = LoadRotation(m_dir / "RT.dat", m_tables);
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.message, Sjis("RT.dat が見つかりません。"));

    std::string bytes = RotationFile().Bytes();
    Status oneRecord = LoadRotation(Put("RT.dat", bytes.substr(0, kRotationRecord)), m_tables);
    EXPECT_FALSE(oneRecord);
    EXPECT_TRUE(Mentions(oneRecord.message, "RT.dat"));
    EXPECT_FALSE(LoadRotation(Put("RT.dat", bytes.substr(0, bytes.size() - 1)), m_tables));
    EXPECT_EQ(m_tables.Rotation(1, 1), 0.0);
}

// ---- senuj.dat ----

TEST_F(TuningFilesTest, RankHitTableHoldsRatesThenValuesPerClass)
{
    ASSERT_TRUE(LoadRankHit(Put("senuj.dat", RankHitBytes()), m_tables));
    for (int c : {1, 4, 8}) {
        for (int r : {1, 77, 153}) {
            EXPECT_EQ(m_tables.RankHitRate(c, r), HitValue(c, r)) << c << " " << r;
            EXPECT_EQ(m_tables.RankExpectedValue(c, r), ExpectedValueOf(c, r)) << c << " " << r;
        }
    }
}

TEST_F(TuningFilesTest, RankHitMissingOrShort)
{
    Status missing = LoadRankHit(m_dir / "senuj.dat", m_tables);
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.message, Sjis("senuj.dat が見つかりません。"));

    std::string bytes = RankHitBytes();
    bytes.pop_back();
    Status shortFile = LoadRankHit(Put("senuj.dat", bytes), m_tables);
    EXPECT_FALSE(shortFile);
    EXPECT_TRUE(Mentions(shortFile.message, "senuj.dat"));

    bytes = RankHitBytes();
    PutDouble(bytes, (306 * 7 + 153 + 152) * 8, std::numeric_limits<double>::infinity());
    EXPECT_FALSE(LoadRankHit(Put("senuj.dat", bytes), m_tables));
    EXPECT_EQ(m_tables.RankHitRate(1, 1), 0.0);
}

// ---- values outside what the files mean ----

// A file of 1e300 everywhere, or one finite value out of its bounds, once overturned the
// rankings without a word: each file must refuse it, naming itself and the record.
TEST_F(TuningFilesTest, FiniteValuesOutsideTheirBoundsAreRefused)
{
    std::string huge(15 * kGateRecord, '\0');
    for (std::size_t offset = 0; offset < huge.size(); offset += 8) {
        PutDouble(huge, offset, 1e300);
    }
    Status gate = LoadGateAdj(Put("GateAdj.dat", huge), m_tables);
    EXPECT_EQ(gate.message, Sjis("GateAdj.dat：レコード 4 のバイト 288 からの値 1e+300 が範囲外です（-10～10）。"));

    std::string bytes = GateAdjBytes();
    PutDouble(bytes, 9 * kGateRecord + 40 * 8, -10.5);
    EXPECT_TRUE(Mentions(LoadGateAdj(Put("GateAdj.dat", bytes), m_tables).message, Sjis("レコード 9 ")));
    EXPECT_EQ(m_tables.GateAdj(1, 0), 0.0);
    PutDouble(bytes, 9 * kGateRecord + 40 * 8, -10.0); // the bound itself is allowed
    ASSERT_TRUE(LoadGateAdj(Put("GateAdj.dat", bytes), m_tables));
    EXPECT_EQ(m_tables.GateAdj(6, 4), -10.0);

    RotationFile rate;
    rate.winRate[5][3] = 1.5;
    Status rateStatus = LoadRotation(Put("RT.dat", rate.Bytes()), m_tables);
    EXPECT_TRUE(Mentions(rateStatus.message, Sjis("RT.dat：レコード 1 "))) << ToUtf8(rateStatus.message);
    EXPECT_TRUE(Mentions(rateStatus.message, Sjis("勝率（5走 3着）の値 1.5 が範囲外です")))
        << ToUtf8(rateStatus.message);

    RotationFile count;
    count.topTwo[2][9] = -1; // read as a signed number, so the sign is seen
    Status countStatus = LoadRotation(Put("RT.dat", count.Bytes()), m_tables);
    EXPECT_TRUE(Mentions(countStatus.message, Sjis("連対数（2走 9着）の値 -1 が範囲外です")))
        << ToUtf8(countStatus.message);

    bytes = RankHitBytes();
    PutDouble(bytes, (306 * 2 + 10) * 8, 100.5); // class 3, hit rate of rank 11
    Status hit = LoadRankHit(Put("senuj.dat", bytes), m_tables);
    EXPECT_TRUE(Mentions(hit.message, Sjis("senuj.dat：レコード 0 のバイト 4976 からの値 100.5 が範囲外です")))
        << ToUtf8(hit.message);
    bytes = RankHitBytes();
    PutDouble(bytes, (306 * 7 + 153 + 152) * 8, -0.25); // class 8, value of rank 153
    EXPECT_TRUE(Mentions(LoadRankHit(Put("senuj.dat", bytes), m_tables).message, Sjis("-0.25 が範囲外です")));

    // Nothing of a refused file was kept.
    EXPECT_EQ(m_tables.Rotation(5, 3), 0.0);
    EXPECT_EQ(m_tables.RankHitRate(3, 11), 0.0);
}

// The named broken inputs: each must stop the start-up with its message.
TEST_F(TuningFilesTest, BrokenTuningFilesStopTheStartUp)
{
    const std::filesystem::path broken = std::filesystem::path(VORNAL_TEST_DATA_DIR) / "broken" / "tuning";
    std::filesystem::copy_file(broken / "RT.dat", m_dir / "RT.dat");
    std::filesystem::copy_file(broken / "senuj.dat", m_dir / "senuj.dat");
    std::filesystem::copy_file(broken / "GateAdj-1e300.dat", m_dir / "GateAdj.dat");
    EXPECT_EQ(LoadTuningTables(m_dir.Path(), m_tables).message,
              Sjis("GateAdj.dat：レコード 4 のバイト 288 からの値 1e+300 が範囲外です（-10～10）。"));
    std::filesystem::copy_file(broken / "GateAdj.dat", m_dir / "GateAdj.dat",
                               std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(LoadTuningTables(m_dir.Path(), m_tables));
    std::filesystem::copy_file(broken / "senuj-negative.dat", m_dir / "senuj.dat",
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(LoadTuningTables(m_dir.Path(), m_tables).message,
              Sjis("senuj.dat：レコード 0 のバイト 1224 からの値 -1 が範囲外です（0～1000）。"));
}

// ---- the start-up sequence ----

TEST_F(TuningFilesTest, StartUpLoadsEveryTableOrNamesTheFirstMissingFile)
{
    Put("RT.dat", RotationFile().Bytes());
    Put("senuj.dat", RankHitBytes());
    Status noGate = LoadTuningTables(m_dir.Path(), m_tables);
    EXPECT_EQ(noGate.message, Sjis("GateAdj.dat が見つかりません。"));

    Put("GateAdj.dat", GateAdjBytes());
    std::filesystem::remove(m_dir / "senuj.dat");
    EXPECT_EQ(LoadTuningTables(m_dir.Path(), m_tables).message, Sjis("senuj.dat が見つかりません。"));

    Put("senuj.dat", RankHitBytes());
    TuningTables tables;
    ASSERT_TRUE(LoadTuningTables(m_dir.Path(), tables));
    EXPECT_DOUBLE_EQ(tables.GateAdj(0, 0), 1.492);
    EXPECT_EQ(tables.GateAdj(11, 0), GateValue(14, 36));
    EXPECT_DOUBLE_EQ(tables.Rotation(1, 1), 1.0 / 55.0);
    EXPECT_EQ(tables.RankHitRate(8, 153), HitValue(8, 153));
    EXPECT_DOUBLE_EQ(tables.FieldRankWin(18, 18), 0.2);
}

// ---- the files of tables measured again ----

TEST_F(TuningFilesTest, WrittenTablesReadBackTheSame)
{
    SetBuiltInTables(m_tables);
    ASSERT_TRUE(LoadRotation(Put("RT.dat", RotationFile().Bytes()), m_tables));
    ASSERT_TRUE(LoadRankHit(Put("senuj.dat", RankHitBytes()), m_tables));
    TuningTables written = m_tables;
    written.RotationStats.Races[3][4] = 123456;
    written.RotationStats.TopThreeRate[11][10] = 0.987654321;
    written.RankHitTable[5][77] = {12.345678901, 3.25};
    written.RankWinRate[10][18] = 0.123456789;
    written.RankTopTwoRate[1][1] = 99.5;
    RankRateCounts counts{};
    counts[4][9] = 4321;

    TuningTables read;
    ASSERT_TRUE(LoadRotation(Put("RT.dat", RotationFileBytes(written.RotationStats)), read));
    ASSERT_TRUE(LoadRankHit(Put("senuj.dat", RankHitFileBytes(written)), read));
    RankRateCounts readCounts{};
    ASSERT_TRUE(LoadRankRates(Put(kRankRateFileName, RankRateFileBytes(written, counts)), read, &readCounts));
    for (int k = 1; k <= kRotationRuns; ++k) {
        for (int b = 1; b <= kRotationBuckets; ++b) {
            EXPECT_EQ(read.RotationStats.Races[k][b], written.RotationStats.Races[k][b]);
            EXPECT_EQ(read.RotationStats.TopThree[k][b], written.RotationStats.TopThree[k][b]);
            EXPECT_EQ(read.RotationStats.WinRate[k][b], written.RotationStats.WinRate[k][b]);
            EXPECT_EQ(read.RotationStats.TopThreeRate[k][b], written.RotationStats.TopThreeRate[k][b]);
            EXPECT_EQ(read.RotationTable[k][b], m_tables.RotationTable[k][b]);
        }
    }
    for (int c = 1; c <= kShareClasses; ++c) {
        for (int r = 1; r <= kQuinellaRanks; ++r) {
            EXPECT_EQ(read.RankHitRate(c, r), written.RankHitRate(c, r));
            EXPECT_EQ(read.RankExpectedValue(c, r), written.RankExpectedValue(c, r));
        }
    }
    EXPECT_EQ(read.RankWinRate, written.RankWinRate);
    EXPECT_EQ(read.RankTopTwoRate, written.RankTopTwoRate);
    EXPECT_EQ(readCounts, counts);
}

TEST_F(TuningFilesTest, RankRateFileReplacesTheBuiltInRatesOnlyWhenPresentAndSound)
{
    Put("GateAdj.dat", GateAdjBytes());
    Put("RT.dat", RotationFile().Bytes());
    Put("senuj.dat", RankHitBytes());
    TuningTables builtIn;
    ASSERT_TRUE(LoadTuningTables(m_dir.Path(), builtIn));
    EXPECT_DOUBLE_EQ(builtIn.RankWin(1, 1), 21.87);

    TuningTables measured = builtIn;
    measured.RankWinRate[1][1] = 30.5;
    measured.RankTopTwoRate[10][18] = 1.25;
    std::string bytes = RankRateFileBytes(measured, {});
    Put(kRankRateFileName, bytes);
    TuningTables tables;
    ASSERT_TRUE(LoadTuningTables(m_dir.Path(), tables));
    EXPECT_EQ(tables.RankWin(1, 1), 30.5);
    EXPECT_EQ(tables.RankTopTwo(10, 18), 1.25);
    EXPECT_EQ(tables.RankWin(2, 1), builtIn.RankWin(2, 1));
    EXPECT_EQ(tables.FieldRankWinRate, builtIn.FieldRankWinRate);

    // A damaged file stops the start-up with its name, as the other tuning files do.
    Put(kRankRateFileName, bytes.substr(0, 3599));
    EXPECT_EQ(LoadTuningTables(m_dir.Path(), tables).message,
              Sjis("RankRate.dat の大きさが違います（3599 バイト、必要 3600 バイト）。"));
    PutDouble(bytes, 720, 100.5);
    Put(kRankRateFileName, bytes);
    EXPECT_TRUE(Mentions(LoadTuningTables(m_dir.Path(), tables).message, Sjis("100.5 が範囲外です")));
    PutLittleEndian(bytes, 720, 0x7FF8000000000000ULL, 8); // NaN
    Put(kRankRateFileName, bytes);
    EXPECT_TRUE(Mentions(LoadTuningTables(m_dir.Path(), tables).message, Sjis("数値ではありません")));
}

} // namespace
