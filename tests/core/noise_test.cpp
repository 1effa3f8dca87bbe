#include "support/signal_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

namespace kelvo::test {
namespace {

// A new process draws 0.81472, 0.13548, 0.90579, ... At 0 dB white is -16220 + 32439.33 r; mid and
// low noise start a twentieth (two-hundredth) of the way to the first target, low tapered by 1.999.
TEST(Noise, FirstFramesOfANewProcess)
{
    const std::string noise = "Waveform=5 LevelL=0 LevelR=0 NoiseType=";
    ExpectHandElements({{noise + "0", 0, 10209}, {noise + "0", 1, -11825}, {noise + "0", 2, 13163}, // each draws afresh
                        {noise + "1", 0, -14899}, {noise + "1", 1, -16000}, {noise + "2", 0, -8048}});
}

// Every kind is centred on zero, each channel at its own level with its own draws.
TEST(Noise, LevelAndCentreOfEachKind)
{
    for (const int type : {0, 1, 2}) {
        SCOPED_TRACE(type);
        Renderer r;
        ASSERT_EQ(RenderWith(r, "Waveform=5 LevelL=0 LevelR=-6 NoiseType=" + std::to_string(type)), "");
        // The right channel spans 16258.18, centred by 8129.
        for (const auto& [channel, span] : {std::pair{0, 32439.0}, std::pair{1, 16258.0}}) {
            const auto x = ChannelOf(r, channel, 0, 88200);
            EXPECT_NEAR(std::accumulate(x.begin(), x.end(), 0.0) / 88200, 0, 0.05 * span);
            const auto [low, high] = std::minmax_element(x.begin(), x.end());
            EXPECT_GE(*low, -std::round(span / 2));
            EXPECT_LE(*high, std::round(span / 2));
            EXPECT_GT(*high - *low, 0.9 * span);
        }
        EXPECT_NEAR(RmsDb(ChannelOf(r, 0, 0, 88200)) - RmsDb(ChannelOf(r, 1, 0, 88200)), 6, type == 0 ? 0.1 : 1);
        EXPECT_NE(r.left(500), r.right(500));
        EXPECT_EQ(r.samples().back() != 0, type == 0) << "only white noise has a closing pair";
    }
    Renderer leftOnly; // the right channel is silent, its closing element too
    ASSERT_EQ(RenderWith(leftOnly, "Waveform=5 ChanMode=1"), "");
    const auto right = ChannelOf(leftOnly, 1, 0, 88200);
    EXPECT_EQ(std::count(right.begin(), right.end(), 0) + (leftOnly.samples().back() == 0), 88201);
}

// Mid and low noise: straight lines between targets every nearest(rate x 20 or 200 / 44100) frames.
TEST(SmoothNoise, EachChannelBendsOnlyAtItsTargets)
{
    for (const auto& [settings, spacing] : {std::pair{"NoiseType=1", 20}, std::pair{"NoiseType=1 SampleRate=22050", 10},
                                            std::pair{"NoiseType=2", 200}, std::pair{"NoiseType=1 SampleRate=48000", 22}}) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, std::string("Waveform=5 ChanMode=4 LevelL=-3 LevelR=-9 ") + settings), "");
        const std::int64_t frames = r.upper() / 2;
        for (int channel = 0; channel < 2; ++channel) {
            const auto x = ChannelOf(r, channel, 0, frames);
            std::int64_t bends = 0;
            for (std::int64_t j = 1001; j + 1001 < frames; ++j) {
                if (std::abs(x[j + 1] - 2 * x[j] + x[j - 1]) > 2) {
                    ++bends;
                    ASSERT_EQ((j + 1) % spacing, 0) << settings << " channel " << channel << " frame " << j;
                }
            }
            EXPECT_GT(bends, 0.9 * static_cast<double>(frames - 2002) / spacing);
            EXPECT_NE(x.back(), 0) << "the curve reaches the last frame";
        }
    }
}

// The low kind divides frame k - 1 by 1 + (1000 - k) / 1000 and the k-th of the last 1000 by
// 1 + k / 1000; undone, straight lines remain between the targets.
TEST(SmoothNoise, LowFrequencyTapersBothEnds)
{
    Renderer r;
    ASSERT_EQ(RenderWith(r, "Waveform=5 NoiseType=2 LevelL=0 LevelR=0"), "");
    const FrameIndex last = 88199;
    const auto untapered = [&](FrameIndex j) {
        const double k = j < 1000 ? 999.0 - static_cast<double>(j) : static_cast<double>(std::max<FrameIndex>(j - (last - 1000), 0));
        return r.left(j) * (1 + k / 1000);
    };
    for (const FrameIndex start : {FrameIndex{0}, FrameIndex{800}, last - 999, last - 199}) {
        const double a = untapered(start);
        const double b = untapered(start + 199);
        for (FrameIndex j = start; j < start + 200; ++j)
            ASSERT_NEAR(untapered(j), a + (b - a) * static_cast<double>(j - start) / 199, 3) << "frame " << j;
    }
}

TEST(Noise, RatesTooLowForTheTargetSpacingRenderSilence)
{
    for (const char* settings : {"NoiseType=1 SampleRate=1000", "NoiseType=2 SampleRate=100"}) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, std::string("Waveform=5 LevelL=0 ") + settings), "");
        EXPECT_EQ(std::count(r.samples().begin(), r.samples().end(), 0), r.upper() + 1) << settings;
    }
}

} // namespace
} // namespace kelvo::test
