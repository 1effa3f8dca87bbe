#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace kelvo::test {
namespace {

void Configure(Renderer& r, int waveform, int chanMode, double levelL, double levelR)
{
    r.settings.Waveform[0] = waveform;
    r.settings.ChanMode[0] = chanMode;
    r.settings.LevelL[0] = levelL;
    r.settings.LevelR[0] = levelR;
}

double Sgn(double x)
{
    return x > 0 ? 1 : (x < 0 ? -1 : 0);
}

// A stored sample: the nearest integer, saturated to the 16-bit range.
Sample Stored(double value)
{
    return static_cast<Sample>(std::clamp(Nearest(value), -32768.0, 32767.0));
}

TEST(Square, FollowsTheCosineSignOfEachChannelAndStartsHigh)
{
    Renderer r;
    Configure(r, 2, 6, 0, -6);
    r.settings.PhaseR[0] = 45;
    ASSERT_EQ(r.render(), "");
    const double omega = 2 * kPi * 1000 / 44100;
    const double ampR = std::pow(10.0, -6.0 / 20);
    const double offR = 45.0 / 360 * 44100 / 1000;
    EXPECT_EQ(r.left(0), 32439);
    const auto right = [&](double t) {
        return Nearest(ampR * 0.99 * 32767 * Sgn(std::cos((t + offR) * omega)) * 1);
    };
    for (FrameIndex n = 0; n < 88200; ++n) {
        ASSERT_EQ(r.left(n), Nearest(1 * 0.99 * 32767 * Sgn(std::cos((n + 1.0) * omega)) * 1)) << n;
        ASSERT_EQ(r.right(n), right(n + 1.0)) << n;
    }
    // The closing pair fills only the trailing element, with the right value at m + 2.
    EXPECT_EQ(r.samples()[176400], right(88200 + 2));

    r.settings.ChanMode[0] = 4;
    r.settings.LevelR[0] = 0;
    // N = 7: the loop ends at frame 2, so the closing pair (m + 2 = 5) fills elements 6 and 7.
    r.settings.WaveBuildLength = 7.0 / 176400;
    ASSERT_EQ(r.render(), "");
    ASSERT_EQ(r.upper(), 7);
    EXPECT_EQ(r.samples()[6], Nearest(1 * 0.99 * 32767 * Sgn(std::cos(5 * omega)) * 1));
    EXPECT_EQ(r.samples()[7], Nearest(1 * 0.99 * 32767 * Sgn(std::cos(5 * omega)) * -1));
}

TEST(Dirac, OneFullScaleImpulseInEveryChannelMode)
{
    Renderer r;
    r.settings.Waveform[0] = 8;
    r.settings.PhaseL[0] = 120;
    for (int mode = 1; mode <= 6; ++mode) {
        r.settings.ChanMode[0] = mode;
        ASSERT_EQ(r.render(), "");
        EXPECT_EQ(r.left(0), 32439) << mode;
        EXPECT_EQ(r.right(0), 32439) << mode;
        EXPECT_EQ(std::count(r.samples().begin(), r.samples().end(), 0), 176401 - 2) << mode;
    }
    // A one-frame block keeps its impulse: the closing zeros fall on written elements.
    r.settings.WaveBuildLength = 1.0 / 176400;
    ASSERT_EQ(r.render(), "");
    EXPECT_EQ(r.samples(), (SampleBuffer{32439, 32439}));
}

struct Ramp {
    SampleBuffer block;
    double prev = 0;
};

// The ramp generators as written, at 44100 Hz and 1000 Hz with OffsetL 0, starting from
// RampPrev 0 as in a new process.
Ramp ExpectedRamp(bool sawtooth, double ampL, double ampR, double gainR)
{
    const double omega = 2 * kPi * 1000 / 44100;
    const double S = 44100 * (1 / 1000.0);
    const double scale = sawtooth ? 1.99 : 3.8;
    Ramp ramp{SampleBuffer(176401), 0};
    double c = 1;
    double d = 1;
    for (FrameIndex n = 0; n < 88200; ++n) {
        const double x = std::cos((sawtooth ? n + 1.0 : n + 0.0) * omega);
        const bool turn = sawtooth ? !(Sgn(d * x) > 0) : Sgn(d * x) < 0;
        if (!sawtooth || !turn) {
            double v = d * (c - ramp.prev / 2);
            if (sawtooth)
                v = d > 0 ? c * d : (ramp.prev - c) * d;
            ramp.block[2 * n] = Stored(v * 1 * ampL * scale * 32767 / S);
            ramp.block[2 * n + 1] = Stored(v * gainR * ampR * scale * 32767 / S);
        }
        if (turn) {
            ramp.prev = c;
            c = 1;
            d = -d;
        } else {
            c = c + 1;
        }
    }
    for (std::size_t i = 0; i <= 4 * ramp.prev; ++i)
        ramp.block[i] = ramp.block[static_cast<std::size_t>(4 * ramp.prev) + i];
    return ramp;
}

TEST(RampGenerators, OneRampAtTheLeftPhaseForBothChannels)
{
    for (const bool sawtooth : {false, true}) {
        SCOPED_TRACE(sawtooth ? "sawtooth" : "triangle");
        Renderer r;
        // Quadrature: the right offset is not applied, so both channels are identical.
        Configure(r, sawtooth ? 4 : 3, 5, 0, 0);
        ASSERT_EQ(r.render(), "");
        const Ramp expected = ExpectedRamp(sawtooth, 1, 1, 1);
        ASSERT_EQ(r.samples(), expected.block);
        EXPECT_EQ(r.engine.state().RampPrev, expected.prev);
        for (FrameIndex n = 0; n < 88200; ++n)
            ASSERT_EQ(r.left(n), r.right(n)) << n;
        EXPECT_EQ(r.samples()[176400], 0);

        const auto [low, high] = std::minmax_element(r.samples().begin(), r.samples().end());
        if (sawtooth) {
            // The turn frame takes a count, so a half cycle reaches 22 of S = 44.1 samples.
            EXPECT_EQ(*high, Nearest(22 * 1.99 * 32767 / 44.1));
            EXPECT_EQ(*low, -*high);
            const double omega = 2 * kPi * 1000 / 44100;
            for (FrameIndex n = 100; n < 88200; ++n) {
                if (Sgn(std::cos((n + 1.0) * omega)) != Sgn(std::cos(n * omega))) {
                    ASSERT_TRUE(r.left(n) == 0 && r.right(n) == 0) << n;
                }
            }
        } else {
            // Mostly about 0.95 of full scale; the longer half cycles clip instead of vanishing.
            EXPECT_NEAR(*low, -0.95 * 32767, 0.02 * 32767);
            EXPECT_EQ(*high, 32767);
        }

        // Other channel factors: a carried-in RampPrev changes nothing after the copy.
        Configure(r, sawtooth ? 4 : 3, 4, sawtooth ? 1 : -3, -6);
        ASSERT_EQ(r.render(), "");
        const Ramp scaled = ExpectedRamp(sawtooth, std::pow(10.0, (sawtooth ? 1 : -3) / 20.0),
                                         std::pow(10.0, -6.0 / 20), -1);
        ASSERT_EQ(r.samples(), scaled.block);
        if (sawtooth) {
            EXPECT_EQ(*std::max_element(r.samples().begin(), r.samples().end()), 32767);
        }
    }
}

} // namespace
} // namespace kelvo::test
