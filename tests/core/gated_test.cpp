#include "support/signal_checks.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace kelvo::test {
namespace {

// A burst of 20 ms on (960 frames), 480 ms off and 20 dB at 48000 Hz and 1000 Hz; left 0 dB,
// right -6 dB a quarter period (12 samples) ahead.
constexpr const char* kBurst = "Waveform=6 SampleRate=48000 ChanMode=6 PhaseR=90 LevelL=0 LevelR=-6";

// Frame n is A x 32439.33 x cos(2 pi (n + 1 + offset) / 48); decayed, A = (e^((960 - n) / 960) - 1) / 1.718.
TEST(Burst, HandComputedSamples)
{
    const std::string burst = kBurst;
    const std::string decay = burst + " BurstExpDecay=1";
    ExpectHandElements({
        {burst, 2 * 959, 32439},    // the last on frame, t = 960
        {burst, 2 * 960, 3216},     // the first off frame: 3243.93 x cos(2 pi / 48)
        {burst, 2 * 35 + 1, 16258}, // right at t = 36 + 12
        {burst, 48000, -4208},      // closing right at t = 24002 + 12: 16258.18 x cos(105 deg)
        {burst + " WaveBuildLength=10", 480000, -4208},
        {burst + " BurstLevelDiff=7.5", 2 * 960, 13563}, // 32439.33 x 10^(-7.5 / 20) x cos(2 pi / 48)
        {burst + " BurstLevelDiff=200", 2 * 960, 0},
        {decay, 0, 32167}, {decay, 2 * 479, 12282}, {decay, 2 * 959, 20}, // 1.000164, 0.378603, 0.000607
        {decay, 2 * 960, 3216},     // the off part is not decayed
        {decay, 48000, -3},         // the closing pair keeps the last decayed amplitude
    });
}

// At 44100 Hz on A, off B and rest R frames are floor(44100 x ms / 1000). On intervals are
// silent: A frames first, A + 1 after every switch back; each pulse B high frames, the last of
// a group 1 + R. Only the left level counts.
TEST(Pulse, RunLengthsFollowTheIntervals)
{
    using Runs = std::vector<std::pair<Sample, FrameIndex>>;
    constexpr Sample H = 32439, h6 = 16258; // 0 dB, -6 dB
    const std::pair<const char*, Runs> cases[] = {
        // A = 441, R = 2205; 100 ms of frames.
        {"PulseCount=1 PulseOnTime=10 LevelL=0", {{0, 441}, {H, 2206}, {0, 442}, {H, 1321}}},
        // A = B = 4410, R = 2205; 1700 ms of frames.
        {"PulseCount=5 LevelL=-6 LevelR=0 ChanMode=2",
         {{0, 4410}, {h6, 4410}, {0, 4411}, {h6, 4410}, {0, 4411}, {h6, 4410}, {0, 4411}, {h6, 4410}, {0, 4411},
          {h6, 2206}, {0, 4411}, {h6, 4410}, {0, 4411}, {h6, 4410}, {0, 4411}, {h6, 4410}, {0, 4411}, {h6, 2196}}},
        // A count of none starts a rest interval in every frame: a steady high level.
        {"PulseCount=0 LevelL=0", {{H, 88200}}},
        // Intervals of negative length are left at once and write nothing.
        {"PulseCount=3 PulseOnTime=-5 PulseOffTime=-5 PulseRestTime=-5", {{0, 88200}}},
    };
    for (const auto& [settings, expected] : cases) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, std::string("Waveform=7 ") + settings), "");
        Runs runs;
        for (FrameIndex n = 0; n < r.upper() / 2; ++n) {
            if (runs.empty() || runs.back().first != r.left(n))
                runs.emplace_back(r.left(n), 0);
            ++runs.back().second;
            ASSERT_EQ(r.right(n), r.left(n)) << settings << " frame " << n;
        }
        EXPECT_EQ(runs, expected) << settings;
        EXPECT_EQ(r.samples().back(), 0) << settings;
    }
}

} // namespace
} // namespace kelvo::test
