// The measurement signals, measured in the rendered file as an analyser would: pink noise,
// logarithmic sweeps, the Hann-windowed burst and the band-limited shapes.
#include "core/oscillator/signal_files.h"
#include "support/signal_checks.h"
#include "support/spectrum.h"

#include <functional>

namespace kelvo::test {
namespace {

constexpr double kRate = 48000;
// The peak of a 0 dB signal in a float file.
constexpr double kFullScale = 0.99 * 32767 / 32768;

double Db(double ratio)
{
    return 10 * std::log10(ratio);
}

double Peak(const std::vector<double>& x)
{
    return std::abs(*std::ranges::max_element(x, {}, [](double v) { return std::abs(v); }));
}

double Mean(const std::vector<double>& x)
{
    return std::accumulate(x.begin(), x.end(), 0.0) / static_cast<double>(x.size());
}

struct Rendered {
    std::vector<double> left;
    std::vector<double> right;
};

// Pink: the slope of the Welch density over 1/6-octave bands from 20 Hz to 20 kHz, the
// octave bands of one period against their mean, L/R correlation, RMS and peak.
void CheckPink(const Rendered& r)
{
    const std::vector<double> density = WelchDensity(r.left, 16384);
    const double binHz = kRate / 16384;
    std::vector<double> octave, level;
    for (double f = 20; f <= 20000; f *= std::pow(2, 1 / 6.0)) {
        const auto from = static_cast<std::size_t>(f / std::pow(2, 1 / 12.0) / binHz);
        const auto to = static_cast<std::size_t>(f * std::pow(2, 1 / 12.0) / binHz);
        octave.push_back(std::log2(f));
        level.push_back(Db(BandPower(density, from, to) / static_cast<double>(to - from + 1)));
    }
    const double meanX = Mean(octave), meanY = Mean(level);
    double sxy = 0, sxx = 0;
    for (std::size_t i = 0; i < octave.size(); ++i) {
        sxy += (octave[i] - meanX) * (level[i] - meanY);
        sxx += (octave[i] - meanX) * (octave[i] - meanX);
    }
    EXPECT_NEAR(sxy / sxx, -3.01, 0.2) << "dB per octave";

    // The noise repeats over the block: each bin of the block's own spectrum is one line.
    const std::vector<double> lines = LinePowers(r.left);
    const double lineHz = kRate / static_cast<double>(r.left.size());
    std::vector<double> bands;
    for (double centre = 31.5; centre < 17000; centre *= 2)
        bands.push_back(Db(BandPower(lines, static_cast<std::size_t>(std::ceil(centre / std::sqrt(2) / lineHz)),
                                     static_cast<std::size_t>(centre * std::sqrt(2) / lineHz))));
    for (std::size_t i = 0; i < bands.size(); ++i)
        EXPECT_NEAR(bands[i], Mean(bands), 1) << "octave band " << i;

    const double correlation = std::inner_product(r.left.begin(), r.left.end(), r.right.begin(), 0.0) /
                               static_cast<double>(r.left.size()) / (Rms(r.left) * Rms(r.right));
    EXPECT_LT(std::abs(correlation), 0.05);
    EXPECT_NEAR(20 * std::log10(Rms(r.left) / (kFullScale / 4)), 0, 0.2) << "RMS a quarter of the peak level";
    EXPECT_LE(Peak(r.left), kFullScale);
    EXPECT_LE(Peak(r.right), kFullScale);
}

// The logarithmic sweep, 20 Hz to 20 kHz over 10 s: the frequency at half time, the
// length of each octave and the flatness of the envelope between the fades.
void CheckLogSweep(const Rendered& r)
{
    ASSERT_EQ(r.left.size(), 480000u);
    const auto z = AnalyticSignal(r.left);
    const double atHalf = MeanFrequency(z, 240000 - 24, 240000 + 24) * kRate;
    EXPECT_NEAR(atHalf, 632.5, 632.5 * 0.01);
    std::size_t n = 0;
    std::vector<std::size_t> reached;
    for (double f = 40; f <= 10240; f *= 2) {
        while (n + 49 < z.size() && MeanFrequency(z, n, n + 48) * kRate < f)
            n += 4;
        reached.push_back(n + 24);
    }
    const double octave = 10 / std::log2(1000.0) * kRate;
    for (std::size_t i = 1; i < reached.size(); ++i)
        EXPECT_NEAR(static_cast<double>(reached[i] - reached[i - 1]), octave, octave * 0.02) << "octave " << i;
    for (std::size_t i = 24000; i < z.size() - 24000; ++i)
        ASSERT_NEAR(20 * std::log10(std::abs(z[i]) / kFullScale), 0, 0.1) << "envelope at " << i;
    EXPECT_LT(std::abs(r.left.front()) + std::abs(r.left.back()), 1e-3) << "a silent loop point";
}

// Ten logarithmic steps of 0.5 s from 20 Hz to 20 kHz: each at 20 * 1000^(k/9) Hz.
void CheckLogSteps(const Rendered& r)
{
    ASSERT_EQ(r.left.size(), 240000u);
    const auto z = AnalyticSignal(r.left);
    for (std::size_t k = 0; k < 10; ++k) {
        const double expected = 20 * std::pow(1000, static_cast<double>(k) / 9);
        // Whole cycles, so the ripple of the analytic phase at a low tone averages out.
        const auto span = static_cast<std::size_t>(std::floor(16000 * expected / kRate) * kRate / expected);
        const double measured = MeanFrequency(z, k * 24000 + 4000, k * 24000 + 4000 + span) * kRate;
        EXPECT_NEAR(measured, expected, expected * 0.001) << "step " << k;
    }
}

// 6.5 cycles at 1 kHz under a Hann window: the envelope follows sin^2 within 1 % of the
// peak, and no step between samples is larger than the full-level sine's own.
void CheckHannBurst(const Rendered& r)
{
    const double length = 6.5 * kRate / 1000;
    const auto z = AnalyticSignal(r.left);
    for (std::size_t n = 0; n < r.left.size(); ++n) {
        const double hann = n < length ? std::pow(std::sin(std::numbers::pi * static_cast<double>(n) / length), 2) : 0;
        ASSERT_NEAR(std::abs(z[n]) / kFullScale, hann, 0.01) << "frame " << n;
    }
    const double sineStep = 2 * std::sin(std::numbers::pi * 1000 / kRate) * kFullScale;
    for (std::size_t n = 0; n < r.left.size(); ++n)
        ASSERT_LE(std::abs(r.left[(n + 1) % r.left.size()] - r.left[n]), sineStep) << "frame " << n;
}

// A 5 kHz shape: one second holds whole periods of the sampled signal, so every line
// sits on its bin. Only the harmonics (5, 10, 15, 20 kHz) may stand within 90 dB of the
// fundamental.
void CheckBandLimited(const Rendered& r)
{
    const std::vector<double> out = LinePowers({r.left.begin(), r.left.begin() + 48000});
    for (std::size_t k = 0; k < out.size(); ++k) {
        const bool harmonic = k % 5000 == 0 && k > 0;
        ASSERT_TRUE(harmonic || Db(out[k] / out[5000]) < -90) << k << " Hz at " << Db(out[k] / out[5000]) << " dB";
    }
}

TEST(MeasurementSignals, MeetTheirFiguresInTheRenderedFile)
{
    const struct {
        const char* what;
        std::string settings;
        std::function<void(const Rendered&)> check;
    } signals[] = {
        {"pink noise", "Waveform=5 NoiseType=3 WaveBuildLength=10", CheckPink},
        {"log sweep", "Waveform=11 SweepKind=6 SweepStartFreq=20 SweepEndFreq=20000 SweepSeconds=10", CheckLogSweep},
        {"log steps", "Waveform=11 SweepKind=7 SweepStartFreq=20 SweepEndFreq=20000 SweepSteps=10 SweepStepTime=0.5",
         CheckLogSteps},
        {"Hann burst", "Waveform=6 BurstWindow=1 BurstCycles=6.5 Freq=1000 BurstOffTime=100", CheckHannBurst},
        {"square", "Waveform=2 BandLimited=1 Freq=5000", CheckBandLimited},
        {"triangle", "Waveform=3 BandLimited=1 Freq=5000", CheckBandLimited},
        {"sawtooth", "Waveform=4 BandLimited=1 Freq=5000", CheckBandLimited},
    };
    for (const auto& signal : signals) {
        SCOPED_TRACE(signal.what);
        TempFolder folder;
        Renderer renderer;
        ASSERT_EQ(SetUnchecked(renderer.settings, "SampleRate=48000 Bits=32 LevelL=0 LevelR=0 ChanMode=3 " + signal.settings),
                  "");
        RecordingMessages messages;
        ASSERT_TRUE(SignalFiles(renderer.engine).renderToFile(renderer.settings, folder.path(), messages));
        // Whole frames, as a player reads them.
        Rendered channels{DecodedChannel(folder / "test.wav", 0), DecodedChannel(folder / "test.wav", 1)};
        channels.left.resize(channels.right.size());
        signal.check(channels);
    }
}

} // namespace
} // namespace kelvo::test
