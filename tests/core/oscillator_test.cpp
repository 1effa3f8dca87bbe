#include "core/settings/entry_rules.h"
#include "core/settings/memories.h"
#include "support/oscillator_rig.h"
#include "support/signal_checks.h"

#include <functional>

namespace kelvo::test {
namespace {

using std::chrono::milliseconds;
using P = MainPanelRules;
using M = MemoryRules;
using V = PanelView;

struct Started : StartedRig {
    Started() { settings().WaveBuildLength = 0.05; }
    const PanelView& view() const { return panel.last; }
};

using Action = std::function<void(Oscillator&)>;

// A click or an entry on the main panel or the memory keys.
template <typename Rules, typename... Args> Action Do(void (Rules::*member)(Args...), std::decay_t<Args>... args)
{
    return [=](Oscillator& o) {
        if constexpr (std::is_same_v<Rules, MemoryRules>)
            (o.memories().*member)(args...);
        else
            (o.panel().*member)(args...);
    };
}

// Each step sets fields unchecked (as a file may hold them), acts, then checks fields and a caption.
TEST(Oscillator, PanelRulesStepByStep)
{
    const Action update = [](Oscillator& o) { o.Update(); };
    const struct {
        const char* set;
        Action act;
        const char* fields;
        std::string V::*shown = nullptr;
        const char* caption = "";
    } steps[] = {
        // The frequency clamps to 1..96000 and follows the controls only while L and R agree.
        {"Freq=95500 FreqStep=1000", Do(&P::frequencyUp), "Freq=96000 FreqR=96000", &V::freq, "96000 Hz"},
        {"Freq=1", Do(&P::frequencyDown), "Freq=1 FreqR=1"},
        {"Freq=1000 FreqStep=0.1", Do(&P::frequencyUp), "Freq=1000.1 FreqR=1000.1"},
        {"Freq=1000 FreqR=500 Waveform=3", Do(&P::frequencyUp), "Freq=1000 FreqR=500", &V::waveform, "Triangle"},
        {"", Do(&P::takeFrequency, "440"), "Freq=1000 FreqR=500"},
        {"FreqR=1000", Do(&P::takeFrequency, "1 234.5 Hz"), "Freq=1234.5 FreqR=1234.5"},
        {"", Do(&P::takeFrequency, "200000"), "Freq=96000"},
        {"", Do(&P::takeFrequency, "no number"), "Freq=1 FreqR=1"},
        // The start step 20 dB is left for 1 dB; levels clamp to -200..0; locked ones stay.
        {"", Do(&P::levelStepUp), "LevelStep=1", &V::deltaV, "1 dB"},
        {"LevelStep=10", Do(&P::levelStepUp), "LevelStep=0.1", &V::deltaV, "0.1 dB"},
        {"LevelStep=10 LevelL=-195 LevelR=-5", Do(&P::levelDown), "LevelL=-200 LevelR=-15"},
        {"LevelL=-5", Do(&P::levelUp), "LevelL=0 LevelR=-5", &V::levelL, "0 dB"},
        {"", Do(&P::toggleLeftLevelLock), "", &V::leftAdjust, "L locked"},
        {"", Do(&P::levelDown), "LevelL=0 LevelR=-15"},
        {"", Do(&P::toggleRightLevelLock), "", &V::rightAdjust, "R locked"},
        {"", Do(&P::levelUp), "LevelL=0 LevelR=-15"},
        {"", Do(&P::toggleLeftLevelLock), "", &V::leftAdjust, "L adj"},
        {"", Do(&P::takeLeftLevel, "-250 dB"), "LevelL=-200"},
        {"", Do(&P::takeRightLevel, "+3"), "LevelR=0"},
        // Steps and rates cycle; a typed rate is clamped in double, halves to even. The panels'
        // test makes the clicks and entries a user makes most.
        {"FreqStep=100", Do(&P::frequencyStepUp), "FreqStep=1000", &V::deltaF, "1000 Hz"},
        {"", Do(&P::frequencyStepUp), "FreqStep=0.1", &V::deltaF, "0.1 Hz"},
        {"FreqStep=100.0000001", Do(&P::frequencyStepDown), "FreqStep=100"},
        {"SampleRate=192000", Do(&P::sampleRateUp), "SampleRate=11025"},
        {"", Do(&P::sampleRateDown), "SampleRate=192000"},
        {"", Do(&P::takeSampleRate, "44100.5"), "SampleRate=44100"},
        {"", Do(&P::takeSampleRate, "44101.5"), "SampleRate=44102"},
        {"", Do(&P::takeSampleRate, ""), "SampleRate=11025"},
        {"", Do(&P::takeSampleRate, "1E9"), "SampleRate=192000"},
        // The sample format steps 16, 24, 32 (float) and back; a stored depth it does not
        // know steps from 16.
        {"Bits=16", Do(&P::bitsUp), "Bits=24", &V::bits, "24"},
        {"", Do(&P::bitsUp), "Bits=32", &V::bits, "32f"},
        {"", Do(&P::bitsUp), "Bits=32", &V::bits, "32f"},
        {"", Do(&P::bitsDown), "Bits=24", &V::bits, "24"},
        {"", Do(&P::bitsDown), "Bits=16", &V::bits, "16"},
        {"", Do(&P::bitsDown), "Bits=16", &V::bits, "16"},
        {"Bits=8", Do(&P::bitsUp), "Bits=24"},
        // The phases shown follow the mode; typed phases outside 0..360 read as 0.
        {"PhaseL=30 PhaseR=45", Do(&P::selectMode, 4), "PhaseR=45", &V::rightPhase, "180 deg"},
        {"", Do(&P::selectMode, 5), "", &V::rightPhase, "90 deg"},
        {"", Do(&P::selectMode, 6), "", &V::rightPhase, "45 deg"},
        {"", Do(&P::takeRightPhase, "360 deg"), "PhaseR=360"},
        {"", Do(&P::takeLeftPhase, "-0.5"), "PhaseL=0"},
        // Damaged codes show as Sine and L+R.
        {"Waveform=17 ChanMode=0", update, "", &V::waveform, "Sine"},
        {"", update, "", &V::mode, "L+R"},
        {"", update, "", &V::rightPhase, "0 deg"},
        // Memories store, recall and wrap; slot 2 still holds the start signal.
        {"", Do(&M::recallMemory, 10), "MemIndex=10", &V::memDisplay, "M10"},
        {"", Do(&M::recallMemory, 3), "MemIndex=3"},
        {"Freq=440 Waveform=4", Do(&M::storeMemory), "MemIndex=3"},
        {"Freq=880 Waveform=1", Do(&M::recallMemory, 3), "Freq=440 FreqR=440", &V::waveform, "Sawtooth"},
        {"", Do(&M::recallMemory, 2), "Freq=1000", &V::waveform, "Sine"},
        {"MemIndex=10", Do(&M::nextMemory), "MemIndex=1", &V::memDisplay, "M1"},
    };
    Started rig;
    for (const auto& step : steps) {
        SCOPED_TRACE("step " + std::to_string(&step - steps + 1));
        ASSERT_EQ(SetUnchecked(rig.settings(), step.set), "");
        step.act(rig.oscillator);
        std::istringstream fields{step.fields};
        for (std::string word; fields >> word;) {
            const auto equals = word.find('=');
            EXPECT_EQ(EntryText(rig.settings(), *FindField(word.substr(0, equals))), word.substr(equals + 1));
        }
        if (step.shown) {
            EXPECT_EQ(rig.view().*step.shown, step.caption);
        }
    }
}

TEST(Oscillator, AFirstStartPlaysNothingAndOnlySomeDisplaysOpenABox)
{
    Started rig;
    EXPECT_EQ(rig.view().signal, SignalState{});
    EXPECT_TRUE(rig.messages.shown.empty());
    for (int k = 1; k <= kMemoryCount; ++k) {
        rig.settings().Freq[0] = 5;
        rig.oscillator.memories().recallMemory(k);
        EXPECT_EQ(rig.view().freq, "1000 Hz") << k;
    }
    // Only one-frequency waveforms open the frequency box, only User Defined the phase boxes.
    P& panel = rig.oscillator.panel();
    for (std::int32_t code = 1; code <= 16; ++code) {
        panel.selectWaveform(code);
        const bool opens = code <= 4 || code == 6; // sine, square, triangle, sawtooth, burst
        EXPECT_EQ(panel.frequencyBoxText(), opens ? std::optional<std::string>("1000 Hz") : std::nullopt) << code;
    }
    rig.settings().SweepParam = 1;
    panel.selectWaveform(11);
    EXPECT_EQ(rig.view().freq, "1000Hz");
    EXPECT_EQ(panel.frequencyBoxText(), "1000 Hz");
    EXPECT_EQ(rig.view().freq, "1000 Hz");
    for (std::int32_t mode = 1; mode <= 6; ++mode) {
        panel.selectMode(mode);
        EXPECT_EQ(panel.leftPhaseBoxText().has_value(), mode == 6) << mode;
        EXPECT_EQ(panel.rightPhaseBoxText().has_value(), mode == 6) << mode;
    }
}

// The indicators go on at once; a change while playing stops the output and plays the changed
// signal after a fresh delay. What plays, and where, is the end-to-end recordings' test.
TEST(Oscillator, AChangeWhilePlayingRestartsItAndAnExitStopsIt)
{
    Started rig;
    rig.oscillator.stopSignal(); // harmless while stopped
    rig.oscillator.panel().switchOn();
    EXPECT_EQ(rig.settings().Playing, 1);
    EXPECT_EQ(rig.view().signal, (SignalState{SignalPhase::Starting, SignalSource::Generator, ""}));
    rig.loop.advance(milliseconds(500));
    ASSERT_EQ(rig.view().signal.phase, SignalPhase::Playing);
    rig.oscillator.panel().takeFrequency("880");
    EXPECT_FALSE(rig.streamDevice.isOpen());
    rig.loop.advance(milliseconds(300));
    rig.oscillator.panel().takeFrequency("440");
    rig.loop.advance(milliseconds(499));
    EXPECT_EQ(rig.streamDevice.opens, 1);
    rig.loop.advance(milliseconds(1));
    EXPECT_EQ(rig.streamDevice.opens, 2);

    Renderer expected;
    ASSERT_EQ(RenderWith(expected, "Freq=440 WaveBuildLength=0.05"), "");
    const auto& samples = expected.samples();
    EXPECT_TRUE(ReadFile(rig.folder / "test.wav").substr(44) ==
                std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * 2));

    // An exit that cannot save says so once and still stops the output.
    ASSERT_TRUE(rig.streamDevice.isOpen());
    std::filesystem::remove_all(rig.folder.path());
    std::ofstream(rig.folder.path()) << "not a folder";
    rig.oscillator.Exit();
    EXPECT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_FALSE(rig.streamDevice.isOpen());
    EXPECT_FALSE(rig.view().signal.on());
    std::filesystem::remove(rig.folder.path());
}

// Each time the device runs dry while playing, the status line says so within half a second;
// gaps from before this start do not count, and a stop clears them and closes everything.
TEST(SignalControl, GapsInTheOutputShowOnTheStatusLine)
{
    Started rig;
    rig.streamDevice.play(1);
    rig.oscillator.startSignal();
    rig.loop.advance(milliseconds(1500));
    ASSERT_EQ(rig.view().signal.phase, SignalPhase::Playing);
    EXPECT_EQ(StatusLine(rig.view().signal), "");
    const std::pair<int, std::string> gaps[] = {{1, "Output ran dry once: the signal had gaps"},
                                                {3, "Output ran dry 3 times: the signal had gaps"}};
    for (const auto& [count, text] : gaps) {
        // Every queued buffer and one more, with no refill between.
        while (rig.streamDevice.underruns() < count + 1)
            rig.streamDevice.play(PlayerBufferCount + 1);
        rig.loop.advance(milliseconds(500));
        EXPECT_EQ(StatusLine(rig.view().signal), text);
    }
    SignalState userFile{SignalPhase::Playing, SignalSource::UserFile, "Take 2", 2};
    EXPECT_EQ(StatusLine(userFile), "Take 2\nOutput ran dry 2 times: the signal had gaps");
    rig.oscillator.stopSignal();
    EXPECT_EQ(rig.view().signal, SignalState{});
    EXPECT_EQ(rig.settings().Playing, 0);
    EXPECT_FALSE(rig.streamDevice.isOpen());
    EXPECT_EQ(rig.legacyDevice.opens, 0);
    EXPECT_TRUE(rig.messages.shown.empty());
}

// The legacy player plays on the default device and stops with stop.wav, whatever LegacyDriver holds.
TEST(SignalControl, TheLegacyPathStopsWithTheStopFile)
{
    Started rig;
    rig.settings().LegacyDriver = 1;
    rig.settings().OutDevice = 3;
    rig.oscillator.startSignal();
    rig.loop.advance(milliseconds(500));
    ASSERT_EQ(rig.legacyDevice.opens, 1);
    EXPECT_EQ(rig.legacyDevice.lastIndex, -1);
    rig.settings().LegacyDriver = 0;
    rig.legacyDevice.played.clear();
    rig.oscillator.stopSignal();
    ASSERT_EQ(rig.legacyDevice.queued().size(), 1u);
    rig.legacyDevice.play(1);
    rig.loop.runPosted();
    EXPECT_EQ(rig.legacyDevice.played, std::vector<std::byte>(400)); // stop.wav's 100 silent frames
    EXPECT_FALSE(rig.legacyDevice.isOpen());
    EXPECT_EQ(rig.streamDevice.opens, 0);
}

TEST(SignalControl, TheUserWaveformPlaysAtOnceAndAnArbitraryRenderAfterTheDelay)
{
    Started rig;
    rig.settings().Waveform[0] = 16;
    rig.settings().PlaylistPath[0] = (rig.folder / "stop.wav").string();
    rig.settings().PlaylistName[0] = "first";
    rig.settings().PlaylistSel = 500; // outside the list: the first entry
    rig.oscillator.startSignal();
    EXPECT_EQ(rig.streamDevice.opens, 1);
    EXPECT_EQ(rig.view().signal, (SignalState{SignalPhase::Playing, SignalSource::UserFile, "first"}));
    EXPECT_FALSE(std::filesystem::exists(rig.folder / "test.wav"));

    // After the arbitrary editor rendered, the delay plays its file instead.
    ASSERT_TRUE(rig.oscillator.renderSignal());
    rig.settings().ArbBuild = 1;
    rig.oscillator.startSignal();
    EXPECT_EQ(rig.view().signal, (SignalState{SignalPhase::Starting, SignalSource::ArbTable, "first"}));
    rig.loop.advance(milliseconds(500));
    EXPECT_EQ(rig.streamDevice.opens, 2);
}

TEST(SignalControl, WhenNothingCanPlayThePanelShowsTheSignalStopped)
{
    // What fails, the block length, the device's open error, whether it breaks down, the message, opens.
    const std::tuple<const char*, double, std::string, bool, const char*, int> cases[] = {
        {"render refused", -1, "", false,
         "This signal cannot be rendered: a sample rate of 44100 Hz and a rendered length of -1 seconds give "
         "no valid block.",
         0},
        {"device cannot open", 0.05, "The default output device cannot be opened: Invalid device", false,
         "The default output device cannot be opened: Invalid device", 0},
        {"device breaks down", 0.05, "", true, "gone", 1},
    };
    for (const auto& [name, length, deviceError, breakDown, message, opens] : cases) {
        SCOPED_TRACE(name);
        Started rig;
        rig.settings().WaveBuildLength = length;
        rig.streamDevice.openError = deviceError;
        rig.oscillator.startSignal();
        rig.loop.advance(milliseconds(500));
        if (breakDown) {
            EXPECT_EQ(rig.settings().Playing, 1);
            rig.streamDevice.breakDown("gone");
            rig.loop.runPosted();
        }
        EXPECT_EQ(rig.settings().Playing, 0);
        EXPECT_EQ(rig.view().signal, SignalState{});
        EXPECT_EQ(rig.streamDevice.opens, opens);
        EXPECT_FALSE(rig.streamDevice.isOpen());
        EXPECT_EQ(rig.messages.shown, std::vector<std::string>{message});
    }
}

} // namespace
} // namespace kelvo::test
