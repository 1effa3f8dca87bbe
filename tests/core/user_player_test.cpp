#include "core/player/elapsed_clock.h"
#include "core/player/playlist.h"
#include "core/player/wave_info.h"
#include "core/settings/settings_files.h"
#include "support/oscillator_rig.h"
#include "support/test_support.h"
#include "support/wave_bytes.h"

namespace kelvo::test {
namespace {

const std::string kPlaceholder = "   --                     ";

TEST(Playlist, DisplayNamesCutTheExtensionAndKeepTheLast30Characters)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ab.wav", "ab"},
        {"a", "a"},
        {"abcd", "abcd"},
        {"x.wa", "x.wa"},
        {"Grüße aus Köln.wav", "Grüße aus Köln"},
        {"äöü", "äöü"},
        {"0123456789abcdefghijklmnopqrstuvwxyz.wav", "6789abcdefghijklmnopqrstuvwxyz"},
        {"€€€€€€€€€€€€€€€€€€€€€€€€€€€€€€€€.wav", "€€€€€€€€€€€€€€€€€€€€€€€€€€€€€€"}};
    for (const auto& [title, name] : cases)
        EXPECT_EQ(PlaylistDisplayName(title), name) << title;
}

// Beyond the window's test: a line break is refused, a name no longer than its cut extension
// shows whole, and a selection past the list plays nothing.
TEST(Playlist, EntriesAreFilledAndEmptied)
{
    SignalSettings s;
    s.PlaylistSel = 5;
    EXPECT_NE(LoadPlaylistEntry(s, "/music/two\nlines.wav"), "");
    EXPECT_EQ(s.PlaylistPath[5], "");
    EXPECT_EQ(LoadPlaylistEntry(s, "/music/abcd"), "");
    NameEmptyEntries(s);
    EXPECT_EQ(PlaylistRow(s, 5), "abcd   ");
    EXPECT_EQ(s.PlaylistPath[5], "/music/abcd");
    s.PlaylistSel = 201;
    EXPECT_EQ(SelectedEntry(s), 0);
}

// A saved list has 402 lines and loads without the selection; a 10-line list fills entries 0 to 4 only.
TEST(Playlist, ListFilesHold402Lines)
{
    TempFolder folder;
    SignalSettings saved;
    saved.PlaylistPath[0] = "/music/tone.wav";
    saved.PlaylistName[0] = "tone";
    saved.PlaylistName[1] = kPlaceholder;
    saved.PlaylistName[200] = "Grüße";
    saved.PlaylistSel = 17;
    ASSERT_EQ(SavePlaylistList(saved, folder / "a.lst"), "");
    const std::string list = ReadFile(folder / "a.lst");
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 402);
    EXPECT_TRUE(list.starts_with("\"/music/tone.wav\"\r\n\"tone\"\r\n\"\"\r\n\"" + kPlaceholder + "\"\r\n"));

    SignalSettings loaded;
    EXPECT_EQ(LoadPlaylistList(loaded, folder / "a.lst").problem, "");
    EXPECT_EQ(loaded.PlaylistName, saved.PlaylistName);
    EXPECT_EQ(loaded.PlaylistPath, saved.PlaylistPath);
    EXPECT_EQ(loaded.PlaylistSel, 0);
    std::string tenLines; // a short playlist of whole entries is the whole new list
    for (char i = '0'; i < '5'; ++i)
        tenLines += std::string("\"/new/") + i + ".wav\"\r\n\"new\"\r\n";
    WriteFile(folder / "ten.lst", tenLines);
    EXPECT_EQ(LoadPlaylistList(loaded, folder / "ten.lst").problem, "");
    EXPECT_EQ(loaded.PlaylistPath[4] + loaded.PlaylistName[4], "/new/4.wavnew");
    EXPECT_EQ(loaded.PlaylistPath[5] + loaded.PlaylistName[5], "");
    EXPECT_EQ(loaded.PlaylistName[200], "");
    EXPECT_FALSE(LoadPlaylistList(loaded, folder / "none.lst").read);
}

using W = WaveBytes;
using std::chrono::milliseconds;

// `dataBytes` data bytes (from `firstData`) behind `before` and a format chunk; RIFF size `riffSize` if given.
std::string Wave(const std::string& format, std::size_t dataBytes, std::uint32_t riffSize = 0, const std::string& before = {},
                 const std::string& firstData = {})
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
        {Wave(W::extensible(2, 96000, 1, 24), 6, 2880036, W::chunk("bext", "b")),
         "PCM WAV|STEREO|24 bit|96000|2880036 bytes|00:00:05"},
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
        EXPECT_EQ(info.type + "|" + info.channels + "|" + info.bits + "|" + info.rate + "|" + info.size + "|" + info.duration,
                  shown);
    }
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(ProbeWave(folder / "pipe").opened); // it would block forever if it were read
}

// A ten-second file: the clock counts to 00:00:10, shows 00:00:00 on the tick at which 11 s have
// passed (12.04 s here, ticks 60 ms apart) and counts again from that tick.
TEST(ElapsedClock, RestartsWhenItsTextPassesTheDuration)
{
    ElapsedClock clock;
    clock.start(milliseconds(1000));
    for (const auto& [now, text] : {std::pair{11980, "00:00:10"}, {12040, "00:00:00"}, {13060, "00:00:01"}}) {
        clock.tick(milliseconds(now), "00:00:10");
        EXPECT_EQ(clock.text(), text) << now;
    }
    clock.stop();
    clock.tick(milliseconds(30000), "00:00:10");
    EXPECT_EQ(clock.text(), "00:00:00");
}

using E = SampleEncoding;

const std::string kData = [] {
    std::string data(2400, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7 + i / 251);
    return data;
}();

std::string Plain(const std::string& format, const std::string& before = {})
{
    return W::riff(before + W::chunk("fmt ", format) + W::chunk("data", kData));
}

struct PlayerRig : StartedRig {
    explicit PlayerRig(const std::string& file = Plain(W::format(1, 2, 8000, 16)))
    {
        W::write(folder / "f.wav", file);
        settings().PlaylistPath[3] = (folder / "f.wav").string();
        settings().PlaylistName[3] = "f";
        settings().PlaylistSel = 3;
    }
    // What the device plays from now until it has played `bytes` more.
    std::string playOn(std::size_t bytes)
    {
        const std::size_t from = streamDevice.played.size();
        for (loop.runPosted(); streamDevice.played.size() < from + bytes && streamDevice.play(1) == 1;)
            loop.runPosted();
        return std::string(reinterpret_cast<const char*>(streamDevice.played.data()) + from,
                           std::min(bytes, streamDevice.played.size() - from));
    }
    bool stopped() const { return oscillator.settings().Playing == 0 && !panel.last.signal.on(); }
};

// ON with the User waveform plays the file at once in its own format, looped byte for byte.
TEST(UserPlayer, PlaysEveryCommonLayoutInItsOwnFormatWithoutAGap)
{
    const std::pair<std::string, AudioFormat> cases[] = {
        {Plain(W::format(1, 1, 8000, 8)), {E::Unsigned8, 1, 8000, 1}},
        {Plain(W::format(1, 2, 44100, 16), W::chunk("LIST", "INFOx")), {E::Signed16, 2, 44100, 4}},
        {Plain(W::extensible(2, 96000, 1, 24), W::chunk("JUNK", "junk")), {E::Signed24, 2, 96000, 6}},
        {Plain(W::format(1, 1, 192000, 32), W::chunk("bext", "b")), {E::Signed32, 1, 192000, 4}},
        {W::riff(W::chunk("data", kData) + W::chunk("fmt ", W::extensible(2, 48000, 3, 32))), {E::Float32, 2, 48000, 8}},
    };
    for (const auto& [file, format] : cases) {
        PlayerRig rig(file);
        rig.settings().Waveform[0] = 16;
        rig.oscillator.startSignal();
        EXPECT_EQ(rig.streamDevice.lastFormat, format);
        EXPECT_EQ(rig.playOn(3 * kData.size()), kData + kData + kData);
        EXPECT_EQ(rig.panel.last.signal, (SignalState{SignalPhase::Playing, SignalSource::UserFile, "f"}));
        rig.oscillator.stopSignal();
        EXPECT_TRUE(rig.stopped() && !rig.streamDevice.isOpen() && rig.messages.shown.empty());
    }
}

// PLAY again restarts from the start, dropping the old stream's hand-backs; PLAY cancels a
// generator start still waiting for its delay; the clock runs until any stop.
TEST(UserPlayer, PlayRestartsCancelsAPendingStartAndRunsTheClock)
{
    PlayerRig rig(Plain(W::format(1, 2, 8000, 16)).replace(4, 4, W::le32(320036))); // 10 s by its size field
    rig.oscillator.playUserFile();
    EXPECT_EQ(rig.playOn(1000), kData.substr(0, 1000));
    rig.streamDevice.play(3);
    rig.oscillator.playUserFile();
    EXPECT_EQ(rig.playOn(1000), kData.substr(0, 1000));

    rig.settings().Waveform[0] = 1;
    rig.oscillator.startSignal();
    rig.oscillator.playUserFile();
    rig.loop.advance(std::chrono::milliseconds(2060));
    rig.oscillator.player().tick();
    EXPECT_EQ(rig.oscillator.player().elapsed(), "00:00:02");
    EXPECT_EQ(rig.streamDevice.opens, 3);
    EXPECT_EQ(rig.panel.last.signal.source, SignalSource::UserFile);
    rig.oscillator.stopUserFile();
    EXPECT_EQ(rig.oscillator.player().elapsed(), "00:00:00");
    EXPECT_TRUE(rig.stopped() && rig.messages.shown.empty());

    rig.settings().LegacyDriver = 1;
    rig.oscillator.playUserFile();
    EXPECT_EQ(rig.legacyDevice.opens, 1);
    rig.settings().LegacyDriver = 0;
    rig.oscillator.stopUserFile(); // stops the legacy path: its silent stop file plays once
    EXPECT_EQ(rig.legacyDevice.opens, 2);
    EXPECT_EQ(rig.streamDevice.opens, 3);
}

// An empty entry, a vanished file, a file the reader refuses (its test has every refusal) and
// one over the simple looping player's memory limit (sparse here, refused before a byte is
// read) end with everything stopped; the player's message says why.
TEST(UserPlayer, WhatCannotPlayLeavesEverythingStopped)
{
    const std::pair<std::string, std::string> cases[] = {
        {"empty", ""},
        {"gone", "cannot be played: it cannot be opened (No such file or directory)."},
        {"just some text", "This is not a wave file"},
        {"huge", "cannot be played: its sound data (300 MB) is more than the simple looping player holds (256 MB)"},
    };
    for (const auto& [file, message] : cases) {
        SCOPED_TRACE(file);
        PlayerRig rig;
        rig.oscillator.playUserFile();
        ASSERT_TRUE(rig.streamDevice.isOpen());
        if (file == "empty") {
            rig.settings().PlaylistPath[3].clear();
        } else if (file == "gone") {
            std::filesystem::remove(rig.folder / "f.wav");
        } else if (file == "huge") {
            const std::uint32_t bytes = 300u << 20;
            W::write(rig.folder / "f.wav", W::riff(W::chunk("fmt ", W::format(1, 2, 8000, 16)) + "data" + W::le32(bytes)));
            std::filesystem::resize_file(rig.folder / "f.wav", 44 + bytes);
            rig.settings().LegacyDriver = 1;
        } else {
            W::write(rig.folder / "f.wav", file);
        }
        rig.oscillator.playUserFile();
        EXPECT_TRUE(rig.stopped() && !rig.streamDevice.isOpen() && !rig.legacyDevice.isOpen());
        EXPECT_EQ(rig.oscillator.player().elapsed(), "00:00:00");
        ASSERT_EQ(rig.messages.shown.size(), message.empty() ? 0u : 1u);
        if (!message.empty()) {
            EXPECT_NE(rig.messages.shown[0].find(message), std::string::npos) << rig.messages.shown[0];
        }
    }
}

} // namespace
} // namespace kelvo::test
