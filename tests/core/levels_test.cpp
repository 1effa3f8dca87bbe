// Levels a user can trust: the RMS reference measured in the rendered file, the units of a
// calibrated output, the level limit, and the measured block against sox.
#include "core/oscillator/signal_files.h"
#include "core/settings/level_units.h"
#include "support/decoded_wave.h"
#include "support/oscillator_rig.h"
#include "support/signal_checks.h"
#include "support/spectrum.h"

#include <gtest/gtest.h>

#include <numeric>

namespace kelvo::test {
namespace {

// The value sox's stat prints after `label` for the left channel of `wav`.
double SoxStat(const std::filesystem::path& wav, const std::string& label)
{
    const std::string out = RunShell("sox " + ShellQuoted(wav) + " -n remix 1 stat 2>&1").output;
    const auto at = out.find(label);
    return at == std::string::npos ? -1 : std::stod(out.substr(out.find(':', at) + 1));
}

// Under the RMS reference every steady waveform at -20 measures what the sine does: -20.09
// dBFS in the AES17 sense (a full-scale sine is 0 dBFS), on both channels; the block's
// measured peak and RMS agree with sox.
TEST(Levels, EveryWaveformMeasuresTheSinesRmsAndTheBlockAgreesWithSox)
{
    const char* waveforms[] = {
        "Waveform=1",
        "Waveform=2",
        "Waveform=3",
        "Waveform=4",
        "Waveform=5 NoiseType=0 WaveBuildLength=10",
        "Waveform=5 NoiseType=3 WaveBuildLength=10",
        "Waveform=9",
        "Waveform=10 MultiCount=10",
    };
    for (const char* waveform : waveforms) {
        SCOPED_TRACE(waveform);
        TempFolder folder;
        Renderer r;
        ASSERT_EQ(SetUnchecked(r.settings, std::string("SampleRate=48000 LevelReference=1 ") + waveform), "");
        for (int k = 1; k <= 10; ++k)
            r.settings.MultiFreq[static_cast<std::size_t>(k)] = 100.0 * k * k;
        RecordingMessages messages;
        ASSERT_TRUE(SignalFiles(r.engine).renderToFile(r.settings, folder.path(), messages));
        const std::filesystem::path wav = folder / "test.wav";
        for (int channel : {0, 1}) {
            const double aes17 = 20 * std::log10(Rms(DecodedChannel(wav, channel)) * std::sqrt(2));
            EXPECT_NEAR(aes17, -20.09, 0.1) << "channel " << channel;
        }
        const ChannelLevels& left = r.engine.levels().left;
        EXPECT_NEAR(20 * std::log10(left.rms), 20 * std::log10(SoxStat(wav, "RMS     amplitude")), 0.05);
        EXPECT_NEAR(20 * std::log10(left.peak), 20 * std::log10(SoxStat(wav, "Maximum amplitude")), 0.05);
        EXPECT_FALSE(r.engine.levels().clipped);
    }
}

// An output that reads 122.8 mV for a -20 dB sine: its 0 dB sine is 1.228 V rms.
TEST(Levels, ACalibratedOutputShowsAndTakesVoltsAndDecibelsOfThem)
{
    SignalSettings s;
    s.CalVoltsL = 1.228;
    const struct {
        std::int32_t unit;
        const char* shown; // the level -20 dB
    } units[] = {{0, "-20 dB"}, {1, "-20.1 dBFS"}, {2, "-16.0 dBu"}, {3, "-18.2 dBV"}, {4, "122.8 mV"}, {5, "347.3 mVpp"}};
    for (const auto& u : units) {
        s.LevelUnit = u.unit;
        EXPECT_EQ(LevelText(-20, s, Channel::Left), u.shown);
        EXPECT_NEAR(*LevelFromText(u.shown, s, Channel::Left), -20, 0.05) << u.shown << " reads back";
    }
    EXPECT_EQ(LevelText(-20, s, Channel::Right), "-20.1 dBFS") << "the right output is not calibrated";
    EXPECT_FALSE(LevelFromText("1 V", s, Channel::Right)) << "no volts without a calibration";
    s.LevelUnit = 0;
    EXPECT_NEAR(*LevelFromText("+4 dBu", s, Channel::Left), 0, 0.005);
    EXPECT_NEAR(*LevelFromText("1.228 V", s, Channel::Left), 0, 1e-9);
    EXPECT_NEAR(*LevelFromText("-10 dBV", s, Channel::Left), -10 - 20 * std::log10(1.228), 1e-9);
    EXPECT_NEAR(*LevelFromText("300 mV", s, Channel::Left), 20 * std::log10(0.3 / 1.228), 1e-9);
    EXPECT_EQ(*LevelFromText("-12.5", s, Channel::Left), -12.5) << "a plain number is dB, as always";
}

// No key, box or memory may pass the limit; the status line says when it held a level.
TEST(Levels, TheLimitHoldsWhateverSetsTheLevel)
{
    StartedRig rig;
    SignalSettings& s = rig.settings();
    s.LevelLimit = -10;
    s.LevelStep = 20;
    s.AdjustL = 1;
    rig.oscillator.panel().levelUp();
    EXPECT_EQ(s.LevelL[0], -10);
    EXPECT_NE(PanelStatusLine(rig.panel.last).find("limit of -10 dB"), std::string::npos);
    rig.oscillator.panel().takeRightLevel("0");
    EXPECT_EQ(s.LevelR[0], -10);
    s.LevelL[2] = 0;
    s.MemIndex = 2;
    rig.oscillator.recallSelectedMemory();
    EXPECT_EQ(s.LevelL[0], -10);
    rig.oscillator.panel().levelDown();
    EXPECT_EQ(PanelStatusLine(rig.panel.last).find("limit"), std::string::npos) << "quiet again below the limit";
}

} // namespace
} // namespace kelvo::test
