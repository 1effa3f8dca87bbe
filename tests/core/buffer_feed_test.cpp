#include "core/playback/buffer_feed.h"
#include "core/playback/index_queue.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace kelvo::test {
namespace {

constexpr std::int64_t kMillisecond = 1'000'000;

// Calls its feed as PortAudioDevice's stream callback does, every 10 ms of a fake clock
// unless told otherwise. A pause over 30 ms counts as a gap once 5 frames have been handed.
struct FakeStream {
    explicit FakeStream(AudioFormat format = {SampleEncoding::Signed16, 2, 48000, 4})
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

std::span<const std::byte> Bytes(const std::string& text)
{
    return std::as_bytes(std::span(text));
}

TEST(BufferFeed, PlaysWholeFramesInQueueOrderAcrossCallbacks)
{
    FakeStream stream;
    // Frames of four bytes: the trailing "XY" and "Z" are partial frames.
    const std::pair<int, std::string> buffers[] = {{3, "abcdefghXY"}, {0, "ijklmnopqrstZ"}, {7, "uvwx"}};
    for (const auto& [index, bytes] : buffers)
        ASSERT_TRUE(stream.feed.queue(index, Bytes(bytes)));
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
}

TEST(BufferFeed, RunsDryIntoSilenceCountingOneGapPerRun)
{
    const std::pair<AudioFormat, char> cases[] = {
        {{SampleEncoding::Signed16, 2, 44100, 4}, '\0'},
        {{SampleEncoding::Unsigned8, 1, 8000, 1}, '\x80'},
    };
    for (const auto& [format, silence] : cases) {
        SCOPED_TRACE(format.blockAlign);
        FakeStream stream(format);
        // Nothing played yet: silence, but no gap.
        EXPECT_EQ(stream.callback(3), std::string(3 * format.blockAlign, silence));
        const std::string sound(2 * format.blockAlign, 'a');
        for (const int gaps : {1, 2}) {
            ASSERT_TRUE(stream.feed.queue(gaps, Bytes(sound)));
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

TEST(BufferFeed, AFullQueuePlaysAndHandsBackEveryBuffer)
{
    FakeStream stream({SampleEncoding::Unsigned8, 1, 8000, 1});
    // A frame each, queued under every index in a shuffled order.
    const std::string sounds = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    std::vector<int> order;
    for (int i = 0; i < BufferFeed::kSlots; ++i) {
        order.push_back(i * 7 % BufferFeed::kSlots);
        ASSERT_TRUE(stream.feed.queue(order.back(), Bytes(sounds).subspan(i, 1))) << i;
    }
    EXPECT_EQ(stream.callback(BufferFeed::kSlots), sounds);
    EXPECT_EQ(stream.finished(), order);
}

TEST(IndexQueue, RefusesAPushWhenFullAndKeepsWhatItHolds)
{
    IndexQueue<4> queue;
    for (int index : {5, 6, 7, 8})
        ASSERT_TRUE(queue.push(index));
    EXPECT_FALSE(queue.push(9));
    std::vector<int> popped;
    for (int index; queue.pop(index);)
        popped.push_back(index);
    EXPECT_EQ(popped, (std::vector<int>{5, 6, 7, 8}));
}

} // namespace
} // namespace kelvo::test
