#include "player/elapsed_clock.h"
#include "player/wave_info.h"
#include "support/test_support.h"
#include "support/wave_bytes.h"

#include <gtest/gtest.h>

#include <map>

namespace kelvo::test {
namespace {

using W = WaveBytes;
using std::chrono::milliseconds;

// `dataBytes` data bytes (from `firstData`) behind `before` and a format chunk; RIFF size `riffSize` if given.
std::string Wave(const std::string& format, std::size_t dataBytes, std::uint32_t riffSize = 0,
                 const std::string& before = {}, const std::string& firstData = {})
{
    std::string file = W::riff(before + W::chunk("fmt ", format) + W::chunk("data", firstData + std::string(dataBytes, '\0')));
    return riffSize ? file.replace(4, 4, W::le32(riffSize)) : file;
}

// One WaveInfo shown file after file, as the player does: what a file cannot tell keeps the
// previous file's text. Texts: type, channels, bits, rate, size, duration.
TEST(WaveInfo, ShowsEachFileFromItsFormatChunkAndKeepsWhatAFileCannotTell)
{
    TempFolder folder;
    const std::string pcm16 = W::format(1, 2, 44100, 16), mono8 = W::format(1, 1, 8000, 8);
    const std::string before = W::chunk("LIST", "INFOx") + W::chunk("JUNK", std::string(27, 'j'));
    const std::pair<std::string, std::string> steps[] = {
        {Wave(pcm16, 1764000), "PCM WAV|STEREO|16 bit|44100|1764036 bytes|00:00:10"},
        {Wave(mono8, 8, 476000), "PCM WAV|MONO|8 bit|8000|476000 bytes|00:00:59"}, // 59.5 s
        {Wave(mono8, 8, 2400), "PCM WAV|MONO|8 bit|8000|2400 bytes|00:00:01"},     // 0.3 s
        {Wave(mono8, 8, 58120000), "PCM WAV|MONO|8 bit|8000|58120000 bytes|02:01:05"},
        {"RIFX" + Wave(pcm16, 4).substr(4), "|MONO|8 bit|8000|58120000 bytes|02:01:05"},
        {"", "|MONO|8 bit|8000|58120000 bytes|02:01:05"}, // the file has gone
        {Wave(pcm16, 176398, 0, {}, "\x72\xF8"), "DOLBY D|STEREO|16 bit|44100|176436 bytes|00:00:01"},
        {Wave(W::extensible(2, 48000, 3, 32), 384000, 0, before), "PCM WAV|STEREO|32 bit float|48000|384110 bytes|00:00:01"},
        {Wave(W::format(1, 1, 192000, 32), 8, 768036), "PCM WAV|MONO|32 bit|192000|768036 bytes|00:00:01"},
        {Wave(W::extensible(2, 96000, 1, 24), 6, 2880036, W::chunk("bext", "b")), "PCM WAV|STEREO|24 bit|96000|2880036 bytes|00:00:05"},
        {Wave(W::format(1, 6, 44100, 16), 12, 529236), "PCM WAV|STEREO|16 bit|44100|529236 bytes|00:00:03"},
        {W::riff(W::chunk("data", "ab")), "PCM WAV|STEREO|16 bit|44100|14 bytes|00:00:01"},
        {Wave(pcm16, 4).replace(4, 4, W::le32(0)), "PCM WAV|STEREO|16 bit|44100|0 bytes|00:00:00"},
    };
    WaveInfo info;
    for (const auto& [file, shown] : steps) {
        std::filesystem::remove(folder / "f.wav");
        if (!file.empty())
            W::write(folder / "f.wav", file);
        ShowWaveInfo(info, ProbeWave(folder / "f.wav"));
        EXPECT_EQ(info.type + "|" + info.channels + "|" + info.bits + "|" + info.rate + "|" + info.size + "|" + info.duration, shown);
    }
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(ProbeWave(folder / "pipe").opened); // it would block forever if it were read
}

// A ten-second file: the clock counts to 00:00:10, shows 00:00:00 on the tick at which 11 s
// have passed (12.04 s here) and counts again from that tick; 00:00:11 never shows.
TEST(ElapsedClock, RestartsWhenItsTextPassesTheDuration)
{
    ElapsedClock clock;
    clock.start(milliseconds(1000));
    std::map<milliseconds, std::string> shown;
    for (milliseconds now{1000}; now <= milliseconds(25000); now += milliseconds(60)) {
        clock.tick(now, "00:00:10");
        shown[now] = clock.text();
        EXPECT_NE(clock.text(), "00:00:11");
    }
    EXPECT_EQ(shown[milliseconds(11980)], "00:00:10");
    EXPECT_EQ(shown[milliseconds(12040)], "00:00:00");
    EXPECT_EQ(shown[milliseconds(13060)], "00:00:01");
    clock.stop();
    clock.tick(milliseconds(30000), "00:00:10");
    EXPECT_EQ(clock.text(), "00:00:00");
}

} // namespace
} // namespace kelvo::test
