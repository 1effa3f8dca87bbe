#include "runtime/random_source.h"
#include "settings/signal_codes.h"
#include "synth/wave_engine.h"

#include <benchmark/benchmark.h>

namespace kelvo {
namespace {

// Renders one waveform over and over. `perElement` is the number of sine or cosine
// evaluations the written formulas make per element (0 where there are none).
void RenderWaveform(benchmark::State& state, WaveformCode waveform, std::int32_t rate, double length,
                    double perElement)
{
    SignalSettings settings;
    settings.Waveform[0] = static_cast<std::int32_t>(waveform);
    settings.SampleRate[0] = rate;
    settings.WaveBuildLength = length;
    RandomSource random;
    WaveEngine engine(random);
    for (auto _ : state) {
        engine.Render(settings);
        benchmark::DoNotOptimize(engine.samples().data());
    }
    const auto elements = static_cast<double>(engine.samples().size());
    constexpr auto kRate = benchmark::Counter::kIsIterationInvariantRate;
    state.counters["elements/s"] = benchmark::Counter(elements, kRate);
    if (perElement > 0)
        state.counters["cos/s"] = benchmark::Counter((elements - 1) * perElement, kRate);
}

// Real time gives the rates; the CPU column is the time of all threads, so it shows how
// well a render uses both cores even on a busy machine.
void Register(const char* name, WaveformCode waveform, std::int32_t rate, double length, double perElement)
{
    benchmark::RegisterBenchmark(name, RenderWaveform, waveform, rate, length, perElement)
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime()
        ->UseRealTime();
}

// Square and burst evaluate one cosine per element as written, the ramps one per frame.
// The gated waveforms size their own blocks from the start settings (the burst's grows
// with the rendered length).
const bool registered = [] {
    Register("Square/44100Hz_1s", WaveformCode::Square, 44100, 1.0, 1.0);
    Register("Square/192000Hz_100s", WaveformCode::Square, 192000, 100.0, 1.0);
    Register("Triangle/44100Hz_1s", WaveformCode::Triangle, 44100, 1.0, 0.5);
    Register("Triangle/192000Hz_100s", WaveformCode::Triangle, 192000, 100.0, 0.5);
    Register("Sawtooth/44100Hz_1s", WaveformCode::Sawtooth, 44100, 1.0, 0.5);
    Register("Sawtooth/192000Hz_100s", WaveformCode::Sawtooth, 192000, 100.0, 0.5);
    Register("Dirac/44100Hz_1s", WaveformCode::Dirac, 44100, 1.0, 0.0);
    Register("Dirac/192000Hz_100s", WaveformCode::Dirac, 192000, 100.0, 0.0);
    Register("Burst/44100Hz_Default", WaveformCode::Burst, 44100, 1.0, 1.0);
    Register("Burst/192000Hz_100s_Default", WaveformCode::Burst, 192000, 100.0, 1.0);
    Register("Pulse/44100Hz_Default", WaveformCode::Pulse, 44100, 1.0, 0.0);
    Register("Pulse/192000Hz_Default", WaveformCode::Pulse, 192000, 1.0, 0.0);
    return true;
}();

} // namespace
} // namespace kelvo
