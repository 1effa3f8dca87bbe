#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kelvo::test {
namespace {

// One channel's factors as the channel mode and level give them.
struct Channel {
    double amp;
    double gain;
    double offset;
};

struct Modulation {
    double omega;
    double modOmega;
    double d; // depth as a fraction, or the FM deviation
};

double AmValue(const Channel& x, const Modulation& m, double t)
{
    const double cX = std::cos((t + x.offset) * m.omega);
    const double mX = std::cos((t + x.offset) * m.modOmega);
    const double sideband = (m.d * x.amp * 0.0033 * 32767 * mX) * (x.amp * 0.0033 * 32767 * cX);
    return Nearest((x.amp * 0.5 * 32767 * cX + sideband) * x.gain);
}

double FmValue(const Channel& x, const Modulation& m, double t)
{
    const double mX = std::cos((t + x.offset) * m.modOmega);
    return Nearest(x.amp * 0.495 * 32767 * std::cos((t + x.offset) * m.omega + m.d * mX) * x.gain);
}

double DsbValue(const Channel& x, const Modulation& m, double t)
{
    const double cX = std::cos((t + x.offset) * m.omega);
    const double mX = std::cos((t + x.offset) * m.modOmega);
    return Nearest((m.d * x.amp * 0.005 * 32767 * mX) * (m.d * x.amp * 0.005 * 32767 * cX) * x.gain);
}

using Formula = double (*)(const Channel&, const Modulation&, double);

// Renders waveform `code` at 48000 Hz with the given levels.
Renderer& Render(Renderer& r, int code, double levelL, double levelR)
{
    r.settings.Waveform[0] = code;
    r.settings.SampleRate[0] = 48000;
    r.settings.LevelL[0] = levelL;
    r.settings.LevelR[0] = levelR;
    EXPECT_EQ(r.render(), "");
    return r;
}

// Every frame against the formula; returns the largest magnitude of either channel.
int CheckFrames(const Renderer& r, Formula formula, const Modulation& m, const Channel& left,
                const Channel& right)
{
    int peak = 0;
    const FrameIndex frames = r.upper() / 2;
    for (FrameIndex n = 0; n < frames; ++n) {
        const double t = n + 1.0;
        const Sample l = r.left(n);
        const Sample rt = r.right(n);
        if (l != formula(left, m, t) || rt != formula(right, m, t)) {
            ADD_FAILURE() << "frame " << n << ": " << l << " " << rt << " expected " << formula(left, m, t)
                          << " " << formula(right, m, t);
            return peak;
        }
        peak = std::max({peak, std::abs(int{l}), std::abs(int{rt})});
    }
    return peak;
}

TEST(AmRender, FullLevelPeaksBelowTheSidebandLimitAndZeroDepthIsTheCarrier)
{
    Renderer r;
    Render(r, 13, 0, -6);
    ASSERT_EQ(r.upper(), 480000);
    const Modulation m{2 * kPi * 1000 / 48000, 2 * kPi * 200 / 48000, 100.0 / 100};
    const double ampR = std::pow(10.0, -6.0 / 20);
    const int peak = CheckFrames(r, AmValue, m, {1, 1, 0}, {ampR, 1, 0});
    EXPECT_LE(peak, 28076);
    EXPECT_GE(peak, 28000);

    r.settings.AmModDepth = 0;
    Render(r, 13, 0, -6);
    for (FrameIndex n = 0; n < 240000; n += 7) {
        const double carrier = std::cos((n + 1.0) * m.omega);
        ASSERT_EQ(r.left(n), Nearest(16383.5 * carrier)) << n;
        ASSERT_EQ(r.right(n), Nearest(ampR * 0.5 * 32767 * carrier)) << n;
    }
}

TEST(FmRender, FollowsTheDeviationAndZeroDeviationIsTheCarrier)
{
    Renderer r;
    r.settings.FmDeviation = 3.5;
    Render(r, 14, -1, -10);
    const Modulation m{2 * kPi * 2000 / 48000, 2 * kPi * 200 / 48000, 3.5};
    const double ampL = std::pow(10.0, -1.0 / 20);
    const double ampR = std::pow(10.0, -10.0 / 20);
    CheckFrames(r, FmValue, m, {ampL, 1, 0}, {ampR, 1, 0});

    r.settings.FmDeviation = 0;
    Render(r, 14, 0, 0);
    for (FrameIndex n = 0; n < 240000; n += 7) {
        const double carrier = Nearest(0.495 * 32767 * std::cos((n + 1.0) * m.omega));
        ASSERT_EQ(r.left(n), carrier) << n;
        ASSERT_EQ(r.right(n), carrier) << n;
    }
}

TEST(DsbRender, HalfDepthGivesAQuarterOfTheFullPeak)
{
    Renderer r;
    r.settings.DsbModDepth = 50;
    Render(r, 15, 0, 0);
    const Modulation m{2 * kPi * 1000 / 48000, 2 * kPi * 200 / 48000, 50.0 / 100};
    const int peak = CheckFrames(r, DsbValue, m, {1, 1, 0}, {1, 1, 0});
    EXPECT_LE(peak, 6711);
    EXPECT_GE(peak, 6700);
}

// Quadrature shifts the right channel's carrier and modulation alike, and the closing
// pair (only element N for the even block) takes the right value at t = F + 2.
TEST(ModulatedRender, QuadratureShiftsBothCosinesAndTheClosingPairFollowsTheFormula)
{
    struct Case {
        int code;
        Formula formula;
        Modulation m;
    };
    const Case cases[] = {
        {13, AmValue, {2 * kPi * 1000 / 48000, 2 * kPi * 200 / 48000, 1}},
        {14, FmValue, {2 * kPi * 2000 / 48000, 2 * kPi * 200 / 48000, 100}},
        {15, DsbValue, {2 * kPi * 1000 / 48000, 2 * kPi * 200 / 48000, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        Renderer r;
        r.settings.ChanMode[0] = 5;
        r.settings.FreqR[0] = 700;
        Render(r, c.code, 0, -3);
        const double ampR = std::pow(10.0, -3.0 / 20);
        const Channel left{1, 1, 0};
        const Channel right{ampR, 1, 90.0 / 360 * 48000 / 700};
        CheckFrames(r, c.formula, c.m, left, right);
        const std::int64_t N = r.upper();
        EXPECT_EQ(r.samples()[N], c.formula(right, c.m, N / 2 + 2.0));
        EXPECT_EQ(r.samples()[N - 1], c.formula(right, c.m, N / 2.0));

        // In L-R the closing right value carries the right gain; in L it is silent.
        r.settings.ChanMode[0] = 4;
        Render(r, c.code, 0, 0);
        EXPECT_EQ(r.samples()[N], c.formula({1, -1, 0}, c.m, N / 2 + 2.0));
        EXPECT_EQ(r.samples()[N - 1], -r.samples()[N - 2]);
        r.settings.ChanMode[0] = 1;
        Render(r, c.code, 0, 0);
        EXPECT_EQ(r.samples()[N], 0);
        EXPECT_EQ(r.samples()[N - 1], 0);
    }
}

} // namespace
} // namespace kelvo::test
