#include "runtime/random_source.h"
#include "synth/wave_engine.h"

#include <benchmark/benchmark.h>

namespace kelvo {
namespace {

// Renders the settings over and over. `evaluations` is the number of sines or cosines the
// written formulas take per element; the generators share equal arguments between the
// channels, so with the default L+R mode they make half as many library calls.
void Render(benchmark::State& state, const SignalSettings& settings, double evaluations)
{
    SignalSettings live = settings;
    RandomSource random;
    WaveEngine engine(random);
    for (auto _ : state) {
        engine.Render(live);
        benchmark::DoNotOptimize(engine.samples().data());
    }
    const auto elements = static_cast<double>(engine.samples().size());
    constexpr auto rate = benchmark::Counter::kIsIterationInvariantRate;
    state.counters["elements/s"] = benchmark::Counter(elements, rate);
    if (evaluations > 0)
        state.counters["sincos/s"] = benchmark::Counter(elements * evaluations, rate);
}

SignalSettings Settings(std::int32_t waveform, std::int32_t rate, double length)
{
    SignalSettings s;
    s.Waveform[0] = waveform;
    s.SampleRate[0] = rate;
    s.WaveBuildLength = length;
    return s;
}

void Noise(benchmark::State& state, std::int32_t type, std::int32_t rate, double length)
{
    SignalSettings s = Settings(5, rate, length);
    s.NoiseType = type;
    Render(state, s, 0);
}

void TwoTone(benchmark::State& state, std::int32_t rate)
{
    Render(state, Settings(9, rate, 1), 2);
}

void Multitone(benchmark::State& state, std::int32_t rate, double length)
{
    const SignalSettings s = Settings(10, rate, length);
    Render(state, s, s.MultiCount);
}

BENCHMARK_CAPTURE(Noise, White_44100Hz_1s, 0, 44100, 1.0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Noise, Mid_44100Hz_1s, 1, 44100, 1.0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Noise, Low_44100Hz_1s, 2, 44100, 1.0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Noise, White_192000Hz_100s, 0, 192000, 100.0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Noise, Mid_192000Hz_100s, 1, 192000, 100.0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Noise, Low_192000Hz_100s, 2, 192000, 100.0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(TwoTone, 44100Hz_5s, 44100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(TwoTone, 192000Hz_5s, 192000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Multitone, 44100Hz_1s, 44100, 1.0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Multitone, 192000Hz_100s, 192000, 100.0)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kelvo
