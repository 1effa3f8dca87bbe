#include "core/playback/buffer_feed.h"
#include "core/playback/stream_engine.h"
#include "support/oscillator_rig.h"
#include "support/test_support.h"
#include "support/wave_bytes.h"

#include <cstring>
#include <span>
#include <thread>
#include <tuple>
#include <utility>

namespace kelvo::test {
namespace {

using W = WaveBytes;
using E = SampleEncoding;

std::string Bytes(int count, char first = 1)
{
    std::string data;
    for (int i = 0; i < count; ++i)
        data += static_cast<char>(first + i);
    return data;
}

// What a read-ahead of the reader's file gives first, up to `count` bytes.
std::string ReadAll(WaveReader& reader, std::int64_t count)
{
    std::string bytes(static_cast<std::size_t>(count), '\0');
    ReadAhead ahead(reader.loopedData(), 0);
    bytes.resize(ahead.take(std::as_writable_bytes(std::span(bytes))));
    return bytes;
}

std::string Plain(const std::string& format, const std::string& data)
{
    return W::riff(W::chunk("fmt ", format) + W::chunk("data", data));
}

// Buffers of whole frames, a tenth of a second per channel, for files the user player's test does not play.
TEST(WaveReader, OpensEveryPlayableLayoutAndFormat)
{
    TempFolder folder;
    const std::string data = Bytes(24); // whole frames in every format below
    const std::string fmt = W::chunk("fmt ", W::format(1, 2, 44100, 16));
    const std::string longFormat = W::format(1, 2, 48000, 16) + W::le16(44) + std::string(44, 'x');
    const std::tuple<const char*, std::string, AudioFormat, std::int64_t> cases[] = {
        {"62-byte format chunk", Plain(longFormat, data), {E::Signed16, 2, 48000, 4}, 38400},
        {"size beyond the file", W::riff(fmt + "data" + W::le32(4000) + data + "xyz"), {E::Signed16, 2, 44100, 4}, 35280},
        {"24 bit at 7 Hz", Plain(W::format(1, 1, 7, 24), data), {E::Signed24, 1, 7, 3}, 3},
        {"float", Plain(W::format(3, 2, 44100, 32), data), {E::Float32, 2, 44100, 8}, 70560},
    };
    for (const auto& [name, file, format, bufferSize] : cases) {
        SCOPED_TRACE(name);
        W::write(folder / "a.wav", file);
        RecordingMessages messages;
        WaveReader reader;
        reader.open(folder / "a.wav", messages);
        ASSERT_TRUE(reader.isOpen()) << (messages.shown.empty() ? "" : messages.shown[0]);
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(reader.format(), format);
        EXPECT_EQ(reader.bufferSize(), bufferSize);
        EXPECT_EQ(reader.buffer(PlayerBufferCount - 1).size(), static_cast<std::size_t>(bufferSize));
        EXPECT_EQ(reader.dataOffset(), static_cast<std::int64_t>(file.find(data)));
        EXPECT_EQ(reader.dataSize(), 24);
        EXPECT_EQ(ReadAll(reader, reader.dataSize()), data);
    }
}

TEST(WaveReader, RefusesWhatItCannotPlayWithOneExactMessage)
{
    TempFolder folder;
    const std::string fmt = W::chunk("fmt ", W::format(1, 2, 44100, 16));
    const std::string data = W::chunk("data", Bytes(16));
    std::filesystem::create_directory(folder / "folder.wav");
    const std::string zeroAlign = W::le16(1) + W::le16(2) + W::le32(44100) + W::le32(0) + W::le16(0) + W::le16(16);
    // The file (written unless its bytes are empty), its bytes and the one message.
    const std::tuple<const char*, std::string, std::string> cases[] = {
        {"short.wav", "RI", "This is not a wave file"},
        {"avi.wav", "RIFF" + W::le32(4 + 8) + "AVI " + data, "This is not a wave file"},
        {"nofmt.wav", W::riff(data), "Couldn't get the format chunk"},
        {"nodata.wav", W::riff(fmt + W::chunk("LIST", "info")), "Couldn't get data chunk"},
        {"tinyfmt.wav", W::riff(W::chunk("fmt ", W::format(1, 2, 44100, 16).substr(0, 14)) + data),
         "Error reading the wave format"},
        {"cutfmt.wav", W::riff(fmt).substr(0, 12 + 8 + 10), "Error reading the wave format"},
        {"halfframe.wav", W::riff(fmt + W::chunk("data", "ab")), "The wave file holds no sound data"},
        {"adpcm.wav", Plain(W::format(2, 2, 44100, 4), Bytes(16)),
         "Unsupported wave format: format tag 2, 4 bits per sample, 2 channels, block align 1, 44100 samples per second"},
        {"align0.wav", Plain(zeroAlign, Bytes(16)),
         "Unsupported wave format: format tag 1, 16 bits per sample, 2 channels, block align 0, 44100 samples per second"},
        {"channels0.wav", Plain(W::format(1, 0, 44100, 16), Bytes(16)),
         "Unsupported wave format: format tag 1, 16 bits per sample, 0 channels, block align 0, 44100 samples per second"},
        {"extensible.wav", Plain(W::extensible(2, 44100, 2, 32), Bytes(16)),
         "Unsupported wave format: format tag 65534, 32 bits per sample, 2 channels, block align 8, 44100 samples per second"},
        {"folder.wav", "",
         "\"" + (folder / "folder.wav").string() + "\" cannot be played: it cannot be opened (it is a folder)."},
        {"", "", ""}, // an empty path closes and says nothing
    };
    for (const auto& [file, bytes, message] : cases) {
        SCOPED_TRACE(file);
        if (!bytes.empty())
            W::write(folder / file, bytes);
        RecordingMessages messages;
        WaveReader reader;
        reader.open(*file ? folder / file : std::filesystem::path(), messages);
        EXPECT_FALSE(reader.isOpen());
        EXPECT_EQ(messages.shown, message.empty() ? std::vector<std::string>{} : std::vector{message});
    }
}

// Takes pieces of `piece` bytes until `count` bytes came or the read-ahead failed; a piece
// that is not ready yet is asked again, for ten seconds at most.
std::string TakeUntil(ReadAhead& ahead, std::size_t count, std::size_t piece)
{
    std::string taken;
    std::string buffer(piece, '\0');
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (taken.size() < count && !ahead.failed() && std::chrono::steady_clock::now() < deadline) {
        const std::size_t got = ahead.take(std::as_writable_bytes(std::span(buffer)));
        taken.append(buffer, 0, got);
        if (got == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return taken;
}

// A long file goes through a ring a piece long, read on the thread while it is taken, and
// comes out looped byte for byte in pieces of any whole-frame size; once its data is gone
// the read-ahead says so. A short file is read once and plays on from memory.
TEST(ReadAhead, LoopsTheDataExactlyFromDiskOrFromMemory)
{
    TempFolder folder;
    std::string data(1'200'000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7 % 251);
    W::write(folder / "long.wav", Plain(W::format(1, 2, 44100, 16), data));
    RecordingMessages messages;
    WaveReader reader;
    reader.open(folder / "long.wav", messages);
    ASSERT_TRUE(reader.isOpen());

    ReadAhead ring(reader.loopedData(), 0, 0, 0);
    EXPECT_FALSE(ring.inMemory());
    const std::string looped = TakeUntil(ring, 3 * data.size() + 5000, 4 * 1001);
    ASSERT_GE(looped.size(), 3 * data.size());
    for (std::size_t lap = 0; lap < 3; ++lap)
        ASSERT_EQ(looped.substr(lap * data.size(), data.size()), data) << "lap " << lap;
    EXPECT_EQ(looped.size() % 4, 0u);

    ReadAhead whole(reader.loopedData(), 0, data.size());
    EXPECT_TRUE(whole.inMemory());
    std::filesystem::resize_file(folder / "long.wav", 20);
    EXPECT_EQ(TakeUntil(whole, 2 * data.size(), 40'000), data + data);
    EXPECT_FALSE(whole.failed());

    TakeUntil(ring, std::string::npos, 4000);
    EXPECT_TRUE(ring.failed());
}

// Frame n holds n + 1 and -(n + 1), so a swap or slip shows; half a frame ends it, as in a render.
struct Rig {
    explicit Rig(int frames)
    {
        for (int n = 1; n <= frames; ++n)
            elements.insert(elements.end(), {static_cast<std::int16_t>(n), static_cast<std::int16_t>(-n)});
        std::string data(elements.size() * 2 + 2, '\x7f');
        std::memcpy(data.data(), elements.data(), elements.size() * 2);
        W::write(folder / "test.wav", Plain(W::format(1, 2, 1000, 16), data));
        reader.open(folder / "test.wav", messages);
        engine.setOnFailure([this] { ++failures; });
    }

    // Starts, lets the first fill run, and plays `buffers` one at a time with refills between.
    void start(int buffers, int device = 0)
    {
        ASSERT_TRUE(engine.start(device));
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
        ASSERT_TRUE(rig.engine.start(0));
        EXPECT_EQ(rig.device.lastFormat, (AudioFormat{E::Signed16, 2, 1000, 4}));
        EXPECT_TRUE(rig.device.queued().empty()); // the first fill runs from the event loop
        rig.start(90);
        rig.expectLoopedFromTheStart();
        EXPECT_EQ(rig.device.underruns(), 0);
        EXPECT_TRUE(rig.messages.shown.empty());
    }
}

// Starting twice opens once; a stop drops the posted hand-backs; reopening the file stops the stream.
TEST(StreamEngine, StopsDropTheHandBacksAndRestartsBeginAtTheStart)
{
    Rig rig(523);
    ASSERT_TRUE(rig.engine.start(0));
    rig.start(8);
    EXPECT_EQ(rig.device.opens, 1);
    const std::size_t written = rig.device.writtenSizes.size();
    rig.engine.stop();
    rig.engine.stop();
    EXPECT_FALSE(rig.device.isOpen());
    // The reset handed every queued buffer back; none may be filled or queued again.
    EXPECT_EQ(rig.loop.runPosted(), PlayerBufferCount);
    EXPECT_EQ(rig.device.writtenSizes.size(), written);
    EXPECT_EQ(rig.reader.position(), rig.reader.dataOffset());

    rig.device.played.clear();
    rig.start(12);
    EXPECT_EQ(rig.device.opens, 2);
    rig.expectLoopedFromTheStart();

    rig.reader.open(rig.folder / "test.wav", rig.messages);
    EXPECT_FALSE(rig.engine.active());
    EXPECT_FALSE(rig.device.isOpen());
    EXPECT_TRUE(rig.device.queued().empty());
    rig.reader.close();
    EXPECT_FALSE(rig.engine.start(0));
    EXPECT_EQ(rig.device.opens, 2);
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(rig.failures, 0);
}

TEST(StreamEngine, FailuresStopTheStreamWithOneMessageAndLateReportsAreDropped)
{
    // A device that cannot open is the signal control's test.
    const std::string broke = "The output device \"x\" stopped working; the output has stopped.";
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
        ASSERT_TRUE(rig.engine.start(0));
        std::filesystem::resize_file(rig.folder / "test.wav", 20);
        rig.loop.runPosted();
        EXPECT_EQ(rig.failures, 1);
        EXPECT_FALSE(rig.engine.active());
        EXPECT_EQ(rig.messages.shown, std::vector<std::string>{"The wave file can no longer be read; the output has stopped."});
        EXPECT_TRUE(rig.device.writtenSizes.empty());
    }
}

constexpr std::int64_t kMillisecond = 1'000'000;

// Calls its feed as PortAudioDevice's stream callback does, every 10 ms of a fake clock
// unless told otherwise. A pause over 30 ms counts as a gap once 5 frames have been handed.
struct FakeStream {
    explicit FakeStream(AudioFormat format = {E::Signed16, 2, 48000, 4})
        : blockAlign(static_cast<std::size_t>(format.blockAlign))
    {
        feed.configure(format, 30 * kMillisecond, 5);
        feed.restart();
    }

    // One callback: the bytes it was given; `handedBack` says whether it finished a buffer.
    std::string callback(unsigned long frames, bool hostUnderflow = false, int pauseMs = 10)
    {
        std::string out(frames * blockAlign, '?');
        now += pauseMs * kMillisecond;
        handedBack = feed.fill(reinterpret_cast<std::byte*>(out.data()), frames, hostUnderflow, now);
        return out;
    }

    std::vector<int> finished()
    {
        std::vector<int> indices;
        for (int index; feed.takeFinished(index);)
            indices.push_back(index);
        return indices;
    }

    BufferFeed feed;
    std::size_t blockAlign;
    std::int64_t now = 1'000 * kMillisecond;
    bool handedBack = false;
};

std::span<const std::byte> Span(const std::string& text)
{
    return std::as_bytes(std::span(text));
}

TEST(BufferFeed, PlaysWholeFramesInQueueOrderAndHandsBackEveryBuffer)
{
    FakeStream stream;
    // Frames of four bytes: the trailing "XY" and "Z" are partial frames.
    const std::pair<int, std::string> buffers[] = {{3, "abcdefghXY"}, {0, "ijklmnopqrstZ"}, {7, "uvwx"}};
    for (const auto& [index, bytes] : buffers)
        ASSERT_TRUE(stream.feed.queue(index, Span(bytes)));
    // Frames asked for, the bytes given, the buffers finished.
    const std::tuple<unsigned long, std::string, std::vector<int>> callbacks[] = {
        {3, "abcdefghijkl", {3}},
        {1, "mnop", {}},
        {5, "qrstuvwx" + std::string(12, '\0'), {0, 7}},
    };
    for (const auto& [frames, bytes, finished] : callbacks) {
        EXPECT_EQ(stream.callback(frames), bytes);
        EXPECT_EQ(stream.handedBack, !finished.empty());
        EXPECT_EQ(stream.finished(), finished);
    }
    EXPECT_EQ(stream.feed.underruns(), 1);

    // A frame each, queued under every index in a shuffled order, fills the queue.
    FakeStream full({E::Unsigned8, 1, 8000, 1});
    const std::string sounds = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    std::vector<int> order;
    for (int i = 0; i < BufferFeed::kSlots; ++i) {
        order.push_back(i * 7 % BufferFeed::kSlots);
        ASSERT_TRUE(full.feed.queue(order.back(), Span(sounds).subspan(i, 1))) << i;
    }
    EXPECT_FALSE(full.feed.queue(0, Span(sounds).subspan(0, 1))) << "a full queue refuses a push";
    EXPECT_EQ(full.callback(BufferFeed::kSlots), sounds);
    EXPECT_EQ(full.finished(), order);
}

TEST(BufferFeed, RunsDryIntoSilenceCountingOneGapPerRun)
{
    const std::pair<AudioFormat, char> cases[] = {
        {{E::Signed16, 2, 44100, 4}, '\0'},
        {{E::Unsigned8, 1, 8000, 1}, '\x80'},
    };
    for (const auto& [format, silence] : cases) {
        SCOPED_TRACE(format.blockAlign);
        FakeStream stream(format);
        // Nothing played yet: silence, but no gap.
        EXPECT_EQ(stream.callback(3), std::string(3 * format.blockAlign, silence));
        const std::string sound(2 * format.blockAlign, 'a');
        for (const int gaps : {1, 2}) {
            ASSERT_TRUE(stream.feed.queue(gaps, Span(sound)));
            EXPECT_EQ(stream.callback(2), sound);
            for (int starved = 0; starved < 4; ++starved)
                EXPECT_EQ(stream.callback(3), std::string(3 * format.blockAlign, silence));
            EXPECT_EQ(stream.feed.underruns(), gaps);
        }
    }
}

TEST(BufferFeed, CountsARunOfHostUnderflowsOrLateCallbacksOnce)
{
    // Callbacks of 3 frames: whether the host flags an underflow, and the pause before it.
    const std::tuple<const char*, std::vector<std::pair<bool, int>>, std::int64_t> cases[] = {
        {"a run of host flags", {{true, 10}, {true, 10}, {true, 10}}, 1},
        {"two runs", {{true, 10}, {false, 10}, {true, 10}, {true, 10}}, 2},
        {"late only once sound flows", {{false, 50}, {false, 50}, {false, 50}, {false, 30}, {false, 31}}, 2},
        {"a late callback in a host's run", {{false, 10}, {false, 10}, {true, 50}, {true, 10}, {false, 50}}, 1},
    };
    for (const auto& [name, callbacks, gaps] : cases) {
        SCOPED_TRACE(name);
        FakeStream stream;
        for (const auto& [hostUnderflow, pauseMs] : callbacks)
            stream.callback(3, hostUnderflow, pauseMs);
        EXPECT_EQ(stream.feed.underruns(), gaps);
    }
}

} // namespace
} // namespace kelvo::test
