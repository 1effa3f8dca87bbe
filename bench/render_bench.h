#pragma once

#include "core/runtime/random_source.h"
#include "core/settings/signal_settings.h"
#include "core/synth/wave_engine.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <string>

namespace kelvo::bench {

// The settings of one benchmark: the start values at a rate and rendered length, then
// whatever `choose` changes.
inline SignalSettings Settings(std::int32_t rate, double length, const std::function<void(SignalSettings&)>& choose = {})
{
    SignalSettings s;
    s.SampleRate[0] = rate;
    s.WaveBuildLength = length;
    if (choose)
        choose(s);
    return s;
}

inline std::function<void(SignalSettings&)> Waveform(std::int32_t code, std::int32_t chanMode = 3)
{
    return [code, chanMode](SignalSettings& s) {
        s.Waveform[0] = code;
        s.ChanMode[0] = chanMode;
    };
}

// Renders the settings over and over. Reports elements per second and, where the written
// formulas take sines or cosines, their evaluations per second: `evaluationsPerElement`
// as written, whether or not equal channels share one library call.
inline void RenderRepeatedly(benchmark::State& state, const SignalSettings& settings, double evaluationsPerElement)
{
    SignalSettings live = settings;
    RandomSource random;
    WaveEngine engine(random);
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.Render(live));
        benchmark::DoNotOptimize(engine.samples().data());
    }
    const auto elements = static_cast<double>(engine.samples().size());
    constexpr auto kRate = benchmark::Counter::kIsIterationInvariantRate;
    state.counters["elements/s"] = benchmark::Counter(elements, kRate);
    if (evaluationsPerElement > 0)
        state.counters["sincos/s"] = benchmark::Counter(elements * evaluationsPerElement, kRate);
}

// Registers a render benchmark, timed in real time; the CPU column is the time of all
// threads, so it shows how well a render uses both cores.
inline void RegisterRender(const std::string& name, const SignalSettings& settings, double evaluationsPerElement)
{
    benchmark::RegisterBenchmark(name.c_str(), RenderRepeatedly, settings, evaluationsPerElement)
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime()
        ->UseRealTime();
}

} // namespace kelvo::bench
