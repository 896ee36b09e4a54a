#include "samplegen/TuningFiles.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace vornal::samplegen {
namespace {

void AppendDouble(std::string& out, double value)
{
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) {
        out += static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
}

void AppendInt32(std::string& out, int value)
{
    const std::uint32_t bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
}

// The finishing bucket of a past run: its position 1..8, 9 for ninth or worse, 10 when it
// has none (pulled up, scratched).
int Bucket(const Runner& runner)
{
    if (runner.position <= 0) {
        return 10;
    }
    return runner.position <= 8 ? runner.position : 9;
}

std::string RotationRecord(const RotationCounts& counts)
{
    int totalRaces = 0;
    int totalWins = 0;
    int totalTwo = 0;
    int totalThree = 0;
    for (int k = 0; k < 11; ++k) {
        for (int b = 0; b < 10; ++b) {
            totalRaces += counts.races[k][b];
            totalWins += counts.wins[k][b];
            totalTwo += counts.topTwo[k][b];
            totalThree += counts.topThree[k][b];
        }
    }
    auto rate = [](int part, int whole) { return whole > 0 ? static_cast<double>(part) / whole : 0.0; };
    double winRate[11][10];
    double twoRate[11][10];
    double threeRate[11][10];
    for (int k = 0; k < 11; ++k) {
        int rowWins = 0;
        for (int b = 0; b < 10; ++b) {
            rowWins += counts.wins[k][b];
        }
        for (int b = 0; b < 10; ++b) {
            const int races = counts.races[k][b];
            if (rowWins == 0) {
                winRate[k][b] = rate(totalWins, totalRaces);
                twoRate[k][b] = rate(totalTwo, totalRaces);
                threeRate[k][b] = rate(totalThree, totalRaces);
            } else {
                winRate[k][b] = rate(counts.wins[k][b], races);
                twoRate[k][b] = rate(counts.topTwo[k][b], races);
                threeRate[k][b] = rate(counts.topThree[k][b], races);
            }
        }
    }
    // A season without a single result still needs a usable file.
    if (totalWins == 0) {
        for (int k = 0; k < 11; ++k) {
            for (int b = 0; b < 10; ++b) {
                winRate[k][b] = 0.1;
                twoRate[k][b] = 0.2;
                threeRate[k][b] = 0.3;
            }
        }
    }
    std::string out;
    for (int k = 0; k < 11; ++k) {
        for (int b = 0; b < 10; ++b) {
            AppendInt32(out, counts.races[k][b]);
        }
    }
    for (int k = 0; k < 11; ++k) {
        for (int b = 0; b < 10; ++b) {
            AppendInt32(out, counts.wins[k][b]);
        }
    }
    for (int k = 0; k < 11; ++k) {
        for (int b = 0; b < 10; ++b) {
            AppendDouble(out, winRate[k][b]);
        }
    }
    for (int k = 0; k < 11; ++k) {
        for (int b = 0; b < 10; ++b) {
            AppendInt32(out, counts.topTwo[k][b]);
        }
    }
    for (int k = 0; k < 11; ++k) {
        for (int b = 0; b < 10; ++b) {
            AppendDouble(out, twoRate[k][b]);
        }
    }
    for (int k = 0; k < 11; ++k) {
        for (int b = 0; b < 10; ++b) {
            AppendInt32(out, counts.topThree[k][b]);
        }
    }
    for (int k = 0; k < 11; ++k) {
        for (int b = 0; b < 10; ++b) {
            AppendDouble(out, threeRate[k][b]);
        }
    }
    out.resize(4400, '\0');
    return out;
}

} // namespace

std::string GateAdjBytes()
{
    std::string out;
    for (int record = 0; record < 15; ++record) {
        for (int i = 0; i < 72; ++i) {
            double value = 0;
            if (record >= 4 && i >= 36 && i < 54) {
                const int runners = record + 4; // record 4 is the row of 8 runners
                const int slot = i - 36;
                // A small fixed ripple so that neighbouring gates are not all alike.
                const int ripple = (slot * 7 + runners * 3) % 5 - 2;
                value = 1.40 + 0.012 * (runners - 8) + 0.006 * slot + 0.004 * ripple;
            }
            AppendDouble(out, value);
        }
    }
    return out;
}

RotationCounts CountRotations(const Season& season, bool flatOnly)
{
    RotationCounts counts;
    for (const Race& race : season.races) {
        if (!race.published || race.course->region != CourseRegion::Jra ||
            (flatOnly && race.surface == Surface::Jump)) {
            continue;
        }
        for (const Runner& runner : race.runners) {
            if (runner.status == RunStatus::Scratched || runner.horse < 0) {
                continue;
            }
            // The horse's earlier runs, latest first, as its history file shows them.
            const Horse& horse = season.world.horses[static_cast<std::size_t>(runner.horse)];
            std::vector<int> buckets;
            for (auto it = horse.runs.rbegin(); it != horse.runs.rend(); ++it) {
                const Race& past = season.races[static_cast<std::size_t>(it->race)];
                if (past.day < race.day && past.published) {
                    buckets.push_back(Bucket(past.runners[static_cast<std::size_t>(it->runner)]));
                }
            }
            for (int k = 0; k < 11; ++k) {
                const int b = static_cast<std::size_t>(k) < buckets.size() ? buckets[static_cast<std::size_t>(k)] : 10;
                ++counts.races[k][b - 1];
                counts.wins[k][b - 1] += runner.position == 1 ? 1 : 0;
                counts.topTwo[k][b - 1] += runner.position >= 1 && runner.position <= 2 ? 1 : 0;
                counts.topThree[k][b - 1] += runner.position >= 1 && runner.position <= 3 ? 1 : 0;
            }
        }
    }
    return counts;
}

std::string RotationBytes(const Season& season)
{
    return RotationRecord(CountRotations(season, true)) + RotationRecord(CountRotations(season, false));
}

std::string RankHitBytes()
{
    std::string out;
    for (int c = 1; c <= 8; ++c) {
        // Class 1 spreads the money widest: its favourite pair wins about one race in eight;
        // class 8 concentrates it: about three in ten.
        const double q = 0.88 - (c - 1) * 0.026;
        double weight = 1.0;
        double total = 0;
        for (int r = 1; r <= 153; ++r) {
            total += weight;
            weight *= q;
        }
        weight = 1.0;
        for (int r = 1; r <= 153; ++r) {
            AppendDouble(out, 100.0 * weight / total);
            weight *= q;
        }
        // Expected return as a ratio of the stake: below 1.0 (the takeout) almost everywhere,
        // falling slowly with the rank, with a band of value just behind the class's
        // favourite pairs and one long shot of class 1 worth twice its stake.
        const int valueRank = c + 3;
        for (int r = 1; r <= 153; ++r) {
            double ev = std::max(0.4, 0.85 - 0.002 * (r - 1));
            const int distance = r > valueRank ? r - valueRank : valueRank - r;
            if (distance < 4) {
                ev += 0.30 * (4 - distance) / 4.0;
            }
            if (c == 1 && r == 12) {
                ev = 2.1;
            }
            AppendDouble(out, ev);
        }
    }
    return out;
}

} // namespace vornal::samplegen
