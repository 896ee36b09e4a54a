// The three tuning files. The first input byte picks the file, the rest is its content. A
// table the loader accepts must hold only values inside the bounds the loader promises.
#include <cmath>

#include "FuzzSupport.h"
#include "app/TuningTables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const int which = data[0] % 3;
    const char* names[] = {vornal::kGateAdjFileName, vornal::kRotationFileName, vornal::kRankHitFileName};
    const std::filesystem::path file = vornal::fuzz::ScratchDir() / names[which];
    vornal::fuzz::WriteInput(file, vornal::fuzz::Input(data + 1, size - 1));
    vornal::TuningTables tables;
    auto within = [](double value, double low, double high) {
        return std::isfinite(value) && value >= low && value <= high;
    };
    if (which == 0 && vornal::LoadGateAdj(file, tables)) {
        for (int f = 1; f < vornal::kGateFieldSizes; ++f) {
            for (int s = 0; s < vornal::kGateSlots; ++s) {
                if (!within(tables.GateAdj(f, s), -10.0, 10.0)) {
                    vornal::fuzz::Broken("a gate adjustment out of bounds");
                }
            }
        }
    } else if (which == 1 && vornal::LoadRotation(file, tables)) {
        for (int k = 1; k <= vornal::kRotationRuns; ++k) {
            for (int b = 1; b <= vornal::kRotationBuckets; ++b) {
                if (!within(tables.Rotation(k, b), 0.0, 1.0)) {
                    vornal::fuzz::Broken("a normalised rotation rate out of 0..1");
                }
            }
        }
    } else if (which == 2 && vornal::LoadRankHit(file, tables)) {
        for (int c = 1; c <= vornal::kShareClasses; ++c) {
            for (int r = 1; r <= vornal::kQuinellaRanks; ++r) {
                if (!within(tables.RankHitRate(c, r), 0.0, 100.0) ||
                    !within(tables.RankExpectedValue(c, r), 0.0, 1000.0)) {
                    vornal::fuzz::Broken("a rank hit entry out of bounds");
                }
            }
        }
    }
    return 0;
}
