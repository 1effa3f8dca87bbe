#include "support/signal_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace kelvo::test {
namespace {

// Sweeps at 48000 Hz. The defaults run from 200 Hz to 2000 Hz, 0 dB to -20 dB or 0 to 180
// degrees, in 10 steps of 0.5 s, at -20 dB and 1000 Hz. The frequency sweeps' samples are
// 0.1 x 32767 x sin(t x omega) at -20 dB, the level and phase sweeps' A x 32439.33 x cos(...).
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
        // Continuous: 3276.7 x sin(2 pi 200 / 48000); both channels at the left offset.
        {s + "ChanMode=5", 1, 86},
        // Stepped: frame 25263 (t = 25264) still at 200 Hz, sin(96 deg); frame 25264 at
        // 400 Hz, sin(195 deg). With 3 steps L is 28800 exactly and frame 28800 still plays
        // 200 Hz (sin(1.5 deg)), frame 28801 1100 Hz (sin(16.5 deg)).
        {s + "SweepKind=2", 2 * 25263, 3259},
        {s + "SweepKind=2 ChanMode=4", 2 * 25264 + 1, 848},
        {s + "SweepKind=2 SweepSteps=3", 2 * 28800, 86},
        {s + "SweepKind=2 SweepSteps=3", 2 * 28801, 931},
        // Octave warble sweeps, frame n at time index n: frame 1 takes omega after one step of
        // the recurrence from a x 200 Hz with W = -3140 + 0.146 x 8: (a, q) = (1.3, 0.165)
        // gives 3276.7 x sin(0.0340196) = 111, (1.5, 0.25) gives 129.
        {s + "SweepKind=4", 0, 0},
        {s + "SweepKind=4", 2 * 1, 111},
        {s + "SweepKind=5", 2 * 1 + 1, 129},
        // Level: a step changes once c x L <= n, so with 3 steps frame 28800 is at -10 dB:
        // 32439.33 x cos(2 pi 600), then 10258.2 x cos(7.5 deg). Closing right at
        // t = 240002, -20 dB in L-R: -3243.93 x cos(15 deg).
        {s + "SweepParam=1 SweepSteps=3", 2 * 28799, 32439},
        {s + "SweepParam=1 SweepSteps=3", 2 * 28800, 10170},
        {s + "SweepParam=1 ChanMode=4", 480000, -3133},
        // Phase at -4 dB right, 24 samples ahead in the last step: the last frame's right at
        // t = 240000 + 24 is 20467.93 x cos(pi), the closing right at t = 240002 + 24 x cos(195 deg).
        {s + "SweepParam=2 LevelR=-4", 479999, -20468},
        {s + "SweepParam=2 LevelR=-4", 480000, -19770},
        // Step 5 of 10 begins at frame 101053 (4 x L = 101052.6): 1000 Hz, t = 101066: sin(195 deg);
        // -80 / 9 dB (LevelL does not count), t = 101064: 11658.09 x cos(pi); the right phase
        // 80 degrees on, 10.667 samples: cos(2 pi 10.667 / 48 + pi). The phase sweep's left keeps
        // its own offset: PhaseL 45 is 6 samples, frame 0 at cos(2 pi 7 / 48).
        {s + "SweepKind=2", 2 * 101065, -848},
        {s + "SweepParam=1 LevelL=-40", 2 * 101063, -11658},
        {s + "SweepParam=2", 2 * 101063 + 1, -563},
        {s + "SweepParam=2 ChanMode=6 PhaseL=45", 0, 1975},
        // A single step stays at the start: 200 Hz, 0 dB (t = 24000: cos(2 pi 500)), 0 degrees.
        {s + "SweepKind=2 SweepSteps=1", 1, 86},
        {s + "SweepParam=1 SweepSteps=1", 2 * 23999, 32439},
        {s + "SweepParam=2 SweepSteps=1", 2 * 23999 + 1, 3244},
        // User steps of 1000 Hz and 2000 Hz for 0.5 s each play frame n at time index n:
        // sin(0) at frame 0, sin(pi / 2) at 12; the last two elements stay silent.
        {s + kUserSteps, 0, 0},
        {s + kUserSteps, 2 * 12, 3277},
        {s + kUserSteps, 95998, 0},
        // At 0 Hz the phase offsets have no value: the right channel holds the cosine of zero.
        {s + "SweepParam=2 Freq=0", 2 * 100000 + 1, 3244},
    });
}

// The product t x omega, omega rising by (2000 - 200) Hz / N per frame, makes the frequency
// rise linearly over the N / 2 frames: 200..290 Hz in the first 0.1 s, 1910..2000 Hz in the last.
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
    // nearest(48000 x 2 x 1 - 1); each step nearest(2 x 48000 x 0.5) elements.
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

    // A block longer than the counted steps: the uncounted steps are empty, so each takes one
    // frame (500 Hz at 48000, 3000 Hz at 48001..48096) until entry 100's 1500 Hz stays.
    ASSERT_EQ(RenderWith(r, "SweepSteps=2 UserStepCount=3 UserStepFreq[3]=500 UserStepPeriod[3]=0.25 "
                            "UserStepFreq[100]=1500"),
              "");
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

// The warble tone starts at 1.3 x 800 Hz (frame 0: 3276.7 x sin(2 pi 1040 / 48000) = 444.7)
// and swings between 0.835 and 1.165 times the set frequency, whatever WarbleKind says.
TEST(WarbleTone, SwingsAboutTheSetFrequencyWhateverTheWidthSetting)
{
    std::vector<SampleBuffer> blocks;
    for (const char* kind : {"WarbleKind=0", "WarbleKind=1"}) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, std::string("Waveform=12 SampleRate=48000 Freq=800 ") + kind), "");
        ASSERT_EQ(r.upper(), 480000);
        EXPECT_EQ(r.left(0), 445);
        EXPECT_EQ(r.samples().back(), 0);
        std::vector<double> frequencies;
        for (FrameIndex begin = 4800; begin + 480 <= 240000; begin += 480)
            frequencies.push_back(FrequencyOf(r, begin, begin + 480));
        const auto [low, high] = std::minmax_element(frequencies.begin(), frequencies.end());
        EXPECT_NEAR(*low, 0.835 * 800, 5) << kind;
        EXPECT_NEAR(*high, 1.165 * 800, 5) << kind;
        blocks.push_back(r.samples());
    }
    EXPECT_EQ(blocks[0], blocks[1]);
}

} // namespace
} // namespace kelvo::test
