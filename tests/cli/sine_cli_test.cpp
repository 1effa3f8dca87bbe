#include "cli/cli_run.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvo::test {
namespace {

TEST(RenderCommand, WritesTheSineOfTheSettingsChangedOnTheCommandLine)
{
    TempFolder folder;
    const auto copy = folder / "copy.wav";
    const auto result = RunCli({"render", "--folder", folder.path().string(), "--set", "SampleRate=48000",
                                "--set", "LevelL=0", "--set", "LevelR=-6", "--set", "ChanMode=4", "-o",
                                copy.string()});
    ASSERT_EQ(result.status, 0) << result.output;

    const WaveFile wave = ReadCanonicalWave(copy);
    EXPECT_EQ(wave.sampleRate, 48000u);
    ASSERT_EQ(wave.samples.size(), 192001u);
    EXPECT_EQ(wave.dataSize, 192001u * 2);
    const double omega = 2 * 3.141592653589793 * 1000 / 48000;
    const double ampR = std::pow(10.0, -6.0 / 20);
    for (std::size_t n = 0; n < 96000; n += 997) {
        const double s = std::sin((n + 1.0) * omega);
        EXPECT_EQ(wave.samples[2 * n], Nearest(1 * 0.99 * 32767 * s * 1)) << n;
        EXPECT_EQ(wave.samples[2 * n + 1], Nearest(ampR * 0.99 * 32767 * s * -1)) << n;
    }
    EXPECT_EQ(wave.samples.back(), 0);
    EXPECT_EQ(ReadFile(copy), ReadFile(folder / "test.wav"));
}

TEST(RenderCommand, RefusesUnknownFieldsBadValuesAndImpossibleBlocks)
{
    TempFolder folder;
    const std::string dir = folder.path().string();
    const auto unknown = RunCli({"render", "--folder", dir, "--set", "Frequency=440"});
    EXPECT_NE(unknown.status, 0);
    EXPECT_NE(unknown.output.find("unknown field \"Frequency\""), std::string::npos) << unknown.output;

    const auto notNumber = RunCli({"render", "--folder", dir, "--set", "Freq=fast"});
    EXPECT_NE(notNumber.status, 0);
    EXPECT_NE(notNumber.output.find("not a number"), std::string::npos) << notNumber.output;

    const auto tooLong = RunCli({"render", "--folder", dir, "--set", "Waveform=7", "--set", "PulseCount=10000",
                                 "--set", "PulseOnTime=10000"});
    EXPECT_NE(tooLong.status, 0);
    EXPECT_NE(tooLong.output.find("too long"), std::string::npos) << tooLong.output;
    EXPECT_FALSE(std::filesystem::exists(folder / "test.wav"));

    const auto badOption = RunCli({"render", "--fast"});
    EXPECT_NE(badOption.status, 0);
}

} // namespace
} // namespace kelvo::test
