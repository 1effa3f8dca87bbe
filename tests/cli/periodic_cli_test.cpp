#include "cli/cli_run.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvo::test {
namespace {

double Sgn(double x)
{
    return x > 0 ? 1 : (x < 0 ? -1 : 0);
}

TEST(RenderCommand, WritesTheWholeSquareFile)
{
    TempFolder folder;
    const auto result = RunCli({"render", "--folder", folder.path().string(), "--set", "Waveform=2", "--set",
                                "SampleRate=48000", "--set", "Freq=1500", "--set", "FreqR=1500", "--set",
                                "LevelL=0", "--set", "LevelR=-6", "--set", "ChanMode=4"});
    ASSERT_EQ(result.status, 0) << result.output;

    const WaveFile wave = ReadCanonicalWave(folder / "test.wav");
    EXPECT_EQ(wave.sampleRate, 48000u);
    ASSERT_EQ(wave.samples.size(), 192001u);
    const double omega = 2 * kPi * 1500 / 48000;
    const double ampR = std::pow(10.0, -6.0 / 20);
    for (std::size_t n = 0; n < 96000; ++n) {
        const double sign = Sgn(std::cos((n + 1.0) * omega));
        ASSERT_EQ(wave.samples[2 * n], Nearest(1 * 0.99 * 32767 * sign * 1)) << n;
        ASSERT_EQ(wave.samples[2 * n + 1], Nearest(ampR * 0.99 * 32767 * sign * -1)) << n;
    }
    EXPECT_EQ(wave.samples[192000], Nearest(ampR * 0.99 * 32767 * Sgn(std::cos((96000 + 2) * omega)) * -1));
}

TEST(RenderCommand, WritesTheWholeDecayingBurstFile)
{
    TempFolder folder;
    const auto result = RunCli({"render", "--folder", folder.path().string(), "--set", "Waveform=6", "--set",
                                "SampleRate=44100", "--set", "LevelL=-3", "--set", "LevelR=-3", "--set",
                                "ChanMode=1", "--set", "BurstOnTime=10", "--set", "BurstOffTime=40", "--set",
                                "BurstLevelDiff=12", "--set", "BurstExpDecay=1"});
    ASSERT_EQ(result.status, 0) << result.output;

    const WaveFile wave = ReadCanonicalWave(folder / "test.wav");
    ASSERT_EQ(wave.samples.size(), 4411u); // nearest(44100 * 4 * 1 * 50 / 2000) + 1
    const double omega = 2 * kPi * 1000 / 44100;
    const double amp = std::pow(10.0, -3.0 / 20);
    const double P = 44100 * 10.0 / 1000;
    for (std::size_t n = 0; n < 2205; ++n) {
        const double a =
            n < 441 ? (std::exp((P - n) / P) - 1) * amp / 1.718 : std::pow(10.0, -12.0 / 20) * amp;
        ASSERT_EQ(wave.samples[2 * n], Nearest(a * 0.99 * 32767 * std::cos((n + 1.0) * omega) * 1)) << n;
        ASSERT_EQ(wave.samples[2 * n + 1], 0) << n;
    }
    // Left only: the trailing element takes the closing right value, which is silent too.
    EXPECT_EQ(wave.samples[4410], 0);
}

} // namespace
} // namespace kelvo::test
