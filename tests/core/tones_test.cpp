#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

namespace kelvo::test {
namespace {

struct TwoToneFixture {
    Renderer r;
    double omega = 0;
    double omega2 = 0;
    double g2 = 0;

    TwoToneFixture(double toneAmp2, std::int32_t mode, double levelL, double levelR)
    {
        r.settings.Waveform[0] = 9;
        r.settings.ToneFreq1 = 1000;
        r.settings.ToneFreq2 = 1500;
        r.settings.ToneAmp2 = toneAmp2;
        r.settings.ChanMode[0] = mode;
        r.settings.LevelL[0] = levelL;
        r.settings.LevelR[0] = levelR;
        omega = 2 * kPi * 1000 / 44100;
        omega2 = 2 * kPi * 1500 / 44100;
        g2 = std::pow(10.0, -toneAmp2 / 20);
    }

    // One channel as written: the second tone at `offset2`, the first tone at `offset1`.
    double value(double t, double amp, double offset2, double offset1, double gain) const
    {
        return Nearest((g2 * amp * 0.495 * 32767 * std::cos((t + offset2) * omega2) +
                        amp * 0.495 * 32767 * std::cos((t + offset1) * omega)) *
                       gain);
    }
};

TEST(TwoTone, EqualTonesStayWithinTheirPeakAndCloseTheBlock)
{
    TwoToneFixture f(0, 3, 0, 0);
    ASSERT_EQ(f.r.render(), "");
    const std::int64_t N = f.r.upper();
    ASSERT_EQ(N, 441000);
    int peak = 0;
    for (std::int64_t n = 0; n < N / 2; ++n) {
        const double t = static_cast<double>(n + 1);
        ASSERT_EQ(f.r.left(n), f.value(t, 1, 0, 0, 1)) << n;
        ASSERT_EQ(f.r.right(n), f.r.left(n)) << n;
        peak = std::max(peak, std::abs(int{f.r.left(n)}));
    }
    EXPECT_LE(peak, 32439);
    EXPECT_GE(peak, 32400);
    // The last frame keeps its right sample; element N takes the closing value at t = F + 2.
    EXPECT_EQ(f.r.samples()[static_cast<std::size_t>(N)], f.value(N / 2 + 2.0, 1, 0, 0, 1));
}

TEST(TwoTone, AFarWeakerSecondToneLeavesOneCosine)
{
    TwoToneFixture f(200, 3, -6, -6);
    ASSERT_EQ(f.r.render(), "");
    const double amp = std::pow(10.0, -6.0 / 20);
    int peak = 0;
    for (std::int64_t n = 0; n < 220500; ++n) {
        const double t = static_cast<double>(n + 1);
        ASSERT_EQ(f.r.left(n), f.value(t, amp, 0, 0, 1)) << n;
        // 10^-10 of the first tone can tip a rounding only at an exact half.
        ASSERT_NEAR(f.r.left(n), Nearest(amp * 0.495 * 32767 * std::cos(t * f.omega)), 1) << n;
        peak = std::max(peak, int{f.r.left(n)});
    }
    EXPECT_EQ(peak, Nearest(0.495 * 32767 * amp));
}

TEST(TwoTone, RightFirstToneKeepsTheLeftOffset)
{
    // L-R: no offsets, so with equal levels the right channel is the negated left one.
    TwoToneFixture minus(3, 4, -1, -1);
    ASSERT_EQ(minus.r.render(), "");
    const double amp = std::pow(10.0, -1.0 / 20);
    for (std::int64_t n = 0; n < 220500; n += 3) {
        ASSERT_EQ(minus.r.left(n), minus.value(n + 1.0, amp, 0, 0, 1)) << n;
        ASSERT_EQ(minus.r.right(n), -minus.r.left(n)) << n;
    }

    // Quadrature (OffsetL 0, OffsetR a quarter of the 1000 Hz period) and User Defined
    // (both offsets set): the right channel's first tone runs at OffsetL.
    for (const std::int32_t mode : {5, 6}) {
        TwoToneFixture f(3, mode, -2, -5);
        f.r.settings.PhaseL[0] = 60;
        f.r.settings.PhaseR[0] = 90;
        ASSERT_EQ(f.r.render(), "");
        const double offsetL = mode == 5 ? 0 : 60.0 / 360 * 44100 / 1000;
        const double offsetR = 90.0 / 360 * 44100 / 1000;
        const double ampL = std::pow(10.0, -2.0 / 20);
        const double ampR = std::pow(10.0, -5.0 / 20);
        int quirkMatters = 0;
        for (std::int64_t n = 0; n < 220500; n += 5) {
            const double t = static_cast<double>(n + 1);
            ASSERT_EQ(f.r.left(n), f.value(t, ampL, offsetL, offsetL, 1)) << n;
            ASSERT_EQ(f.r.right(n), f.value(t, ampR, offsetR, offsetL, 1)) << n;
            quirkMatters += f.r.right(n) != f.value(t, ampR, offsetR, offsetR, 1);
        }
        EXPECT_GT(quirkMatters, 1000) << mode;
    }
}

struct MultitoneFixture {
    Renderer r;

    MultitoneFixture(std::initializer_list<double> freqs, double level, std::int32_t mode)
    {
        r.settings.Waveform[0] = 10;
        r.settings.MultiCount = static_cast<std::int16_t>(freqs.size());
        std::copy(freqs.begin(), freqs.end(), r.settings.MultiFreq.begin() + 1);
        r.settings.LevelL[0] = level;
        r.settings.LevelR[0] = level;
        r.settings.ChanMode[0] = mode;
    }

    // One channel of frame n: every partial sum rounded and saturated like the element.
    double sum(std::int64_t n, double amp, double gain) const
    {
        const int K = r.settings.MultiCount;
        const double shared = amp * 32767 / (2 * K);
        double element = 0;
        for (int j = 1; j <= K; ++j) {
            const double omega = 2 * kPi * r.settings.MultiFreq[static_cast<std::size_t>(j)] / 44100;
            const double partial = Nearest(element + gain * shared * std::sin((n + 1.0) * omega));
            element = std::clamp(partial, -32768.0, 32767.0);
        }
        return element;
    }
};

TEST(Multitone, SumsRoundedPartialSumsWithinHalfScale)
{
    MultitoneFixture two({400, 1000}, 0, 3);
    ASSERT_EQ(two.r.render(), "");
    const std::int64_t N = two.r.upper();
    for (std::int64_t n = 0; n < N / 2; ++n) {
        ASSERT_EQ(two.r.left(n), two.sum(n, 1, 1)) << n;
        ASSERT_EQ(two.r.right(n), two.r.left(n)) << n;
        ASSERT_LE(std::abs(int{two.r.left(n)}), 16384) << n;
    }
    const double w1 = 2 * kPi * 400 / 44100;
    const double w2 = 2 * kPi * 1000 / 44100;
    EXPECT_EQ(two.r.left(0), Nearest(Nearest(1 * 8191.75 * std::sin(w1)) + 1 * 8191.75 * std::sin(w2)));
    EXPECT_EQ(two.r.samples()[static_cast<std::size_t>(N)], 0);

    MultitoneFixture hundred({}, 0, 4);
    hundred.r.settings.MultiCount = 100;
    for (std::size_t j = 1; j <= 100; ++j)
        hundred.r.settings.MultiFreq[j] = 137.0 * static_cast<double>(j);
    ASSERT_EQ(hundred.r.render(), "");
    for (std::int64_t n = 0; n < N / 2; n += 11) {
        ASSERT_EQ(hundred.r.left(n), hundred.sum(n, 1, 1)) << n;
        ASSERT_EQ(hundred.r.right(n), hundred.sum(n, 1, -1)) << n;
        ASSERT_LE(std::abs(int{hundred.r.left(n)}), 100 * 163.835 + 50) << n;
    }
}

TEST(Multitone, ALeftSumOfMinusFullScaleSetsBothElements)
{
    // +20 dB drives the single tone far past full scale; the left sum saturates.
    MultitoneFixture loud({1000}, 20, 4);
    ASSERT_EQ(loud.r.render(), "");
    const double amp = std::pow(10.0, 20.0 / 20);
    int floors = 0;
    for (std::int64_t n = 0; n < 88200; ++n) {
        const double left = loud.sum(n, amp, 1);
        if (left == -32768) {
            ++floors;
            ASSERT_EQ(loud.r.left(n), -32767) << n;
            ASSERT_EQ(loud.r.right(n), -32767) << n;
        } else {
            ASSERT_EQ(loud.r.left(n), left) << n;
            ASSERT_EQ(loud.r.right(n), loud.sum(n, amp, -1)) << n;
        }
    }
    EXPECT_GT(floors, 10000);
}

TEST(Multitone, CountsOutsideTheListAreGuarded)
{
    MultitoneFixture full({}, -3, 3);
    for (std::size_t j = 1; j <= 100; ++j)
        full.r.settings.MultiFreq[j] = 50.0 * static_cast<double>(j);
    full.r.settings.MultiCount = 100;
    ASSERT_EQ(full.r.render(), "");
    const std::vector<Sample> hundred(full.r.samples().begin(), full.r.samples().end());
    full.r.settings.MultiCount = 3000;
    ASSERT_EQ(full.r.render(), "");
    EXPECT_TRUE(std::equal(hundred.begin(), hundred.end(), full.r.samples().begin(), full.r.samples().end()));

    for (const std::int16_t count : {0, -4}) {
        full.r.settings.MultiCount = count;
        ASSERT_EQ(full.r.render(), "");
        const auto& block = full.r.samples();
        EXPECT_TRUE(std::all_of(block.begin(), block.end(), [](Sample v) { return v == 0; })) << count;
    }
}

} // namespace
} // namespace kelvo::test
