#include "playback/stream_engine.h"
#include "support/oscillator_rig.h"
#include "support/test_support.h"
#include "support/wave_bytes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kelvo::test {
namespace {

// 16-bit stereo at 1000 Hz: buffers of 4 x 1000 x 2 x 0.1 = 800 bytes, 200 frames.
constexpr std::size_t kBufferBytes = 800;

// A file whose frame n holds left n + 1 and right -(n + 1), so a swap or a slip shows at
// once, and that ends, like a rendered block, in one trailing element: half a frame.
struct Rig {
    explicit Rig(int frames)
    {
        for (int n = 1; n <= frames; ++n)
            elements.insert(elements.end(), {static_cast<std::int16_t>(n), static_cast<std::int16_t>(-n)});
        std::string data(elements.size() * 2 + 2, '\x7f');
        std::memcpy(data.data(), elements.data(), elements.size() * 2);
        WaveBytes::write(folder / "test.wav", WaveBytes::riff(WaveBytes::chunk("fmt ", WaveBytes::format(1, 2, 1000, 16)) +
                                                            WaveBytes::chunk("data", data)));
        reader.OpenWaveFile(folder / "test.wav", messages);
        engine.setOnFailure([this] { ++failures; });
    }

    // Starts, lets the first fill run, and plays `buffers` one at a time with refills between.
    void start(int buffers, int device = 0)
    {
        ASSERT_TRUE(engine.StartStream(device));
        loop.runPosted();
        for (int i = 0; i < buffers; ++i) {
            ASSERT_EQ(this->device.play(1), 1) << "the device ran dry at buffer " << i;
            loop.runPosted();
        }
    }

    // What the device played is the whole frames of the file looped from their start.
    void expectLoopedFromTheStart() const
    {
        std::vector<std::int16_t> played(device.played.size() / 2);
        std::memcpy(played.data(), device.played.data(), played.size() * 2);
        ASSERT_FALSE(played.empty());
        for (std::size_t i = 0; i < played.size(); ++i)
            ASSERT_EQ(played[i], elements[i % elements.size()]) << "element " << i;
    }

    TempFolder folder;
    std::vector<std::int16_t> elements;
    RecordingMessages messages;
    ManualEventLoop loop;
    FakeAudioDevice device{loop};
    WaveReader reader;
    StreamEngine engine{reader, device, loop, messages};
    int failures = 0;
};

TEST(StreamEngine, LoopsTheWholeFramesWithoutGapRepeatOrChannelSwap)
{
    for (const int frames : {523, 50, 400, 200, 1}) {
        SCOPED_TRACE(frames);
        Rig rig(frames);
        ASSERT_TRUE(rig.engine.StartStream(3));
        EXPECT_EQ(rig.device.lastIndex, 3);
        EXPECT_EQ(rig.device.lastFormat, (AudioFormat{SampleEncoding::Signed16, 2, 1000, 4}));
        EXPECT_TRUE(rig.device.queued().empty()); // the first fill runs from the event loop
        rig.start(90);
        rig.expectLoopedFromTheStart();
        // Every piece is a full buffer except the last one of each loop, which ends the data.
        const std::size_t dataBytes = static_cast<std::size_t>(frames) * 4;
        std::size_t position = 0;
        for (const std::size_t size : rig.device.writtenSizes) {
            EXPECT_EQ(size, std::min(dataBytes - position, kBufferBytes));
            position = (position + size) % dataBytes;
        }
        EXPECT_EQ(rig.device.underruns(), 0);
        EXPECT_TRUE(rig.messages.shown.empty());
    }
}

// Starting twice opens once; a stop drops the completions already posted (none is queued
// again) and a restart begins at the start; reopening the file stops the stream first.
TEST(StreamEngine, StopsDropTheHandBacksAndRestartsBeginAtTheStart)
{
    Rig rig(523);
    ASSERT_TRUE(rig.engine.StartStream(0));
    rig.start(8);
    EXPECT_EQ(rig.device.opens, 1);
    const std::size_t written = rig.device.writtenSizes.size();
    rig.engine.StopStream();
    rig.engine.StopStream();
    EXPECT_FALSE(rig.device.isOpen());
    // The reset handed every queued buffer back; none may be filled or queued again.
    EXPECT_EQ(rig.loop.runPosted(), PlayerBufferCount);
    EXPECT_EQ(rig.device.writtenSizes.size(), written);
    EXPECT_EQ(rig.reader.position(), rig.reader.DataOffset());

    rig.device.played.clear();
    rig.start(12);
    EXPECT_EQ(rig.device.opens, 2);
    rig.expectLoopedFromTheStart();

    rig.reader.OpenWaveFile(rig.folder / "test.wav", rig.messages);
    EXPECT_FALSE(rig.engine.StreamActive());
    EXPECT_FALSE(rig.device.isOpen());
    EXPECT_TRUE(rig.device.queued().empty());
    rig.reader.CloseWaveFile();
    EXPECT_FALSE(rig.engine.StartStream(0));
    EXPECT_EQ(rig.device.opens, 2);
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(rig.failures, 0);
}

TEST(StreamEngine, FailuresStopTheStreamWithOneMessageAndLateReportsAreDropped)
{
    const std::string broke = "The output device \"x\" stopped working; the output has stopped.";
    {
        Rig rig(523);
        rig.device.openError = "The output device \"x\" cannot be opened: Invalid device";
        EXPECT_FALSE(rig.engine.StartStream(7));
        EXPECT_FALSE(rig.engine.StreamActive());
        EXPECT_EQ(rig.messages.shown, std::vector{rig.device.openError});
    }
    {
        Rig rig(523);
        rig.start(3);
        rig.device.breakDown(broke);
        rig.loop.runPosted();
        rig.device.breakDown("late");
        rig.loop.runPosted();
        EXPECT_EQ(rig.failures, 1);
        EXPECT_FALSE(rig.device.isOpen());
        EXPECT_EQ(rig.messages.shown, std::vector{broke});
    }
    {
        // The file lost its data since it was opened: the stream stops instead of spinning.
        Rig rig(523);
        ASSERT_TRUE(rig.engine.StartStream(0));
        std::filesystem::resize_file(rig.folder / "test.wav", 20);
        rig.loop.runPosted();
        EXPECT_EQ(rig.failures, 1);
        EXPECT_FALSE(rig.engine.StreamActive());
        EXPECT_EQ(rig.messages.shown, std::vector<std::string>{"The wave file can no longer be read; the output has stopped."});
        EXPECT_TRUE(rig.device.writtenSizes.empty());
    }
}

} // namespace
} // namespace kelvo::test
