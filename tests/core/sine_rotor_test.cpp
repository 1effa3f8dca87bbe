// The rotor behind fast sines: it follows the exact sine within its stated error, and a
// sample is rounded from it only where the exact product could not round otherwise.
#include "core/synth/sine_rotor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kelvo::test {
namespace {

TEST(SineRotor, FollowsTheExactSineWithinItsError)
{
    for (const double omega : {2 * 3.141592653589793 * 997.3 / 44100, 3.141592653589793, 1e-6}) {
        const double offset = 12.25;
        const FrameIndex start = 38'000'000;
        SineRotor rotor(offset, omega);
        rotor.restart(start);
        const double bound = SineRotorError(static_cast<double>(start + SineRotor::kRestartEvery), offset, omega);
        for (FrameIndex n = start; n < start + SineRotor::kRestartEvery; ++n) {
            EXPECT_LE(std::abs(rotor.value() - std::sin((static_cast<double>(n + 1) + offset) * omega)), bound) << n;
            rotor.step();
        }
    }
}

TEST(SineRotor, RoundsFromTheApproximationOnlyWhereItIsSafe)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double approx;
        double exact;
        Sample stored;
        bool exactTaken;
    } cases[] = {
        {10.4, 10.6, 10, false},         // clear of a half: the approximation decides
        {-10.6, -10.4, -11, false},      //
        {10.499, 10.501, 11, true},      // within the margin of a half: the exact value decides
        {32766.2, 32767.9, 32767, true}, // near the end of the range: the exact one saturates
        {nan, 5.0, 5, true},
        {3.0, nan, 3, false},
    };
    for (const auto& c : cases) {
        Sample element = 0;
        bool taken = false;
        StoreNear(element, c.approx, 0.01, [&] {
            taken = true;
            return c.exact;
        });
        EXPECT_EQ(element, c.stored) << c.approx;
        EXPECT_EQ(taken, c.exactTaken) << c.approx;
    }
}

} // namespace
} // namespace kelvo::test
