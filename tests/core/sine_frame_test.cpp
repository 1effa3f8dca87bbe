#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvo::test {
namespace {

TEST(SineRender, FillsEveryFullFrameOfTheDefaultBlock)
{
    Renderer r;
    ASSERT_EQ(r.render(), "");
    ASSERT_EQ(r.samples().size(), 176401u);
    const double omega = 2 * kPi * 1000 / 44100;
    const double amp = std::pow(10.0, -20.0 / 20);
    for (FrameIndex n : {FrameIndex{0}, FrameIndex{1}, FrameIndex{12345}, FrameIndex{88199}}) {
        const double expected = Nearest(amp * 0.99 * 32767 * std::sin((n + 1.0) * omega) * 1);
        EXPECT_EQ(r.left(n), expected) << n;
        EXPECT_EQ(r.right(n), expected) << n;
    }
    EXPECT_NE(r.left(88198), 0);
    EXPECT_EQ(r.samples()[176400], 0);
}

TEST(SineRender, FirstFrameAt48000HzAndFullLevel)
{
    Renderer r;
    r.settings.SampleRate[0] = 48000;
    r.settings.LevelL[0] = r.settings.LevelR[0] = 0;
    ASSERT_EQ(r.render(), "");
    EXPECT_EQ(r.left(0), 4234);
    EXPECT_EQ(r.right(0), 4234);
    EXPECT_EQ(r.engine.state().AmpL, 1.0);
    EXPECT_EQ(r.upper(), 192000);
}

TEST(SineRender, ChannelModesSetGainsAndPhases)
{
    Renderer r;
    r.settings.LevelL[0] = -3;
    r.settings.LevelR[0] = -3;

    r.settings.ChanMode[0] = 1; // L: right silent
    ASSERT_EQ(r.render(), "");
    for (FrameIndex n = 0; n < 88200; n += 37)
        ASSERT_EQ(r.right(n), 0) << n;
    EXPECT_NE(r.left(3), 0);

    r.settings.ChanMode[0] = 2; // R: left silent
    ASSERT_EQ(r.render(), "");
    EXPECT_EQ(r.left(3), 0);
    EXPECT_NE(r.right(3), 0);

    r.settings.ChanMode[0] = 4; // L-R: right is the negated left
    ASSERT_EQ(r.render(), "");
    for (FrameIndex n = 0; n < 88200; ++n)
        ASSERT_EQ(r.right(n), -r.left(n)) << n;

    // Quadrature and User Defined 0/90 degrees: the right channel leads by a quarter
    // period, 11.025 samples at 1000 Hz and 44100 Hz.
    const double omega = 2 * kPi * 1000 / 44100;
    const double quarter = 90.0 / 360 * 44100 / 1000;
    for (const int mode : {5, 6}) {
        r.settings.ChanMode[0] = mode;
        r.settings.PhaseL[0] = 0;
        r.settings.PhaseR[0] = mode == 6 ? 90 : 33; // ignored in quadrature
        ASSERT_EQ(r.render(), "");
        for (FrameIndex n : {FrameIndex{0}, FrameIndex{500}, FrameIndex{70000}})
            EXPECT_EQ(r.right(n), Nearest(r.engine.state().AmpR * 0.99 * 32767 *
                                          std::sin((n + 1.0 + quarter) * omega) * 1))
                << "mode " << mode << " frame " << n;
    }
}

TEST(SineRender, LevelsBecomeAmplitudes)
{
    Renderer r;
    r.settings.LevelL[0] = 0;
    r.settings.LevelR[0] = -6.0206;
    ASSERT_EQ(r.render(), "");
    EXPECT_EQ(r.engine.state().AmpL, 1.0);
    EXPECT_NEAR(r.engine.state().AmpR, 0.5, 1e-5);
}

TEST(SineRender, AChannelModeOutsideTheTableKeepsThePreviousGains)
{
    Renderer r;
    r.settings.ChanMode[0] = 4;
    ASSERT_EQ(r.render(), "");
    r.settings.ChanMode[0] = 9;
    ASSERT_EQ(r.render(), "");
    EXPECT_EQ(r.engine.state().GainR, -1);
    EXPECT_EQ(r.right(10), -r.left(10));
}

TEST(SineRender, LevelsAboveFullScaleSaturateInsteadOfLeavingHoles)
{
    Renderer r;
    r.settings.LevelL[0] = r.settings.LevelR[0] = 6;
    ASSERT_EQ(r.render(), "");
    int atMax = 0;
    int atMin = 0;
    for (FrameIndex n = 0; n < 88200; ++n) {
        atMax += r.left(n) == 32767;
        atMin += r.left(n) == -32768;
        const double exact = std::pow(10.0, 6.0 / 20) * 0.99 * 32767 * std::sin((n + 1.0) * 2 * kPi * 1000 / 44100);
        if (exact > 33000) {
            ASSERT_EQ(r.left(n), 32767) << n;
        }
    }
    EXPECT_GT(atMax, 1000);
    EXPECT_GT(atMin, 1000);
}

TEST(WaveEngine, UserWaveformRendersASilentDefaultBlock)
{
    Renderer r;
    r.settings.Waveform[0] = 16;
    ASSERT_EQ(r.render(), "");
    ASSERT_EQ(r.samples().size(), 176401u);
    EXPECT_TRUE(std::all_of(r.samples().begin(), r.samples().end(), [](Sample s) { return s == 0; }));
}

TEST(WaveEngine, OddAndTinyBlocksStayInsideTheBuffer)
{
    Renderer r;
    r.settings.Waveform[0] = 1;
    for (const double length : {0.0, 1.0 / 44100 / 4, 3.0 / 44100 / 4, 5.0 / 44100 / 4, 0.3}) {
        r.settings.WaveBuildLength = length;
        ASSERT_EQ(r.render(), "") << length;
        EXPECT_EQ(r.samples().size(), static_cast<std::size_t>(std::nearbyint(44100 * length * 4)) + 1);
    }
    // N = 5: frames 0..2 (nearest(1.5) = 2) fill elements 0..5.
    r.settings.LevelL[0] = r.settings.LevelR[0] = 0;
    r.settings.WaveBuildLength = 5.0 / 44100 / 4;
    ASSERT_EQ(r.render(), "");
    EXPECT_NE(r.samples()[5], 0);
}

TEST(WaveEngine, BadSettingsRenderOrAreRefusedButNeverCrash)
{
    Renderer r;
    r.settings.SampleRate[0] = 0;
    EXPECT_EQ(r.render(), "");
    EXPECT_EQ(r.samples().size(), 1u);

    for (const std::int32_t rate : {-1, 2147483647}) {
        r.settings.SampleRate[0] = rate;
        EXPECT_NE(r.render(), "") << rate;
    }
    r.settings.SampleRate[0] = 44100;
    r.settings.WaveBuildLength = std::nan("");
    EXPECT_NE(r.render(), "");
    r.settings.WaveBuildLength = 1;

    r.settings.Freq[0] = 0;
    r.settings.FreqR[0] = 0;
    r.settings.ChanMode[0] = 5; // an infinite quarter-period offset
    EXPECT_EQ(r.render(), "");
    EXPECT_EQ(r.left(100), 0);
    EXPECT_EQ(r.right(100), 0);

    r.settings.Freq[0] = 1000;
    r.settings.LevelL[0] = 1e308; // infinite amplitude: saturates
    r.settings.ChanMode[0] = 1;
    EXPECT_EQ(r.render(), "");
    EXPECT_EQ(r.left(0), 32767);
    EXPECT_EQ(r.right(0), 0);
}

TEST(WaveEngine, ArbitraryTableRenderUsesItsOwnRateLevelAndChannels)
{
    Renderer r;
    auto& s = r.settings;
    for (int i = 0; i < kArbTableSize; ++i)
        s.ArbTable[i] = i % 300 - 150;
    s.ArbBuild = 1;
    s.ArbSampleRate = 48000;
    s.ArbFreq = 100;
    s.ArbLevel = 0;
    s.ArbChanMode = 3;
    ASSERT_EQ(r.render(), "");
    EXPECT_EQ(s.SampleRate[0], 48000);
    ASSERT_EQ(r.samples().size(), 192001u);
    double p = 0;
    for (FrameIndex n = 0; n < 96000; ++n) {
        if (p > 400)
            p = p - 400;
        const auto k = static_cast<std::size_t>(Nearest(p));
        ASSERT_EQ(r.left(n), Nearest(1 * 0.99 * 32767 * s.ArbTable[k] / 150 * -1)) << n;
        ASSERT_EQ(r.right(n), Nearest(1 * 0.99 * 32767 * s.ArbTable[k] / 150 * 1)) << n;
        p = p + 400 * 100.0 / 48000;
    }

    s.ArbChanMode = 0;
    ASSERT_EQ(r.render(), "");
    EXPECT_EQ(r.right(7), 0);
    s.ArbChanMode = 7; // outside the table: the previous gains stay
    ASSERT_EQ(r.render(), "");
    EXPECT_EQ(r.right(7), 0);
    EXPECT_NE(r.left(7), 0);

    s.ArbFreq = 1e12; // the position runs off the table: those frames stay silent
    ASSERT_EQ(r.render(), "");
}

} // namespace
} // namespace kelvo::test
