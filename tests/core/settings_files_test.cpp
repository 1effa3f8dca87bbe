#include "settings/memories.h"
#include "settings/settings_files.h"
#include "settings/text_file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace kelvo::test {
namespace {

void WriteText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

// A record whose every saved value differs from the start values and is awkward to
// write: fractions, extremes, negative values, quoted texts.
SignalSettings Unusual()
{
    SignalSettings s;
    VisitMainSettings(s, [n = 0.0](auto& field) mutable {
        using T = std::remove_reference_t<decltype(field)>;
        if constexpr (std::is_floating_point_v<T>)
            field = static_cast<T>(field * 1.1 + 0.1 + n);
        else
            field = static_cast<T>(field + 7 + n);
        n += 1;
    });
    for (int slot = 0; slot < kSlotCount; ++slot) {
        s.Waveform[slot] = slot + 2;
        s.ChanMode[slot] = slot % 6 + 1;
        s.SampleRate[slot] = 11025 + slot;
        s.Bits[slot] = 8 + slot;
        s.LevelL[slot] = -0.1 * slot - 1e-7;
        s.LevelR[slot] = -200.0 / 3;
        s.Freq[slot] = 1.0 / 3 + slot;
        s.FreqR[slot] = 96000 - slot * 1e-9;
        s.PhaseL[slot] = 359.99999999999994;
        s.PhaseR[slot] = 1e-300;
    }
    s.UserStepCount = 3;
    s.UserStepFreq = {0, 1000.5, 2000, 1e-5};
    s.UserStepPeriod = {0, 0.25, 1.0 / 7, 12};
    s.MultiCount = 100;
    for (int k = 1; k <= kListMax; ++k)
        s.MultiFreq[k] = 20 + k * 0.7;
    s.PlaylistPath[0] = "/music/a, b.wav";
    s.PlaylistName[0] = "a, b";
    s.PlaylistPath[200] = "/last.wav";
    s.PlaylistName[200] = "   --                     ";
    s.PlaylistSel = 200;
    for (int i = 0; i < kArbTableSize; ++i)
        s.ArbTable[i] = i - 150;
    for (int n = 1; n <= kFourierCount; ++n)
        s.FourierAmp[n] = -1.0 / n;
    return s;
}

// The bytes of every value of the main settings file, for a bit-for-bit comparison.
std::vector<std::string> MainFileBits(const SignalSettings& s)
{
    std::vector<std::string> bits;
    VisitMainSettings(s, [&](const auto& field) {
        bits.emplace_back(reinterpret_cast<const char*>(&field), sizeof field);
    });
    return bits;
}

TEST(SettingsFiles, RoundTripRestoresEveryValueBitForBit)
{
    TempFolder folder;
    const SignalSettings saved = Unusual();
    ASSERT_EQ(SaveSettings(saved, folder.path()), "");

    SignalSettings loaded;
    LoadSettings(loaded, folder.path());
    const SignalSettings& expected = saved;
    EXPECT_EQ(MainFileBits(loaded), MainFileBits(expected));
    EXPECT_EQ(loaded.UserStepCount, 3);
    EXPECT_EQ(loaded.UserStepFreq, expected.UserStepFreq);
    EXPECT_EQ(loaded.UserStepPeriod, expected.UserStepPeriod);
    EXPECT_EQ(loaded.MultiCount, 100);
    EXPECT_EQ(loaded.MultiFreq, expected.MultiFreq);
    EXPECT_EQ(loaded.PlaylistPath, expected.PlaylistPath);
    EXPECT_EQ(loaded.PlaylistName, expected.PlaylistName);
    EXPECT_EQ(loaded.PlaylistSel, 200);
    EXPECT_EQ(loaded.ArbTable, expected.ArbTable);
    EXPECT_EQ(loaded.FourierAmp, expected.FourierAmp);
}

TEST(SettingsFiles, WritesTheFixedLayouts)
{
    TempFolder folder;
    SignalSettings s;
    s.MultiCount = 2;
    ASSERT_EQ(SaveSettings(s, folder.path()), "");

    const std::string main = ReadFile(folder / "Kelvo.ini");
    EXPECT_EQ(std::count(main.begin(), main.end(), '\n'), 149);
    const std::string head = Lines({"1", "3", "44100", "16", "-20", "-20", "1000", "1000", "0", "0"});
    EXPECT_EQ(main.substr(0, head.size()), head);
    EXPECT_NE(main.find(Lines({"100", "20", "1", "200", "2000"})), std::string::npos);
    EXPECT_EQ(ReadFile(folder / "Klvmultitone.ini"), Lines({"2", "400", "1000"}));
    EXPECT_EQ(ReadFile(folder / "Klvuser.ini"), Lines({"0"}));
    const std::string playlist = ReadFile(folder / "playlist.lst");
    EXPECT_EQ(std::count(playlist.begin(), playlist.end(), '\n'), 403);
    EXPECT_EQ(playlist.substr(0, 8), "\"\"\r\n\"\"\r\n");
    const std::string arb = ReadFile(folder / "arbdata.dat");
    EXPECT_EQ(std::count(arb.begin(), arb.end(), '\n'), 425);
    EXPECT_EQ(arb.substr(arb.size() - 9), "0\r\n0\r\n0\r\n");
}

TEST(SettingsFiles, AShortMainFileLoadsWhatItHolds)
{
    TempFolder folder;
    SignalSettings source;
    source.Freq[0] = 440;
    source.Freq[7] = 12.5;
    source.FreqStep = 10;
    source.LevelStep = 0.1;
    source.WaveBuildLength = 100;
    source.BurstOnTime = 99;
    ASSERT_EQ(SaveSettings(source, folder.path()), "");
    const std::string main = ReadFile(folder / "Kelvo.ini");
    std::size_t cut = 0;
    for (int line = 0; line < 112; ++line)
        cut = main.find('\n', cut) + 1;
    WriteText(folder / "Kelvo.ini", main.substr(0, cut));

    SignalSettings loaded;
    LoadSettings(loaded, folder.path());
    EXPECT_EQ(loaded.Freq[0], 440);
    EXPECT_EQ(loaded.Freq[7], 12.5);
    EXPECT_EQ(loaded.FreqStep, 10);
    EXPECT_EQ(loaded.LevelStep, 0.1);
    EXPECT_EQ(loaded.WaveBuildLength, 1);
    EXPECT_EQ(loaded.BurstOnTime, 20);
}

TEST(SettingsFiles, ListCountsLoadOnlyTheirEntries)
{
    TempFolder folder;
    WriteText(folder / "Klvmultitone.ini", Lines({"2", "250", "2500"}));
    SignalSettings s;
    s.MultiFreq[3] = 1234;
    LoadSettings(s, folder.path());
    EXPECT_EQ(s.MultiCount, 2);
    EXPECT_EQ(s.MultiFreq[1], 250);
    EXPECT_EQ(s.MultiFreq[2], 2500);
    EXPECT_EQ(s.MultiFreq[3], 1234);

    std::string huge = Lines({"100000"});
    for (int k = 1; k <= 150; ++k)
        huge += Lines({std::to_string(k), std::to_string(k) + ".5"});
    WriteText(folder / "Klvuser.ini", huge);
    WriteText(folder / "Klvmultitone.ini", Lines({"-4", "1"}));
    LoadSettings(s, folder.path());
    EXPECT_EQ(s.UserStepCount, 100);
    EXPECT_EQ(s.UserStepFreq[100], 100);
    EXPECT_EQ(s.UserStepPeriod[100], 100.5);
    EXPECT_EQ(s.MultiCount, 0);
    EXPECT_EQ(s.MultiFreq[1], 250);
}

TEST(SettingsFiles, GarbageKeepsEveryValueAndNeverCrashes)
{
    TempFolder folder;
    std::string garbage = "\xff\xfe\x00junk\r\n\"unterminated\r\n,,,,\r\n1e999999\r\n&H\r\n";
    garbage += std::string(200000, 'x') + "\n\r\r\n" + "99999999999\r\n-0\r\n";
    for (const auto name : {"Kelvo.ini", "Klvuser.ini", "Klvmultitone.ini", "playlist.lst", "arbdata.dat"})
        WriteText(folder / name, garbage);
    SignalSettings s;
    LoadSettings(s, folder.path());
    const SignalSettings start;
    EXPECT_EQ(s.Waveform, start.Waveform);
    EXPECT_EQ(s.SampleRate, start.SampleRate);
    EXPECT_EQ(s.Freq, start.Freq);
    EXPECT_EQ(s.MultiCount, start.MultiCount);
    EXPECT_EQ(s.UserStepCount, 0);
    EXPECT_EQ(s.ArbTable[0], 0);

    // A folder with no files at all leaves the start values.
    TempFolder empty;
    SignalSettings untouched;
    LoadSettings(untouched, empty.path());
    EXPECT_EQ(untouched.LevelStep, 20);
    EXPECT_EQ(untouched.MultiFreq[3], 1300);
}

TEST(SettingsFiles, IntegerValuesThatDoNotFitAreFailedReads)
{
    TempFolder folder;
    std::string main = Lines({"2.5", "3.5", "1E3", "99999999999"});
    WriteText(folder / "Kelvo.ini", main);
    SignalSettings s;
    LoadSettings(s, folder.path());
    EXPECT_EQ(s.Waveform[0], 2);   // halves to even
    EXPECT_EQ(s.ChanMode[0], 4);
    EXPECT_EQ(s.SampleRate[0], 1000);
    EXPECT_EQ(s.Bits[0], 16);      // too large for 32 bits: kept
}

TEST(SettingsFiles, AFolderThatCannotBeWrittenIsReported)
{
    TempFolder folder;
    const auto missing = folder / "no" / "such" / "folder";
    const std::string errors = SaveSettings(SignalSettings{}, missing);
    EXPECT_NE(errors.find("Kelvo.ini"), std::string::npos);
    EXPECT_NE(errors.find("arbdata.dat"), std::string::npos);
}

TEST(Memories, DefaultAndCopyMoveAllTenSlottedFields)
{
    SignalSettings s;
    s.Waveform[0] = 7;
    s.PhaseR[0] = 45;
    s.FreqR[0] = 500;
    DefaultMems(s);
    for (int k = 1; k <= kMemoryCount; ++k) {
        EXPECT_EQ(s.Waveform[k], 7);
        EXPECT_EQ(s.PhaseR[k], 45);
        EXPECT_EQ(s.FreqR[k], 500);
    }
    s.LevelL[3] = -3;
    CopySlot(s, 3, 0);
    EXPECT_EQ(s.LevelL[0], -3);
    CopySlot(s, 0, 11); // outside the slots: nothing happens
    CopySlot(s, -1, 0);
    EXPECT_EQ(s.LevelL[0], -3);
}

TEST(TextFieldReader, ReadsQuotedAndUnquotedFieldsOverAnyLineEnd)
{
    TempFolder folder;
    WriteText(folder / "f.txt", "  \"a, b\"  ,plain , 3\r\n\"\"\rlast\n\"open");
    TextFieldReader in(folder / "f.txt");
    EXPECT_EQ(in.next(), "a, b");
    EXPECT_EQ(in.next(), "plain");
    EXPECT_EQ(in.next(), "3");
    EXPECT_EQ(in.next(), "");
    EXPECT_EQ(in.next(), "last");
    EXPECT_EQ(in.next(), "open");
    EXPECT_EQ(in.next(), std::nullopt);

    TextFieldReader directory(folder.path());
    EXPECT_FALSE(directory.isOpen());
    EXPECT_EQ(directory.next(), std::nullopt);
}

} // namespace
} // namespace kelvo::test
