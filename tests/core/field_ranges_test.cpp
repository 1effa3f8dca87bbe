#include "settings/field_registry.h"
#include "settings/text_rules.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvo {
namespace {

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
} // namespace kelvo
