#include "settings/memory_table.h"
#include "settings/setup_file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

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
