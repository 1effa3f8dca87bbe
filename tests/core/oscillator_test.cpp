#include "oscillator/unavailable_device.h"
#include "settings/memories.h"
#include "support/oscillator_rig.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace kelvo::test {
namespace {

using std::chrono::milliseconds;

struct FolderHolder {
    TempFolder folder;
};

// A started oscillator in a fresh folder; the folder is made first and removed last.
struct Started : FolderHolder, OscillatorRig {
    Started()
        : OscillatorRig(folder.path())
    {
        oscillator.Start();
    }
    const PanelView& view() const { return panel.last; }
};

TEST(Oscillator, AFirstStartShowsTheStartValuesAndPlaysNothing)
{
    Started rig;
    const PanelView& v = rig.view();
    EXPECT_EQ(v.waveform, "Sine");
    EXPECT_EQ(v.freq, "1000 Hz");
    EXPECT_EQ(v.mode, "L+R");
    EXPECT_EQ(v.leftPhase, "0 deg");
    EXPECT_EQ(v.rightPhase, "0 deg");
    EXPECT_EQ(v.sampleRate, "44100");
    EXPECT_EQ(v.bits, "16");
    EXPECT_EQ(v.levelL, "-20 dB");
    EXPECT_EQ(v.levelR, "-20 dB");
    EXPECT_EQ(v.deltaF, "100 Hz");
    EXPECT_EQ(v.deltaV, "20 dB");
    EXPECT_EQ(v.leftAdjust, "L adj");
    EXPECT_EQ(v.rightAdjust, "R adj");
    EXPECT_EQ(v.memDisplay, "M1");
    EXPECT_EQ(v.memHighlight, 1);
    EXPECT_EQ(v.signal, SignalState{});
    EXPECT_TRUE(std::filesystem::exists(rig.folder / "stop.wav"));
    EXPECT_EQ(rig.loop.pendingTimers(), 0u);
    EXPECT_TRUE(rig.messages.shown.empty());

    // Every memory recalls the start signal.
    for (int k = 1; k <= kMemoryCount; ++k) {
        rig.settings().Freq[0] = 5;
        rig.oscillator.memories().lblMemLoad_Click(k);
        EXPECT_EQ(rig.view().freq, "1000 Hz") << k;
        EXPECT_EQ(rig.view().levelR, "-20 dB") << k;
    }
}

TEST(Oscillator, FrequencySteppersClampAndActOnlyWhileBothFrequenciesAgree)
{
    Started rig;
    SignalSettings& s = rig.settings();
    s.FreqStep = 1000;
    s.Freq[0] = s.FreqR[0] = 95500;
    rig.oscillator.panel().lblFup_Click();
    EXPECT_EQ(s.Freq[0], 96000);
    rig.oscillator.panel().lblFup_Click();
    EXPECT_EQ(s.Freq[0], 96000);
    EXPECT_EQ(s.FreqR[0], 96000);
    s.Freq[0] = s.FreqR[0] = 1;
    rig.oscillator.panel().lblFdn_Click();
    EXPECT_EQ(s.Freq[0], 1);

    s.FreqStep = 0.1;
    s.Freq[0] = s.FreqR[0] = 1000;
    rig.oscillator.panel().lblFup_Click();
    EXPECT_EQ(s.Freq[0], 1000 + 0.1);
    EXPECT_EQ(s.FreqR[0], s.Freq[0]);

    // A memory with different frequencies leaves the controls inert, the display still refreshes.
    s.Freq[0] = 1000;
    s.FreqR[0] = 500;
    s.Waveform[0] = 3;
    rig.oscillator.panel().lblFup_Click();
    EXPECT_EQ(rig.view().waveform, "Triangle");
    rig.oscillator.panel().lblFdn_Click();
    rig.oscillator.panel().txtFreq_Enter("440");
    EXPECT_EQ(s.Freq[0], 1000);
    EXPECT_EQ(s.FreqR[0], 500);

    s.FreqR[0] = 1000;
    rig.oscillator.panel().txtFreq_Enter("1 234.5 Hz");
    EXPECT_EQ(s.Freq[0], 1234.5);
    rig.oscillator.panel().txtFreq_Enter("200000");
    EXPECT_EQ(s.Freq[0], 96000);
    rig.oscillator.panel().txtFreq_Enter("no number");
    EXPECT_EQ(s.Freq[0], 1);
    EXPECT_EQ(s.FreqR[0], 1);
}

TEST(Oscillator, TheFrequencyBoxOpensOnlyForWaveformsWithOneFrequency)
{
    Started rig;
    SignalSettings& s = rig.settings();
    for (const std::int32_t code : {1, 2, 3, 4, 6}) {
        rig.oscillator.panel().selectWaveform(code);
        EXPECT_EQ(rig.oscillator.panel().lblFreq_Click(), "1000 Hz") << code;
    }
    for (const std::int32_t code : {5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}) {
        rig.oscillator.panel().selectWaveform(code);
        EXPECT_EQ(rig.oscillator.panel().lblFreq_Click(), std::nullopt) << code;
    }
    s.SweepParam = 1;
    rig.oscillator.panel().selectWaveform(11);
    EXPECT_EQ(rig.view().freq, "1000Hz");
    EXPECT_EQ(rig.oscillator.panel().lblFreq_Click(), "1000 Hz");
    EXPECT_EQ(rig.view().freq, "1000 Hz");
}

TEST(Oscillator, LevelsClampStepAndRespectTheLocks)
{
    Started rig;
    SignalSettings& s = rig.settings();
    // The start step 20 shows as it is; the first step change selects 1 dB.
    rig.oscillator.panel().lblDVup_Click();
    EXPECT_EQ(s.LevelStep, 1);
    EXPECT_EQ(rig.view().deltaV, "1 dB");
    s.LevelStep = 20;
    rig.oscillator.panel().lblDVdn_Click();
    EXPECT_EQ(s.LevelStep, 1);
    rig.oscillator.panel().lblDVup_Click();
    rig.oscillator.panel().lblDVup_Click();
    EXPECT_EQ(rig.view().deltaV, "0.1 dB");

    s.LevelStep = 10;
    s.LevelL[0] = -195;
    s.LevelR[0] = -5;
    rig.oscillator.panel().lblVdn_Click();
    EXPECT_EQ(s.LevelL[0], -200);
    EXPECT_EQ(s.LevelR[0], -15);
    s.LevelL[0] = -5;
    rig.oscillator.panel().lblVup_Click();
    EXPECT_EQ(s.LevelL[0], 0);
    EXPECT_EQ(s.LevelR[0], -5);
    EXPECT_EQ(rig.view().levelL, "0 dB");

    rig.oscillator.panel().lblLadjSet_Click();
    EXPECT_EQ(rig.view().leftAdjust, "L locked");
    rig.oscillator.panel().lblVdn_Click();
    EXPECT_EQ(s.LevelL[0], 0);
    EXPECT_EQ(s.LevelR[0], -15);
    rig.oscillator.panel().lblRadjSet_Click();
    EXPECT_EQ(rig.view().rightAdjust, "R locked");
    rig.oscillator.panel().lblVdn_Click();
    rig.oscillator.panel().lblVup_Click();
    EXPECT_EQ(s.LevelL[0], 0);
    EXPECT_EQ(s.LevelR[0], -15);
    rig.oscillator.panel().lblLadjSet_Click();
    EXPECT_EQ(rig.view().leftAdjust, "L adj");

    rig.oscillator.panel().txtLdB_Enter("-250 dB");
    rig.oscillator.panel().txtRdB_Enter("+3");
    EXPECT_EQ(s.LevelL[0], -200);
    EXPECT_EQ(s.LevelR[0], 0);
    rig.oscillator.panel().txtRdB_Enter("-12.5 dB");
    EXPECT_EQ(rig.view().levelR, "-12.5 dB");
}

TEST(Oscillator, StepSelectorsAndSampleRatesCycle)
{
    Started rig;
    SignalSettings& s = rig.settings();
    const char* up[] = {"1000 Hz", "0.1 Hz", "1 Hz", "10 Hz", "100 Hz"};
    for (const char* caption : up) {
        rig.oscillator.panel().lblDFup_Click();
        EXPECT_EQ(rig.view().deltaF, caption);
    }
    rig.oscillator.panel().lblDFdn_Click();
    EXPECT_EQ(rig.view().deltaF, "10 Hz");
    s.FreqStep = 100.0000001;
    rig.oscillator.panel().lblDFdn_Click();
    EXPECT_EQ(s.FreqStep, 100);

    rig.oscillator.panel().txtSR_Enter("12345");
    EXPECT_EQ(s.SampleRate[0], 12345);
    EXPECT_EQ(rig.view().sampleRate, "12345");
    rig.oscillator.panel().lblSRup_Click();
    EXPECT_EQ(s.SampleRate[0], 44100);
    rig.oscillator.panel().lblSRup_Click();
    EXPECT_EQ(s.SampleRate[0], 48000);
    s.SampleRate[0] = 192000;
    rig.oscillator.panel().lblSRup_Click();
    EXPECT_EQ(s.SampleRate[0], 11025);
    rig.oscillator.panel().lblSRdn_Click();
    EXPECT_EQ(s.SampleRate[0], 192000);
    rig.oscillator.panel().txtSR_Enter("44100.5");
    EXPECT_EQ(s.SampleRate[0], 44100);
    rig.oscillator.panel().txtSR_Enter("44101.5");
    EXPECT_EQ(s.SampleRate[0], 44102);
    rig.oscillator.panel().txtSR_Enter("");
    EXPECT_EQ(s.SampleRate[0], 11025);
    rig.oscillator.panel().txtSR_Enter("1E9");
    EXPECT_EQ(s.SampleRate[0], 192000);

    s.Bits[0] = 24;
    rig.oscillator.panel().lblBits_Click();
    EXPECT_EQ(rig.view().bits, "16");
}

TEST(Oscillator, PhasesFollowTheModeAndOnlyUserDefinedOpensTheBoxes)
{
    Started rig;
    SignalSettings& s = rig.settings();
    s.PhaseL[0] = 30;
    s.PhaseR[0] = 45;
    rig.oscillator.panel().selectMode(4);
    EXPECT_EQ(rig.view().mode, "L-R");
    EXPECT_EQ(rig.view().rightPhase, "180 deg");
    EXPECT_EQ(rig.view().modeCode, 4);
    EXPECT_EQ(rig.oscillator.panel().lblRdeg_Click(), std::nullopt);
    EXPECT_EQ(rig.oscillator.panel().lblLdeg_Click(), std::nullopt);
    EXPECT_EQ(s.PhaseR[0], 45);
    rig.oscillator.panel().selectMode(5);
    EXPECT_EQ(rig.view().rightPhase, "90 deg");

    rig.oscillator.panel().selectMode(6);
    EXPECT_EQ(rig.view().mode, "User Defined");
    EXPECT_EQ(rig.oscillator.panel().lblRdeg_Click(), "45 deg");
    EXPECT_EQ(rig.oscillator.panel().lblLdeg_Click(), "30 deg");
    rig.oscillator.panel().txtRdeg_Enter("400");
    EXPECT_EQ(s.PhaseR[0], 0);
    rig.oscillator.panel().txtRdeg_Enter("360 deg");
    EXPECT_EQ(s.PhaseR[0], 360);
    rig.oscillator.panel().txtLdeg_Enter("-0.5");
    EXPECT_EQ(s.PhaseL[0], 0);
    rig.oscillator.panel().txtLdeg_Enter("12.25");
    EXPECT_EQ(rig.view().leftPhase, "12.25 deg");

    // Damaged codes show as Sine and L+R.
    s.Waveform[0] = 17;
    s.ChanMode[0] = 0;
    rig.oscillator.Update();
    EXPECT_EQ(rig.view().waveform, "Sine");
    EXPECT_EQ(rig.view().mode, "L+R");
    EXPECT_EQ(rig.view().rightPhase, "0 deg");
}

TEST(Oscillator, MemoriesStoreRecallAndWrap)
{
    Started rig;
    SignalSettings& s = rig.settings();
    rig.oscillator.memories().lblMemLoad_Click(10);
    EXPECT_EQ(s.MemIndex, 10);
    EXPECT_EQ(rig.view().memDisplay, "M10");
    EXPECT_EQ(rig.view().memHighlight, 10);

    rig.oscillator.memories().lblMemLoad_Click(3);
    rig.oscillator.panel().txtFreq_Enter("440");
    rig.oscillator.panel().selectWaveform(4);
    rig.oscillator.memories().lblMem_Click();
    EXPECT_EQ(s.MemIndex, 3);
    rig.oscillator.panel().txtFreq_Enter("880");
    rig.oscillator.memories().lblMemLoad_Click(3);
    EXPECT_EQ(s.Freq[0], 440);
    EXPECT_EQ(rig.view().waveform, "Sawtooth");
    rig.oscillator.memories().lblMemLoad_Click(2);
    EXPECT_EQ(s.Freq[0], 1000);

    s.MemIndex = 10;
    rig.oscillator.memories().lblMemUp_Click();
    EXPECT_EQ(s.MemIndex, 1);
    EXPECT_EQ(rig.view().memDisplay, "M1");
    rig.oscillator.memories().lblMemDn_Click();
    EXPECT_EQ(s.MemIndex, 10);
    rig.oscillator.memories().lblMemDn_Click();
    EXPECT_EQ(s.MemIndex, 9);
    EXPECT_EQ(rig.view().memHighlight, 9);
}

std::vector<std::byte> SoundData(const std::filesystem::path& file)
{
    const std::string bytes = ReadFile(file);
    std::vector<std::byte> data(bytes.size() - 44);
    std::memcpy(data.data(), bytes.data() + 44, data.size());
    return data;
}

TEST(Oscillator, EnterPlaysEscapeStopsAndARecallWhilePlayingRestartsTheOutput)
{
    Started rig;
    SignalSettings& s = rig.settings();
    s.WaveBuildLength = 0.05;
    s.Freq[4] = s.FreqR[4] = 440;
    rig.oscillator.panel().lblSigOn_Click();
    EXPECT_EQ(rig.view().signal.phase, SignalPhase::Starting);
    rig.loop.advance(milliseconds(500));
    EXPECT_EQ(rig.view().signal.phase, SignalPhase::Playing);
    ASSERT_EQ(rig.streamDevice.opens, 1);

    rig.oscillator.memories().lblMemLoad_Click(4);
    EXPECT_FALSE(rig.streamDevice.isOpen());
    EXPECT_TRUE(rig.oscillator.starting());
    rig.loop.advance(milliseconds(499));
    EXPECT_EQ(rig.streamDevice.opens, 1);
    rig.loop.advance(milliseconds(1));
    EXPECT_EQ(rig.streamDevice.opens, 2);
    rig.streamDevice.play(PlayerBufferCount);
    Renderer expected;
    CopySlot(expected.settings, 4, 0);
    expected.settings.Freq[0] = expected.settings.FreqR[0] = 440;
    expected.settings.WaveBuildLength = 0.05;
    ASSERT_EQ(expected.render(), "");
    const std::vector<std::byte> data = SoundData(rig.folder / "test.wav");
    ASSERT_EQ(data.size(), expected.samples().size() * 2);
    EXPECT_EQ(std::memcmp(data.data(), expected.samples().data(), data.size()), 0);
    // The device plays whole frames: the trailing lone element is not played.
    const std::size_t frames = data.size() - data.size() % 4;
    ASSERT_GE(rig.streamDevice.played.size(), frames);
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(frames),
                           rig.streamDevice.played.begin()));

    rig.oscillator.StopSig();
    EXPECT_EQ(rig.view().signal, SignalState{});
    EXPECT_FALSE(rig.streamDevice.isOpen());
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(Oscillator, AnExitThatCannotSaveSaysSoOnceAndStillStopsTheOutput)
{
    Started rig;
    rig.settings().WaveBuildLength = 0.05;
    rig.oscillator.panel().lblSigOn_Click();
    rig.loop.advance(milliseconds(500));
    ASSERT_TRUE(rig.streamDevice.isOpen());
    std::filesystem::remove_all(rig.folder.path());
    std::ofstream(rig.folder.path()) << "not a folder";
    rig.oscillator.Exit();
    EXPECT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_FALSE(rig.streamDevice.isOpen());
    EXPECT_FALSE(rig.view().signal.on());
    std::filesystem::remove(rig.folder.path());
}

TEST(Oscillator, WithoutSoundOutputAStartSaysWhyAndThePanelShowsTheSignalStopped)
{
    TempFolder folder;
    RecordingMessages messages;
    ManualEventLoop loop;
    UnavailableDevice streamDevice("No sound output is available: no server");
    UnavailableDevice legacyDevice("No sound output is available: no server");
    Oscillator oscillator(folder.path(), streamDevice, legacyDevice, loop, messages);
    oscillator.Start();
    oscillator.settings().WaveBuildLength = 0.05;
    oscillator.panel().lblSigOn_Click();
    EXPECT_TRUE(oscillator.view().signal.on());
    loop.advance(milliseconds(500));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("no server"), std::string::npos) << messages.shown[0];
    EXPECT_EQ(oscillator.view().signal, SignalState{});
    EXPECT_EQ(oscillator.settings().Playing, 0);
}

} // namespace
} // namespace kelvo::test
