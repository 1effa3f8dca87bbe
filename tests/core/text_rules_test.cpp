#include "settings/text_rules.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace kelvo {
namespace {

struct ParseCase {
    const char* text;
    double value;
};

class ParseLeadingNumberTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseLeadingNumberTest, ReadsTheLeadingNumber)
{
    EXPECT_EQ(ParseLeadingNumber(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseLeadingNumberTest,
    ::testing::Values(ParseCase{"1 000", 1000}, ParseCase{"12abc", 12}, ParseCase{"1,5", 1},
                      ParseCase{"&H10", 16}, ParseCase{"&hff", 255}, ParseCase{"&O17", 15},
                      ParseCase{"&H", 0}, ParseCase{"&O9", 0}, ParseCase{"-20 dB", -20},
                      ParseCase{"", 0}, ParseCase{"abc", 0}, ParseCase{"1E3", 1000},
                      ParseCase{"1e-5", 1e-5}, ParseCase{".5", 0.5}, ParseCase{"-.5", -0.5},
                      ParseCase{"+7", 7}, ParseCase{"\t4\n4", 44}, ParseCase{"1E", 1},
                      ParseCase{"2E+", 2}, ParseCase{"-", 0}, ParseCase{".", 0},
                      ParseCase{"1000 Hz", 1000}, ParseCase{"0.1", 0.1}, ParseCase{"5.", 5},
                      ParseCase{"- 3", -3}, ParseCase{"\r5", 0}));

TEST(ParseLeadingNumber, IsCorrectlyRoundedAndSurvivesExtremes)
{
    EXPECT_EQ(ParseLeadingNumber("0.30000000000000004"), 0.30000000000000004);
    EXPECT_EQ(ParseLeadingNumber("1E999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseLeadingNumber("-1E999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseLeadingNumber("1E-999"), 0);
    EXPECT_EQ(ParseLeadingNumber(std::string(400, '9')), std::numeric_limits<double>::infinity());
}

TEST(FormatNumber, ShowsTheShortestFormWithFifteenDigits)
{
    EXPECT_EQ(FormatNumber(1000.0), "1000");
    EXPECT_EQ(FormatNumber(0.5), "0.5");
    EXPECT_EQ(FormatNumber(-20.0), "-20");
    EXPECT_EQ(FormatNumber(0.1), "0.1");
    EXPECT_EQ(FormatNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatNumber(-0.0), "0");
    EXPECT_EQ(FormatNumber(123456789012345.0), "123456789012345");
    EXPECT_EQ(FormatNumber(1e15), "1E+15");
    EXPECT_EQ(FormatNumber(1e-5), "0.00001");
    EXPECT_EQ(FormatNumber(1.5e-6), "1.5E-06");
    EXPECT_EQ(FormatNumber(2.5e100), "2.5E+100");
    EXPECT_EQ(FormatNumber(0.5f), "0.5");
    EXPECT_EQ(FormatNumber(0.1f), "0.1");
    EXPECT_EQ(FormatNumber(std::int32_t{44100}), "44100");
    EXPECT_EQ(FormatNumber(std::int16_t{-1}), "-1");
}

TEST(FormatFileNumber, ReadsBackToTheSameValue)
{
    const double values[] = {0.1, 1.0 / 3, -20, 44100, 1e-5, 9.999e-6, 1e15, 123456789.123456789,
                             DBL_MAX, DBL_MIN, 5e-324, -6.0206, 2.0 / 3 * 1e20};
    for (const double value : values) {
        const std::string text = FormatFileNumber(value);
        EXPECT_EQ(ParseLeadingNumber(text), value) << text;
        EXPECT_EQ(text.find_first_of("e,"), std::string::npos) << text;
    }
    EXPECT_EQ(FormatFileNumber(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(FormatFileNumber(1e20), "1E+20");
    EXPECT_EQ(FormatFileNumber(-1e-7), "-1E-07");
    EXPECT_EQ(FormatFileNumber(0.5f), "0.5");
    EXPECT_EQ(static_cast<float>(ParseLeadingNumber(FormatFileNumber(0.3f))), 0.3f);
    EXPECT_EQ(FormatFileNumber(0.3f), "0.3");
}

} // namespace
} // namespace kelvo
