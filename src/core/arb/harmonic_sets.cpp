#include "core/arb/harmonic_sets.h"

#include "core/settings/text_rules.h"

#include <array>
#include <cmath>
#include <initializer_list>

namespace kelvo {
namespace {

// Amplitudes from H1 on; the harmonics not listed are 0.
FourierAmps From(std::initializer_list<double> amps)
{
    FourierAmps all{};
    int n = 1;
    for (const double amp : amps)
        all[static_cast<std::size_t>(n++)] = amp;
    return all;
}

FourierAmps SquareRootDecay()
{
    FourierAmps amps{};
    amps[1] = 1;
    for (int n = 2; n <= 14; ++n)
        amps[static_cast<std::size_t>(n)] = 1 / std::sqrt(std::pow(2.0, n - 1));
    return amps;
}

FourierAmps EvenAlternatingReciprocal()
{
    FourierAmps amps{};
    amps[1] = 1;
    for (int n = 2; n <= 20; n += 2)
        amps[static_cast<std::size_t>(n)] = (n / 2 % 2 == 0 ? 1.0 : -1.0) / n;
    return amps;
}

std::array<HarmonicSet, 12> MakeSets()
{
    return {{
        {"1", "1 - Square Wave", From({1.2732, 0, 0.4244, 0, 0.2546, 0, 0.1819, 0, 0.1415, 0, 0.1157, 0,
                                       0.0979, 0, 0.0849, 0, 0.0749, 0, 0.067,  0, 0.0606, 0, 0.0554})},
        {"2", "2 - Triangle Wave", From({-0.8106,   0, 0.09,     0, -0.0324,   0, 0.0165,   0, -0.01,     0, 0.006699, 0,
                                         -0.004796, 0, 0.003603, 0, -0.002805, 0, 0.002245, 0, -0.001838, 0, 0.001532})},
        {"3", "3 - Sawtooth Wave",
         From({0.6366, 0.3183, 0.2122, 0.1592, 0.1273, 0.1061, 0.0909, 0.0796, 0.0707, 0.0637, 0.0579, 0.0531,
               0.049,  0.0455, 0.0424, 0.0398, 0.0374, 0.0354, 0.0335, 0.0318, 0.0303, 0.0289, 0.0276, 0.0265})},
        {"4", "4 - Trapezoid Wave", From({0.6366,    0, 0.07074,  0, -0.02546, 0, -0.01299, 0, 0.007859, 0, 0.005261, 0,
                                          -0.003767, 0, -0.00283, 0, 0.0022,   0, 0.00176,  0, -0.00144, 0, -0.0012})},
        {"5", "5 - Equal Harmonics", From({0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05,
                                           0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05})},
        {"6", "6 - Alternating Polarity Equal Harmonics",
         From({0.5, 0, -0.25, 0.25, 0.125, -0.125, -0.0625, 0.0625, 0.03125, -0.03125, -0.015625, 0.015625, 0.0078125, -0.0078125,
               -0.00390625, 0.00390625})},
        {"7", "7 - Odd Order Distortion", From({1, 0, 0.1, 0, 0.03, 0, 0.01, 0, 0.003, 0, 0.001, 0, 0.0003, 0, 0.0001})},
        {"8", "8 - Even Order Distortion", From({1, 0.1, 0, 0.03, 0, 0.01, 0, 0.003, 0, 0.001, 0, 0.0003, 0, 0.0001})},
        {"9", "9 - All Orders of Distortion",
         From({1, 0.1, 0.1, 0.03, 0.03, 0.01, 0.01, 0.003, 0.003, 0.001, 0.001, 0.0003, 0.0003, 0.0001, 0.0001})},
        {"X", "X - Square Root Decay of Harmonics", SquareRootDecay()},
        {"Y", "Y - Every Fourth Harmonic", From({1, 0.2, 0, 0, 0, 0.2, 0, 0, 0, 0.2, 0, 0, 0, 0.2, 0, 0, 0, 0.2})},
        {"Z", "Z - Even Order Alt Polarity 1/x Harmonics", EvenAlternatingReciprocal()},
    }};
}

} // namespace

std::span<const HarmonicSet> HarmonicSets()
{
    static const std::array<HarmonicSet, 12> sets = MakeSets();
    return sets;
}

void ApplyHarmonicSet(SignalSettings& settings, const HarmonicSet& set)
{
    for (int n = 1; n <= kFourierCount; ++n)
        settings.FourierAmp[static_cast<std::size_t>(n)] =
            ParseLeadingNumber(FormatNumber(set.amps[static_cast<std::size_t>(n)]));
}

} // namespace kelvo
