#include "cli/cli_run.h"
#include "settings/field_registry.h"
#include "support/wave_bytes.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

struct Waveform {
    std::string code, setting; // the waveform and one more assignment that shapes its block
    std::uint32_t elements;
};

class RenderCommand : public ::testing::TestWithParam<Waveform> {};

// kelvo-cli writes the canonical header and exactly the block an in-process render of the
// same settings gives (a new process starts the noise afresh, as a new engine does); -o copies it.
TEST_P(RenderCommand, WritesTheRenderedBlockBehindTheCanonicalHeader)
{
    const Waveform w = GetParam();
    TempFolder folder;
    const std::vector<std::string> assignments{"Waveform=" + w.code, w.setting, "SampleRate=22050", "ChanMode=6",
                                               "PhaseR=30", "LevelL=-3", "Freq=700"};
    std::vector<std::string> arguments{"render", "--folder", folder.path().string(), "-o", (folder / "copy.wav").string()};
    for (const auto& assignment : assignments)
        arguments.insert(arguments.end(), {"--set", assignment});
    const auto result = RunCli(arguments);
    ASSERT_EQ(result.status, 0) << result.output;

    Renderer expected;
    ASSERT_EQ(SetFields(expected.settings, assignments), "");
    ASSERT_EQ(expected.render(), "");
    ASSERT_EQ(expected.samples().size(), w.elements);
    const std::uint32_t data = 2 * w.elements;
    const std::string file = ReadFile(folder / "test.wav");
    EXPECT_EQ(file.substr(0, 44), "RIFF" + WaveBytes::le32(data + 36) + "WAVE" +
                                      WaveBytes::chunk("fmt ", WaveBytes::format(1, 2, 22050, 16)) + "data" +
                                      WaveBytes::le32(data));
    EXPECT_TRUE(file.substr(44) == std::string(reinterpret_cast<const char*>(expected.samples().data()), data));
    EXPECT_TRUE(ReadFile(folder / "copy.wav") == file);
}

// At 22050 Hz the default block is 88201 elements; the burst's nearest(22050 x 4 x 500 / 2000)
// + 1, the pulse's ((100 + 100) x 4 + 50) x 88.2 + 1, the five-second blocks 220501, and the
// level sweep's 10 steps of 0.5 s likewise.
INSTANTIATE_TEST_SUITE_P(
    EveryWaveform, RenderCommand,
    ::testing::Values(Waveform{"1", "LevelR=-9", 88201}, Waveform{"2", "FreqR=350", 88201},
                      Waveform{"3", "LevelR=-1", 88201}, Waveform{"4", "LevelR=-1", 88201},
                      Waveform{"5", "NoiseType=2", 88201}, Waveform{"6", "BurstExpDecay=1", 22051},
                      Waveform{"7", "PulseCount=5", 74971}, Waveform{"8", "LevelR=0", 88201},
                      Waveform{"9", "ToneAmp2=3", 220501}, Waveform{"10", "MultiCount=3", 88201},
                      Waveform{"11", "SweepParam=1", 220501}, Waveform{"12", "WarbleRate=5", 220501},
                      Waveform{"13", "AmModDepth=40", 220501}, Waveform{"14", "FmDeviation=3", 220501},
                      Waveform{"15", "DsbModDepth=70", 220501}));

} // namespace
} // namespace kelvo::test
