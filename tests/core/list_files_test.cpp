#include "settings/list_text.h"
#include "settings/settings_files.h"
#include "settings/text_rules.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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
    EXPECT_EQ(s.UserStepFreq[2], 600);
    EXPECT_EQ(s.UserStepPeriod[2], 2);
    EXPECT_EQ(s.UserStepFreq[3], 33);

    const SignalSettings before = s;
    for (const char* name : {"missing.usl", "."}) {
        const ListFileLoad failed = LoadUserStepList(s, folder / name);
        EXPECT_FALSE(failed.read) << name;
        EXPECT_NE(failed.problem.find((folder / name).string()), std::string::npos) << failed.problem;
        EXPECT_EQ(s.UserStepCount, before.UserStepCount);
        EXPECT_EQ(s.UserStepFreq, before.UserStepFreq);
    }
    EXPECT_NE(LoadUserStepList(s, folder / "missing.usl").problem.find("No such file"), std::string::npos);

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

TEST(ListFiles, TheBoxesTakeEverySingleValueTheFilesWrite)
{
    const float largest = std::numeric_limits<float>::max();
    const float smallest = std::numeric_limits<float>::denorm_min();
    SignalSettings s;
    StoreMultitoneText(s, FormatFileNumber(largest) + "\n" + FormatFileNumber(-smallest) + "\n");
    EXPECT_EQ(s.MultiFreq[1], largest);
    EXPECT_EQ(s.MultiFreq[2], -smallest);
    // What the box then shows stores back the same.
    SignalSettings again;
    StoreMultitoneText(again, MultitoneText(s));
    EXPECT_EQ(again.MultiFreq, s.MultiFreq);
}

} // namespace
} // namespace kelvo::test
