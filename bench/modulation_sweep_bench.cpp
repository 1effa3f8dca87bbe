#include "runtime/random_source.h"
#include "synth/wave_engine.h"

#include <benchmark/benchmark.h>

#include <functional>

namespace kelvo {
namespace {

// Renders the settings that `choose` sets up, over and over. Reports elements per second and,
// for the modulated signals, the sine/cosine evaluations of the formulas per second (two per
// channel and frame, whether or not equal channels share them).
void Render(benchmark::State& state, std::int32_t rate, double length,
            const std::function<void(SignalSettings&)>& choose, double cosinesPerElement)
{
    SignalSettings settings;
    settings.SampleRate[0] = rate;
    settings.WaveBuildLength = length;
    choose(settings);
    RandomSource random;
    WaveEngine engine(random);
    for (auto _ : state) {
        engine.Render(settings);
        benchmark::DoNotOptimize(engine.samples().data());
    }
    const auto elements = static_cast<double>(engine.samples().size());
    state.counters["elements/s"] =
        benchmark::Counter(elements, benchmark::Counter::kIsIterationInvariantRate);
    if (cosinesPerElement > 0)
        state.counters["sin/s"] =
            benchmark::Counter(elements * cosinesPerElement, benchmark::Counter::kIsIterationInvariantRate);
}

auto Waveform(std::int32_t code, std::int32_t chanMode = 3)
{
    return [code, chanMode](SignalSettings& s) {
        s.Waveform[0] = code;
        s.ChanMode[0] = chanMode;
    };
}

auto Sweep(std::int32_t param, std::int32_t kind)
{
    return [param, kind](SignalSettings& s) {
        s.Waveform[0] = 11;
        s.SweepParam = param;
        s.SweepKind = kind;
    };
}

void UserSteps(SignalSettings& s)
{
    Sweep(0, 3)(s);
    s.SweepSteps = s.UserStepCount = 4;
    for (int k = 1; k <= 4; ++k) {
        s.UserStepFreq[k] = 250.0 * k;
        s.UserStepPeriod[k] = 0.5;
    }
}

#define KELVO_RENDER(name, rate, length, choose, cosines)                                                   \
    BENCHMARK_CAPTURE(Render, name, rate, length, choose, cosines)                                           \
        ->Unit(benchmark::kMillisecond)                                                                      \
        ->UseRealTime()

KELVO_RENDER(Am_44100Hz, 44100, 1.0, Waveform(13), 2);
KELVO_RENDER(Fm_44100Hz, 44100, 1.0, Waveform(14), 2);
KELVO_RENDER(Dsb_44100Hz, 44100, 1.0, Waveform(15), 2);
KELVO_RENDER(Am_192000Hz, 192000, 1.0, Waveform(13), 2);
KELVO_RENDER(Fm_192000Hz, 192000, 1.0, Waveform(14), 2);
KELVO_RENDER(Dsb_192000Hz, 192000, 1.0, Waveform(15), 2);
// Quadrature: the channels' offsets differ, so every cosine is evaluated.
KELVO_RENDER(AmQuadrature_192000Hz, 192000, 1.0, Waveform(13, 5), 2);
KELVO_RENDER(FmQuadrature_192000Hz, 192000, 1.0, Waveform(14, 5), 2);
KELVO_RENDER(DsbQuadrature_192000Hz, 192000, 1.0, Waveform(15, 5), 2);

KELVO_RENDER(SweepContinuous_44100Hz_1s, 44100, 1.0, Sweep(0, 1), 0);
KELVO_RENDER(SweepStepped_44100Hz, 44100, 1.0, Sweep(0, 2), 0);
KELVO_RENDER(SweepUserSteps_44100Hz, 44100, 1.0, UserSteps, 0);
KELVO_RENDER(SweepThirdOctave_44100Hz_1s, 44100, 1.0, Sweep(0, 4), 0);
KELVO_RENDER(SweepHalfOctave_44100Hz_1s, 44100, 1.0, Sweep(0, 5), 0);
KELVO_RENDER(SweepLevel_44100Hz, 44100, 1.0, Sweep(1, 1), 0);
KELVO_RENDER(SweepPhase_44100Hz, 44100, 1.0, Sweep(2, 1), 0);
KELVO_RENDER(Warble_44100Hz, 44100, 1.0, Waveform(12), 0);
KELVO_RENDER(SweepContinuous_192000Hz_100s, 192000, 100.0, Sweep(0, 1), 0);
KELVO_RENDER(SweepThirdOctave_192000Hz_100s, 192000, 100.0, Sweep(0, 4), 0);
KELVO_RENDER(SweepHalfOctave_192000Hz_100s, 192000, 100.0, Sweep(0, 5), 0);
KELVO_RENDER(Warble_192000Hz, 192000, 1.0, Waveform(12), 0);

} // namespace
} // namespace kelvo
