#include "cli/cli_run.h"
#include "settings/field_registry.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

class EveryWaveform : public ::testing::TestWithParam<int> {};

// The file kelvo-cli writes holds exactly the block an in-process render of the same
// settings gives, for every synthesised waveform (a new process starts the noise
// sequence afresh, as a new engine does).
TEST_P(EveryWaveform, TheWrittenFileHoldsTheRenderedBlock)
{
    TempFolder folder;
    const std::vector<std::string> assignments{"Waveform=" + std::to_string(GetParam()),
                                               "SampleRate=22050", "ChanMode=6", "PhaseR=30",
                                               "LevelL=-3", "Freq=700", "SweepParam=0"};
    std::vector<std::string> arguments{"render", "--folder", folder.path().string()};
    for (const auto& assignment : assignments) {
        arguments.push_back("--set");
        arguments.push_back(assignment);
    }
    const auto result = RunCli(arguments);
    ASSERT_EQ(result.status, 0) << result.output;

    Renderer expected;
    ASSERT_EQ(SetFields(expected.settings, assignments), "");
    ASSERT_EQ(expected.render(), "");
    const WaveFile wave = ReadCanonicalWave(folder / "test.wav");
    EXPECT_EQ(wave.sampleRate, 22050u);
    ASSERT_EQ(wave.samples.size(), expected.samples().size());
    EXPECT_TRUE(std::equal(wave.samples.begin(), wave.samples.end(), expected.samples().begin()));
    EXPECT_TRUE(std::any_of(wave.samples.begin(), wave.samples.end(), [](Sample s) { return s != 0; }));
}

INSTANTIATE_TEST_SUITE_P(Codes, EveryWaveform, ::testing::Range(1, 16));

} // namespace
} // namespace kelvo::test
