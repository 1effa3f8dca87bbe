#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kelvo::test {
namespace {

struct Channel {
    double amp;
    double gain;
    double offset;
};

// The sine sample of the frequency sweeps and the warble.
double SineSample(const Channel& x, double t, double omega)
{
    return Nearest(x.amp * x.gain * 32767 * std::sin((t + x.offset) * omega));
}

// The cosine sample of the level and phase sweeps.
double CosineSample(double amp, double t, double offset, double omega, double gain)
{
    return Nearest(amp * 0.99 * 32767 * std::cos((t + offset) * omega) * gain);
}

// Zero crossings of the left channel over frames [begin, end), as a frequency in Hz.
double CrossingFrequency(const Renderer& r, FrameIndex begin, FrameIndex end, double rate)
{
    int crossings = 0;
    for (FrameIndex n = begin + 1; n < end; ++n)
        crossings += (r.left(n - 1) < 0) != (r.left(n) < 0);
    return crossings / 2.0 / ((end - begin) / rate);
}

// Radians per sample of every frame of a warble recurrence, frame by frame as written.
std::vector<double> WarbleOmegas(double omega, double q, double rate, FrameIndex frames, bool sweeping,
                                 double increment)
{
    std::vector<double> omegas;
    double W = -3140;
    for (FrameIndex n = 0; n < frames; ++n) {
        W = W + 0.146 * rate;
        if (W >= 3140)
            W = -3140;
        omegas.push_back(omega);
        if (sweeping)
            omega = omega + omega / (n + 1) * q * std::sin(W / 1000) + increment;
        else
            omega = omega + omega / (n + 1) * q * std::sin(W / 1000);
    }
    return omegas;
}

void UseSweep(Renderer& r, int param, int kind)
{
    r.settings.Waveform[0] = 11;
    r.settings.SampleRate[0] = 48000;
    r.settings.SweepParam = param;
    r.settings.SweepKind = kind;
}

TEST(ContinuousSweep, RisesToTheEndFrequencyWithTheLeftOffsetOnBothChannels)
{
    Renderer r;
    UseSweep(r, 0, 1);
    r.settings.ChanMode[0] = 5;
    r.settings.LevelL[0] = -3;
    r.settings.LevelR[0] = -6;
    ASSERT_EQ(r.render(), "");
    ASSERT_EQ(r.upper(), 192000);
    const Channel left{std::pow(10.0, -3.0 / 20), 1, 0};
    const Channel right{std::pow(10.0, -6.0 / 20), 1, 0}; // OffsetL, not the quadrature offset
    const double start = 2 * kPi * 200 / 48000;
    const double end = 2 * kPi * 2000 / 48000;
    double omega = start;
    for (FrameIndex n = 0; n < 96000; ++n) {
        ASSERT_EQ(r.left(n), SineSample(left, n + 1.0, omega)) << n;
        ASSERT_EQ(r.right(n), SineSample(right, n + 1.0, omega)) << n;
        omega = omega + (end - start) / 192000;
    }
    // The two seconds of frames rise by 90 Hz every 0.1 s: 200..290 Hz, then 1910..2000 Hz at the end.
    EXPECT_NEAR(CrossingFrequency(r, 0, 4800, 48000), 245, 10);
    EXPECT_NEAR(CrossingFrequency(r, 91200, 96000, 48000), 1955, 10);
    EXPECT_EQ(r.samples()[192000], 0);
}

TEST(SteppedSweep, StepsEvenlyInHertzAndChangesStepAfterTheStepLength)
{
    Renderer r;
    UseSweep(r, 0, 2);
    r.settings.ChanMode[0] = 6;
    r.settings.PhaseL[0] = 30;
    r.settings.PhaseR[0] = 120;
    ASSERT_EQ(r.render(), "");
    ASSERT_EQ(r.upper(), 480000);
    const double amp = std::pow(10.0, -20.0 / 20);
    const Channel left{amp, 1, 30.0 / 360 * 48000 / 1000};
    const Channel right{amp, 1, 120.0 / 360 * 48000 / 1000};
    const double start = 2 * kPi * 200 / 48000;
    const double end = 2 * kPi * 2000 / 48000;
    const double length = 480000.0 / 19;
    double c = 1;
    for (FrameIndex n = 0; n < 240000; ++n) {
        if (c * length < n)
            c = c + 1;
        const double omega = start + (end - start) * (c - 1) / (10 - 1);
        ASSERT_EQ(r.left(n), SineSample(left, n + 1.0, omega)) << n;
        ASSERT_EQ(r.right(n), SineSample(right, n + 1.0, omega)) << n;
    }
    EXPECT_EQ(c, 10);
    for (int step = 1; step <= 10; ++step) {
        const auto first = static_cast<FrameIndex>((step - 1) * length) + 200;
        const auto last = std::min<FrameIndex>(static_cast<FrameIndex>(step * length), 240000) - 200;
        EXPECT_NEAR(CrossingFrequency(r, first, last, 48000), 200.0 * step, 4) << step;
    }

    // With a step length of exactly 28800 frames frame 28800 still belongs to step 1.
    r.settings.SweepSteps = 3;
    r.settings.ChanMode[0] = 3;
    ASSERT_EQ(r.render(), "");
    ASSERT_EQ(r.upper(), 144000);
    const Channel plain{amp, 1, 0};
    EXPECT_EQ(r.left(28800), SineSample(plain, 28801, start));
    EXPECT_EQ(r.left(28801), SineSample(plain, 28802, start + (end - start) * 1 / 2));
}

TEST(UserSteps, PlayEachStepForItsDurationAtTimeIndexN)
{
    Renderer r;
    UseSweep(r, 0, 3);
    r.settings.ChanMode[0] = 6;
    r.settings.PhaseL[0] = 30;
    r.settings.PhaseR[0] = 60;
    r.settings.UserStepCount = 2;
    r.settings.SweepSteps = 2;
    r.settings.UserStepFreq[1] = 1000;
    r.settings.UserStepPeriod[1] = 0.5;
    r.settings.UserStepFreq[2] = 2000;
    r.settings.UserStepPeriod[2] = 0.5;
    ASSERT_EQ(r.render(), "");
    ASSERT_EQ(r.upper(), 95999);
    const double amp = std::pow(10.0, -20.0 / 20);
    const Channel left{amp, 1, 30.0 / 360 * 48000 / 1000};
    const Channel right{amp, 1, 60.0 / 360 * 48000 / 1000};
    auto check = [&](FrameIndex from, FrameIndex to, double freq) {
        const double omega = 2 * kPi * freq / 48000;
        for (FrameIndex n = from; n <= to; ++n) {
            ASSERT_EQ(r.left(n), SineSample(left, n, omega)) << n;
            ASSERT_EQ(r.right(n), SineSample(right, n, omega)) << n;
        }
    };
    check(0, 23999, 1000);
    check(24000, 47998, 2000);
    EXPECT_EQ(r.samples()[95998], 0);
    EXPECT_EQ(r.samples()[95999], 0);

    // More steps than the lists hold: steps past 100 are skipped, nothing past the lists is read.
    r.settings.SweepSteps = 150;
    for (int k = 3; k <= 100; ++k) {
        r.settings.UserStepFreq[k] = 3000;
        r.settings.UserStepPeriod[k] = 0.01;
    }
    ASSERT_EQ(r.render(), "");
    check(0, 23999, 1000);
    check(24000, 47998, 2000);

    // A block longer than the counted steps: the uncounted steps are empty, so the step index
    // runs past the list within one frame each and the frequency of entry 100 stays.
    r.settings.SweepSteps = 2;
    r.settings.UserStepCount = 3;
    r.settings.UserStepFreq[3] = 500;
    r.settings.UserStepPeriod[3] = 0.25;
    r.settings.UserStepFreq[100] = 1500;
    ASSERT_EQ(r.render(), "");
    ASSERT_EQ(r.upper(), 119999);
    check(0, 23999, 1000);
    check(24000, 47999, 2000);
    check(48000, 48000, 500);
    check(48001, 48096, 3000);
    check(48097, 59998, 1500);
}

TEST(OctaveWarbleSweep, FollowsTheWobblingRecurrenceForBothWidths)
{
    struct Case {
        int kind;
        double a;
        double q;
        double rate;
    };
    for (const Case& k : {Case{4, 1.3, 0.165, 8}, Case{5, 1.5, 0.25, 8}, Case{4, 1.3, 0.165, 0.01}}) {
        SCOPED_TRACE(k.kind);
        Renderer r;
        UseSweep(r, 0, k.kind);
        r.settings.SweepWarbleRate = k.rate;
        r.settings.ChanMode[0] = 5;
        // The slow rate never falls back within the block: a long one checks the frames
        // that compute their own wobble.
        if (k.rate < 1) {
            r.settings.SampleRate[0] = 192000;
            r.settings.WaveBuildLength = 10;
        }
        ASSERT_EQ(r.render(), "");
        const double rate = r.settings.SampleRate[0];
        const FrameIndex frames = r.upper() / 2;
        const double start = 2 * kPi * 200 / rate;
        const double end = 2 * kPi * 2000 / rate;
        const std::vector<double> omegas =
            WarbleOmegas(k.a * start, k.q, k.rate, frames, true, (end - start) / r.upper());
        const double amp = std::pow(10.0, -20.0 / 20);
        const Channel left{amp, 1, 0};
        const Channel right{amp, 1, 90.0 / 360 * rate / 1000};
        const FrameIndex stride = k.rate < 1 ? 97 : 1;
        for (FrameIndex n = 0; n < frames; n += stride) {
            ASSERT_EQ(r.left(n), SineSample(left, n, omegas[n])) << n;
            ASSERT_EQ(r.right(n), SineSample(right, n, omegas[n])) << n;
        }
    }
}

TEST(LevelSweep, StepsEvenlyInDecibelsOnBothChannelsAndClosesTheBlock)
{
    Renderer r;
    UseSweep(r, 1, 1);
    r.settings.ChanMode[0] = 4;
    r.settings.LevelL[0] = -40; // not used by the level sweep
    ASSERT_EQ(r.render(), "");
    ASSERT_EQ(r.upper(), 480000);
    const double omega = 2 * kPi * 1000 / 48000;
    const double length = 480000.0 / 19;
    auto level = [](double c) { return std::pow(10.0, (0 - (c - 1) * 20 / (10 - 1)) / 20); };
    double c = 1;
    FrameIndex tenthStep = 0;
    for (FrameIndex n = 0; n < 240000; ++n) {
        if (c * length <= n)
            c = c + 1;
        tenthStep += c == 10;
        ASSERT_EQ(r.left(n), CosineSample(level(c), n + 1.0, 0, omega, 1)) << n;
        ASSERT_EQ(r.right(n), CosineSample(level(c), n + 1.0, 0, omega, -1)) << n;
    }
    EXPECT_EQ(tenthStep, 12631);
    EXPECT_NEAR(20 * std::log10(level(10)), -20, 1e-12);
    EXPECT_EQ(r.samples()[480000], CosineSample(level(10), 240002, 0, omega, -1));
    EXPECT_EQ(r.samples()[479999], -r.left(239999));

    // A step length of exactly 28800 frames: frame 28800 already plays the second step.
    r.settings.SweepSteps = 3;
    r.settings.ChanMode[0] = 3;
    ASSERT_EQ(r.render(), "");
    auto level3 = [](double c) { return std::pow(10.0, (0 - (c - 1) * 20 / (3 - 1)) / 20); };
    EXPECT_EQ(r.left(28799), CosineSample(level3(1), 28800, 0, omega, 1));
    EXPECT_EQ(r.left(28800), CosineSample(level3(2), 28801, 0, omega, 1));
}

TEST(PhaseSweep, MovesTheRightOffsetInStepsAndClosesTheBlock)
{
    Renderer r;
    UseSweep(r, 2, 1);
    r.settings.ChanMode[0] = 6;
    r.settings.PhaseL[0] = 45;
    r.settings.PhaseR[0] = 10; // replaced by the sweep
    r.settings.LevelL[0] = -2;
    r.settings.LevelR[0] = -4;
    ASSERT_EQ(r.render(), "");
    ASSERT_EQ(r.upper(), 480000);
    const double omega = 2 * kPi * 1000 / 48000;
    const double ampL = std::pow(10.0, -2.0 / 20);
    const double ampR = std::pow(10.0, -4.0 / 20);
    const double offsetL = 45.0 / 360 * 48000 / 1000;
    const double PS = 0.0 / 360 * 48000 / 1000;
    const double PE = 180.0 / 360 * 48000 / 1000;
    const double length = 480000.0 / 19;
    double c = 1;
    double offsetR = PS;
    for (FrameIndex n = 0; n < 240000; ++n) {
        if (c * length < n) {
            c = c + 1;
            offsetR = PS + (PE - PS) * (c - 1) / (10 - 1);
        }
        ASSERT_EQ(r.left(n), CosineSample(ampL, n + 1.0, offsetL, omega, 1)) << n;
        ASSERT_EQ(r.right(n), CosineSample(ampR, n + 1.0, offsetR, omega, 1)) << n;
    }
    EXPECT_EQ(offsetR, 24);
    EXPECT_EQ(r.samples()[480000], CosineSample(ampR, 240002, 24, omega, 1));
    EXPECT_EQ(r.samples()[479999], r.right(239999));
}

TEST(SweepRender, SingleStepsStayAtTheStartAndUnknownChoicesAreSilent)
{
    Renderer r;
    r.settings.SweepSteps = 1;
    r.settings.LevelL[0] = r.settings.LevelR[0] = 0;
    const double omega = 2 * kPi * 1000 / 48000;
    const Channel plain{1, 1, 0};
    for (const int param : {0, 1, 2}) {
        SCOPED_TRACE(param);
        UseSweep(r, param, 2);
        ASSERT_EQ(r.render(), "");
        ASSERT_EQ(r.upper(), 48000);
        for (FrameIndex n : {FrameIndex{0}, FrameIndex{1}, FrameIndex{5000}, FrameIndex{23999}}) {
            if (param == 0)
                ASSERT_EQ(r.left(n), SineSample(plain, n + 1.0, 2 * kPi * 200 / 48000)) << n;
            else
                ASSERT_EQ(r.right(n), CosineSample(1, n + 1.0, 0, omega, 1)) << n;
        }
    }

    // At 0 Hz the phase offsets have no value: both channels hold the cosine of zero.
    r.settings.Freq[0] = r.settings.FreqR[0] = 0;
    r.settings.SweepSteps = 10;
    UseSweep(r, 2, 1);
    ASSERT_EQ(r.render(), "");
    for (FrameIndex n : {FrameIndex{0}, FrameIndex{100000}, FrameIndex{239999}})
        ASSERT_EQ(r.right(n), Nearest(0.99 * 32767)) << n;

    for (const auto& [param, kind] : {std::pair{3, 1}, std::pair{0, 6}, std::pair{0, 0}}) {
        UseSweep(r, param, kind);
        ASSERT_EQ(r.render(), "");
        for (const Sample s : r.samples())
            ASSERT_EQ(s, 0) << param << " " << kind;
    }
}

TEST(WarbleTone, StartsAtOnePointThreeTimesTheFrequencyWhateverTheWidthSetting)
{
    Renderer r;
    r.settings.Waveform[0] = 12;
    r.settings.SampleRate[0] = 48000;
    r.settings.Freq[0] = r.settings.FreqR[0] = 800;
    r.settings.ChanMode[0] = 6;
    r.settings.PhaseR[0] = 90;
    r.settings.WarbleRate = 5;
    const double amp = std::pow(10.0, -20.0 / 20);
    const Channel left{amp, 1, 0};
    const Channel right{amp, 1, 90.0 / 360 * 48000 / 800};
    const std::vector<double> omegas = WarbleOmegas(1.3 * 2 * kPi * 800 / 48000, 0.165, 5, 240000, false, 0);
    EXPECT_DOUBLE_EQ(omegas[0], 2 * kPi * (1.3 * 800) / 48000);
    for (const int kind : {0, 1}) {
        r.settings.WarbleKind = kind;
        ASSERT_EQ(r.render(), "");
        ASSERT_EQ(r.upper(), 480000);
        for (FrameIndex n = 0; n < 240000; ++n) {
            ASSERT_EQ(r.left(n), SineSample(left, n + 1.0, omegas[n])) << kind << " " << n;
            ASSERT_EQ(r.right(n), SineSample(right, n + 1.0, omegas[n])) << kind << " " << n;
        }
        EXPECT_EQ(r.samples()[480000], 0);
    }
}

} // namespace
} // namespace kelvo::test
