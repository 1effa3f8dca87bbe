#include "settings/field_registry.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

// The command line takes what the panel and the setup dialogs can set, and says what
// that is when it refuses a value; a refused value changes nothing.
TEST(FieldRanges, SetFieldTakesWhatThePanelCanSet)
{
    const struct {
        std::string assignment;
        const char* error; // empty: taken; nullptr: not finite
    } cases[] = {
        {"Waveform=16", ""},
        {"Waveform=0", "Waveform takes 1 to 16, not \"0\""},
        {"Waveform=99", "Waveform takes 1 to 16, not \"99\""},
        {"Waveform=1e9", "Waveform takes 1 to 16, not \"1e9\""},
        {"Waveform=2.5", "Waveform takes whole numbers (1 to 16), not \"2.5\""},
        {"ChanMode=99", "ChanMode takes 1 to 6, not \"99\""},
        {"SampleRate=0", "SampleRate takes 11025 to 192000, not \"0\""},
        {"SampleRate=12345", ""},
        {"Bits=24", "Bits takes 16, not \"24\""},
        {"Freq=1e400", "\"1e400\" is not a finite number (Freq takes 1 to 96000)"},
        {"Freq=-1e400", "\"-1e400\" is not a finite number (Freq takes 1 to 96000)"},
        {"Freq=&H" + std::string(300, 'F'), nullptr},
        {"Freq=96000.5", "Freq takes 1 to 96000, not \"96000.5\""},
        {"LevelL=0.1", "LevelL takes -200 to 0, not \"0.1\""},
        {"PhaseR=360", ""},
        {"FreqStep=5", "FreqStep takes one of 0.1, 1, 10, 100, 1000, not \"5\""},
        {"WaveBuildLength=10", ""},
        {"PulseCount=10000.4", "PulseCount takes 1 to 10000, not \"10000.4\""},
        {"AmCarrierFreq=9", "AmCarrierFreq takes 10 to 95000, not \"9\""},
        {"SweepStartPhase=360", "SweepStartPhase takes 0 to 359, not \"360\""},
        {"SweepStepTime=0.009", "SweepStepTime takes 0.01 to 20, not \"0.009\""},
        {"MultiCount=1", "MultiCount takes 2 to 100, not \"1\""},
        {"MultiFreq[2]=-1e39", "MultiFreq takes single-precision numbers, not \"-1e39\""},
        {"UserStepPeriod[1]=-1", "UserStepPeriod takes 0 or more, not \"-1\""},
        {"ArbTable[400]=150", "ArbTable takes -150 to 149, not \"150\""},
        {"FourierAmp[24]=-1e300", ""},
        {"OutDevice=-2", "OutDevice takes -1 to 32767, not \"-2\""},
    };
    for (const auto& c : cases) {
        SignalSettings s;
        const SignalSettings before = s;
        const std::string error = SetField(s, c.assignment);
        if (c.error == nullptr) {
            EXPECT_NE(error.find("is not a finite number"), std::string::npos) << error;
        } else {
            EXPECT_EQ(error, c.error) << c.assignment;
        }
        if (!error.empty()) {
            EXPECT_EQ(s.Freq, before.Freq) << c.assignment;
        }
    }
}

// Range and rounding are data that an entry box can bind to by the field's name.
TEST(FieldRanges, FindFieldDescribesAndReachesEachField)
{
    SignalSettings s;
    const FieldInfo* steps = FindField("SweepSteps");
    ASSERT_NE(steps, nullptr);
    EXPECT_EQ(steps->rounding, Rounding::Whole);
    EXPECT_EQ(steps->rangeText(), "1 to 100");
    EXPECT_TRUE(steps->accepts(100));
    EXPECT_FALSE(steps->accepts(100.5));
    EXPECT_EQ(FindField("SweepStepTime")->rounding, Rounding::Single);
    EXPECT_EQ(FindField("MultiFreq")->rounding, Rounding::Single);
    EXPECT_EQ(FindField("Freq")->rounding, Rounding::None);
    EXPECT_EQ(FindField("Frequency"), nullptr);

    const FieldInfo* level = FindField("LevelR");
    ASSERT_EQ(level->shape, FieldShape::Slotted);
    ASSERT_EQ(SetField(s, "LevelR[4]=-6.5"), "");
    EXPECT_EQ(*std::get<double*>(*level->at(s, 4)), -6.5);
    EXPECT_EQ(std::get<double*>(*level->at(s, std::nullopt)), &s.LevelR[0]);
    EXPECT_FALSE(level->at(s, 11));
    EXPECT_FALSE(FindField("MultiFreq")->at(s, std::nullopt));

    // Typed into a single-precision field, a value takes the float it rounds to.
    ASSERT_EQ(SetField(s, "MultiFreq[2]=1234.5678"), "");
    EXPECT_EQ(s.MultiFreq[2], 1234.5677490234375);
}

} // namespace
} // namespace kelvo
