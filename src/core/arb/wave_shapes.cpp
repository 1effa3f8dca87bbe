#include "core/arb/wave_shapes.h"

#include <algorithm>
#include <cmath>

namespace kelvo {
namespace {

constexpr double kPi = 3.14159265358979;

double Sign(double value)
{
    return value > 0 ? 1.0 : value < 0 ? -1.0 : 0.0;
}

// Row i of a preset, in the order the formulas are written.
double PresetRow(PresetShape shape, double percent, std::int32_t cycles, int i)
{
    switch (shape) {
    case PresetShape::Sine: return percent / 100 * 140 * std::sin(2 * kPi * cycles * i / 400);
    case PresetShape::Square: return percent / 100 * 140 * Sign(std::sin(2 * kPi * cycles * i / 400));
    case PresetShape::Haversine: return percent / 100 * -140 * std::abs(std::sin(kPi * cycles * i / 400));
    case PresetShape::Gauss: {
        const double d = (i - 200) / 50.0;
        // The bell keeps its own constant for pi.
        return -percent * 9 * std::exp(-(d * d) / 2) / (2 * 3.14159);
    }
    }
    return 0;
}

} // namespace

std::int32_t CurveRow(double rows)
{
    if (std::isnan(rows))
        return 0;
    return static_cast<std::int32_t>(std::nearbyint(std::clamp<double>(rows, -kCurveRowLimit, kCurveRowLimit)));
}

CurveRows PresetCurve(PresetShape shape, double percent, std::int32_t cycles)
{
    CurveRows rows{};
    for (int i = 1; i < kArbTableSize; ++i)
        rows[static_cast<std::size_t>(i)] = CurveRow(PresetRow(shape, percent, cycles, i));
    return rows;
}

CurveRows FourierCurve(const FourierAmps& amps, double percent, std::int32_t cycles)
{
    CurveRows rows{};
    for (int i = 1; i < kArbTableSize; ++i) {
        std::int32_t acc = 0;
        for (int n = 1; n <= kFourierCount; ++n)
            acc = CurveRow(percent / 100 * 140 * amps[static_cast<std::size_t>(n)] * std::sin(2.0 * n * kPi * cycles * i / 400) +
                           acc);
        rows[static_cast<std::size_t>(i)] = acc;
    }
    return rows;
}

} // namespace kelvo
