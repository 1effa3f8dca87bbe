#include "core/settings/entry_rules.h"
#include "core/settings/field_registry.h"
#include "core/settings/list_text.h"
#include "core/settings/memory_table.h"
#include "core/settings/settings_files.h"
#include "core/settings/setup_file.h"
#include "core/settings/text_rules.h"
#include "support/test_support.h"

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
        {"ToneAmp2", "", 0},         // empty reads as 0, which the range holds
        {"AmCarrierFreq", "", 1000}, // 0 lies below 10: kept
        {"ToneFreq1", "96000", 96000}, {"ToneFreq1", "96000.5", 1000},
        {"PulseCount", "2.5", 2},      {"PulseCount", "3.5", 4},
        {"PulseCount", "10000.4", 5}, // the range is tested before the rounding
        {"MultiCount", "1", 3},        {"MultiCount", "101", 3},
        {"MultiCount", "100", 100},    {"SweepStepTime", "1.23456789", 1.234568}, // a single-precision box shows seven digits
        {"BurstCycles", "6.7", 6.5},   {"BurstCycles", "6.8", 7},                 // half cycles
        {"BurstCycles", "0.9", 6.5},   {"SweepSeconds", "12.5", 12.5},
        {"SweepSeconds", "0.05", 0},   {"SweepSeconds", "", 0}, // below the range, or not set
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
    EXPECT_FALSE(SetFieldCode(s, kind, 8));
    EXPECT_EQ(s.SweepKind, 3);
    s.NoiseType = 5; // from a damaged file
    EXPECT_EQ(FieldCode(s, *FindField("NoiseType")), 5);
    EXPECT_FALSE(FindField("NoiseType")->accepts(5));
}

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ParseLeadingNumber, ReadsTheLeadingNumberCorrectlyRounded)
{
    const std::pair<std::string, double> cases[] = {
        {"1 000", 1000}, {"\t4\n4", 44},    {"- 3", -3},    {"\r5", 0},    {"12abc", 12},
        {"1,5", 1},      {"-20 dB", -20},   {"&H10", 16},   {"&hff", 255}, {"&O17", 15},
        {"&H", 0},       {"&O9", 0},        {"", 0},        {"abc", 0},    {"-", 0},
        {".", 0},        {"1E3", 1000},     {"1e-5", 1e-5}, {".5", 0.5},   {"-.5", -0.5},
        {"5.", 5},       {"+7", 7},         {"1E", 1},      {"2E+", 2},    {"0.30000000000000004", 0.30000000000000004},
        {"1E999", kInf}, {"-1E999", -kInf}, {"1E-999", 0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseLeadingNumber(text), value) << '"' << text << '"';
    EXPECT_EQ(ParseLeadingNumber(std::string(400, '9')), kInf);
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

// Every value of the record as text, element by element.
std::string AllValues(SignalSettings& s)
{
    std::string all;
    for (const FieldInfo& field : Fields()) {
        for (std::int64_t i = -1; i < 401; ++i) {
            const auto ref = field.at(s, i < 0 ? std::nullopt : std::optional(i));
            if (!ref)
                continue;
            std::visit(
                [&](auto* p) {
                    if constexpr (std::is_same_v<decltype(p), std::string*>)
                        all += *p + "|";
                    else
                        all += FormatFileNumber(static_cast<double>(*p)) + "|";
                },
                *ref);
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
        std::string error;
    } cases[] = {
        {"SampleRate=192001", "SampleRate takes 11025 to 192000, not \"192001\""},
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
        {"Bits=20", "Bits takes one of 16, 24, 32, not \"20\""},
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
    // SampleRate=192000 is the panel's and the setups' highest rate.
    for (const char* taken : {"Freq=440.5", "Waveform[10]=11", "LevelR[4]=-6.5", "MultiFreq[2]=1234.5678", "SweepStepTime=0.1",
                              "PlaylistPath[200]=/tmp/a b.wav", "OutDevice=-1", "SampleRate=12345", "PhaseR=360",
                              "FourierAmp[24]=-1e300", "SampleRate=192000"})
        EXPECT_EQ(SetField(s, taken), "") << taken;
    const std::string before = AllValues(s);
    for (const auto& c : cases) {
        EXPECT_EQ(SetField(s, c.assignment), c.error) << c.assignment;
        EXPECT_TRUE(AllValues(s) == before) << c.assignment << " changed a value";
    }
    // MultiFreq is rounded to single precision, as a dialog's list is.
    EXPECT_EQ(std::tuple(s.Freq[0], s.Freq[1], s.FreqR[0], s.Waveform[10], s.MultiFreq[2], s.FourierAmp[24]),
              std::tuple(440.5, 1000.0, 1000.0, 11, 1234.5677490234375, -1e300));

    for (const auto name : FieldNames()) { // every field is found and takes its own minimum
        const FieldInfo* field = FindField(name);
        ASSERT_NE(field, nullptr) << name;
        const std::string value = std::isinf(field->min) ? "1" : FormatNumber(field->min);
        const std::string index = field->shape == FieldShape::List ? "[1]" : "";
        EXPECT_EQ(SetField(s, std::string(name) + index + "=" + value), "") << name;
    }
    // A list of assignments: the right frequency follows unless given; the first refusal stops it.
    SignalSettings t;
    EXPECT_EQ(SetFields(t, {"Freq=440", "Freq[3]=50", "FreqR[3]=60", "FreqR[4]=70", "Freq[4]=80"}), "");
    EXPECT_EQ(std::tuple(t.FreqR[0], t.FreqR[3], t.FreqR[4]), std::tuple(440, 60, 70));
    EXPECT_EQ(SetFields(t, {"Freq=300", "Bad=1", "Freq=400"}), "Bad=1: unknown field \"Bad\"");
    EXPECT_EQ(t.Freq[0], 300);
}

// A list file is loaded whole or not at all, and a damaged one says which line is wrong.
TEST(ListFiles, ADamagedOrUnreadableListChangesNothing)
{
    TempFolder folder;
    SignalSettings s;
    s.UserStepFreq = {0, 11, 22, 33, 44};
    s.UserStepPeriod = {0, 1, 2, 3, 4};
    s.MultiFreq = {0, 100, 350, 700};
    // The file, its text and what the load says.
    const std::tuple<const char*, const char*, const char*> damaged[] = {
        {"short.usl", "4\r\n500\r\n0.5\r\n600\r\n", "short.usl\" is damaged (it ends after line 4)"},
        {"bad line.mtf", "3\r\n111\r\nabc\r\n333\r\n", "bad line.mtf\" is damaged (line 3: \"abc\" is not a number)"},
    };
    for (const auto& [name, text, problem] : damaged) {
        WriteFile(folder / name, text);
        const SignalSettings before = s;
        const ListFileLoad load =
            std::string_view(name).ends_with(".usl") ? LoadUserStepList(s, folder / name) : LoadMultitoneList(s, folder / name);
        EXPECT_FALSE(load.read) << name;
        EXPECT_NE(load.problem.find(problem), std::string::npos) << load.problem;
        EXPECT_TRUE(std::tie(s.UserStepFreq, s.MultiFreq, s.UserStepCount, s.MultiCount) ==
                    std::tie(before.UserStepFreq, before.MultiFreq, before.UserStepCount, before.MultiCount))
            << name;
    }

    // A missing file is the sweep setup's test.
    const SignalSettings before = s;
    const ListFileLoad folderLoad = LoadUserStepList(s, folder / ".");
    EXPECT_FALSE(folderLoad.read);
    EXPECT_NE(folderLoad.problem.find((folder / ".").string()), std::string::npos) << folderLoad.problem;
    EXPECT_EQ(s.UserStepFreq, before.UserStepFreq);
    const std::string error = SaveUserStepList(s, folder / "no" / "such.usl");
    EXPECT_NE(error.find("such.usl"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(folder / "no"));
}

TEST(ListFiles, TheSavedCountIsTheTypedWholeNumberWithinWhatAListHolds)
{
    const std::pair<const char*, std::optional<std::int16_t>> cases[] = {
        {"5", 5},     {"2.5", 2},     {"3.5", 4},    {"1", 1},       {"0", 0},           {"-7", 0},
        {"101", 100}, {"1e999", 100}, {" 1 2 ", 12}, {"7 tones", 7}, {"", std::nullopt}, {"abc", std::nullopt},
    };
    for (const auto& [text, count] : cases)
        EXPECT_EQ(ListCountFromText(text), count) << text;
}

TEST(ListText, TokensEndAtCommasAndEveryKindOfLineBreakAndDropQuotes)
{
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"100,1\r\n200,2\r\n", {"100", "1", "200", "2"}},
        {"100,1\n200,2\n", {"100", "1", "200", "2"}}, // a text box gives LF alone
        {"100,1\r200,2\r", {"100", "1", "200", "2"}},
        {"100,1\r\n200,2", {"100", "1", "200"}}, // no token after the last break
        {"\"100\",'1'\r", {"100", "1"}},
        {"100,,\r\n", {"100", "", ""}},
        {" 7 ,abc\n", {" 7 ", "abc"}},
    };
    for (const auto& [text, tokens] : cases)
        EXPECT_EQ(ListTokens(text), tokens) << text;
    EXPECT_EQ(ListTokens(std::string(300, ',')).size(), kMaxListTokens);
    EXPECT_EQ(ListTokens(std::string(300, ','), kMaxStepTokens).size(), kMaxStepTokens);
}

TEST(ListText, StoreStepTableFillsStepsAsTheSweepSetupStoresThem)
{
    SignalSettings s;
    s.SweepSteps = 10;
    s.UserStepFreq[7] = 555;
    StoreStepTable(s, "100,1\n200,0\n300,-2\n400,\n1234.5678,abc\n");
    EXPECT_EQ(s.UserStepCount, 10);
    EXPECT_EQ(std::vector(&s.UserStepFreq[1], &s.UserStepFreq[8]),
              (std::vector<double>{100, 200, 300, 400, 1234.5677490234375, 0, 0}));
    // 0 and below become 1; empty stays 0.
    EXPECT_EQ(std::vector(&s.UserStepPeriod[1], &s.UserStepPeriod[8]), (std::vector<double>{1, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(StepTableText(s, 3), "100 , 1\r\n200 , 1\r\n300 , 1\r\n");
    EXPECT_EQ(StepTableText(s, 5).substr(StepTableText(s, 4).size()), "1234.56774902344 , 0\r\n");
    // A full table of 100 steps storing back whole is the sweep setup's test.
    s.SweepSteps = 500;
    StoreStepTable(s, "");
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
        std::int32_t bits;
        const char* row; // of memory 4
    } cases[] = {
        {16, 6, 0.25, -3.5, 16, "   4    0.25  44100   User Defined   User                   16   -3.5   -20\r\n"},
        {1, 3, 1000, -20, 32, "   4    1000  44100   L+R            Sine                   32f   -20   -20\r\n"},
        // Codes only a damaged file holds show as their numbers, padded the same way.
        {-2147483647 - 1, 7, 1000, -20, 16, "   4    1000  44100   7              -2147483648            16   -20   -20\r\n"},
    };
    const std::size_t row4 = expected.find("   4 ");
    for (const auto& c : cases) {
        s.Waveform[4] = c.waveform;
        s.ChanMode[4] = c.chanMode;
        s.Freq[4] = c.freq;
        s.LevelL[4] = c.levelL;
        s.Bits[4] = c.bits;
        EXPECT_EQ(MemoryTableText(s), expected.substr(0, row4) + c.row + expected.substr(row4 + sine.size() + 4) + "  10" + sine);
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
    } cases[] = {
        // a short file is the window's test
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
