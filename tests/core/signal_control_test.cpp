#include "oscillator/signal_control.h"
#include "support/fake_audio_device.h"
#include "support/manual_event_loop.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kelvo::test {
namespace {

using std::chrono::milliseconds;

class RecordingObserver final : public SignalObserver {
public:
    void signalStateChanged(const SignalState& state) override
    {
        last = state;
        ++calls;
    }
    SignalState last;
    int calls = 0;
};

const SignalState kStarting{SignalPhase::Starting, SignalSource::Generator, ""};

struct Rig {
    Rig()
    {
        settings.WaveBuildLength = 0.05;
        EXPECT_EQ(engine.MakeStopFile(settings, folder.path()), "");
        control.setObserver(&observer);
    }

    std::vector<std::byte> fileData(std::string_view name) const
    {
        const std::string bytes = ReadFile(folder / std::string(name));
        std::vector<std::byte> data(bytes.size() - 44);
        std::memcpy(data.data(), bytes.data() + 44, data.size());
        data.resize(data.size() - data.size() % 4);
        return data;
    }

    TempFolder folder;
    SignalSettings settings;
    RandomSource random;
    WaveEngine engine{random};
    RecordingMessages messages;
    ManualEventLoop loop;
    FakeAudioDevice streamDevice{loop};
    FakeAudioDevice legacyDevice{loop};
    WaveReader reader;
    StreamEngine stream{reader, streamDevice, loop, messages};
    LegacyPlayer legacy{legacyDevice, messages};
    SignalControl control{{settings, engine, reader, stream, legacy, loop, messages, folder.path()}};
    RecordingObserver observer;
};

TEST(SignalControl, IndicatorsGoOnAtOnceAndTheOutputOpensAfterTheStartDelay)
{
    Rig rig;
    rig.settings.OutDevice = 2;
    rig.control.PlaySig();
    EXPECT_EQ(rig.settings.Playing, 1);
    EXPECT_EQ(rig.observer.last, kStarting);
    EXPECT_EQ(rig.control.state(), kStarting);
    EXPECT_TRUE(std::filesystem::exists(rig.folder / "test.wav"));

    rig.loop.advance(milliseconds(499));
    EXPECT_EQ(rig.streamDevice.opens, 0);
    EXPECT_TRUE(rig.control.starting());
    rig.loop.advance(milliseconds(1));
    EXPECT_EQ(rig.streamDevice.opens, 1);
    EXPECT_EQ(rig.streamDevice.lastIndex, 2);
    EXPECT_FALSE(rig.control.starting());
    EXPECT_EQ(rig.streamDevice.queued().size(), static_cast<std::size_t>(PlayerBufferCount));
    rig.streamDevice.play(2);
    const std::vector<std::byte> data = rig.fileData("test.wav");
    ASSERT_GE(rig.streamDevice.played.size(), data.size());
    EXPECT_TRUE(std::equal(data.begin(), data.end(), rig.streamDevice.played.begin()));
    EXPECT_EQ(rig.legacyDevice.opens, 0);

    // A change while playing stops the output at once and restarts after a fresh delay.
    rig.settings.Freq[0] = 440;
    rig.control.PlaySig();
    EXPECT_FALSE(rig.streamDevice.isOpen());
    rig.loop.advance(milliseconds(499));
    EXPECT_EQ(rig.streamDevice.opens, 1);
    rig.loop.advance(milliseconds(1));
    EXPECT_EQ(rig.streamDevice.opens, 2);

    rig.control.StopSig();
    EXPECT_EQ(rig.settings.Playing, 0);
    EXPECT_EQ(rig.observer.last, SignalState{});
    EXPECT_FALSE(rig.streamDevice.isOpen());
    EXPECT_FALSE(rig.reader.WaveFileOpen());
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(SignalControl, AStopWithinTheDelayCancelsTheStartAndAStopWhileStoppedIsHarmless)
{
    Rig rig;
    rig.control.StopSig();
    EXPECT_EQ(rig.settings.Playing, 0);
    EXPECT_EQ(rig.control.state(), SignalState{});

    rig.control.PlaySig();
    rig.loop.advance(milliseconds(300));
    rig.control.StopSig();
    EXPECT_FALSE(rig.control.starting());
    rig.loop.advance(milliseconds(2000));
    EXPECT_EQ(rig.streamDevice.opens, 0);
    EXPECT_EQ(rig.legacyDevice.opens, 0);
    EXPECT_EQ(rig.loop.pendingTimers(), 0u);
    EXPECT_EQ(rig.settings.Playing, 0);
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(SignalControl, TheLegacyPathLoopsTheWholeFileAndStopsWithTheStopFile)
{
    Rig rig;
    rig.settings.LegacyDriver = 1;
    rig.settings.OutDevice = 3;
    rig.control.PlaySig();
    rig.loop.advance(milliseconds(500));
    EXPECT_EQ(rig.streamDevice.opens, 0);
    ASSERT_EQ(rig.legacyDevice.opens, 1);
    EXPECT_EQ(rig.legacyDevice.lastIndex, -1);
    const std::vector<std::byte> data = rig.fileData("test.wav");
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(rig.legacyDevice.play(1), 1);
        rig.loop.runPosted();
    }
    std::vector<std::byte> thrice = data;
    for (int i = 0; i < 2; ++i)
        thrice.insert(thrice.end(), data.begin(), data.end());
    EXPECT_EQ(rig.legacyDevice.played, thrice);

    // The driver choice changed meanwhile: what plays is still what gets stopped.
    rig.settings.LegacyDriver = 0;
    rig.legacyDevice.played.clear();
    rig.control.StopSig();
    EXPECT_EQ(rig.legacyDevice.opens, 2);
    ASSERT_EQ(rig.legacyDevice.queued().size(), 1u);
    rig.legacyDevice.play(1);
    rig.loop.runPosted();
    EXPECT_EQ(rig.legacyDevice.played, rig.fileData("stop.wav"));
    EXPECT_FALSE(rig.legacyDevice.isOpen());
    EXPECT_EQ(rig.streamDevice.opens, 0);
}

TEST(SignalControl, TheUserWaveformPlaysTheSelectedEntryAtOnce)
{
    Rig rig;
    int playwavCalls = 0;
    rig.control.setUserPlayer([&] { ++playwavCalls; });
    rig.settings.Waveform[0] = 16;
    rig.settings.PlaylistName[0] = "first";
    rig.settings.PlaylistName[4] = "fifth";
    rig.settings.PlaylistSel = 4;
    rig.control.PlaySig();
    EXPECT_EQ(playwavCalls, 1);
    EXPECT_EQ(rig.control.state(), (SignalState{SignalPhase::Playing, SignalSource::UserFile, "fifth"}));
    EXPECT_FALSE(rig.control.starting());
    EXPECT_FALSE(std::filesystem::exists(rig.folder / "test.wav"));

    rig.settings.PlaylistSel = 500;
    rig.control.PlaySig();
    EXPECT_EQ(rig.control.state().status, "first");

    // After the arbitrary editor rendered, the delay plays its file instead.
    rig.engine.BuildWave(rig.settings, rig.folder.path(), rig.messages);
    rig.settings.ArbBuild = 1;
    rig.control.PlaySig();
    EXPECT_EQ(playwavCalls, 2);
    rig.loop.advance(milliseconds(500));
    EXPECT_EQ(rig.streamDevice.opens, 1);

    rig.control.StopSig();
    EXPECT_EQ(rig.control.state(), SignalState{});
}

TEST(SignalControl, WhenNothingCanPlayThePanelShowsTheSignalStopped)
{
    const struct {
        const char* name;
        double length;
        std::string deviceError;
        bool breakDown;
        std::string message;
        int opens;
    } cases[] = {
        {"render refused", -1, "", false, "", 0},
        {"device cannot open", 0.05, "The default output device cannot be opened: Invalid device", false,
         "The default output device cannot be opened: Invalid device", 0},
        {"device breaks down", 0.05, "", true, "gone", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.settings.WaveBuildLength = c.length;
        rig.streamDevice.openError = c.deviceError;
        rig.control.PlaySig();
        rig.loop.advance(milliseconds(500));
        if (c.breakDown) {
            EXPECT_EQ(rig.settings.Playing, 1);
            rig.streamDevice.breakDown("gone");
            rig.loop.runPosted();
        }
        EXPECT_EQ(rig.settings.Playing, 0);
        EXPECT_EQ(rig.control.state(), SignalState{});
        EXPECT_FALSE(rig.observer.last.on());
        EXPECT_EQ(rig.streamDevice.opens, c.opens);
        EXPECT_FALSE(rig.streamDevice.isOpen());
        ASSERT_FALSE(rig.messages.shown.empty());
        if (!c.message.empty()) {
            EXPECT_EQ(rig.messages.shown.back(), c.message);
        }
    }
}

} // namespace
} // namespace kelvo::test
