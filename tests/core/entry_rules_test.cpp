#include "settings/entry_rules.h"
#include "settings/text_rules.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

namespace kelvo::test {
namespace {

TEST(EntryRules, EveryChangeIsReadRangeTestedThenRounded)
{
    const struct {
        const char* field;
        const char* text;
        double expected; // what the box shows after the text, from its start value
    } cases[] = {
        {"ToneAmp2", "", 0},                  // empty reads as 0, which the range holds
        {"AmCarrierFreq", "", 1000},          // 0 lies below 10: kept
        {"ToneFreq1", "96000", 96000},
        {"ToneFreq1", "96000.5", 1000},
        {"PulseCount", "2.5", 2},
        {"PulseCount", "3.5", 4},
        {"PulseCount", "10000.4", 5},         // the range is tested before the rounding
        {"MultiCount", "1", 3},
        {"MultiCount", "101", 3},
        {"MultiCount", "100", 100},
        {"SweepStepTime", "1.23456789", 1.234568}, // a single-precision box shows seven digits
    };
    for (const auto& c : cases) {
        SignalSettings s;
        const FieldInfo& info = *FindField(c.field);
        TakeEntry(s, info, c.text);
        const std::string shown = EntryText(s, info);
        EXPECT_DOUBLE_EQ(std::stod(shown), c.expected) << c.field << " <- \"" << c.text << "\"";
    }
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

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ParseLeadingNumber, ReadsTheLeadingNumberCorrectlyRounded)
{
    const struct {
        std::string text;
        double value;
    } cases[] = {
        {"1 000", 1000}, {"\t4\n4", 44}, {"- 3", -3}, {"\r5", 0}, {"12abc", 12}, {"1,5", 1}, {"-20 dB", -20},
        {"&H10", 16}, {"&hff", 255}, {"&O17", 15}, {"&H", 0}, {"&O9", 0}, {"", 0}, {"abc", 0}, {"-", 0}, {".", 0},
        {"1E3", 1000}, {"1e-5", 1e-5}, {".5", 0.5}, {"-.5", -0.5}, {"5.", 5}, {"+7", 7}, {"1E", 1}, {"2E+", 2},
        {"0.30000000000000004", 0.30000000000000004}, {"1E999", kInf}, {"-1E999", -kInf}, {"1E-999", 0},
        {std::string(400, '9'), kInf},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseLeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

// The screen shows up to 15 digits; files keep the shortest form that reads back the same.
TEST(FormatNumber, ScreenAndFileForms)
{
    const struct {
        double value;
        const char* screen;
        const char* file;
    } cases[] = {
        {0.1 + 0.2, "0.3", "0.30000000000000004"},
        {-0.0, "0", "-0"},
        {123456789012345.0, "123456789012345", "123456789012345"},
        {1e15, "1E+15", "1E+15"},
        {1e-5, "0.00001", "0.00001"},
        {1.5e-6, "1.5E-06", "1.5E-06"},
        {2.5e100, "2.5E+100", "2.5E+100"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatNumber(c.value), c.screen);
        EXPECT_EQ(FormatFileNumber(c.value), c.file);
    }
    EXPECT_EQ(FormatNumber(0.1f), "0.1");
    EXPECT_EQ(FormatFileNumber(0.3f), "0.3");
    EXPECT_EQ(FormatNumber(std::int32_t{44100}), "44100");

    for (const double value : {1.0 / 3, 9.999e-6, 123456789.123456789, DBL_MAX, DBL_MIN, 5e-324, -6.0206, 2.0 / 3 * 1e20}) {
        const std::string text = FormatFileNumber(value);
        EXPECT_EQ(ParseLeadingNumber(text), value) << text;
        EXPECT_EQ(text.find_first_of("e,"), std::string::npos) << text;
    }
    EXPECT_EQ(static_cast<float>(ParseLeadingNumber(FormatFileNumber(0.3f))), 0.3f);
}

} // namespace
} // namespace kelvo::test
