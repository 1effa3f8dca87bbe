#include "core/arb/digitise.h"
#include "core/arb/harmonic_sets.h"
#include "core/arb/wave_shapes.h"
#include "core/settings/settings_files.h"
#include "support/test_support.h"

#include <cmath>
#include <limits>
#include <utility>

namespace kelvo::test {
namespace {

using Points = std::vector<std::pair<int, std::int32_t>>;

TEST(WaveShapes, PresetsGiveTheRowsComputedByHand)
{
    const struct {
        PresetShape shape;
        double percent;
        std::int32_t cycles;
        Points expected;
    } cases[] = {
        // 70 sin(2 pi i / 400): 70 sin(pi / 4) = 49.50 and 70 sin(2 pi / 400) = 1.0995.
        {PresetShape::Sine, 50, 1, {{0, 0}, {1, 1}, {50, 49}, {100, 70}, {200, 0}, {300, -70}}},
        // -70 |sin(pi i / 400)|: -70 sin(pi / 4) = -49.50.
        {PresetShape::Haversine, 50, 1, {{100, -49}, {200, -70}, {300, -49}}},
        {PresetShape::Haversine, 100, 3, {{67, -140}, {200, -140}, {333, -140}}},
        // -450 / 6.28318 = -71.62, -900 / 6.28318 = -143.24; the far tail is 0.026 rows.
        {PresetShape::Gauss, 50, 7, {{1, 0}, {150, -43}, {200, -72}}},
        {PresetShape::Gauss, 100, 1, {{200, -143}, {400, 0}}},
    };
    for (const auto& c : cases) {
        const CurveRows rows = PresetCurve(c.shape, c.percent, c.cycles);
        for (const auto& [i, value] : c.expected)
            EXPECT_EQ(rows[static_cast<std::size_t>(i)], value) << "shape " << static_cast<int>(c.shape) << " i " << i;
    }
    // Two periods of square wave at 140 rows (the editor's test reads them back): four half-periods.
    const CurveRows square = PresetCurve(PresetShape::Square, 100, 2);
    int changes = 0;
    for (std::size_t i = 2; i <= 400; ++i)
        changes += square[i] != square[i - 1];
    EXPECT_EQ(square[1], 140);
    EXPECT_EQ(changes, 3);
}

TEST(WaveShapes, CurveRowsRoundHalvesToEvenAndStayBounded)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, std::int32_t> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-0.4, 0}, {1e10, kCurveRowLimit}, {-inf, -kCurveRowLimit}, {nan, 0}};
    for (const auto& [rows, expected] : cases)
        EXPECT_EQ(CurveRow(rows), expected) << rows;
}

TEST(WaveShapes, FourierRoundsTheRunningSumAfterEveryHarmonic)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        std::vector<std::pair<int, double>> amps; // harmonic, amplitude
        double percent;
        Points expected;
    } cases[] = {
        // At i = 100 harmonics 1, 5 and 9 each add 0.4 rows: every step rounds back to 0.
        {"small steps vanish", {{1, 0.4 / 140}, {5, 0.4 / 140}, {9, 0.4 / 140}}, 100, {{100, 0}}},
        // 0.6 rounds to 1, 1.6 to 2, 2.6 to 3, where the plain sum 1.8 would give 2.
        {"small steps add up", {{1, 0.6 / 140}, {5, 0.6 / 140}, {9, 0.6 / 140}}, 100, {{100, 3}}},
        {"a huge amplitude stays bounded", {{1, 1e10}, {2, 1e10}}, 100, {{100, kCurveRowLimit}, {300, -kCurveRowLimit}}},
        {"an amplitude that is not a number draws nothing of it", {{1, nan}, {3, 0.5}}, 100, {{100, -70}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FourierAmps amps{};
        for (const auto& [n, amp] : c.amps)
            amps[static_cast<std::size_t>(n)] = amp;
        const CurveRows rows = FourierCurve(amps, c.percent, 1);
        for (const auto& [i, value] : c.expected)
            EXPECT_EQ(rows[static_cast<std::size_t>(i)], value) << "i " << i;
    }
}

// Set 1's name and amplitude are the editor's test.
TEST(HarmonicSets, TwelveSetsWithRowsTenAndTwelveComputed)
{
    const auto sets = HarmonicSets();
    ASSERT_EQ(sets.size(), 12u);
    const std::pair<std::size_t, std::vector<std::pair<int, double>>> cases[] = {
        // harmonic, as the boxes show it
        {0, {{1, 1.2732}, {2, 0}, {23, 0.0554}, {24, 0}}},
        {9, {{1, 1}, {2, 0.707106781186547}, {3, 0.5}, {14, 0.0110485434560398}, {15, 0}}},
        {11, {{1, 1}, {2, -0.5}, {3, 0}, {4, 0.25}, {6, -0.166666666666667}, {20, 0.05}, {22, 0}}},
    };
    for (const auto& [key, amps] : cases) {
        SignalSettings s;
        ApplyHarmonicSet(s, sets[key]);
        for (const auto& [n, amp] : amps)
            EXPECT_EQ(s.FourierAmp[static_cast<std::size_t>(n)], amp) << "set " << key << " H" << n;
    }
}

TEST(FourierFile, HoldsTheTwentyFourAmplitudesAsTheTailOfTheArbitraryDataFile)
{
    TempFolder folder;
    SignalSettings s;
    ApplyHarmonicSet(s, HarmonicSets()[6]);
    ASSERT_EQ(SaveFourierList(s, folder / "set7.for"), "");
    std::string zeros;
    for (int i = 0; i < kArbTableSize; ++i)
        zeros += "0\r\n";
    const std::string expected = "1\r\n0\r\n0.1\r\n0\r\n0.03\r\n0\r\n0.01\r\n0\r\n0.003\r\n0\r\n0.001\r\n0\r\n"
                                 "0.0003\r\n0\r\n0.0001\r\n" +
                                 zeros.substr(0, 9 * 3); // H16 to H24 are 0
    EXPECT_EQ(ReadFile(folder / "set7.for"), expected);
    ASSERT_EQ(SaveSettings(s, folder.path()), "");
    EXPECT_EQ(ReadFile(folder / "arbdata.dat"), zeros + expected);

    // A short file gives the harmonics it lists and no others, without a word of damage.
    WriteFile(folder / "short.for", "-0.5\r\n.25e1\r\n");
    const ListFileLoad load = LoadFourierList(s, folder / "short.for");
    EXPECT_TRUE(load.read);
    EXPECT_EQ(load.problem, "");
    EXPECT_EQ(std::vector(&s.FourierAmp[1], &s.FourierAmp[4]), (std::vector<double>{-0.5, 2.5, 0}));
}

// Only pure white counts, whatever the alpha byte; beyond a picture's pixels or its span is background.
// (The drawings themselves are the editor's test, through the mouse.)
TEST(Digitise, ReadsPureWhiteOnlyAndNothingBeyondThePixels)
{
    std::vector<std::uint32_t> pixels(40 * 30, 0xFF000000u);
    auto at = [&](int x, int y) -> std::uint32_t& { return pixels[static_cast<std::size_t>(y * 40 + x)]; };
    at(3, 5) = 0xFFFEFFFFu; // near white
    at(3, 9) = 0x00FFFFFFu; // white, transparent
    at(4, 2) = 0xFFFFFFFEu;
    at(39, 0) = 0xFFFFFFFFu;
    const ArbValues table = Digitise({pixels, 40, 30, 40});
    const std::pair<int, std::int32_t> expected[] = {{2, 0}, {3, -141}, {4, -141}, {38, -141}, {39, -150}, {400, -150}};
    for (const auto& [index, value] : expected)
        EXPECT_EQ(table[static_cast<std::size_t>(index)], value) << index;

    EXPECT_EQ(Digitise({{}, kViewWidth, kViewHeight, kViewWidth}), ArbValues{}) << "an empty viewport";
    const std::vector<std::uint32_t> row(10, 0xFFFFFFFFu);
    const ArbValues clipped = Digitise({row, kViewWidth, kViewHeight, kViewWidth});
    EXPECT_EQ(clipped[9], -150);
    EXPECT_EQ(clipped[400], -150);
}

} // namespace
} // namespace kelvo::test
