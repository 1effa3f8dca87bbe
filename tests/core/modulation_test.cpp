#include "support/signal_checks.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelvo::test {
namespace {

// At 48000 Hz, carrier 1000 Hz (FM 2000 Hz), modulation 200 Hz: at t = 48 the carrier c is 1 and
// the modulation m 0.309017; FM at t = 60 is cos(5 pi) = -1. AM: (A x 16383.5 + d x A^2 x 11692.33
// x m) x c; DSB: d^2 x A^2 x 26841.91 x m x c; FM: A x 16219.67 x c.
TEST(ModulatedRender, HandComputedSamples)
{
    const std::string am = "SampleRate=48000 Waveform=13 ", fm = "SampleRate=48000 Waveform=14 ",
                      dsb = "SampleRate=48000 Waveform=15 ";
    ExpectHandElements({
        {am + "LevelL=0", 2 * 47, 19997},
        {am + "LevelL=-6", 2 * 47, 9119},                  // A = 0.501187
        {am + "LevelL=0 AmModDepth=0", 2 * 47, 16384},     // 16383.5 to even
        {am + "LevelL=-6 AmModDepth=40", 2 * 47, 8574},
        {am + "LevelR=0", 480000, 27104},                  // closing, t = 240002: 15 and 3 deg
        {fm + "LevelL=0 FmDeviation=3.5", 2 * 59, -16220},
        {fm, 2 * 59 + 1, -1622},
        {dsb + "LevelL=0", 2 * 47, 8295},
        {dsb + "LevelL=0 DsbModDepth=50", 2 * 47, 2074},   // a quarter: d^2
        {dsb + "LevelL=-6", 2 * 47, 2084},                 // about a quarter: A^2
    });
}

// FM with a 1 Hz modulation and a deviation of 500: the frequency swings 500 x 1 Hz about
// 2000 Hz, lowest a quarter second in, highest at three quarters.
TEST(ModulatedRender, FmFrequencySwingsByDeviationTimesModulationFrequency)
{
    Renderer r;
    ASSERT_EQ(RenderWith(r, "Waveform=14 SampleRate=48000 FmModFreq=1 FmDeviation=500"), "");
    for (const auto& [centre, frequency] : {std::pair{12000, 1500}, std::pair{24000, 2000}, std::pair{36000, 2500},
                                            std::pair{60000, 1500}}) {
        for (int channel = 0; channel < 2; ++channel)
            EXPECT_NEAR(CrossingFrequency(ChannelOf(r, channel, centre - 960, centre + 960), 48000), frequency, 3)
                << centre << " channel " << channel;
    }
}

// Quadrature shifts both cosines of the right channel by its offset, 12 samples at a FreqR
// of 1000 Hz: the right channel is the left one 12 frames on. In mode L the closing pair
// leaves the silent right channel silent.
TEST(ModulatedRender, QuadratureShiftsTheWholeRightSignalAndModeLStaysSilent)
{
    for (const char* waveform : {"Waveform=13 AmModDepth=60", "Waveform=14 FmDeviation=3.5", "Waveform=15"}) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, std::string("SampleRate=48000 LevelL=-2 LevelR=-2 ChanMode=5 ") + waveform), "");
        for (FrameIndex n = 0; n + 12 < 240000; ++n)
            ASSERT_EQ(r.right(n), r.left(n + 12)) << waveform << " " << n;
        ASSERT_EQ(RenderWith(r, "ChanMode=1"), "");
        const auto right = ChannelOf(r, 1, 0, 240000);
        EXPECT_EQ(std::count(right.begin(), right.end(), 0), 240000) << waveform;
        EXPECT_EQ(r.samples().back(), 0) << waveform;
    }
}

} // namespace
} // namespace kelvo::test
