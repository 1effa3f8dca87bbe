#include "support/signal_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace kelvo::test {
namespace {

constexpr const char* kTwoTone = "Waveform=9 SampleRate=48000 ToneFreq1=1000 ToneFreq2=1500 LevelL=0 LevelR=0 ";

// Frame n is 16219.67 x (g2 cos(2 pi t 1.5 / 48) + cos(2 pi t / 48)), t = n + 1, g2 = 10^(-ToneAmp2 / 20).
TEST(TwoTone, HandComputedSamples)
{
    const std::string tones = kTwoTone;
    const std::string equal = tones + "ToneAmp2=0";
    ExpectHandElements({
        {equal, 2 * 47, 0},            // t = 48: cos(3 pi) + cos(2 pi)
        {equal, 2 * 95, 32439},        // t = 96: both tones at their peak
        {equal, 2 * 11 + 1, -11469},   // t = 12: cos(3 pi / 4) + cos(pi / 2)
        {tones + "ToneAmp2=6", 2 * 95, 24349}, // 16219.67 x (0.501187 + 1)
        {equal, 480000, 30652},        // closing right at t = 240002: cos(22.5 deg) + cos(15 deg)
        {tones + "ToneAmp2=3 ChanMode=4 LevelR=-2", 2 * 95 + 1, -22005}, // -0.794328 x 16219.67 x (0.707946 + 1)
        {tones + "ToneAmp2=200", 2 * 95, 16220}, // the first tone alone
        // Only the second tone takes the right's 12 samples: 0.562341 x 16219.67 x (0.501187 cos(135 deg) + 1).
        {tones + "ToneAmp2=6 ChanMode=5 LevelR=-5", 2 * 95 + 1, 5889},
    });
}

// K tones of peak 32767 / (2K) x A, the sum rounded after every tone: frame 1 of 400 and 1000 Hz
// is nearest(8191.75 sin(4 pi 400 / 44100)) = 932, plus 2302.79: 3235 (once rounded, 3234). At
// +20 dB in L-R every sum saturates, and a left sum of -32768 sets both elements to -32767.
TEST(Multitone, EachToneTakesItsShareOfTheLevel)
{
    const char* two = "Waveform=10 MultiCount=2 MultiFreq[1]=400 MultiFreq[2]=1000 LevelL=0 LevelR=0";
    const char* loud = "Waveform=10 MultiCount=1 MultiFreq[1]=1000 SampleRate=48000 LevelL=20 LevelR=20 ChanMode=4";
    ExpectHandElements({{two, 2 * 1, 3235}, {two, 2 * 1 + 1, 3235}, {two, 2 * 88189, -12525}, {two, 176400, 0},
                        {loud, 2 * 11, 32767}, {loud, 2 * 11 + 1, -32768},    // t = 12: sin(pi / 2)
                        {loud, 2 * 35, -32767}, {loud, 2 * 35 + 1, -32767}}); // t = 36: sin(3 pi / 2)

    // 100 tones of 163.835 each, an RMS of 163.835 x sqrt(50); a count above the list's 100 is
    // taken as 100, and a count of none is silent.
    Renderer hundred;
    for (std::size_t j = 1; j <= 100; ++j)
        hundred.settings.MultiFreq[j] = 50.0 * static_cast<double>(j);
    ASSERT_EQ(RenderWith(hundred, "Waveform=10 LevelL=0 LevelR=0 ChanMode=4 MultiCount=100"), "");
    const double level = 20 * std::log10(163.835 * std::sqrt(50.0) / 32767); // 99 tones would be 0.044 dB less
    for (int channel = 0; channel < 2; ++channel)
        EXPECT_NEAR(RmsDb(ChannelOf(hundred, channel, 0, 88200)), level, 0.01);
    const SampleBuffer all = hundred.samples();
    ASSERT_EQ(RenderWith(hundred, "MultiCount=3000"), "");
    EXPECT_EQ(hundred.samples(), all);
    for (const char* none : {"MultiCount=0", "MultiCount=-4"}) {
        ASSERT_EQ(RenderWith(hundred, none), "");
        EXPECT_EQ(std::count(hundred.samples().begin(), hundred.samples().end(), 0), hundred.upper() + 1) << none;
    }
}

} // namespace
} // namespace kelvo::test
