#include "settings/list_text.h"
#include "settings/memory_table.h"
#include "settings/settings_files.h"
#include "settings/setup_file.h"
#include "settings/text_rules.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

namespace kelvo::test {
namespace {

TEST(ListFiles, AShortFileKeepsWhatItLacksAndAnUnreadableOneChangesNothing)
{
    TempFolder folder;
    SignalSettings s;
    s.UserStepFreq = {0, 11, 22, 33, 44};
    s.UserStepPeriod = {0, 1, 2, 3, 4};
    WriteFile(folder / "short.usl", "4\r\n500\r\n0.5\r\n600\r\n");
    const ListFileLoad shortFile = LoadUserStepList(s, folder / "short.usl");
    EXPECT_TRUE(shortFile.read);
    EXPECT_NE(shortFile.problem.find("short.usl\" is damaged"), std::string::npos) << shortFile.problem;
    EXPECT_EQ(s.UserStepCount, 4);
    EXPECT_EQ(std::vector(&s.UserStepFreq[1], &s.UserStepFreq[4]), (std::vector<double>{500, 600, 33}));
    EXPECT_EQ(s.UserStepPeriod[2], 2);

    const SignalSettings before = s;
    for (const char* name : {"missing.usl", "."}) {
        const ListFileLoad failed = LoadUserStepList(s, folder / name);
        EXPECT_FALSE(failed.read) << name;
        EXPECT_NE(failed.problem.find((folder / name).string()), std::string::npos) << failed.problem;
        EXPECT_EQ(s.UserStepFreq, before.UserStepFreq);
    }

    const std::string error = SaveUserStepList(s, folder / "no" / "such.usl");
    EXPECT_NE(error.find("such.usl"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(folder / "no"));
}

TEST(ListFiles, TheSavedCountIsTheTypedWholeNumberWithinWhatAListHolds)
{
    const std::pair<const char*, std::optional<std::int16_t>> cases[] = {
        {"5", 5}, {"2.5", 2}, {"3.5", 4}, {"1", 1}, {"0", 0}, {"-7", 0}, {"101", 100},
        {"1e999", 100}, {" 1 2 ", 12}, {"7 tones", 7}, {"", std::nullopt}, {"abc", std::nullopt},
    };
    for (const auto& [text, count] : cases)
        EXPECT_EQ(ListCountFromText(text), count) << text;
}

TEST(ListText, TokensEndAtCommasAndEveryKindOfLineBreakAndDropQuotes)
{
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"100,1\r\n200,2\r\n", {"100", "1", "200", "2"}},
        {"100,1\n200,2\n", {"100", "1", "200", "2"}},       // a text box gives LF alone
        {"100,1\r200,2\r", {"100", "1", "200", "2"}},
        {"100,1\r\n200,2", {"100", "1", "200"}},            // no token after the last break
        {"\"100\",'1'\r", {"100", "1"}},
        {"100,,\r\n", {"100", "", ""}},
        {" 7 ,abc\n", {" 7 ", "abc"}},
    };
    for (const auto& [text, tokens] : cases)
        EXPECT_EQ(ListTokens(text), tokens) << text;
    EXPECT_EQ(ListTokens(std::string(300, ',')).size(), kMaxListTokens);
}

TEST(ListText, ProcessTableFillsStepsAsTheSweepSetupStoresThem)
{
    SignalSettings s;
    s.SweepSteps = 10;
    s.UserStepFreq[7] = 555;
    ProcessTable(s, "100,1\n200,0\n300,-2\n400,\n1234.5678,abc\n");
    EXPECT_EQ(s.UserStepCount, 10);
    EXPECT_EQ(std::vector(&s.UserStepFreq[1], &s.UserStepFreq[8]),
              (std::vector<double>{100, 200, 300, 400, 1234.5677490234375, 0, 0}));
    // 0 and below become 1; empty stays 0.
    EXPECT_EQ(std::vector(&s.UserStepPeriod[1], &s.UserStepPeriod[8]), (std::vector<double>{1, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(StepTableText(s, 3), "100 , 1\r\n200 , 1\r\n300 , 1\r\n");
    EXPECT_EQ(StepTableText(s, 5).substr(StepTableText(s, 4).size()), "1234.56774902344 , 0\r\n");
    s.SweepSteps = 500;
    ProcessTable(s, "");
    EXPECT_EQ(StepTableText(s, s.SweepSteps).size(), 100 * std::string("0 , 0\r\n").size());
}

TEST(ListText, MultitoneStoreKeepsPositionsTheCountAndEverySingleValueTheFilesWrite)
{
    SignalSettings s;
    s.MultiCount = 3;
    StoreMultitoneText(s, "400\nabc\n1300\n2000");
    EXPECT_EQ(s.MultiCount, 3);
    // "abc" is 0 Hz and nothing shifts; 2000 has no line break after it: not a token.
    EXPECT_EQ(std::vector(&s.MultiFreq[1], &s.MultiFreq[5]), (std::vector<double>{400, 0, 1300, 0}));
    EXPECT_EQ(MultitoneText(s), "400\r\n0\r\n1300\r\n");

    const float largest = std::numeric_limits<float>::max();
    const float smallest = std::numeric_limits<float>::denorm_min();
    StoreMultitoneText(s, FormatFileNumber(largest) + "\n" + FormatFileNumber(-smallest) + "\n");
    EXPECT_EQ(s.MultiFreq[1], largest);
    EXPECT_EQ(s.MultiFreq[2], -smallest);
    SignalSettings again; // what the box then shows stores back the same
    StoreMultitoneText(again, MultitoneText(s));
    EXPECT_EQ(again.MultiFreq, s.MultiFreq);
}

TEST(MemoryTable, ListsTheTenMemoriesByteForByteInFixedColumns)
{
    SignalSettings s;
    const std::string sine = "    1000  44100   L+R            Sine                   16   -20   -20\r\n";
    std::string expected = "  Mem   Freq  S Rate  Mode          Waveform              Bits   Lvol  Rvol\r\n\r\n";
    for (int m = 1; m <= 9; ++m)
        expected += "   " + std::to_string(m) + sine;
    EXPECT_EQ(MemoryTableText(s), expected + "  10" + sine);

    const struct {
        std::int32_t waveform, chanMode;
        double freq, levelL;
        const char* row; // of memory 4
    } cases[] = {
        {16, 6, 0.25, -3.5, "   4    0.25  44100   User Defined   User                   16   -3.5   -20\r\n"},
        // Codes only a damaged file holds show as their numbers, padded the same way.
        {-2147483647 - 1, 7, 1000, -20, "   4    1000  44100   7              -2147483648            16   -20   -20\r\n"},
    };
    const std::size_t row4 = expected.find("   4 ");
    for (const auto& c : cases) {
        s.Waveform[4] = c.waveform;
        s.ChanMode[4] = c.chanMode;
        s.Freq[4] = c.freq;
        s.LevelL[4] = c.levelL;
        EXPECT_EQ(MemoryTableText(s), expected.substr(0, row4) + c.row + expected.substr(row4 + sine.size() + 4) +
                                          "  10" + sine);
    }
}

TEST(SetupFile, IsTakenOnlyWholeAndOtherwiseChangesNothingAndSaysWhereAndWhy)
{
    TempFolder folder;
    std::string values;
    for (int line = 1; line <= 114; ++line)
        values += (line == 7 ? "2000" : "1") + std::string("\r\n");
    const auto replaced = [&](int line, const std::string& value) {
        const std::size_t at = 3 * (line - 1) + (line > 7 ? 3 : 0);
        return values.substr(0, at) + value + values.substr(values.find("\r\n", at));
    };
    const struct {
        std::string contents;
        const char* reason;
    } cases[] = { // a short file is the window's test
        {values, ""},
        {replaced(7, "abc"), "is damaged (line 7: \"abc\" is not a number)"},
        {replaced(113, "40000"), "is damaged (line 113: \"40000\" is outside -32768 to 32767)"},
        {replaced(114, "1e999"), "is damaged (line 114: \"1e999\" is not a finite number)"},
    };
    for (const auto& c : cases) {
        WriteFile(folder / "setup.ini", c.contents);
        SignalSettings s;
        const std::string problem = LoadSetupFile(s, folder / "setup.ini");
        EXPECT_EQ(problem, *c.reason ? "\"" + (folder / "setup.ini").string() + "\" " + c.reason : "");
        EXPECT_EQ(s.Freq[0], *c.reason ? 1000 : 2000) << c.reason;
        EXPECT_EQ(s.OutDevice, *c.reason ? 0 : 1) << c.reason;
    }
    SignalSettings s;
    EXPECT_NE(LoadSetupFile(s, folder / "missing.ini").find("cannot be read: No such file"), std::string::npos);
}

} // namespace
} // namespace kelvo::test
