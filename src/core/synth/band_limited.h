#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace kelvo {

// The three shapes whose harmonics reach past half the sample rate.
enum class HarmonicShape { Square, Triangle, Sawtooth };

// One cycle of a shape built from its harmonics below half the sample rate only, so that
// nothing folds back, read at any phase. The cycle is a table fine enough that reading
// between its points adds nothing within 120 dB of the fundamental. Its peak is 1, as the
// plain shape's, so the level means the same with and without the option.
//   Square: the sign of cos(x). Triangle: rising from -1 at x = -pi/2 to 1 at pi/2.
//   Sawtooth: rising from -1 just after x = pi/2 to 1 at 5 pi/2.
class BandLimitedCycle {
public:
    BandLimitedCycle(HarmonicShape shape, double frequency, double sampleRate);

    // The value at phase x = 2 pi * cycles.
    double at(double cycles) const
    {
        const double position = (cycles - std::floor(cycles)) * m_size;
        const auto i = static_cast<std::size_t>(position);
        const double fraction = position - static_cast<double>(i);
        return m_table[i] + (m_table[i + 1] - m_table[i]) * fraction;
    }

private:
    double m_size = 0;
    std::vector<double> m_table; // m_size points and the first again
};

} // namespace kelvo
