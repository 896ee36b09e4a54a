#include "samplegen/SampleRandom.h"

namespace vornal::samplegen {
namespace {

std::uint64_t SplitMix(std::uint64_t& x)
{
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

constexpr std::uint64_t Rotl(std::uint64_t x, int k)
{
    return (x << k) | (x >> (64 - k));
}

} // namespace

SampleRandom::SampleRandom(std::uint64_t seed)
{
    std::uint64_t x = seed;
    for (std::uint64_t& word : m_state) {
        word = SplitMix(x);
    }
}

SampleRandom SampleRandom::Stream(std::uint64_t seed, std::uint64_t stream, std::uint64_t index)
{
    std::uint64_t x = seed;
    std::uint64_t mixed = SplitMix(x);
    x = mixed ^ (stream * 0xD1B54A32D192ED03ULL);
    mixed = SplitMix(x);
    x = mixed ^ (index * 0x8CB92BA72F3D8DD7ULL);
    return SampleRandom(SplitMix(x));
}

std::uint64_t SampleRandom::Next()
{
    const std::uint64_t result = Rotl(m_state[1] * 5, 7) * 9;
    const std::uint64_t t = m_state[1] << 17;
    m_state[2] ^= m_state[0];
    m_state[3] ^= m_state[1];
    m_state[1] ^= m_state[2];
    m_state[0] ^= m_state[3];
    m_state[2] ^= t;
    m_state[3] = Rotl(m_state[3], 45);
    return result;
}

double SampleRandom::Uniform()
{
    return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

int SampleRandom::Below(int n)
{
    if (n <= 0) {
        return 0;
    }
    // Multiply-shift keeps the draw unbiased enough for counts this small.
    return static_cast<int>(((Next() >> 32) * static_cast<std::uint64_t>(n)) >> 32);
}

int SampleRandom::Between(int lo, int hi)
{
    return hi <= lo ? lo : lo + Below(hi - lo + 1);
}

bool SampleRandom::Chance(double probability)
{
    return Uniform() < probability;
}

double SampleRandom::Normal()
{
    constexpr double kSqrt3 = 1.7320508075688772;
    const double sum = Uniform() + Uniform() + Uniform() + Uniform();
    return (sum - 2.0) * kSqrt3;
}

int SampleRandom::Weighted(const double* weights, int count)
{
    double total = 0;
    for (int i = 0; i < count; ++i) {
        total += weights[i];
    }
    if (count <= 0) {
        return 0;
    }
    double pick = Uniform() * total;
    for (int i = 0; i < count; ++i) {
        if (pick < weights[i]) {
            return i;
        }
        pick -= weights[i];
    }
    return count - 1;
}

} // namespace vornal::samplegen
