#include "settings/memories.h"
#include "settings/settings_files.h"
#include "settings/text_file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cfloat>

namespace kelvo::test {
namespace {

std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

// Texts the playlist file can hold: UTF-8, backslashes, commas, blanks, single quotes, the longest.
const std::string kAcceptedTexts[] = {"/m\xc3\xbcsik/Gr\xc3\xbc\xc3\x9f" "e \xe6\x9d\xb1\xe4\xba\xac.wav", "C:\\music\\a, b.wav",
                                      "  lead and trail\t ", "'single' quotes", std::string(kTextFieldLimit, 'x'), ""};

// Every saved value differs from its start value and is awkward: fractions, extremes, -0, texts.
SignalSettings Unusual()
{
    SignalSettings s;
    VisitMainSettings(s, [n = 0.0](auto& field) mutable {
        using T = std::remove_reference_t<decltype(field)>;
        field = static_cast<T>(std::is_floating_point_v<T> ? field * 1.1 + 0.1 + n : field + 7 + n);
        n += 1;
    });
    s.Freq[3] = 1.0 / 3;
    s.PhaseR[0] = -0.0;
    s.SweepStepTime = FLT_MAX;
    s.UserStepCount = 3;
    s.UserStepFreq = {0, 1000.5, 2000, 1e-5};
    s.UserStepPeriod = {0, 0.25, 1.0 / 7, 12};
    s.MultiCount = 100;
    for (int k = 1; k <= kListMax; ++k)
        s.MultiFreq[k] = 20 + k * 0.7;
    for (std::size_t k = 0; k < std::size(kAcceptedTexts); ++k)
        s.PlaylistPath[k] = s.PlaylistName[k + 100] = kAcceptedTexts[k];
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
    VisitMainSettings(s, [&](const auto& field) { bits.emplace_back(reinterpret_cast<const char*>(&field), sizeof field); });
    return bits;
}

TEST(SettingsFiles, RoundTripRestoresEveryValueBitForBit)
{
    TempFolder folder;
    const SignalSettings saved = Unusual();
    ASSERT_EQ(SaveSettings(saved, folder.path()), "");
    SignalSettings loaded;
    EXPECT_TRUE(LoadSettings(loaded, folder.path()).empty());
    EXPECT_EQ(MainFileBits(loaded), MainFileBits(saved));
    const auto lists = [](const SignalSettings& s) {
        return std::tie(s.UserStepCount, s.UserStepFreq, s.UserStepPeriod, s.MultiCount, s.MultiFreq, s.PlaylistPath,
                        s.PlaylistName, s.PlaylistSel, s.ArbTable, s.FourierAmp);
    };
    EXPECT_TRUE(lists(loaded) == lists(saved));
    for (const std::string& text : kAcceptedTexts)
        EXPECT_EQ(PlaylistEntryRefusal(text, text), "");
}

TEST(SettingsFiles, WritesTheFixedLayouts)
{
    TempFolder folder;
    SignalSettings s;
    s.MultiCount = 2;
    ASSERT_EQ(SaveSettings(s, folder.path()), "");
    const std::string main = ReadFile(folder / "Kelvo.ini");
    EXPECT_EQ(std::count(main.begin(), main.end(), '\n'), 149);
    EXPECT_TRUE(main.starts_with(Lines({"1", "3", "44100", "16", "-20", "-20", "1000", "1000", "0", "0"})));
    EXPECT_NE(main.find(Lines({"100", "20", "1", "200", "2000"})), std::string::npos);
    EXPECT_EQ(ReadFile(folder / "Klvmultitone.ini"), Lines({"2", "400", "1000"}));
    EXPECT_EQ(ReadFile(folder / "Klvuser.ini"), Lines({"0"}));
    const std::string playlist = ReadFile(folder / "playlist.lst");
    EXPECT_EQ(std::count(playlist.begin(), playlist.end(), '\n'), 403);
    EXPECT_TRUE(playlist.starts_with("\"\"\r\n\"\"\r\n"));
    const std::string arb = ReadFile(folder / "arbdata.dat");
    EXPECT_EQ(std::count(arb.begin(), arb.end(), '\n'), 425);
    EXPECT_TRUE(arb.ends_with("0\r\n0\r\n0\r\n"));

    // A folder that cannot be written is reported file by file.
    const std::string errors = SaveSettings(s, folder / "no" / "such");
    EXPECT_NE(errors.find("Kelvo.ini"), std::string::npos);
    EXPECT_NE(errors.find("arbdata.dat"), std::string::npos);
}

// Short files load what they hold and keep every other value; list counts are limited to 0..100.
TEST(SettingsFiles, ShortFilesLoadWhatTheyHold)
{
    TempFolder folder;
    SignalSettings source;
    source.Freq[7] = 12.5;
    source.LevelStep = 0.1;
    source.BurstOnTime = 99;
    ASSERT_EQ(SaveSettings(source, folder.path()), "");
    const std::string main = ReadFile(folder / "Kelvo.ini");
    std::size_t cut = 0;
    for (int line = 0; line < 112; ++line) // up to LevelStep
        cut = main.find('\n', cut) + 1;
    WriteFile(folder / "Kelvo.ini", main.substr(0, cut));
    WriteFile(folder / "Klvmultitone.ini", Lines({"2", "250", "2500"}));
    std::string huge = Lines({"100000"});
    for (int k = 1; k <= 150; ++k)
        huge += Lines({std::to_string(k), std::to_string(k) + ".5"});
    WriteFile(folder / "Klvuser.ini", huge);

    SignalSettings s;
    s.MultiFreq[3] = 1234;
    LoadSettings(s, folder.path());
    EXPECT_EQ(std::tuple(s.Freq[7], s.LevelStep, s.WaveBuildLength, s.BurstOnTime), std::tuple(12.5, 0.1, 1.0, 20.0));
    EXPECT_EQ(std::tuple(s.MultiCount, s.MultiFreq[1], s.MultiFreq[2], s.MultiFreq[3]), std::tuple(2, 250.0, 2500.0, 1234.0));
    EXPECT_EQ(std::tuple(s.UserStepCount, s.UserStepFreq[100], s.UserStepPeriod[100]), std::tuple(100, 100.0, 100.5));
    // An integer line halves to even (one that then does not fit is in the damage table).
    WriteFile(folder / "Klvmultitone.ini", Lines({"-4", "1"}));
    WriteFile(folder / "Kelvo.ini", Lines({"2.5", "3.5", "-2147483648.5"}));
    LoadSettings(s, folder.path());
    EXPECT_EQ(std::tuple(s.MultiCount, s.MultiFreq[1]), std::tuple(0, 250.0));
    EXPECT_EQ(std::tuple(s.Waveform[0], s.ChanMode[0], s.SampleRate[0]), std::tuple(2, 4, -2147483648));
}

TEST(Memories, CopySlotIgnoresSlotsThatDoNotExist)
{
    SignalSettings s;
    s.LevelL[3] = -3;
    CopySlot(s, 3, 0);
    CopySlot(s, 0, 11);
    CopySlot(s, -1, 0);
    EXPECT_EQ(s.LevelL[0], -3);
}

TEST(TextFieldReader, ReadsQuotedAndUnquotedFieldsOverAnyLineEnd)
{
    TempFolder folder;
    WriteFile(folder / "f.txt", "  \"a, b\"  ,plain , 3\r\n\"\"\rlast\n\"open");
    TextFieldReader in(folder / "f.txt");
    for (const char* field : {"a, b", "plain", "3", "", "last", "open"})
        EXPECT_EQ(in.next(), field);
    EXPECT_EQ(in.next(), std::nullopt);
    EXPECT_FALSE(TextFieldReader(folder.path()).isOpen());
}

} // namespace
} // namespace kelvo::test
