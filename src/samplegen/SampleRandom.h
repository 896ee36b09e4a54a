#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// The random source of the sample season. xoshiro256** seeded through splitmix64, with its
// own uniform and normal draws: the standard library's distributions differ between library
// versions, and a seed must give the same season byte for byte wherever it is run.
namespace vornal::samplegen {

class SampleRandom
{
public:
    explicit SampleRandom(std::uint64_t seed);

    // An independent generator for one purpose, so that drawing more numbers for one part of
    // the season (one more race day, one more horse) does not shift every other part.
    static SampleRandom Stream(std::uint64_t seed, std::uint64_t stream, std::uint64_t index = 0);

    std::uint64_t Next();
    // Uniform in [0, 1), 53 bits.
    double Uniform();
    // Uniform integer 0 .. n-1 (0 when n <= 0).
    int Below(int n);
    // Uniform integer lo .. hi inclusive.
    int Between(int lo, int hi);
    bool Chance(double probability);
    // Mean 0, standard deviation 1: the sum of four uniforms, rescaled. The tails end at
    // +-3.46, which suits race luck better than an unbounded bell.
    double Normal();
    // Index drawn with probability proportional to weights[i] (non-negative); the last index
    // when all weights are 0.
    int Weighted(const double* weights, int count);

    template <class T> void Shuffle(std::vector<T>& items)
    {
        for (std::size_t i = items.size(); i > 1; --i) {
            std::size_t j = static_cast<std::size_t>(Below(static_cast<int>(i)));
            std::swap(items[i - 1], items[j]);
        }
    }

private:
    std::uint64_t m_state[4];
};

} // namespace vornal::samplegen
