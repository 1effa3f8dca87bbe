#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace kelvo::test {
namespace {

constexpr std::int32_t kNoise = 5;

void SetNoise(Renderer& r, std::int32_t type, std::int32_t rate, double levelL, double levelR,
              std::int32_t mode)
{
    r.settings.Waveform[0] = kNoise;
    r.settings.NoiseType = type;
    r.settings.SampleRate[0] = rate;
    r.settings.LevelL[0] = levelL;
    r.settings.LevelR[0] = levelR;
    r.settings.ChanMode[0] = mode;
}

std::vector<Sample> Copy(const SampleBuffer& block)
{
    return {block.begin(), block.end()};
}

std::vector<double> Draws(std::size_t count)
{
    RandomSource random;
    std::vector<double> draws(count);
    for (double& draw : draws)
        draw = random.next();
    return draws;
}

// The untapered value of frame j of one channel's curve (0 left, 1 right), computed from
// the draws of a new process: segment i draws its left and then its right target.
double CurveValue(const std::vector<double>& draws, std::int64_t S, std::int64_t j, int channel,
                  double amp, double gain)
{
    const std::int64_t i = j / S;
    const double k = static_cast<double>(j % S + 1);
    const auto target = [&](std::int64_t segment) {
        return gain * amp * 0.99 * 32767 * draws[static_cast<std::size_t>(2 * segment + channel)];
    };
    const double prev = i == 0 ? 0 : target(i - 1);
    const double half = Nearest(amp * 0.99 * 32767 * gain / 2);
    return Nearest(prev + (target(i) - prev) * k / static_cast<double>(S) - half);
}

// Frames where one channel's curve bends by more than the rounding can account for,
// away from the tapers of the low-frequency kind.
std::vector<std::int64_t> Bends(const Renderer& r, int channel)
{
    std::vector<std::int64_t> bends;
    const auto value = [&](std::int64_t j) { return r.samples()[static_cast<std::size_t>(2 * j + channel)]; };
    const std::int64_t frames = r.upper() / 2;
    for (std::int64_t j = 1001; j + 1001 < frames; ++j)
        if (std::abs(value(j + 1) - 2 * value(j) + value(j - 1)) > 2)
            bends.push_back(j);
    return bends;
}

TEST(WhiteNoise, DrawsLeftThenRightPerFrameWithinTheSpan)
{
    Renderer r;
    SetNoise(r, 0, 44100, 0, 0, 3);
    ASSERT_EQ(r.render(), "");
    const std::int64_t N = r.upper();
    ASSERT_EQ(N, 176400);
    const auto draws = Draws(static_cast<std::size_t>(N + 2));
    std::int64_t differing = 0;
    for (std::int64_t n = 0; n < N / 2; ++n) {
        ASSERT_GE(r.left(n), -16220);
        ASSERT_LE(r.left(n), 16219);
        ASSERT_EQ(r.left(n), Nearest(-16220 + 1 * 0.99 * 32767 * draws[2 * n] * 1)) << n;
        ASSERT_EQ(r.right(n), Nearest(-16220 + 1 * 0.99 * 32767 * draws[2 * n + 1] * 1)) << n;
        differing += r.left(n) != r.right(n);
    }
    EXPECT_GT(differing, N / 2 - 100);
    // The closing pair: the last frame keeps its right sample, element N takes the closing right.
    EXPECT_EQ(r.samples()[N], Nearest(-16220 + 1 * 0.99 * 32767 * draws[N + 1] * 1));

    Renderer leftOnly;
    SetNoise(leftOnly, 0, 44100, 0, 0, 1);
    ASSERT_EQ(leftOnly.render(), "");
    for (std::int64_t n = 0; n < N / 2; ++n)
        ASSERT_EQ(leftOnly.right(n), 0) << n;
    EXPECT_EQ(leftOnly.samples()[N], 0);
    EXPECT_EQ(leftOnly.left(7), r.left(7));
}

TEST(SmoothNoise, ChangesSlopeEverySpacingInEachChannel)
{
    struct Case {
        std::int32_t type;
        std::int32_t rate;
        std::int64_t spacing;
    };
    for (const Case& test : {Case{1, 44100, 20}, Case{1, 22050, 10}, Case{2, 44100, 200}}) {
        Renderer r;
        SetNoise(r, test.type, test.rate, 0, 0, 3);
        ASSERT_EQ(r.render(), "");
        const std::int64_t segments = (r.upper() / 2 - 2002) / test.spacing;
        for (int channel = 0; channel < 2; ++channel) {
            const auto bends = Bends(r, channel);
            for (const std::int64_t j : bends)
                ASSERT_EQ((j + 1) % test.spacing, 0) << test.rate << " channel " << channel << " frame " << j;
            // Nearly every segment end bends; only nearly equal slopes on both sides do not.
            EXPECT_GT(static_cast<double>(bends.size()), 0.9 * static_cast<double>(segments)) << test.rate;
        }
        EXPECT_NE(r.left(r.upper() / 2 - 1), r.right(r.upper() / 2 - 1));
    }
}

TEST(SmoothNoise, FillsEveryFrameWithItsOwnCurvePerChannel)
{
    // 48000 Hz: S = 22 does not divide the 96000 frames, so the last segment is cut short.
    // Unequal levels and L-R check that the right curve takes the right amplitude and gain.
    Renderer r;
    SetNoise(r, 1, 48000, -3, -9, 4);
    ASSERT_EQ(r.render(), "");
    const std::int64_t frames = r.upper() / 2;
    ASSERT_EQ(frames, 96000);
    const auto draws = Draws(2 * 4364);
    const double ampL = std::pow(10.0, -3.0 / 20);
    const double ampR = std::pow(10.0, -9.0 / 20);
    for (std::int64_t j = 0; j < frames; ++j) {
        ASSERT_EQ(r.left(j), CurveValue(draws, 22, j, 0, ampL, 1)) << j;
        ASSERT_EQ(r.right(j), CurveValue(draws, 22, j, 1, ampR, -1)) << j;
    }
    EXPECT_EQ(r.samples().back(), 0);

    // At 11025 Hz (S = 5 and 50) the curves still reach the last frames, which the
    // low-frequency kind tapers.
    const auto lowRateDraws = Draws(2 * 4410);
    for (const std::int32_t type : {1, 2}) {
        Renderer low;
        SetNoise(low, type, 11025, 0, 0, 3);
        ASSERT_EQ(low.render(), "");
        const std::int64_t S = type == 1 ? 5 : 50;
        for (std::int64_t j = 22045; j < 22050; ++j) {
            const double divisor = type == 1 ? 1 : 1 + static_cast<double>(j - 22049 + 1000) / 1000;
            EXPECT_EQ(low.left(j), Nearest(CurveValue(lowRateDraws, S, j, 0, 1, 1) / divisor)) << j;
            EXPECT_EQ(low.right(j), Nearest(CurveValue(lowRateDraws, S, j, 1, 1, 1) / divisor)) << j;
        }
    }
}

TEST(SmoothNoise, ContinuesBetweenRendersAndRepeatsInEveryNewProcess)
{
    Renderer first;
    Renderer second;
    for (Renderer* r : {&first, &second}) {
        SetNoise(*r, 1, 44100, 0, 0, 3);
        ASSERT_EQ(r->render(), "");
    }
    EXPECT_EQ(Copy(first.samples()), Copy(second.samples()));
    const std::vector<Sample> firstBlock = Copy(first.samples());
    ASSERT_EQ(first.render(), "");
    EXPECT_NE(Copy(first.samples()), firstBlock);
    // The second render's curve goes on from the first one's last targets: 4410 segments per block.
    const auto draws = Draws(4 * 4410);
    for (std::int64_t j = 0; j < 88200; j += 7) {
        ASSERT_EQ(first.left(j), CurveValue(draws, 20, 88200 + j, 0, 1, 1)) << j;
        ASSERT_EQ(first.right(j), CurveValue(draws, 20, 88200 + j, 1, 1, 1)) << j;
    }
}

TEST(LowFrequencyNoise, TapersBothEndsOfEachChannel)
{
    Renderer r;
    SetNoise(r, 2, 44100, 0, -6, 3);
    ASSERT_EQ(r.render(), "");
    const auto draws = Draws(2 * 441);
    const double ampR = std::pow(10.0, -6.0 / 20);
    const std::int64_t last = 88199;
    // Start taper: frame k - 1 by 1 + (1000 - k) / 1000; end taper: frame last - 1000 + k by 1 + k / 1000.
    std::vector<std::pair<std::int64_t, double>> points;
    for (const int k : {1, 2, 501, 1000})
        points.emplace_back(k - 1, 1 + (1000 - k) / 1000.0);
    for (const int k : {1, 999, 1000})
        points.emplace_back(last - 1000 + k, 1 + k / 1000.0);
    points.emplace_back(1000, 1.0);
    points.emplace_back(last - 1000, 1.0);
    for (const auto& [frame, divisor] : points) {
        EXPECT_EQ(r.left(frame), Nearest(CurveValue(draws, 200, frame, 0, 1, 1) / divisor)) << frame;
        EXPECT_EQ(r.right(frame), Nearest(CurveValue(draws, 200, frame, 1, ampR, 1) / divisor)) << frame;
    }
    // A new process starts from zero targets, so the block opens at about half of -NoiseHalf.
    EXPECT_NEAR(r.left(0), -16220 / 2, 100);
    EXPECT_NEAR(r.right(0), -Nearest(ampR * 0.99 * 32767 / 2) / 2, 100);
}

TEST(Noise, UnknownKindsAndRatesWithoutSpacingRenderSilence)
{
    for (const auto& [type, rate] : {std::pair{3, 44100}, std::pair{-1, 44100}, std::pair{1, 1000},
                                      std::pair{2, 100}}) {
        Renderer r;
        SetNoise(r, type, rate, 0, 0, 3);
        ASSERT_EQ(r.render(), "");
        for (const Sample value : r.samples())
            ASSERT_EQ(value, 0) << type << " at " << rate;
    }
}

} // namespace
} // namespace kelvo::test
