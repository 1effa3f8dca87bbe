#include "core/settings/memories.h"
#include "core/settings/settings_files.h"
#include "core/settings/text_file.h"
#include "support/oscillator_rig.h"

#include <cfloat>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

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
const std::string kAcceptedTexts[] = {"/m\xc3\xbcsik/Gr\xc3\xbc\xc3\x9f"
                                      "e \xe6\x9d\xb1\xe4\xba\xac.wav",
                                      "C:\\music\\a, b.wav",
                                      "  lead and trail\t ",
                                      "'single' quotes",
                                      std::string(kTextFieldLimit, 'x'),
                                      ""};

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
    // playlist.lst and arbdata.dat are the playlist's and the Fourier file's tests.
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
    WriteFile(folder / "Klvmultitone.ini", "2\n250\r2500"); // any line end, or none at the end
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
    for (const auto& [from, to] : {std::pair{3, 0}, {0, 11}, {-1, 0}})
        CopySlot(s, from, to);
    EXPECT_EQ(s.LevelL[0], -3);
}

// The saved main settings file with line `line` (1-based) replaced.
std::string MainFileWith(int line, const std::string& text)
{
    TempFolder folder;
    EXPECT_EQ(SaveSettings(SignalSettings{}, folder.path()), "");
    std::string main = ReadFile(folder / "Kelvo.ini");
    std::size_t start = 0;
    for (int k = 1; k < line; ++k)
        start = main.find('\n', start) + 1;
    return main.replace(start, main.find('\r', start) - start, text);
}

// Runs `body` without root's right to read every file, so mode 000 really cannot be read.
std::string RunUnprivileged(const std::filesystem::path& folder, const std::function<std::string()>& body)
{
    if (::geteuid() != 0)
        return body();
    std::filesystem::permissions(folder, std::filesystem::perms::all);
    const auto result = folder / "result.txt";
    const pid_t child = ::fork();
    if (child == 0) {
        WriteFile(result, ::setgid(65534) == 0 && ::setuid(65534) == 0 ? body() : "cannot drop root");
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    const std::string text = ReadFile(result);
    std::filesystem::remove(result);
    return text;
}

// The options file: Name=Value lines in any order, every default when it is missing, and the
// lines of options this version does not know written back behind its own.
TEST(SettingsFiles, TheOptionsFileKeepsWhatItDoesNotKnow)
{
    TempFolder folder;
    SignalSettings s;
    EXPECT_TRUE(LoadSettings(s, folder.path()).empty());
    EXPECT_EQ(s.Dither + s.WholeCycles, 0);
    ASSERT_EQ(SaveSettings(s, folder.path()), "");
    const std::string rest = "BandLimited=0\r\nBurstWindow=0\r\nBurstCycles=6.5\r\nSweepSeconds=0\r\nSweepFadeMs=5\r\n"
                             "LevelReference=0\r\nLevelUnit=0\r\nCalVoltsL=0\r\nCalVoltsR=0\r\nLevelLimit=0\r\n"
                             "SeamlessChanges=0\r\nRemotePort=0\r\n";
    EXPECT_EQ(ReadFile(folder / "Klvoptions.ini"), "Dither=0\r\nWholeCycles=0\r\n" + rest);

    WriteFile(folder / "Klvoptions.ini", "WholeCycles=1\r\n\r\nSpareOption=5025\r\nDither=1\n");
    EXPECT_TRUE(LoadSettings(s, folder.path()).empty());
    EXPECT_EQ(s.Dither * 10 + s.WholeCycles, 11);
    ASSERT_EQ(SaveSettings(s, folder.path()), "");
    EXPECT_EQ(ReadFile(folder / "Klvoptions.ini"), "Dither=1\r\nWholeCycles=1\r\n" + rest + "SpareOption=5025\r\n");
    EXPECT_TRUE(LoadSettings(s, folder.path()).empty());
    EXPECT_EQ(s.UnknownOptions, std::vector<std::string>{"SpareOption=5025"}) << "read twice, kept once";
}

// A file that cannot be read whole is reported once, with its name and why; the first save
// keeps it as .bak beside a new file that reads back clean, and the second keeps that copy.
TEST(SettingsDamage, IsReportedAndKeptAsBakByTheFirstSave)
{
    // File, contents (or "<folder>", "<fifo>", "<1 GiB>") and the reason reported.
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"Kelvo.ini", MainFileWith(7, "1e400"), "is damaged (line 7: \"1e400\" is not a finite number)"},
        {"Kelvo.ini", MainFileWith(3, "fast"), "is damaged (line 3: \"fast\" is not a number)"},
        {"Kelvo.ini", MainFileWith(3, std::string(50, 'x')),
         "is damaged (line 3: \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\" is not a number)"},
        {"Kelvo.ini", MainFileWith(3, "2147483647.5"),
         "is damaged (line 3: \"2147483647.5\" is outside -2147483648 to 2147483647)"},
        {"Klvmultitone.ini", "3\r\n400\r\n", "is damaged (it ends after line 2)"},
        {"Klvuser.ini", "150\r\n", "is damaged (line 1: \"150\" is a count outside 0 to 100)"},
        {"playlist.lst", "\"C:\\music\\say \"hi\".wav\"\r\n\"say\"\r\n",
         "is damaged (line 1: the text holds a double quote, which the file cannot hold)"},
        {"arbdata.dat", "<folder>", "is not a regular file"},
        {"Kelvo.ini", "<fifo>", "is not a regular file"},
        {"Kelvo.ini", "<1 GiB>", "is larger than any settings file Kelvo writes (1073741824 bytes)"},
        {"Klvoptions.ini", "WholeCycles=1\r\nDither=2\r\n", "is damaged (line 2: Dither takes 0 to 1, not \"2\")"},
        {"Klvoptions.ini", "Dither\r\n", "is damaged (line 1: \"Dither\" is not Name=Value)"},
    };
    for (const auto& [name, contents, reason] : cases) {
        SCOPED_TRACE(reason);
        TempFolder folder;
        const auto file = folder / name;
        if (contents == "<folder>")
            std::filesystem::create_directory(file);
        else if (contents == "<fifo>")
            ::mkfifo(file.c_str(), 0644);
        else
            WriteFile(file, contents == "<1 GiB>" ? "1" : contents);
        if (contents == "<1 GiB>")
            std::filesystem::resize_file(file, std::uintmax_t{1} << 30);
        SignalSettings loaded;
        auto problems = LoadSettings(loaded, folder.path());
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].file, name);
        EXPECT_EQ(problems[0].reason, reason);
        EXPECT_EQ(loaded.Freq[0], 1000);

        const auto kept = std::filesystem::symlink_status(file).type();
        const auto backup = folder / (std::string(name) + ".bak");
        ASSERT_EQ(SaveSettings(loaded, folder.path(), &problems), "");
        EXPECT_TRUE(problems.empty());
        EXPECT_EQ(std::filesystem::symlink_status(backup).type(), kept);
        SignalSettings reloaded;
        EXPECT_TRUE(LoadSettings(reloaded, folder.path()).empty());
        ASSERT_EQ(SaveSettings(reloaded, folder.path(), &problems), "");
        EXPECT_EQ(std::filesystem::symlink_status(backup).type(), kept);
    }
}

// The reported case: an unreadable Kelvo.ini is named once at start and kept whole by EXIT.
TEST(SettingsDamage, AnUnreadableMainFileSurvivesStartAndExit)
{
    TempFolder folder;
    SignalSettings mine;
    mine.Freq[0] = mine.FreqR[0] = 440;
    ASSERT_EQ(SaveSettings(mine, folder.path()), "");
    const std::string original = ReadFile(folder / "Kelvo.ini");
    std::filesystem::permissions(folder / "Kelvo.ini", std::filesystem::perms::none);

    const std::string shown = RunUnprivileged(folder.path(), [&] {
        OscillatorRig rig(folder.path());
        rig.oscillator.Start();
        rig.oscillator.Exit();
        std::string all;
        for (const auto& text : rig.messages.shown)
            all += text + "|";
        return all;
    });
    EXPECT_EQ(shown, "\"" + (folder / "Kelvo.ini").string() +
                         "\" cannot be read: Permission denied.\nStart values are used for what cannot be read. "
                         "The first save keeps the file as Kelvo.ini.bak beside the new one.|");
    std::filesystem::permissions(folder / "Kelvo.ini.bak", std::filesystem::perms::owner_read);
    EXPECT_EQ(ReadFile(folder / "Kelvo.ini.bak"), original);
    SignalSettings after;
    EXPECT_TRUE(LoadSettings(after, folder.path()).empty());
    EXPECT_EQ(after.Freq[0], 1000);
}

// A text the playlist file cannot hold is refused where it enters; a save writes it empty and says so.
TEST(PlaylistTexts, RefuseWhatTheFileCannotHold)
{
    TempFolder folder;
    const std::pair<std::string, const char*> refused[] = {
        {"C:\\music\\say \"hi\".wav", "holds a double quote"},
        {"two\nlines.wav", "holds a line break"},
        {"cr\r.wav", "holds a line break"},
        {std::string(kTextFieldLimit + 1, 'x'), "is longer than 4096 bytes"},
    };
    for (const auto& [text, refusal] : refused) {
        const std::string tail = std::string(refusal) + ", which the playlist file cannot hold.";
        EXPECT_EQ(PlaylistEntryRefusal("/a.wav", text), "\"/a.wav\" cannot be added to the playlist: its name " + tail);
        EXPECT_EQ(PlaylistEntryRefusal(text, "name"), "\"" + text + "\" cannot be added to the playlist: its path " + tail);
        SignalSettings s;
        s.PlaylistPath[5] = text;
        const std::string errors = SaveSettings(s, folder.path());
        EXPECT_NE(errors.find("playlist.lst\": line 11 is written empty: its text " + std::string(refusal)), std::string::npos)
            << errors;
        SignalSettings back;
        EXPECT_TRUE(LoadSettings(back, folder.path()).empty());
        EXPECT_EQ(back.PlaylistPath[5], "");
    }
}

} // namespace
} // namespace kelvo::test
