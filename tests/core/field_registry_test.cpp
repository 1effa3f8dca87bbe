#include "settings/field_registry.h"
#include "settings/text_rules.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvo {
namespace {

TEST(SetField, ReachesScalarsSlotsAndListEntries)
{
    SignalSettings s;
    EXPECT_EQ(SetField(s, "Freq=440.5"), "");
    EXPECT_EQ(s.Freq[0], 440.5);
    EXPECT_EQ(s.Freq[1], 1000);
    EXPECT_EQ(SetField(s, "Waveform[10]=11"), "");
    EXPECT_EQ(s.Waveform[10], 11);
    EXPECT_EQ(SetField(s, "MultiFreq[3]=1300.25"), "");
    EXPECT_EQ(s.MultiFreq[3], 1300.25);
    EXPECT_EQ(SetField(s, "SweepStepTime=0.1"), "");
    EXPECT_EQ(s.SweepStepTime, 0.1f);
    EXPECT_EQ(SetField(s, "OutDevice=-1"), "");
    EXPECT_EQ(s.OutDevice, -1);
    EXPECT_EQ(SetField(s, "PlaylistPath[200]=/tmp/a b.wav"), "");
    EXPECT_EQ(s.PlaylistPath[200], "/tmp/a b.wav");
    EXPECT_EQ(SetField(s, "LevelL=-1E-3"), "");
    EXPECT_EQ(s.LevelL[0], -0.001);
}

TEST(SetField, RefusesWhatItCannotStoreAndChangesNothing)
{
    SignalSettings s;
    const SignalSettings before = s;
    for (const char* bad : {"Frequency=1", "Freq", "Freq=", "Freq=1x", "Waveform=2.5",
                            "MultiCount=40000", "Waveform[11]=1", "Waveform[-1]=1", "MultiFreq=1",
                            "Freq[1=2", "Freq[a]=2", "SweepStepTime=1e300", "FreqStep[2]=1"}) {
        EXPECT_NE(SetField(s, bad), "") << bad;
    }
    EXPECT_EQ(s.Freq, before.Freq);
    EXPECT_EQ(s.Waveform, before.Waveform);
    EXPECT_EQ(s.MultiCount, before.MultiCount);
    EXPECT_EQ(s.SweepStepTime, before.SweepStepTime);
    EXPECT_NE(SetField(s, "Frequency=1").find("unknown field"), std::string::npos);
}

TEST(SetField, KnowsEveryFieldOfTheRecord)
{
    SignalSettings s;
    for (const auto name : FieldNames()) {
        const FieldInfo* field = FindField(name);
        ASSERT_NE(field, nullptr) << name;
        const std::string value = std::isinf(field->min) ? "1" : FormatNumber(field->min);
        const std::string index = SetField(s, std::string(name) + "=" + value) == "" ? "" : "[1]";
        EXPECT_EQ(SetField(s, std::string(name) + index + "=" + value), "") << name;
    }
}

TEST(SetFields, TheRightFrequencyFollowsUnlessGiven)
{
    SignalSettings s;
    EXPECT_EQ(SetFields(s, {"Freq=440", "Freq[3]=50", "FreqR[3]=60"}), "");
    EXPECT_EQ(s.FreqR[0], 440);
    EXPECT_EQ(s.Freq[3], 50);
    EXPECT_EQ(s.FreqR[3], 60);
    EXPECT_EQ(SetFields(s, {"FreqR=100", "Freq=200"}), "");
    EXPECT_EQ(s.FreqR[0], 100);
    EXPECT_EQ(SetFields(s, {"Freq=300", "Bad=1", "Freq=400"}), "Bad=1: unknown field \"Bad\"");
    EXPECT_EQ(s.Freq[0], 300);
}

} // namespace
} // namespace kelvo
