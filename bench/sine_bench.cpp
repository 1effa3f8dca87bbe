#include "runtime/random_source.h"
#include "synth/wave_engine.h"

#include <benchmark/benchmark.h>

namespace kelvo {
namespace {

// Renders the live settings over and over; reports sine evaluations and elements per second.
void RenderSine(benchmark::State& state, std::int32_t rate, double length)
{
    SignalSettings settings;
    settings.SampleRate[0] = rate;
    settings.WaveBuildLength = length;
    RandomSource random;
    WaveEngine engine(random);
    for (auto _ : state) {
        engine.Render(settings);
        benchmark::DoNotOptimize(engine.samples().data());
    }
    const auto elements = static_cast<double>(engine.samples().size());
    state.counters["elements/s"] = benchmark::Counter(elements, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["sin/s"] = benchmark::Counter(elements - 1, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK_CAPTURE(RenderSine, 44100Hz_1s, 44100, 1.0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(RenderSine, 192000Hz_100s, 192000, 100.0)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kelvo
