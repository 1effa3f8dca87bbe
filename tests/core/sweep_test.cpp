#include "support/signal_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace kelvo::test {
namespace {

// Defaults at 48000 Hz: 200 to 2000 Hz, 0 to -20 dB or 0 to 180 degrees, 10 steps of 0.5 s, at
// -20 dB and 1000 Hz. Frequency sweeps are 3276.7 x sin(t x omega), the others A x 32439.33 x cos.
constexpr const char* kSweep = "Waveform=11 SampleRate=48000 ";
constexpr const char* kUserSteps = "SweepKind=3 UserStepCount=2 SweepSteps=2 UserStepFreq[1]=1000 "
                                   "UserStepPeriod[1]=0.5 UserStepFreq[2]=2000 UserStepPeriod[2]=0.5";

double FrequencyOf(const Renderer& r, FrameIndex begin, FrameIndex end)
{
    return CrossingFrequency(ChannelOf(r, 0, begin, end), r.settings.SampleRate[0]);
}

TEST(SweepRender, HandComputedSamples)
{
    const std::string s = kSweep;
    ExpectHandElements({
        {s + "ChanMode=5", 1, 86}, // continuous: both channels at the left offset
        // Stepped: frame 25263 still at 200 Hz (sin(96 deg)), 25264 at 400 Hz (sin(195 deg)); with
        // 3 steps L is 28800 exactly: frame 28800 at 200 Hz (sin(1.5 deg)), 28801 at 1100 Hz.
        {s + "SweepKind=2", 2 * 25263, 3259}, {s + "SweepKind=2 ChanMode=4", 2 * 25264 + 1, 848},
        {s + "SweepKind=2 SweepSteps=3", 2 * 28800, 86}, {s + "SweepKind=2 SweepSteps=3", 2 * 28801, 931},
        // Octave warbles, frame 1 after one step from a x 200 Hz: (a, q) = (1.3, 0.165), (1.5, 0.25).
        {s + "SweepKind=4", 2 * 1, 111}, {s + "SweepKind=5", 2 * 1 + 1, 129},
        // Level: frame 28800 of 3 steps at -10 dB (10258.2 x cos(7.5 deg)); closing L-R at -20 dB.
        // Phase at -4 dB right: the closing right at t = 240002 + 24, 20467.93 x cos(195 deg).
        {s + "SweepParam=1 SweepSteps=3", 2 * 28800, 10170}, {s + "SweepParam=1 ChanMode=4", 480000, -3133},
        {s + "SweepParam=2 LevelR=-4", 480000, -19770},
        // Step 5 of 10 from frame 101053: 1000 Hz; -80 / 9 dB (11658.09); the right 80 degrees
        // on. The phase sweep's left keeps its own offset: PhaseL 45 is 6 samples.
        {s + "SweepKind=2", 2 * 101065, -848}, {s + "SweepParam=1 LevelL=-40", 2 * 101063, -11658},
        {s + "SweepParam=2", 2 * 101063 + 1, -563}, {s + "SweepParam=2 ChanMode=6 PhaseL=45", 0, 1975},
        // A single step stays at the start: 200 Hz, 0 dB, 0 degrees.
        {s + "SweepKind=2 SweepSteps=1", 1, 86}, {s + "SweepParam=1 SweepSteps=1", 2 * 23999, 32439},
        {s + "SweepParam=2 SweepSteps=1", 2 * 23999 + 1, 3244},
        // User steps play frame n at time index n: sin(pi / 2) at 12; the last two elements are silent.
        {s + kUserSteps, 2 * 12, 3277}, {s + kUserSteps, 95998, 0},
        {s + "SweepParam=2 Freq=0", 2 * 100000 + 1, 3244}, // at 0 Hz no phase offset: cos(0)
    });
}

// t x omega, omega rising by 1800 Hz / N per frame, rises linearly over the N / 2 frames.
TEST(ContinuousSweep, RisesFromTheStartToTheEndFrequency)
{
    Renderer r;
    ASSERT_EQ(RenderWith(r, std::string(kSweep) + "ChanMode=5"), "");
    ASSERT_EQ(r.upper(), 192000);
    EXPECT_NEAR(FrequencyOf(r, 0, 4800), 245, 2);
    EXPECT_NEAR(FrequencyOf(r, 91200, 96000), 1955, 2);
    EXPECT_EQ(ChannelOf(r, 0, 0, 96000), ChannelOf(r, 1, 0, 96000));
    EXPECT_EQ(r.samples().back(), 0);
}

TEST(UserSteps, PlayEachStepForItsDuration)
{
    Renderer r;
    ASSERT_EQ(RenderWith(r, std::string(kSweep) + kUserSteps), "");
    ASSERT_EQ(r.upper(), 95999);
    EXPECT_NEAR(FrequencyOf(r, 0, 24000), 1000, 0.5);
    EXPECT_NEAR(FrequencyOf(r, 24000, 47999), 2000, 0.5);

    // Steps counted past the list's 100 are skipped.
    const SampleBuffer two = r.samples();
    for (std::size_t k = 3; k <= 100; ++k) {
        r.settings.UserStepFreq[k] = 3000;
        r.settings.UserStepPeriod[k] = 0.01;
    }
    ASSERT_EQ(RenderWith(r, "SweepSteps=150"), "");
    EXPECT_EQ(r.samples(), two);

    // Past the counted steps each empty step takes one frame until entry 100's 1500 Hz stays.
    ASSERT_EQ(RenderWith(r, "SweepSteps=2 UserStepCount=3 UserStepFreq[3]=500 UserStepPeriod[3]=0.25 "
                            "UserStepFreq[100]=1500"), "");
    ASSERT_EQ(r.upper(), 119999);
    EXPECT_NEAR(FrequencyOf(r, 24000, 48000), 2000, 0.5);
    EXPECT_NEAR(FrequencyOf(r, 48001, 48097), 3000, 5);
    EXPECT_NEAR(FrequencyOf(r, 48097, 60000), 1500, 0.5);
}

// A slow octave warble over a long block runs on smoothly past the first 2^20 frames.
TEST(SweepRender, ASlowWarbleRunsOnPastTheFirstMillionFrames)
{
    Renderer slow;
    ASSERT_EQ(RenderWith(slow, "Waveform=11 SweepKind=4 SampleRate=192000 WaveBuildLength=10 SweepWarbleRate=0.01"),
              "");
    const FrameIndex edge = FrameIndex{1} << 20;
    EXPECT_NEAR(FrequencyOf(slow, edge, edge + 3840) / FrequencyOf(slow, edge - 3840, edge), 1, 0.01);
}

// The warble tone starts at 1.3 x 800 Hz (3276.7 x sin(2 pi 1040 / 48000) = 444.7) and swings
// between 0.835 and 1.165 times the set frequency, whatever WarbleKind says.
TEST(WarbleTone, SwingsAboutTheSetFrequencyWhateverTheWidthSetting)
{
    Renderer r;
    ASSERT_EQ(RenderWith(r, "Waveform=12 SampleRate=48000 Freq=800 WarbleKind=0"), "");
    ASSERT_EQ(r.upper(), 480000);
    EXPECT_EQ(r.left(0), 445);
    EXPECT_EQ(r.samples().back(), 0);
    std::vector<double> frequencies;
    for (FrameIndex begin = 4800; begin + 480 <= 240000; begin += 480)
        frequencies.push_back(FrequencyOf(r, begin, begin + 480));
    const auto [low, high] = std::minmax_element(frequencies.begin(), frequencies.end());
    EXPECT_NEAR(*low, 0.835 * 800, 5);
    EXPECT_NEAR(*high, 1.165 * 800, 5);
    const SampleBuffer narrow = r.samples();
    ASSERT_EQ(RenderWith(r, "WarbleKind=1"), "");
    EXPECT_EQ(r.samples(), narrow);
}

} // namespace
} // namespace kelvo::test
