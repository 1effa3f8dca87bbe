#include "settings/entry_rules.h"
#include "settings/field_registry.h"
#include "settings/text_rules.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
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
        {"ToneFreq1", "96000", 96000}, {"ToneFreq1", "96000.5", 1000},
        {"PulseCount", "2.5", 2}, {"PulseCount", "3.5", 4},
        {"PulseCount", "10000.4", 5}, // the range is tested before the rounding
        {"MultiCount", "1", 3}, {"MultiCount", "101", 3}, {"MultiCount", "100", 100},
        {"SweepStepTime", "1.23456789", 1.234568}, // a single-precision box shows seven digits
    };
    for (const auto& c : cases) {
        SignalSettings s;
        const FieldInfo& info = *FindField(c.field);
        TakeEntry(s, info, c.text);
        EXPECT_DOUBLE_EQ(std::stod(EntryText(s, info)), c.expected) << c.field << " <- \"" << c.text << "\"";
    }
}

TEST(EntryRules, CodesOutsideTheirRangeSelectNothingAndChangeNothing)
{
    SignalSettings s;
    const FieldInfo& kind = *FindField("SweepKind");
    EXPECT_TRUE(SetFieldCode(s, kind, 3));
    EXPECT_FALSE(SetFieldCode(s, kind, 7));
    EXPECT_EQ(s.SweepKind, 3);
    s.NoiseType = 5; // from a damaged file
    EXPECT_EQ(FieldCode(s, *FindField("NoiseType")), 5);
    EXPECT_FALSE(FindField("NoiseType")->accepts(5));
}

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ParseLeadingNumber, ReadsTheLeadingNumberCorrectlyRounded)
{
    const std::pair<std::string, double> cases[] = {
        {"1 000", 1000}, {"\t4\n4", 44}, {"- 3", -3}, {"\r5", 0}, {"12abc", 12}, {"1,5", 1}, {"-20 dB", -20},
        {"&H10", 16}, {"&hff", 255}, {"&O17", 15}, {"&H", 0}, {"&O9", 0}, {"", 0}, {"abc", 0}, {"-", 0}, {".", 0},
        {"1E3", 1000}, {"1e-5", 1e-5}, {".5", 0.5}, {"-.5", -0.5}, {"5.", 5}, {"+7", 7}, {"1E", 1}, {"2E+", 2},
        {"0.30000000000000004", 0.30000000000000004}, {"1E999", kInf}, {"-1E999", -kInf}, {"1E-999", 0},
        {std::string(400, '9'), kInf},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseLeadingNumber(text), value) << '"' << text << '"';
}

// The screen shows up to 15 digits; files keep the shortest form that reads back the same.
TEST(FormatNumber, ScreenAndFileForms)
{
    const struct {
        double value;
        const char* screen;
        const char* file;
    } cases[] = {
        {0.1 + 0.2, "0.3", "0.30000000000000004"}, {-0.0, "0", "-0"},
        {123456789012345.0, "123456789012345", "123456789012345"}, {1e15, "1E+15", "1E+15"},
        {1e-5, "0.00001", "0.00001"}, {1.5e-6, "1.5E-06", "1.5E-06"}, {2.5e100, "2.5E+100", "2.5E+100"},
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

// Every value of the record as text, element by element.
std::string AllValues(SignalSettings& s)
{
    std::string all;
    for (const FieldInfo& field : Fields()) {
        for (std::int64_t i = -1; i < 401; ++i) {
            const auto ref = field.at(s, i < 0 ? std::nullopt : std::optional(i));
            if (!ref)
                continue;
            std::visit([&](auto* p) {
                if constexpr (std::is_same_v<decltype(p), std::string*>)
                    all += *p + "|";
                else
                    all += FormatFileNumber(static_cast<double>(*p)) + "|";
            }, *ref);
        }
    }
    return all;
}

// The command line takes what the panel and dialogs can set, says what that is when it refuses
// a value (one row for each kind of rule), and a refused assignment changes nothing.
TEST(SetField, TakesWhatThePanelCanSetAndRefusesTheRestExactly)
{
    const struct {
        std::string assignment;
        std::string error; // empty: taken
    } cases[] = {
        {"Freq=440.5", ""}, {"Waveform[10]=11", ""}, {"LevelR[4]=-6.5", ""}, {"MultiFreq[2]=1234.5678", ""},
        {"SweepStepTime=0.1", ""}, {"PlaylistPath[200]=/tmp/a b.wav", ""}, {"OutDevice=-1", ""},
        {"SampleRate=12345", ""}, {"PhaseR=360", ""}, {"FourierAmp[24]=-1e300", ""},
        {"Frequency=1", "unknown field \"Frequency\""},
        {"Freq", "\"Freq\" is not of the form Field=Value"},
        {"Freq=", "\"\" is not a number (Freq takes 1 to 96000)"},
        {"Freq=1x", "\"1x\" is not a number (Freq takes 1 to 96000)"},
        {"Freq[1=2", "\"Freq[1\" has no valid index in brackets"},
        {"Waveform[11]=1", "index 11 is outside the field Waveform"},
        {"Waveform[-1]=1", "index -1 is outside the field Waveform"},
        {"MultiFreq=1", "the field MultiFreq needs an index, as in MultiFreq[1]"},
        {"Waveform=0", "Waveform takes 1 to 16, not \"0\""},
        {"Waveform=2.5", "Waveform takes whole numbers (1 to 16), not \"2.5\""},
        {"Bits=24", "Bits takes 16, not \"24\""},
        {"Freq=-1e400", "\"-1e400\" is not a finite number (Freq takes 1 to 96000)"},
        {"Freq=&H" + std::string(300, 'F'), "\"&H" + std::string(300, 'F') + "\" is not a finite number (Freq takes 1 to 96000)"},
        {"FreqStep=5", "FreqStep takes one of 0.1, 1, 10, 100, 1000, not \"5\""},
        {"PulseCount=10000.4", "PulseCount takes 1 to 10000, not \"10000.4\""},
        {"SweepStepTime=1e300", "SweepStepTime takes 0.01 to 20, not \"1e300\""},
        {"MultiCount=40000", "MultiCount takes 2 to 100, not \"40000\""},
        {"MultiFreq[2]=-1e39", "MultiFreq takes single-precision numbers, not \"-1e39\""},
        {"UserStepPeriod[1]=-1", "UserStepPeriod takes 0 or more, not \"-1\""},
        {"PlaylistName[1]=say \"hi\"",
         "PlaylistName cannot take a text that holds a double quote: the settings files cannot hold it"},
    };
    SignalSettings s;
    for (const auto& c : cases) {
        const std::string before = AllValues(s);
        EXPECT_EQ(SetField(s, c.assignment), c.error) << c.assignment;
        EXPECT_TRUE(c.error.empty() || AllValues(s) == before) << c.assignment << " changed a value";
    }
    EXPECT_EQ(s.Freq[0], 440.5);
    EXPECT_EQ(s.Freq[1], 1000);
    EXPECT_EQ(s.FreqR[0], 1000);
    EXPECT_EQ(s.Waveform[10], 11);
    EXPECT_EQ(s.MultiFreq[2], 1234.5677490234375); // rounded to single precision, as a dialog's list is
    EXPECT_EQ(s.FourierAmp[24], -1e300);
}

TEST(SetField, KnowsEveryFieldOfTheRecord)
{
    SignalSettings s;
    for (const auto name : FieldNames()) {
        const FieldInfo* field = FindField(name);
        ASSERT_NE(field, nullptr) << name;
        const std::string value = std::isinf(field->min) ? "1" : FormatNumber(field->min);
        const std::string index = field->shape == FieldShape::List ? "[1]" : "";
        EXPECT_EQ(SetField(s, std::string(name) + index + "=" + value), "") << name;
    }
}

TEST(SetFields, TheRightFrequencyFollowsUnlessGiven)
{
    SignalSettings s;
    EXPECT_EQ(SetFields(s, {"Freq=440", "Freq[3]=50", "FreqR[3]=60", "FreqR[4]=70", "Freq[4]=80"}), "");
    EXPECT_EQ(s.FreqR[0], 440);
    EXPECT_EQ(s.FreqR[3], 60);
    EXPECT_EQ(s.FreqR[4], 70);
    EXPECT_EQ(SetFields(s, {"Freq=300", "Bad=1", "Freq=400"}), "Bad=1: unknown field \"Bad\"");
    EXPECT_EQ(s.Freq[0], 300);
}

} // namespace
} // namespace kelvo::test
