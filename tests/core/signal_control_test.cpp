#include "oscillator/signal_control.h"
#include "support/oscillator_rig.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kelvo::test {
namespace {

using std::chrono::milliseconds;

struct Rig final : SignalObserver {
    Rig()
    {
        settings.WaveBuildLength = 0.05;
        EXPECT_EQ(engine.MakeStopFile(settings, folder.path()), "");
        control.setObserver(this);
    }
    void signalStateChanged(const SignalState& state) override { shown = state; }

    // The whole frames of a file's sound data, as a device plays them.
    std::vector<std::byte> frames(std::string_view name) const
    {
        const std::string bytes = ReadFile(folder / std::string(name));
        std::vector<std::byte> data((bytes.size() - 44) / 4 * 4);
        std::memcpy(data.data(), bytes.data() + 44, data.size());
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
    SignalState shown;
};

// The indicators go on at once; the output opens 500 ms later unless a stop came first (a
// change while playing is the oscillator's test).
TEST(SignalControl, TheOutputOpensAfterTheStartDelayUnlessStoppedWithinIt)
{
    Rig rig;
    rig.control.StopSig(); // harmless while stopped
    rig.control.PlaySig();
    EXPECT_EQ(rig.settings.Playing, 1);
    EXPECT_EQ(rig.shown, (SignalState{SignalPhase::Starting, SignalSource::Generator, ""}));
    rig.loop.advance(milliseconds(300));
    rig.control.StopSig();
    rig.loop.advance(milliseconds(2000));
    EXPECT_EQ(rig.streamDevice.opens, 0);
    EXPECT_EQ(rig.loop.pendingTimers(), 0u);
    EXPECT_EQ(rig.settings.Playing, 0);

    rig.settings.OutDevice = 2;
    rig.control.PlaySig();
    rig.loop.advance(milliseconds(499));
    EXPECT_EQ(rig.streamDevice.opens, 0);
    rig.loop.advance(milliseconds(1));
    EXPECT_EQ(rig.streamDevice.lastIndex, 2);
    EXPECT_EQ(rig.shown.phase, SignalPhase::Playing);
    rig.streamDevice.play(2);
    const std::vector<std::byte> data = rig.frames("test.wav");
    ASSERT_GE(rig.streamDevice.played.size(), data.size());
    EXPECT_TRUE(std::equal(data.begin(), data.end(), rig.streamDevice.played.begin()));

    rig.control.StopSig();
    EXPECT_EQ(rig.settings.Playing, 0);
    EXPECT_EQ(rig.shown, SignalState{});
    EXPECT_FALSE(rig.streamDevice.isOpen());
    EXPECT_FALSE(rig.reader.WaveFileOpen());
    EXPECT_EQ(rig.legacyDevice.opens, 0);
    EXPECT_TRUE(rig.messages.shown.empty());
}

// The legacy player loops the whole file on the default device; what plays is what gets
// stopped (with stop.wav), whatever LegacyDriver holds by then.
TEST(SignalControl, TheLegacyPathLoopsTheWholeFileAndStopsWithTheStopFile)
{
    Rig rig;
    rig.settings.LegacyDriver = 1;
    rig.settings.OutDevice = 3;
    rig.control.PlaySig();
    rig.loop.advance(milliseconds(500));
    ASSERT_EQ(rig.legacyDevice.opens, 1);
    EXPECT_EQ(rig.legacyDevice.lastIndex, -1);
    const std::vector<std::byte> data = rig.frames("test.wav");
    std::vector<std::byte> thrice;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(rig.legacyDevice.play(1), 1);
        rig.loop.runPosted();
        thrice.insert(thrice.end(), data.begin(), data.end());
    }
    EXPECT_EQ(rig.legacyDevice.played, thrice);

    rig.settings.LegacyDriver = 0;
    rig.legacyDevice.played.clear();
    rig.control.StopSig();
    ASSERT_EQ(rig.legacyDevice.queued().size(), 1u);
    rig.legacyDevice.play(1);
    rig.loop.runPosted();
    EXPECT_EQ(rig.legacyDevice.played, rig.frames("stop.wav"));
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
    EXPECT_EQ(rig.shown, (SignalState{SignalPhase::Playing, SignalSource::UserFile, "fifth"}));
    EXPECT_FALSE(std::filesystem::exists(rig.folder / "test.wav"));
    rig.settings.PlaylistSel = 500;
    rig.control.PlaySig();
    EXPECT_EQ(rig.shown.status, "first");

    // After the arbitrary editor rendered, the delay plays its file instead.
    rig.engine.BuildWave(rig.settings, rig.folder.path(), rig.messages);
    rig.settings.ArbBuild = 1;
    rig.control.PlaySig();
    EXPECT_EQ(playwavCalls, 2);
    rig.loop.advance(milliseconds(500));
    EXPECT_EQ(rig.streamDevice.opens, 1);
}

TEST(SignalControl, WhenNothingCanPlayThePanelShowsTheSignalStopped)
{
    const struct {
        const char* name;
        double length;
        std::string deviceError;
        bool breakDown;
        const char* message;
        int opens;
    } cases[] = {
        {"render refused", -1, "", false, nullptr, 0},
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
        EXPECT_EQ(rig.shown, SignalState{});
        EXPECT_EQ(rig.streamDevice.opens, c.opens);
        EXPECT_FALSE(rig.streamDevice.isOpen());
        ASSERT_FALSE(rig.messages.shown.empty());
        if (c.message) {
            EXPECT_EQ(rig.messages.shown.back(), c.message);
        }
    }
}

} // namespace
} // namespace kelvo::test
