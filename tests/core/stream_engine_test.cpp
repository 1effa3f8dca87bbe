#include "playback/stream_engine.h"
#include "support/fake_audio_device.h"
#include "support/manual_event_loop.h"
#include "support/test_support.h"
#include "support/wave_bytes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kelvo::test {
namespace {

// 16-bit stereo at 1000 Hz: buffers of 4 x 1000 x 2 x 0.1 = 800 bytes, 200 frames.
constexpr int kBufferFrames = 200;

// Frame n holds left n + 1 and right -(n + 1), so a swap or a slip shows at once. Like a
// rendered block, the data ends in one trailing element: half a frame.
std::vector<std::int16_t> Elements(int frames)
{
    std::vector<std::int16_t> elements;
    for (int n = 0; n < frames; ++n) {
        elements.push_back(static_cast<std::int16_t>(n + 1));
        elements.push_back(static_cast<std::int16_t>(-(n + 1)));
    }
    elements.push_back(9999);
    return elements;
}

struct Rig {
    explicit Rig(int frames)
        : elements(Elements(frames))
    {
        std::string data(elements.size() * 2, '\0');
        std::memcpy(data.data(), elements.data(), data.size());
        WaveBytes::write(folder / "test.wav", WaveBytes::riff(WaveBytes::chunk("fmt ", WaveBytes::format(1, 2, 1000, 16)) +
                                                            WaveBytes::chunk("data", data)));
        reader.OpenWaveFile(folder / "test.wav", messages);
    }

    // The whole frames of the file, repeated until `count` elements.
    std::vector<std::int16_t> looped(std::size_t count) const
    {
        const std::size_t whole = elements.size() - 1;
        std::vector<std::int16_t> expected;
        for (std::size_t i = 0; i < count; ++i)
            expected.push_back(elements[i % whole]);
        return expected;
    }

    std::vector<std::int16_t> played() const
    {
        std::vector<std::int16_t> samples(device.played.size() / 2);
        std::memcpy(samples.data(), device.played.data(), samples.size() * 2);
        return samples;
    }

    // Plays one buffer at a time, as a device does, letting the engine refill in between.
    void play(int buffers)
    {
        for (int i = 0; i < buffers; ++i) {
            ASSERT_EQ(device.play(1), 1) << "the device ran dry at buffer " << i;
            loop.runPosted();
        }
    }

    TempFolder folder;
    std::vector<std::int16_t> elements;
    RecordingMessages messages;
    ManualEventLoop loop;
    FakeAudioDevice device{loop};
    WaveReader reader;
    StreamEngine engine{reader, device, loop, messages};
};

TEST(StreamEngine, LoopsTheWholeFramesWithoutGapRepeatOrChannelSwap)
{
    for (const int frames : {523, 50, 400, 200, 1}) {
        SCOPED_TRACE(frames);
        Rig rig(frames);
        ASSERT_TRUE(rig.reader.WaveFileOpen());
        ASSERT_TRUE(rig.engine.StartStream(3));
        EXPECT_EQ(rig.device.lastIndex, 3);
        EXPECT_EQ(rig.device.lastFormat, (AudioFormat{SampleEncoding::Signed16, 2, 1000, 4}));
        EXPECT_TRUE(rig.device.queued().empty()); // the first fill runs from the event loop
        rig.loop.runPosted();
        ASSERT_EQ(rig.device.queued().size(), static_cast<std::size_t>(PlayerBufferCount));
        for (int i = 0; i < PlayerBufferCount; ++i)
            EXPECT_EQ(rig.device.queued()[static_cast<std::size_t>(i)].index, i);

        rig.play(90);
        const std::vector<std::int16_t> played = rig.played();
        EXPECT_EQ(played, rig.looped(played.size()));

        // Every piece is a full buffer except the last one of each loop, which ends the data.
        const std::size_t dataBytes = static_cast<std::size_t>(frames) * 4;
        std::size_t position = 0;
        for (const std::size_t size : rig.device.writtenSizes) {
            const std::size_t left = dataBytes - position;
            EXPECT_EQ(size, std::min<std::size_t>(left, kBufferFrames * 4));
            position = (position + size) % dataBytes;
        }
        EXPECT_EQ(rig.device.underruns(), 0);
        EXPECT_TRUE(rig.messages.shown.empty());
    }
}

TEST(StreamEngine, StartsOnceAndOnlyWithAnOpenFile)
{
    Rig rig(300);
    ASSERT_TRUE(rig.engine.StartStream(-1));
    ASSERT_TRUE(rig.engine.StartStream(-1));
    rig.loop.runPosted();
    EXPECT_EQ(rig.device.opens, 1);
    EXPECT_EQ(rig.device.writtenSizes.size(), static_cast<std::size_t>(PlayerBufferCount));

    rig.engine.StopStream();
    rig.reader.CloseWaveFile();
    EXPECT_FALSE(rig.engine.StartStream(-1));
    EXPECT_EQ(rig.device.opens, 1);
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(StreamEngine, ResetDuringPlayDropsTheHandBacksAndARestartBeginsAtTheStart)
{
    Rig rig(523);
    ASSERT_TRUE(rig.engine.StartStream(0));
    rig.loop.runPosted();
    rig.play(7);
    const std::size_t written = rig.device.writtenSizes.size();

    rig.engine.StopStream();
    EXPECT_FALSE(rig.engine.StreamActive());
    EXPECT_FALSE(rig.device.isOpen());
    // The reset handed back every queued buffer; none of them may be queued again.
    EXPECT_EQ(rig.loop.runPosted(), PlayerBufferCount);
    EXPECT_EQ(rig.device.writtenSizes.size(), written);
    rig.engine.StopStream();

    rig.device.played.clear();
    ASSERT_TRUE(rig.engine.StartStream(0));
    EXPECT_EQ(rig.device.opens, 2);
    rig.loop.runPosted();
    rig.play(12);
    const std::vector<std::int16_t> played = rig.played();
    EXPECT_EQ(played, rig.looped(played.size()));
}

TEST(StreamEngine, ReopeningTheFileStopsTheStreamBeforeTheBuffersGo)
{
    Rig rig(523);
    ASSERT_TRUE(rig.engine.StartStream(0));
    rig.loop.runPosted();
    rig.reader.OpenWaveFile(rig.folder / "test.wav", rig.messages);
    EXPECT_FALSE(rig.engine.StreamActive());
    EXPECT_FALSE(rig.device.isOpen());
    EXPECT_TRUE(rig.device.queued().empty());
    rig.loop.runPosted();
    EXPECT_EQ(rig.device.writtenSizes.size(), static_cast<std::size_t>(PlayerBufferCount));
}

TEST(StreamEngine, DeviceFailuresStopTheStreamWithTheirMessage)
{
    Rig rig(523);
    rig.device.openError = "The output device \"x\" cannot be opened: Invalid device";
    EXPECT_FALSE(rig.engine.StartStream(7));
    EXPECT_FALSE(rig.engine.StreamActive());
    EXPECT_EQ(rig.messages.shown, std::vector<std::string>{rig.device.openError});

    rig.device.openError.clear();
    rig.messages.shown.clear();
    int failures = 0;
    rig.engine.setOnFailure([&] { ++failures; });
    ASSERT_TRUE(rig.engine.StartStream(0));
    rig.loop.runPosted();
    rig.play(3);
    rig.device.breakDown("The output device \"x\" stopped working; the output has stopped.");
    rig.loop.runPosted();
    EXPECT_EQ(failures, 1);
    EXPECT_FALSE(rig.engine.StreamActive());
    EXPECT_FALSE(rig.device.isOpen());
    EXPECT_EQ(rig.messages.shown, std::vector<std::string>{"The output device \"x\" stopped working; the output has stopped."});

    // A failure report of a stream already stopped changes nothing.
    rig.device.breakDown("late");
    rig.loop.runPosted();
    EXPECT_EQ(failures, 1);
}

TEST(StreamEngine, AFileThatLosesItsDataStopsInsteadOfSpinning)
{
    Rig rig(523);
    int failures = 0;
    rig.engine.setOnFailure([&] { ++failures; });
    ASSERT_TRUE(rig.engine.StartStream(0));
    std::filesystem::resize_file(rig.folder / "test.wav", 20);
    rig.loop.runPosted();
    EXPECT_EQ(failures, 1);
    EXPECT_FALSE(rig.engine.StreamActive());
    EXPECT_EQ(rig.messages.shown, std::vector<std::string>{"The wave file can no longer be read; the output has stopped."});
    EXPECT_TRUE(rig.device.writtenSizes.empty());
}

} // namespace
} // namespace kelvo::test
