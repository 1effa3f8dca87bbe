#include "cli/cli_run.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvo::test {
namespace {

CliResult Render(const TempFolder& folder, const std::filesystem::path& copy, std::vector<std::string> sets)
{
    std::vector<std::string> arguments{"render", "--folder", folder.path().string(), "-o", copy.string()};
    for (const auto& set : sets) {
        arguments.push_back("--set");
        arguments.push_back(set);
    }
    return RunCli(arguments);
}

TEST(RenderCommand, WritesAStepLevelSweepWithItsOwnLengthAndClosingPair)
{
    TempFolder folder;
    const auto copy = folder / "sweep.wav";
    const auto result = Render(folder, copy,
                               {"Waveform=11", "SampleRate=32000", "SweepParam=1", "SweepSteps=4",
                                "SweepStepTime=0.3", "SweepStartLevel=-2", "SweepEndLevel=-11",
                                "ChanMode=4"});
    ASSERT_EQ(result.status, 0) << result.output;

    const WaveFile wave = ReadCanonicalWave(copy);
    EXPECT_EQ(wave.sampleRate, 32000u);
    // nearest(0.3f x 4 x 32000 x 4 / 2), the step time taken in single precision.
    const double N = std::nearbyint(static_cast<double>(0.3f) * 4 * 32000 * 4 / 2);
    ASSERT_EQ(N, 76800);
    ASSERT_EQ(wave.samples.size(), 76801u);
    EXPECT_EQ(wave.dataSize, 76801u * 2);
    const double omega = 2 * kPi * 1000 / 32000;
    const double length = N / (2 * 4 - 1);
    double c = 1;
    double level = std::pow(10.0, -2.0 / 20);
    for (std::size_t n = 0; n < 38400; ++n) {
        if (c * length <= n) {
            c = c + 1;
            level = std::pow(10.0, (-2 - (c - 1) * 9 / (4 - 1)) / 20);
        }
        const double cosine = std::cos((n + 1.0 + 0) * omega);
        ASSERT_EQ(wave.samples[2 * n], std::nearbyint(level * 0.99 * 32767 * cosine * 1)) << n;
        ASSERT_EQ(wave.samples[2 * n + 1], std::nearbyint(level * 0.99 * 32767 * cosine * -1)) << n;
    }
    EXPECT_EQ(c, 4);
    const double closing = std::cos((38400 + 2 + 0) * omega);
    EXPECT_EQ(wave.samples[76800], std::nearbyint(level * 0.99 * 32767 * closing * -1));
    EXPECT_EQ(ReadFile(copy), ReadFile(folder / "test.wav"));
}

TEST(RenderCommand, WritesAmplitudeModulationOverItsFiveSecondBlock)
{
    TempFolder folder;
    const auto copy = folder / "am.wav";
    const auto result = Render(folder, copy,
                               {"Waveform=13", "SampleRate=22050", "AmCarrierFreq=3000", "AmModFreq=70",
                                "AmModDepth=40", "LevelL=-1", "LevelR=-8", "ChanMode=5", "FreqR=500"});
    ASSERT_EQ(result.status, 0) << result.output;

    const WaveFile wave = ReadCanonicalWave(copy);
    EXPECT_EQ(wave.sampleRate, 22050u);
    ASSERT_EQ(wave.samples.size(), 220501u);
    const double omega = 2 * kPi * 3000 / 22050;
    const double modOmega = 2 * kPi * 70 / 22050;
    const double d = 40.0 / 100;
    auto value = [&](double A, double offset, double t) {
        const double cX = std::cos((t + offset) * omega);
        const double mX = std::cos((t + offset) * modOmega);
        const double sideband = (d * A * 0.0033 * 32767 * mX) * (A * 0.0033 * 32767 * cX);
        return std::nearbyint((A * 0.5 * 32767 * cX + sideband) * 1);
    };
    const double ampL = std::pow(10.0, -1.0 / 20);
    const double ampR = std::pow(10.0, -8.0 / 20);
    const double offsetR = 90.0 / 360 * 22050 / 500;
    for (std::size_t n = 0; n < 110250; ++n) {
        ASSERT_EQ(wave.samples[2 * n], value(ampL, 0, n + 1.0)) << n;
        ASSERT_EQ(wave.samples[2 * n + 1], value(ampR, offsetR, n + 1.0)) << n;
    }
    EXPECT_EQ(wave.samples[220500], value(ampR, offsetR, 110250 + 2.0));
}

} // namespace
} // namespace kelvo::test
