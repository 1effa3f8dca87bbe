#include "settings/entry_rules.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

TEST(EntryRules, EveryChangeIsReadRangeTestedThenRounded)
{
    struct Case {
        const char* field;
        const char* text;
        double expected; // what the field holds after the text, from its start value
    };
    // How the text reads is the number parser's table.
    const Case cases[] = {
        {"ToneAmp2", "", 0},                  // empty reads as 0, which the range holds
        {"BurstLevelDiff", "", 0},
        {"AmCarrierFreq", "", 1000},          // 0 lies below 10: kept
        {"ToneFreq1", "96000", 96000},
        {"ToneFreq1", "96000.5", 1000},
        {"PulseCount", "2.5", 2},
        {"PulseCount", "3.5", 4},
        {"PulseCount", "1.4", 1},
        {"PulseCount", "10000.4", 5},         // the range is tested before the rounding
        {"SweepStepTime", "0.01", 0.01},
        {"SweepStepTime", "0.009", 0.5},
        {"SweepStartPhase", "359", 359},
        {"SweepStartPhase", "360", 0},
        {"MultiCount", "1", 3},
        {"MultiCount", "101", 3},
        {"MultiCount", "100", 100},
    };
    for (const Case& c : cases) {
        SignalSettings s;
        const FieldInfo& info = *FindField(c.field);
        TakeEntry(s, info, c.text);
        const std::string shown = EntryText(s, info);
        EXPECT_DOUBLE_EQ(std::stod(shown), c.expected) << c.field << " <- \"" << c.text << "\"";
    }
}

TEST(EntryRules, ASinglePrecisionBoxShowsItsValueInSevenDigits)
{
    SignalSettings s;
    TakeEntry(s, *FindField("SweepStepTime"), "1.23456789");
    EXPECT_EQ(EntryText(s, *FindField("SweepStepTime")), "1.234568");
}

TEST(EntryRules, CodesOutsideTheirRangeSelectNothingAndChangeNothing)
{
    SignalSettings s;
    const FieldInfo& kind = *FindField("SweepKind");
    EXPECT_TRUE(SetFieldCode(s, kind, 3));
    EXPECT_EQ(s.SweepKind, 3);
    EXPECT_FALSE(SetFieldCode(s, kind, 7));
    EXPECT_EQ(s.SweepKind, 3);
    s.NoiseType = 5; // from a damaged file
    EXPECT_EQ(FieldCode(s, *FindField("NoiseType")), 5);
    EXPECT_FALSE(FindField("NoiseType")->accepts(5));
}

} // namespace
} // namespace kelvo::test
