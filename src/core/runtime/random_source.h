#pragma once

#include <cstdint>
#include <random>

namespace kelvo {

// The program's one uniform random source. Its seed is fixed, so every run produces
// the same sequence and successive draws continue it.
class RandomSource {
public:
    // A single-precision value r with 0 <= r < 1.
    float next()
    {
        // 24 random bits fill a float's significand exactly.
        return static_cast<float>(m_engine() >> 8) * (1.0f / 16777216.0f);
    }

private:
    std::mt19937 m_engine{5489u};
};

} // namespace kelvo
