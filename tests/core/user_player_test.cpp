#include "support/oscillator_rig.h"
#include "support/wave_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelvo::test {
namespace {

using W = WaveBytes;
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

// The folder comes first, so that it exists before the oscillator is made in it.
struct OwnFolder {
    TempFolder folder;
};

struct PlayerRig : OwnFolder, OscillatorRig {
    explicit PlayerRig(const std::string& file = Plain(W::format(1, 2, 8000, 16)))
        : OscillatorRig(folder.path())
    {
        oscillator.Start();
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
        rig.oscillator.PlaySig();
        EXPECT_EQ(rig.streamDevice.lastFormat, format);
        EXPECT_EQ(rig.playOn(3 * kData.size()), kData + kData + kData);
        EXPECT_EQ(rig.panel.last.signal, (SignalState{SignalPhase::Playing, SignalSource::UserFile, "f"}));
        rig.oscillator.StopSig();
        EXPECT_TRUE(rig.stopped() && !rig.streamDevice.isOpen() && rig.messages.shown.empty());
    }
}

// PLAY again restarts from the start, dropping the old stream's hand-backs; PLAY cancels a
// generator start still waiting for its delay; the clock runs until any stop.
TEST(UserPlayer, PlayRestartsCancelsAPendingStartAndRunsTheClock)
{
    PlayerRig rig(Plain(W::format(1, 2, 8000, 16)).replace(4, 4, W::le32(320036))); // 10 s by its size field
    rig.oscillator.Playwav();
    EXPECT_EQ(rig.playOn(1000), kData.substr(0, 1000));
    rig.streamDevice.play(3);
    rig.oscillator.Playwav();
    EXPECT_EQ(rig.playOn(1000), kData.substr(0, 1000));

    rig.settings().Waveform[0] = 1;
    rig.oscillator.PlaySig();
    rig.oscillator.Playwav();
    rig.loop.advance(std::chrono::milliseconds(2060));
    rig.oscillator.player().tick();
    EXPECT_EQ(rig.oscillator.player().elapsed(), "00:00:02");
    EXPECT_EQ(rig.streamDevice.opens, 3);
    EXPECT_EQ(rig.panel.last.signal.source, SignalSource::UserFile);
    rig.oscillator.Stopplay2();
    EXPECT_EQ(rig.oscillator.player().elapsed(), "00:00:00");
    EXPECT_TRUE(rig.stopped() && rig.messages.shown.empty());

    rig.settings().LegacyDriver = 1;
    rig.oscillator.Playwav();
    EXPECT_EQ(rig.legacyDevice.opens, 1);
    rig.settings().LegacyDriver = 0;
    rig.oscillator.Stopplay2(); // stops the legacy path: its silent stop file plays once
    EXPECT_EQ(rig.legacyDevice.opens, 2);
    EXPECT_EQ(rig.streamDevice.opens, 3);
}

// An empty entry, a vanished file and files the reader refuses end with everything stopped
// and grey; the reader's own message says why.
TEST(UserPlayer, WhatCannotPlayLeavesEverythingStopped)
{
    const std::string twelveBits = W::le16(1) + W::le16(2) + W::le32(8000) + W::le32(24000) + W::le16(3) + W::le16(12);
    const std::pair<std::string, std::string> cases[] = {
        {"empty", ""},
        {"gone", "Error opening input file, rc = 2"},
        {Plain(twelveBits), "Unsupported wave format: format tag 1, 12 bits per sample, 2 channels, block align 3, 8000 samples per second"},
        {"just some text", "This is not a wave file"},
    };
    for (const auto& [file, message] : cases) {
        PlayerRig rig;
        rig.oscillator.Playwav();
        ASSERT_TRUE(rig.streamDevice.isOpen());
        if (file == "empty")
            rig.settings().PlaylistPath[3].clear();
        else if (file == "gone")
            std::filesystem::remove(rig.folder / "f.wav");
        else
            W::write(rig.folder / "f.wav", file);
        rig.oscillator.Playwav();
        EXPECT_TRUE(rig.stopped() && !rig.streamDevice.isOpen());
        EXPECT_EQ(rig.oscillator.player().elapsed(), "00:00:00");
        EXPECT_EQ(rig.messages.shown, message.empty() ? std::vector<std::string>{} : std::vector{message});
    }
}

} // namespace
} // namespace kelvo::test
