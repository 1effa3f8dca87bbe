// Loops of a whole number of cycles: the loop point is no larger a step than the signal's
// own steps, and the block stays within 90 % of its set length.
#include "core/synth/whole_cycles.h"
#include "support/signal_checks.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

TEST(WholeCycles, TheLoopPointStepsNoMoreThanTheSignalItself)
{
    const struct {
        const char* settings;
        double loopStepLimit; // the loop point's step over the largest step inside the loop
    } cases[] = {
        {"Waveform=1 Freq=997.3 SampleRate=44100 WholeCycles=1", 1.05},
        {"Waveform=1 Freq=997.3 SampleRate=48000 WholeCycles=1", 1.05},
        {"Waveform=9 ToneFreq1=997.3 ToneFreq2=61.7 SampleRate=48000 WholeCycles=1", 1.05},
        {"Waveform=13 AmCarrierFreq=997.3 AmModFreq=41.3 SampleRate=48000 WholeCycles=1", 1.05},
        // Without the option the loop of 2 s cuts the 997.3 Hz sine 0.3 of a cycle early.
        {"Waveform=1 Freq=997.3 SampleRate=44100 WholeCycles=0", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        Renderer r;
        ASSERT_EQ(SetUnchecked(r.settings, c.settings), "");
        ASSERT_EQ(r.render(), "");
        const FrameIndex frames = (r.upper() + 1) / 2;
        const FrameIndex set = r.settings.Waveform[0] == 1 ? 2 * r.settings.SampleRate[0] : 5 * r.settings.SampleRate[0];
        EXPECT_LE(frames, set);
        EXPECT_GE(frames, 0.9 * static_cast<double>(set));
        double largest = 0;
        for (FrameIndex n = 0; n + 1 < frames; ++n)
            largest = std::max<double>(largest, std::abs(r.left(n + 1) - r.left(n)));
        const double loopStep = std::abs(r.left(0) - r.left(frames - 1));
        if (c.loopStepLimit > 0)
            EXPECT_LE(loopStep, c.loopStepLimit * largest);
        else
            EXPECT_GT(loopStep, 4 * largest);
    }
}

// Frequencies that fit the grid exactly loop at the set length; a tone of 1 cycle in
// 3 frames at most 3 frames shorter.
TEST(WholeCycles, LengthsComputedByHand)
{
    const struct {
        std::int64_t frames;
        double rate;
        std::vector<double> tones;
        std::int64_t loop;
    } cases[] = {
        {88200, 44100, {1000}, 88200},
        {88200, 44100, {44100.0 / 3}, 88200},
        {88201, 44100, {44100.0 / 3}, 88200},
        {100, 1000, {}, 100},
        {100, 1000, {-5}, 100},
        {100, 1000, {250, 100}, 100},
        {100, 1000, {30}, 100},
        {101, 1000, {30}, 100},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WholeCycleFrames(c.frames, c.rate, c.tones), c.loop) << c.frames << " at " << c.rate;
}

} // namespace
} // namespace kelvo::test
