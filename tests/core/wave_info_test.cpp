#include "player/elapsed_clock.h"
#include "player/wave_info.h"
#include "support/test_support.h"
#include "support/wave_bytes.h"

#include <gtest/gtest.h>

#include <set>

namespace kelvo::test {
namespace {

using W = WaveBytes;
using std::chrono::milliseconds;

// A file of `dataBytes` bytes of data behind `chunksBefore` and a format chunk, with its
// RIFF size field set to `riffSize` when given.
std::string Wave(const std::string& format, std::size_t dataBytes, std::uint32_t riffSize = 0,
                 const std::string& chunksBefore = {}, const std::string& firstData = {})
{
    std::string data = firstData + std::string(dataBytes - firstData.size(), '\0');
    std::string file = W::riff(chunksBefore + W::chunk("fmt ", format) + W::chunk("data", data));
    if (riffSize != 0)
        file.replace(4, 4, W::le32(riffSize));
    return file;
}

std::string Extensible(std::uint16_t channels, std::uint32_t rate, std::uint16_t sub, std::uint16_t bits)
{
    return W::format(0xFFFE, channels, rate, bits) + W::le16(22) + W::le16(bits) + W::le32(3) + W::le16(sub) +
           std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
}

struct Shown {
    std::string type, channels, bits, rate, size, duration;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& s)
{
    return out << s.type << " | " << s.channels << " | " << s.bits << " | " << s.rate << " | " << s.size << " | "
               << s.duration;
}

// One WaveInfo shown file after file, as the player does: what a file cannot tell keeps
// the previous file's text.
TEST(WaveInfo, ShowsEachFileFromItsFormatChunkAndKeepsWhatAFileCannotTell)
{
    TempFolder folder;
    const std::string pcm16 = W::format(1, 2, 44100, 16);
    const std::string mono8 = W::format(1, 1, 8000, 8);
    const std::string list = W::chunk("LIST", "INFOIART") + W::chunk("JUNK", std::string(27, 'j'));
    const struct {
        const char* what;
        std::string file; // empty: no such file
        Shown shown;
    } steps[] = {
        {"canonical ten seconds", Wave(pcm16, 1764000), {"PCM WAV", "STEREO", "16 bit", "44100", "1764036 bytes", "00:00:10"}},
        {"90.5 s", Wave(mono8, 8, 724000), {"PCM WAV", "MONO", "8 bit", "8000", "724000 bytes", "00:01:30"}},
        {"59.5 s", Wave(mono8, 8, 476000), {"PCM WAV", "MONO", "8 bit", "8000", "476000 bytes", "00:00:59"}},
        {"0.3 s", Wave(mono8, 8, 2400), {"PCM WAV", "MONO", "8 bit", "8000", "2400 bytes", "00:00:01"}},
        {"three minutes", Wave(mono8, 8, 1440000), {"PCM WAV", "MONO", "8 bit", "8000", "1440000 bytes", "00:03:00"}},
        {"then thirty seconds", Wave(mono8, 8, 240000), {"PCM WAV", "MONO", "8 bit", "8000", "240000 bytes", "00:00:30"}},
        {"two hours", Wave(mono8, 8, 58120000), {"PCM WAV", "MONO", "8 bit", "8000", "58120000 bytes", "02:01:05"}},
        {"not RIFF", "RIFX" + Wave(pcm16, 4).substr(4), {"", "MONO", "8 bit", "8000", "58120000 bytes", "02:01:05"}},
        {"vanished", "", {"", "MONO", "8 bit", "8000", "58120000 bytes", "02:01:05"}},
        {"Dolby data word", Wave(pcm16, 176400, 0, {}, "\x72\xF8"), {"DOLBY D", "STEREO", "16 bit", "44100", "176436 bytes", "00:00:01"}},
        {"chunks before an extensible float format", Wave(Extensible(2, 48000, 3, 32), 384000, 0, list),
         {"PCM WAV", "STEREO", "32 bit float", "48000", "384112 bytes", "00:00:01"}},
        {"32-bit PCM", Wave(W::format(1, 1, 192000, 32), 768000), {"PCM WAV", "MONO", "32 bit", "192000", "768036 bytes", "00:00:01"}},
        {"extensible 24 bit behind bext", Wave(Extensible(2, 96000, 1, 24), 6, 2880036, W::chunk("bext", "b")),
         {"PCM WAV", "STEREO", "24 bit", "96000", "2880036 bytes", "00:00:05"}},
        {"six channels keep the channel text", Wave(W::format(1, 6, 44100, 16), 12, 529236),
         {"PCM WAV", "STEREO", "16 bit", "44100", "529236 bytes", "00:00:03"}},
        {"RIFF without a format chunk", W::riff(W::chunk("data", "ab")), {"PCM WAV", "STEREO", "16 bit", "44100", "14 bytes", "00:00:01"}},
        {"empty size", Wave(pcm16, 4, 0).replace(4, 4, W::le32(0)), {"PCM WAV", "STEREO", "16 bit", "44100", "0 bytes", "00:00:00"}},
    };
    WaveInfo info;
    EXPECT_EQ(info.duration, "00:00:00");
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        const auto path = folder / "f.wav";
        std::filesystem::remove(path);
        if (!step.file.empty())
            W::write(path, step.file);
        ShowWaveInfo(info, ProbeWave(path));
        EXPECT_EQ((Shown{info.type, info.channels, info.bits, info.rate, info.size, info.duration}), step.shown);
    }
}

TEST(WaveInfo, AFolderOrAFifoIsNotRead)
{
    TempFolder folder;
    EXPECT_FALSE(ProbeWave(folder.path()).opened);
    const auto fifo = folder / "pipe.wav";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ProbeWave(fifo).opened); // would block forever if it were read
}

// A ten-second file: the clock counts to 00:00:10, shows 00:00:00 on the tick at which
// 11 seconds have passed, and counts again from that tick; 00:00:11 is never shown.
TEST(ElapsedClock, RestartsWhenItsTextPassesTheDuration)
{
    ElapsedClock clock;
    clock.start(milliseconds(1000));
    std::set<std::string> shown;
    std::string at11, at12;
    for (milliseconds now{1000}; now <= milliseconds(25000); now += milliseconds(60)) {
        clock.tick(now, "00:00:10");
        shown.insert(clock.text());
        if (at11.empty() && now >= milliseconds(12000))
            at11 = clock.text();
        if (now >= milliseconds(13100) && now < milliseconds(13200))
            at12 = clock.text();
    }
    EXPECT_EQ(shown.count("00:00:11"), 0u);
    EXPECT_EQ(*shown.rbegin(), "00:00:10");
    EXPECT_EQ(at11, "00:00:00");
    EXPECT_EQ(at12, "00:00:01"); // 13.12 s: counting again from the restart at 12.04 s
    EXPECT_TRUE(clock.running());

    clock.stop();
    clock.tick(milliseconds(30000), "00:00:10");
    EXPECT_EQ(clock.text(), "00:00:00");
    EXPECT_FALSE(clock.running());
}

TEST(ElapsedClock, TextsCountHoursMinutesAndSeconds)
{
    EXPECT_EQ(ClockText(milliseconds(999)), "00:00:00");
    EXPECT_EQ(ClockText(milliseconds(65'000)), "00:01:05");
    EXPECT_EQ(ClockText(milliseconds(3'600'000)), "01:00:00");
    EXPECT_EQ(ClockText(milliseconds(-5)), "00:00:00");
    EXPECT_EQ(DurationText(0.2, 10), "00:00:01");
    EXPECT_EQ(DurationText(0.2, 0), "00:00:00");
    EXPECT_EQ(DurationText(1.0 / 0.0, 10), "00:00:00");
}

} // namespace
} // namespace kelvo::test
