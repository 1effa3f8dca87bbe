#include "cli/cli_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace kelvo::test {
namespace {

TEST(RenderCommand, NoiseIsTheSameInEveryNewProcess)
{
    for (const char* type : {"NoiseType=0", "NoiseType=2"}) {
        TempFolder first;
        TempFolder second;
        for (const TempFolder* folder : {&first, &second}) {
            const auto result = RunCli({"render", "--folder", folder->path().string(), "--set", "Waveform=5",
                                        "--set", type, "--set", "LevelL=0", "--set", "LevelR=-3"});
            ASSERT_EQ(result.status, 0) << result.output;
        }
        const std::string bytes = ReadFile(first / "test.wav");
        EXPECT_EQ(bytes, ReadFile(second / "test.wav")) << type;
        const WaveFile wave = ReadCanonicalWave(first / "test.wav");
        ASSERT_EQ(wave.samples.size(), 176401u) << type;
        const auto [low, high] = std::minmax_element(wave.samples.begin(), wave.samples.end());
        EXPECT_LT(*low, -8000) << type;
        EXPECT_GT(*high, 8000) << type;
        EXPECT_GE(*low, -16220) << type;
        EXPECT_LE(*high, 16219) << type;
    }
}

TEST(RenderCommand, WritesTheTwoToneBlockWithItsClosingSample)
{
    TempFolder folder;
    const auto result = RunCli({"render", "--folder", folder.path().string(), "--set", "Waveform=9",
                                "--set", "SampleRate=48000", "--set", "ToneFreq1=1000", "--set",
                                "ToneFreq2=1300", "--set", "ToneAmp2=3", "--set", "LevelL=0", "--set",
                                "LevelR=-6", "--set", "ChanMode=5"});
    ASSERT_EQ(result.status, 0) << result.output;

    const WaveFile wave = ReadCanonicalWave(folder / "test.wav");
    EXPECT_EQ(wave.sampleRate, 48000u);
    ASSERT_EQ(wave.samples.size(), 480001u);
    EXPECT_EQ(wave.dataSize, 480001u * 2);
    const double pi = 3.141592653589793;
    const double omega = 2 * pi * 1000 / 48000;
    const double omega2 = 2 * pi * 1300 / 48000;
    const double g2 = std::pow(10.0, -3.0 / 20);
    const double ampR = std::pow(10.0, -6.0 / 20);
    const double offsetR = 90.0 / 360 * 48000 / 1000;
    const auto left = [&](double t) {
        return Nearest((g2 * 1 * 0.495 * 32767 * std::cos((t + 0) * omega2) +
                        1 * 0.495 * 32767 * std::cos((t + 0) * omega)) * 1);
    };
    const auto right = [&](double t) {
        return Nearest((g2 * ampR * 0.495 * 32767 * std::cos((t + offsetR) * omega2) +
                        ampR * 0.495 * 32767 * std::cos((t + 0) * omega)) * 1);
    };
    for (std::size_t n = 0; n < 240000; ++n) {
        ASSERT_EQ(wave.samples[2 * n], left(n + 1.0)) << n;
        ASSERT_EQ(wave.samples[2 * n + 1], right(n + 1.0)) << n;
    }
    EXPECT_EQ(wave.samples.back(), right(240002));
}

} // namespace
} // namespace kelvo::test
