#include "oscillator/rendered_copy.h"
#include "settings/memory_table.h"
#include "settings/settings_files.h"
#include "settings/setup_file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>


namespace kelvo::test {
namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const auto end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The setup file text of a record, for comparing records value by value.
std::string SetupText(const SignalSettings& s, const TempFolder& folder)
{
    const auto path = folder / "compare.ini";
    EXPECT_EQ(SaveSetupFile(s, path), "");
    return ReadFile(path);
}

TEST(MemoryTable, TenStartSinesAreListedByteForByte)
{
    const SignalSettings s;
    const std::string sine = "    1000  44100   L+R            Sine                   16   -20   -20\r\n";
    std::string expected = "  Mem   Freq  S Rate  Mode          Waveform              Bits   Lvol  Rvol\r\n\r\n";
    for (int m = 1; m <= 9; ++m)
        expected += "   " + std::to_string(m) + sine;
    expected += "  10" + sine;
    EXPECT_EQ(MemoryTableText(s), expected);
}

TEST(MemoryTable, EachRowNamesItsModeAndWaveformInFixedColumns)
{
    const struct {
        std::int32_t waveform, chanMode;
        double freq, levelL;
        const char* row; // memory 4
    } cases[] = {
        {13, 3, 1000, -20, "   4    1000  44100   L+R            Amplitude Modulation   16   -20   -20"},
        {16, 6, 440, -3.5, "   4    440  44100   User Defined   User                   16   -3.5   -20"},
        {10, 5, 0.25, 0, "   4    0.25  44100   Quadrature     Multitone              16   0   -20"},
        {1, 0, 1000, -20, "   4    1000  44100   L+R            Sine                   16   -20   -20"},
        // Codes only a damaged file holds show as their numbers, padded the same way.
        {0, 7, 1000, -20, "   4    1000  44100   7              0                      16   -20   -20"},
        {-2147483647 - 1, -1, 1000, -20, "   4    1000  44100   -1             -2147483648            16   -20   -20"},
    };
    for (const auto& c : cases) {
        SignalSettings s;
        s.Waveform[4] = c.waveform;
        s.ChanMode[4] = c.chanMode;
        s.Freq[4] = c.freq;
        s.LevelL[4] = c.levelL;
        const auto lines = Lines(MemoryTableText(s));
        ASSERT_EQ(lines.size(), 12u);
        EXPECT_EQ(lines[5], c.row);
        EXPECT_EQ(lines[4], std::string(lines[6]).replace(3, 1, "3")) << "other memories are untouched";
    }
}

// A record whose 114 setup values all differ from the start values and from each other.
SignalSettings Unusual()
{
    SignalSettings s;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        s.Waveform[slot] = 1 + slot;
        s.ChanMode[slot] = 1 + slot % 6;
        s.SampleRate[slot] = 8000 + slot;
        s.Bits[slot] = slot % 2 == 0 ? 8 : 24;
        s.LevelL[slot] = -0.1 * slot - 1;
        s.LevelR[slot] = -1.0 / 3 - slot;
        s.Freq[slot] = 1234.5678901234567 + slot;
        s.FreqR[slot] = 1e-7 * (slot + 1);
        s.PhaseL[slot] = 90 + slot;
        s.PhaseR[slot] = -45.25 - slot;
    }
    s.FreqStep = 0.1;
    s.LevelStep = 10;
    s.OutDevice = 2;
    s.WaveBuildLength = 100;
    return s;
}

TEST(SetupFile, SaveThenLoadRestoresEverySlotBothStepsTheDeviceAndTheLength)
{
    TempFolder folder;
    const SignalSettings saved = Unusual();
    ASSERT_EQ(SaveSetupFile(saved, folder / "mine.ini"), "");
    const std::string text = ReadFile(folder / "mine.ini");
    const auto lines = Lines(text);
    ASSERT_EQ(lines.size(), 114u);
    EXPECT_EQ(lines[0], "1");           // Waveform(0)
    EXPECT_EQ(lines[6], "1234.5678901234567"); // Freq(0) keeps every digit
    EXPECT_EQ(lines[112], "2");         // OutDevice
    EXPECT_EQ(lines[113], "100");       // WaveBuildLength

    // The first 112 lines are those of Kelvo.ini; the rest differ.
    ASSERT_EQ(SaveSettings(saved, folder.path()), "");
    const auto main = Lines(ReadFile(folder / "Kelvo.ini"));
    EXPECT_EQ(std::vector(main.begin(), main.begin() + 112), std::vector(lines.begin(), lines.begin() + 112));
    EXPECT_NE(main[112], lines[112]);

    SignalSettings loaded;
    ASSERT_EQ(LoadSetupFile(loaded, folder / "mine.ini"), "");
    EXPECT_EQ(SetupText(loaded, folder), text);
    EXPECT_EQ(loaded.Freq[10], saved.Freq[10]);
    EXPECT_EQ(loaded.OutDevice, 2);
    EXPECT_EQ(loaded.WaveBuildLength, 100);
    // Only setup values are taken: the rest of the record stays.
    EXPECT_EQ(loaded.LegacyDriver, 0);
    EXPECT_EQ(loaded.SweepEndFreq, SignalSettings{}.SweepEndFreq);
}

TEST(SetupFile, CommasAndBlanksSeparateValuesToo)
{
    TempFolder folder;
    std::string text;
    for (int value = 0; value < 110; ++value)
        text += value % 10 == 9 ? " 7 \n" : " 3 ,";
    WriteFile(folder / "commas.ini", text + "10\r\n1\r\n-1\r\n10\r\n");
    SignalSettings s;
    ASSERT_EQ(LoadSetupFile(s, folder / "commas.ini"), "");
    EXPECT_EQ(s.Waveform[10], 3);
    EXPECT_EQ(s.PhaseR[10], 7);
    EXPECT_EQ(s.FreqStep, 10);
    EXPECT_EQ(s.OutDevice, -1);
    EXPECT_EQ(s.WaveBuildLength, 10);
}

TEST(SetupFile, AFileThatCannotBeTakenWholeChangesNothingAndSaysWhereAndWhy)
{
    TempFolder folder;
    const std::string good = ReadFile([&] {
        EXPECT_EQ(SaveSetupFile(Unusual(), folder / "good.ini"), "");
        return folder / "good.ini";
    }());
    const auto lines = Lines(good);
    auto join = [](std::vector<std::string> values) {
        std::string text;
        for (const auto& value : values)
            text += value + "\r\n";
        return text;
    };
    auto replaced = [&](std::size_t index, const std::string& value) {
        auto changed = lines;
        changed[index] = value;
        return join(changed);
    };
    const struct {
        std::string contents;
        const char* reason;
    } cases[] = {
        {join({lines.begin(), lines.end() - 1}), "is damaged (it ends after line 113)"},
        {"", "is damaged (it is empty)"},
        {replaced(6, "abc"), "is damaged (line 7: \"abc\" is not a number)"},
        {replaced(113, "10 s"), "is damaged (line 114: \"10 s\" is not a number)"},
        {replaced(112, "40000"), "is damaged (line 113: \"40000\" is outside -32768 to 32767)"},
        {replaced(0, "1e999"), "is damaged (line 1: \"1e999\" is not a finite number)"},
    };
    const SignalSettings start;
    const std::string before = SetupText(start, folder);
    for (const auto& c : cases) {
        WriteFile(folder / "bad.ini", c.contents);
        SignalSettings s;
        EXPECT_EQ(LoadSetupFile(s, folder / "bad.ini"), "\"" + (folder / "bad.ini").string() + "\" " + c.reason);
        EXPECT_EQ(SetupText(s, folder), before) << c.reason;
    }
    SignalSettings s;
    EXPECT_EQ(LoadSetupFile(s, folder / "missing.ini"),
              "\"" + (folder / "missing.ini").string() + "\" cannot be read: No such file or directory");
    EXPECT_NE(SaveSetupFile(s, folder / "no" / "such.ini").find("such.ini"), std::string::npos);
}

TEST(ResetToDefaults, DeletesTheThreeSettingsFilesAndNothingElse)
{
    for (const bool present : {true, false}) {
        TempFolder folder;
        const char* kept[] = {"playlist.lst", "arbdata.dat", "test.wav", "stop.wav", "Kelvo.ini.bak"};
        for (const char* name : kept)
            WriteFile(folder / name, "x");
        if (present) {
            for (const char* name : {"Kelvo.ini", "Klvuser.ini", "Klvmultitone.ini"})
                WriteFile(folder / name, "1\r\n");
        }
        DeleteSettingsFiles(folder.path());
        for (const char* name : {"Kelvo.ini", "Klvuser.ini", "Klvmultitone.ini"})
            EXPECT_FALSE(std::filesystem::exists(folder / name)) << name;
        for (const char* name : kept)
            EXPECT_EQ(ReadFile(folder / name), "x") << name;
    }
}

TEST(SaveWavefile, CopiesTheRenderedSignalOrSaysThereIsNone)
{
    TempFolder folder;
    const auto target = folder / "kept.wav";
    WriteFile(target, "old contents");
    EXPECT_EQ(CopyRenderedSignal(folder.path(), target),
              "No signal has been rendered yet, so there is nothing to save: switch a signal on first.");
    EXPECT_EQ(ReadFile(target), "old contents");

    const std::string rendered(1000, 'w');
    WriteFile(folder / "test.wav", rendered);
    EXPECT_EQ(CopyRenderedSignal(folder.path(), target), "");
    EXPECT_EQ(ReadFile(target), rendered);
    EXPECT_EQ(CopyRenderedSignal(folder.path(), folder / "test.wav"), "");
    EXPECT_EQ(ReadFile(folder / "test.wav"), rendered);
    EXPECT_NE(CopyRenderedSignal(folder.path(), folder / "missing" / "x.wav").find("x.wav"), std::string::npos);
}

} // namespace
} // namespace kelvo::test
