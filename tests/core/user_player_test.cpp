#include "support/oscillator_rig.h"
#include "support/wave_bytes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kelvo::test {
namespace {

using W = WaveBytes;
using E = SampleEncoding;
using std::chrono::milliseconds;

std::string Pattern(std::size_t bytes)
{
    std::string data(bytes, '\0');
    for (std::size_t i = 0; i < bytes; ++i)
        data[i] = static_cast<char>(i * 7 + i / 251);
    return data;
}

std::string Extensible(std::uint16_t channels, std::uint32_t rate, std::uint16_t sub, std::uint16_t bits)
{
    return W::format(0xFFFE, channels, rate, bits) + W::le16(22) + W::le16(bits) + W::le32(3) + W::le16(sub) +
           std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
}

// The folder comes first, so that it exists before the oscillator is made in it.
struct OwnFolder {
    TempFolder folder;
};

struct PlayerRig : OwnFolder, OscillatorRig {
    PlayerRig()
        : OscillatorRig(folder.path())
    {
        oscillator.Start();
    }
    // Puts `file` into entry `entry` and selects it.
    void put(int entry, const std::string& name, const std::string& bytes)
    {
        W::write(folder / name, bytes);
        settings().PlaylistPath[entry] = (folder / name).string();
        settings().PlaylistName[entry] = name;
        settings().PlaylistSel = entry;
    }
    // Lets the device play until it has played `bytes` more; returns what it played.
    std::string playOn(std::size_t bytes)
    {
        const std::size_t from = streamDevice.played.size();
        loop.runPosted();
        while (streamDevice.played.size() < from + bytes && streamDevice.play(1) == 1)
            loop.runPosted();
        return std::string(reinterpret_cast<const char*>(streamDevice.played.data()) + from,
                           streamDevice.played.size() - from);
    }
    bool stopped() const { return oscillator.settings().Playing == 0 && !oscillator.view().signal.on(); }
};

// The files people have play in their own sample format, looped without a gap: the device
// plays the data over and over, byte for byte.
TEST(UserPlayer, PlaysEveryCommonLayoutInItsOwnFormatWithoutAGap)
{
    const std::string data = Pattern(2400);
    const std::string junk = W::chunk("JUNK", std::string(28, '\0'));
    const struct {
        const char* what;
        std::string file;
        AudioFormat format;
    } cases[] = {
        {"8 bit mono 8000", W::riff(W::chunk("fmt ", W::format(1, 1, 8000, 8)) + W::chunk("data", data)), {E::Unsigned8, 1, 8000, 1}},
        {"16 bit stereo behind LIST", W::riff(W::chunk("LIST", "INFOx") + W::chunk("fmt ", W::format(1, 2, 44100, 16)) + W::chunk("data", data)), {E::Signed16, 2, 44100, 4}},
        {"24 bit extensible 96000", W::riff(W::chunk("fmt ", Extensible(2, 96000, 1, 24)) + junk + W::chunk("data", data)), {E::Signed24, 2, 96000, 6}},
        {"32 bit mono 192000", W::riff(W::chunk("bext", "b") + W::chunk("fmt ", W::format(1, 1, 192000, 32)) + W::chunk("data", data)), {E::Signed32, 1, 192000, 4}},
        {"float extensible 48000, data first", W::riff(W::chunk("data", data) + W::chunk("fmt ", Extensible(2, 48000, 3, 32))), {E::Float32, 2, 48000, 8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PlayerRig rig;
        rig.settings().Waveform[0] = 16;
        rig.put(3, "f.wav", c.file);
        rig.oscillator.PlaySig();
        EXPECT_EQ(rig.streamDevice.opens, 1); // at once: no start delay on this path
        EXPECT_EQ(rig.streamDevice.lastFormat, c.format);
        EXPECT_EQ(rig.playOn(3 * data.size()).substr(0, 3 * data.size()), data + data + data);
        EXPECT_EQ(rig.panel.last.signal, (SignalState{SignalPhase::Playing, SignalSource::UserFile, "f.wav"}));
        EXPECT_TRUE(rig.messages.shown.empty());
        rig.oscillator.StopSig();
        EXPECT_FALSE(rig.streamDevice.isOpen());
        EXPECT_TRUE(rig.stopped());
    }
}

// PLAY again restarts from the start and drops the old stream's hand-backs; PLAY cancels a
// generator start still waiting for its delay.
TEST(UserPlayer, PlayRestartsFromTheStartAndCancelsAPendingStart)
{
    PlayerRig rig;
    const std::string data = Pattern(40000);
    rig.put(0, "a.wav", W::riff(W::chunk("fmt ", W::format(1, 2, 8000, 16)) + W::chunk("data", data)));
    rig.oscillator.Playwav();
    EXPECT_EQ(rig.playOn(9000).substr(0, 9000), data.substr(0, 9000));
    rig.streamDevice.play(3); // hand-backs of the first stream now wait in the loop
    rig.oscillator.Playwav();
    EXPECT_EQ(rig.streamDevice.opens, 2);
    EXPECT_EQ(rig.playOn(9000).substr(0, 9000), data.substr(0, 9000));

    rig.settings().Waveform[0] = 1;
    rig.oscillator.PlaySig();
    EXPECT_TRUE(rig.oscillator.starting());
    rig.oscillator.Playwav();
    rig.loop.advance(milliseconds(2000));
    EXPECT_EQ(rig.streamDevice.opens, 3);
    EXPECT_EQ(rig.streamDevice.lastFormat, (AudioFormat{E::Signed16, 2, 8000, 4}));
    EXPECT_EQ(rig.panel.last.signal.source, SignalSource::UserFile);
    EXPECT_TRUE(rig.messages.shown.empty());
}

// The clock runs while the file plays and is back at 00:00:00 after any stop.
TEST(UserPlayer, TheClockRunsWhileTheFilePlays)
{
    PlayerRig rig;
    rig.put(0, "a.wav", W::riff(W::chunk("fmt ", W::format(1, 1, 8000, 8)) + W::chunk("data", Pattern(80000))));
    rig.oscillator.Playwav();
    EXPECT_EQ(rig.oscillator.player().info().duration, "00:00:10");
    for (int tick = 0; tick < 60; ++tick) {
        rig.loop.advance(milliseconds(60));
        rig.oscillator.player().tick();
    }
    EXPECT_EQ(rig.oscillator.player().elapsed(), "00:00:03");
    for (const auto stop : {&Oscillator::Stopplay2, &Oscillator::StopSig}) {
        rig.oscillator.Playwav();
        rig.loop.advance(milliseconds(2000));
        rig.oscillator.player().tick();
        EXPECT_EQ(rig.oscillator.player().elapsed(), "00:00:02");
        (rig.oscillator.*stop)();
        rig.loop.advance(milliseconds(2000));
        rig.oscillator.player().tick();
        EXPECT_EQ(rig.oscillator.player().elapsed(), "00:00:00");
        EXPECT_TRUE(rig.stopped());
    }
}

// An empty entry, a vanished file and a file the reader refuses all end with everything
// stopped; the reader's own message says why.
TEST(UserPlayer, WhatCannotPlayLeavesEverythingStopped)
{
    const std::string good = W::riff(W::chunk("fmt ", W::format(1, 2, 8000, 16)) + W::chunk("data", Pattern(4000)));
    const struct {
        const char* what;
        const char* file; // nullptr: an empty entry; "": a file that vanished
        std::string message;
    } cases[] = {
        {"empty entry", nullptr, ""},
        {"vanished", "", "Error opening input file, rc = 2"},
        {"12 bit", "bad.wav", "Unsupported wave format: format tag 1, 12 bits per sample, 2 channels, block align 3, 8000 samples per second"},
        {"not a wave", "text.wav", "This is not a wave file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PlayerRig rig;
        rig.put(1, "good.wav", good);
        rig.oscillator.Playwav();
        ASSERT_TRUE(rig.streamDevice.isOpen());
        const std::string type = rig.oscillator.player().info().type;
        if (c.file == nullptr) {
            rig.settings().PlaylistSel = 2;
        } else if (*c.file == '\0') {
            std::filesystem::remove(rig.folder / "good.wav");
        } else {
            const std::string bad = std::string(c.file) == "bad.wav"
                                        ? W::riff(W::chunk("fmt ", W::le16(1) + W::le16(2) + W::le32(8000) + W::le32(24000) + W::le16(3) + W::le16(12)) + W::chunk("data", "abcdef"))
                                        : std::string("just some text");
            rig.put(2, c.file, bad);
        }
        rig.oscillator.Playwav();
        EXPECT_FALSE(rig.streamDevice.isOpen());
        EXPECT_TRUE(rig.stopped());
        EXPECT_EQ(rig.oscillator.player().elapsed(), "00:00:00");
        EXPECT_EQ(rig.messages.shown, c.message.empty() ? std::vector<std::string>{} : std::vector{c.message});
        if (c.file == nullptr || *c.file == '\0')
            EXPECT_EQ(rig.oscillator.player().info().type, type);
    }
}

// The legacy path plays the user file too, and STOP stops it whatever LegacyDriver holds.
TEST(UserPlayer, TheLegacyPathPlaysAndStopsTheFile)
{
    PlayerRig rig;
    const std::string data = Pattern(4000);
    rig.put(0, "a.wav", W::riff(W::chunk("fmt ", W::format(1, 2, 8000, 16)) + W::chunk("data", data)));
    rig.settings().LegacyDriver = 1;
    rig.oscillator.Playwav();
    EXPECT_EQ(rig.legacyDevice.opens, 1);
    EXPECT_EQ(rig.streamDevice.opens, 0);
    rig.legacyDevice.play(1);
    EXPECT_EQ(std::memcmp(rig.legacyDevice.played.data(), data.data(), 1000), 0);
    rig.settings().LegacyDriver = 0;
    rig.oscillator.Stopplay2();
    EXPECT_TRUE(rig.stopped());
    EXPECT_EQ(rig.legacyDevice.opens, 2); // the silent stop file, played once
    EXPECT_EQ(rig.streamDevice.opens, 0);
}

} // namespace
} // namespace kelvo::test
