#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace kelvo::test {
namespace {

// A burst of 20 ms on and 480 ms off at 48000 Hz, left 0 dB and right -6 dB a quarter
// period ahead.
void ConfigureBurst(Renderer& r)
{
    r.settings.Waveform[0] = 6;
    r.settings.SampleRate[0] = 48000;
    r.settings.ChanMode[0] = 6;
    r.settings.PhaseR[0] = 90;
    r.settings.LevelL[0] = 0;
    r.settings.LevelR[0] = -6;
}

// Checks every frame of a burst and its trailing element: `amp(n, full)` is the amplitude
// of frame n for a channel of amplitude `full`; `closingR` is the right amplitude the
// closing pair uses (its left element falls on the last frame and is not written).
template <typename Amp>
void ExpectBurst(const Renderer& r, FrameIndex frames, Amp amp, double closingR)
{
    const double omega = 2 * kPi * 1000 / 48000;
    const double offR = 90.0 / 360 * 48000 / 1000;
    const double ampR = std::pow(10.0, -6.0 / 20);
    ASSERT_EQ(r.upper(), 2 * frames);
    for (FrameIndex n = 0; n < frames; ++n) {
        ASSERT_EQ(r.left(n), Nearest(amp(n, 1.0) * 0.99 * 32767 * std::cos((n + 1.0) * omega) * 1)) << n;
        ASSERT_EQ(r.right(n), Nearest(amp(n, ampR) * 0.99 * 32767 * std::cos((n + 1.0 + offR) * omega) * 1))
            << n;
    }
    EXPECT_EQ(r.samples()[2 * frames],
              Nearest(closingR * 0.99 * 32767 * std::cos((frames + 2 + offR) * omega) * 1));
}

TEST(Burst, LoudForTheOnTimeThenReducedByTheLevelDifference)
{
    for (const double length : {1.0, 10.0}) {
        Renderer r;
        ConfigureBurst(r);
        r.settings.WaveBuildLength = length;
        ASSERT_EQ(r.render(), "");
        // The on part stays 960 frames; only the quiet part grows.
        const auto amp = [](FrameIndex n, double full) {
            return n < 960 ? full : std::pow(10.0, -20.0 / 20) * full;
        };
        ExpectBurst(r, static_cast<FrameIndex>(24000 * length), amp, std::pow(10.0, -6.0 / 20));
    }

    Renderer silent;
    ConfigureBurst(silent);
    silent.settings.BurstLevelDiff = 200;
    ASSERT_EQ(silent.render(), "");
    EXPECT_NE(silent.left(959), 0);
    for (FrameIndex n = 960; n < 24000; ++n)
        ASSERT_TRUE(silent.left(n) == 0 && silent.right(n) == 0) << n;
}

TEST(Burst, DecaysExponentiallyDuringTheOnPart)
{
    Renderer r;
    ConfigureBurst(r);
    r.settings.BurstExpDecay = 1;
    ASSERT_EQ(r.render(), "");
    const double P = 48000 * 20.0 / 1000;
    const auto decayed = [P](FrameIndex n, double full) {
        return (std::exp((P - n) / P) - 1) * full / 1.718;
    };
    const auto amp = [&](FrameIndex n, double full) {
        return n < 960 ? decayed(n, full) : std::pow(10.0, -20.0 / 20) * full;
    };
    // The closing pair takes the last decayed amplitudes.
    const double ampR = std::pow(10.0, -6.0 / 20);
    ExpectBurst(r, 24000, amp, decayed(959, ampR));
    EXPECT_EQ(r.engine.state().AmpR, decayed(959, ampR));
}

TEST(Burst, ABlockTooLongForAWavFileIsRefusedBeforeRendering)
{
    Renderer r;
    ConfigureBurst(r);
    ASSERT_EQ(r.render(), "");
    const SampleBuffer before = r.samples();

    r.settings.SampleRate[0] = 192000;
    r.settings.WaveBuildLength = 100;
    r.settings.BurstOnTime = r.settings.BurstOffTime = 20000;
    TempFolder folder;
    RecordingMessages messages;
    EXPECT_FALSE(r.engine.BuildWave(r.settings, folder.path(), messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("too long"), std::string::npos) << messages.shown[0];
    EXPECT_FALSE(std::filesystem::exists(folder / "test.wav"));
    EXPECT_EQ(r.samples(), before);
}

// The pulse pattern as run lengths: A silent frames, then (B high, A + 1 silent) for each
// pulse but the last, then 1 + R high and one silent frame before the next group.
std::vector<Sample> ExpectedPulse(FrameIndex frames, int count, FrameIndex A, FrameIndex B, FrameIndex R,
                                  Sample high)
{
    std::vector<Sample> pattern;
    const auto append = [&pattern](FrameIndex length, Sample value) {
        pattern.insert(pattern.end(), static_cast<std::size_t>(length), value);
    };
    while (static_cast<FrameIndex>(pattern.size()) < frames) {
        append(A, 0);
        for (int k = 1; k < count; ++k) {
            append(B, high);
            append(A + 1, 0);
        }
        append(1 + R, high);
        append(1, 0);
    }
    pattern.resize(static_cast<std::size_t>(frames));
    return pattern;
}

TEST(Pulse, FollowsTheIntervalStepsWithTheLeftLevelInBothChannels)
{
    struct Case {
        int count;
        double on;
        double levelL;
        Sample high;
    };
    const auto minus6dB = static_cast<Sample>(Nearest(std::pow(10.0, -6.0 / 20) * 0.99 * 32767));
    for (const Case& c : {Case{1, 10, 0, 32439}, Case{5, 100, -6, minus6dB}}) {
        SCOPED_TRACE(c.count);
        Renderer r;
        r.settings.Waveform[0] = 7;
        r.settings.PulseCount = c.count;
        r.settings.PulseOnTime = c.on;
        r.settings.LevelL[0] = c.levelL;
        r.settings.LevelR[0] = 0;
        r.settings.ChanMode[0] = 2;
        r.settings.PhaseR[0] = 90;
        ASSERT_EQ(r.render(), "");
        const auto N =
            static_cast<FrameIndex>(Nearest(((c.on + 100) * (c.count - 1) + 50) * 44100 * 4 / 1000));
        ASSERT_EQ(r.upper(), N);
        const auto A = static_cast<FrameIndex>(std::floor(44100 * c.on / 1000));
        const auto pattern = ExpectedPulse(N / 2, c.count, A, 4410, 2205, c.high);
        for (FrameIndex n = 0; n < N / 2; ++n) {
            ASSERT_EQ(r.left(n), pattern[static_cast<std::size_t>(n)]) << n;
            ASSERT_EQ(r.right(n), pattern[static_cast<std::size_t>(n)]) << n;
        }
        EXPECT_EQ(r.samples()[static_cast<std::size_t>(N)], 0);
    }
}

TEST(Pulse, CountsOfZeroOrLessAndNegativeTimesRenderTheDefaultBlock)
{
    Renderer r;
    r.settings.Waveform[0] = 7;
    r.settings.LevelL[0] = 0;
    // Every frame starts a rest interval: a steady high level.
    for (const int count : {0, -3}) {
        r.settings.PulseCount = count;
        ASSERT_EQ(r.render(), "");
        ASSERT_EQ(r.upper(), 176400);
        EXPECT_EQ(std::count(r.samples().begin(), r.samples().end(), 32439), 176400) << count;
    }
    // Intervals of negative length are left at once and write nothing.
    r.settings.PulseCount = 3;
    r.settings.PulseOnTime = r.settings.PulseOffTime = r.settings.PulseRestTime = -5;
    ASSERT_EQ(r.render(), "");
    ASSERT_EQ(r.upper(), 176400);
    EXPECT_EQ(std::count(r.samples().begin(), r.samples().end(), 0), 176401);
}

} // namespace
} // namespace kelvo::test
